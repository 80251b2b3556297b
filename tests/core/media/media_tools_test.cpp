#include "core/media/MediaTools.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "core/base/LocalClock.h"
#include "core/media/ProcessRunner.h"
#include "tests/support/NonAsciiNames.h"

namespace {

std::wstring TempPath(const std::wstring& name) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + name;
}

// Writes a tone of the given length with ffmpeg.
bool MakeTone(const std::wstring& path, const wchar_t* seconds) {
  std::string output;
  uint32_t exitCode = 1;
  RunFfmpeg(L"-hide_banner -y -f lavfi -i sine=frequency=440:duration=" + std::wstring(seconds) + L" \"" + path + L"\"",
            exitCode, output);
  if (exitCode != 0) std::printf("%s\n", output.c_str());
  return exitCode == 0;
}

}  // namespace

TEST(MediaDuration, ReadsTheDurationOfAWaveFile) {
  const std::wstring path = TempPath(L"quillora_duration_3.7.wav");
  ASSERT_TRUE(MakeTone(path, L"3.7"));
  EXPECT_NEAR(static_cast<double>(GetMediaDurationMicros(path)), 3.7e6, 1e4);
  EXPECT_EQ(GetMediaDurationSeconds(path), 3);
  std::wstring text;
  EXPECT_TRUE(GetMediaDurationText(path, text));
  EXPECT_EQ(text, L"00:00:03");
  DeleteFileW(path.c_str());
}

TEST(MediaDuration, ReadsAFileWithAChineseName) {
  SKIP_WITHOUT_NON_ASCII_NAMES();
  const std::wstring path = TempPath(L"时长测试_2.5.wav");
  ASSERT_TRUE(MakeTone(path, L"2.5"));
  EXPECT_EQ(GetMediaDurationSeconds(path), 2);
  DeleteFileW(path.c_str());
}

TEST(MediaDuration, UnreadableFilesHaveNoDuration) {
  const std::wstring path = TempPath(L"quillora_not_media.mp3");
  FILE* file = _wfopen(path.c_str(), L"wb");
  ASSERT_NE(file, nullptr);
  std::fputs("this is not audio", file);
  std::fclose(file);
  for (const std::wstring& candidate : {path, TempPath(L"quillora_missing.wav")}) {
    EXPECT_EQ(GetMediaDurationMicros(candidate), -1);
    EXPECT_EQ(GetMediaDurationSeconds(candidate), 0);
    std::wstring text = L"unchanged";
    EXPECT_FALSE(GetMediaDurationText(candidate, text));
    EXPECT_EQ(text, L"unchanged");
  }
  DeleteFileW(path.c_str());
}

// The milliseconds are mktime's seconds of the local fields (daylight-saving
// flag 0) and the milliseconds, also when asked again within the same hour.
TEST(LocalClock, MillisecondsAreTheLocalFieldsConvertedByMktime) {
  const auto direct = [] {
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::tm fields{};
    fields.tm_year = now.wYear - 1900;
    fields.tm_mon = now.wMonth - 1;
    fields.tm_mday = now.wDay;
    fields.tm_hour = now.wHour;
    fields.tm_min = now.wMinute;
    fields.tm_sec = now.wSecond;
    fields.tm_isdst = 0;
    return static_cast<uint64_t>(std::mktime(&fields)) * 1000 + now.wMilliseconds;
  };
  for (int i = 0; i < 3; ++i) {
    const uint64_t before = direct();
    const uint64_t ms = GetLocalTimeMs();
    const uint64_t after = direct();
    EXPECT_LE(before, ms) << i;
    EXPECT_LE(ms, after) << i;
  }
}

TEST(LocalClock, MillisecondsAndDateNumberTellTheSameDay) {
  const int64_t date = GetTodayDateNumber();
  const uint64_t ms = GetLocalTimeMs();
  EXPECT_GE(date, 20200101);
  EXPECT_LE(date, 99991231);
  // The milliseconds are the local time converted by the local-time rules, so
  // converting them back gives the local day in any time zone (unless the test
  // runs across midnight).
  const time_t seconds = static_cast<time_t>(ms / 1000);
  const std::tm* day = std::localtime(&seconds);
  ASSERT_NE(day, nullptr);
  EXPECT_EQ((day->tm_year + 1900) * 10000 + (day->tm_mon + 1) * 100 + day->tm_mday, date);
}
