#include "core/base/TextConversion.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

// Runs `body` with the calling thread's locale (and so CP_THREAD_ACP) set to
// Russian, code page 1251, while the process's ANSI code page stays 936.
template <typename Body>
void WithRussianThreadLocale(Body body) {
  const LCID saved = GetThreadLocale();
  ASSERT_TRUE(SetThreadLocale(MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT)));
  body();
  SetThreadLocale(saved);
}

}  // namespace

// Narrow paths are made with the process's code page; reading one back must
// use the same page whatever the thread's locale, or it names another file.
TEST(TextConversion, NarrowPathsRoundTripWhateverTheThreadLocale) {
  ASSERT_EQ(GetACP(), 936u) << "the tests run with the Chinese ANSI code page";
  const std::wstring path = L"C:\\音乐\\背景 1.mp3";
  WithRussianThreadLocale([&] {
    const std::string ansi = WideToAnsi(path);
    EXPECT_EQ(ansi, "C:\\\xd2\xf4\xc0\xd6\\\xb1\xb3\xbe\xb0 1.mp3");
    EXPECT_EQ(AnsiToWidePath(ansi), path);
    EXPECT_EQ(AnsiToWide(ansi), path);
  });
}

// Service texts follow the thread's code page (Russian here: 0xC0 is "А").
TEST(TextConversion, ServiceTextsFollowTheThreadCodePage) {
  WithRussianThreadLocale([] { EXPECT_EQ(ThreadAnsiToWide("\xc0"), L"\u0410"); });
  EXPECT_EQ(ThreadAnsiToWide("\xd2\xf4\xc0\xd6"), L"音乐");
}
