#pragma once

// A fresh folder under the temporary folder for one test, removed with all it
// holds when the test ends. The name is unique per process and object, so
// parallel test programs never share one.
#include <windows.h>

#include <string>

#include "tests/support/TestFiles.h"

class ScratchFolder {
 public:
  explicit ScratchFolder(const std::wstring& name = L"quillora") {
    static LONG counter = 0;
    m_path = TempFolder() + name + L"_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(InterlockedIncrement(&counter)) + L"\\";
    RemoveTree(m_path);  // left over by an earlier run that was killed
    CreateDirectoryW(m_path.c_str(), nullptr);
  }
  ~ScratchFolder() { RemoveTree(m_path); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder in long-path form, with its trailing backslash.
  const std::wstring& path() const { return m_path; }
  std::wstring operator/(const std::wstring& name) const { return m_path + name; }
  // A subfolder, ending with "\"; a failure to make it shows in the checks that use it.
  std::wstring Subfolder(const std::wstring& name) const {
    const std::wstring sub = m_path + name + L"\\";
    CreateDirectoryW(sub.c_str(), nullptr);
    return sub;
  }

  // Whole-file helpers (see tests/support/TestFiles.h).
  static bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    return testfiles::WriteFileBytes(path, bytes);
  }
  // The file's bytes; empty when it cannot be read.
  static std::string ReadFileBytes(const std::wstring& path) {
    std::string bytes;
    return testfiles::ReadFileBytes(path, &bytes) ? bytes : std::string();
  }
  static bool Exists(const std::wstring& path) { return testfiles::Exists(path); }

 private:
  // The user's temporary folder in long form; a fresh Wine prefix may not have made it yet.
  static std::wstring TempFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    CreateDirectoryW(temp, nullptr);
    wchar_t longForm[MAX_PATH];
    DWORD length = GetLongPathNameW(temp, longForm, MAX_PATH);
    return (length > 0 && length < MAX_PATH) ? std::wstring(longForm) : std::wstring(temp);
  }

  static void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(folder + name + L"\\");
        } else {
          SetFileAttributesW((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileW((folder + name).c_str());
        }
      } while (FindNextFileW(find, &entry));
      FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
  }

  std::wstring m_path;
};
