#pragma once

// Whether the file system under test can hold non-ASCII file names. Wine maps
// names to the Unix side through the locale's code set; when the Chinese
// locale that gives code page 936 is not generated on the machine, names
// beyond ASCII cannot be created at all (ERROR_FILE_NOT_FOUND), whatever the
// program does. Tests of Chinese paths skip with this reason then.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/Standin.h"

#include <string>

namespace testpaths {

inline bool CanHoldNonAsciiNames() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  CreateDirectoryW(temp, nullptr);
  const std::wstring probe =
      std::wstring(temp) + L"probe_\u6587\u4EF6_" + std::to_wstring(GetCurrentProcessId());
  if (!CreateDirectoryW(probe.c_str(), nullptr)) return false;
  RemoveDirectoryW(probe.c_str());
  return true;
}

}  // namespace testpaths

// tools/test-session.sh builds that locale, so in CI the condition is a fault
// of the harness and fails the test instead of hiding it.
#define SKIP_WITHOUT_NON_ASCII_NAMES()                                                       \
  if (testpaths::CanHoldNonAsciiNames()) {                                                   \
  } else if (::standin::InCi()) {                                                            \
    FAIL() << "this Wine prefix cannot create non-ASCII file names";                         \
  } else                                                                                     \
    GTEST_SKIP() << "this Wine prefix cannot create non-ASCII file names (the zh_CN.UTF-8 " \
                    "locale is not generated on the machine)"
