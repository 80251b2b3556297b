#include "core/base/portable/TextHelpers.h"
#include "core/media/portable/DurationText.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(GetFileBaseName, TakesTheNameBetweenFolderAndExtension) {
  struct Case {
    const wchar_t* path;
    const wchar_t* name;
  } cases[] = {
      {L"C:\\music\\song.x.mp3", L"song.x"},
      {L"C:\\music\\song", L""},          // no extension
      {L"C:\\my.music\\song", L""},       // the last point lies in a folder name
      {L"song.wav", L"song"},
      {L"C:\\音乐\\背景.mp3", L"背景"},
      {L"C:\\music\\.mp3", L""},
      {L"", L""},
  };
  for (const Case& c : cases) EXPECT_EQ(GetFileBaseName(c.path), c.name) << c.path;
}

TEST(FormatMediaDuration, RoundsOnlyInTheLastFiveMilliseconds) {
  struct Case {
    int64_t micros;
    const wchar_t* text;
  } cases[] = {
      {0, L"00:00:00"},
      {59994000, L"00:00:59"},
      {59995000, L"00:01:00"},
      {60994999, L"00:01:00"},
      {60995000, L"00:01:01"},
      {3599600000, L"00:59:59"},
      {3599995000, L"01:00:00"},
      {36000000000, L"10:00:00"},
      // Near the largest 64-bit value: no overflow, and more hours than an int holds.
      {INT64_MAX, L"2562047788:00:54"},
      {9223372036853994999, L"2562047788:00:53"},
      {9223372036853995000, L"2562047788:00:54"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatMediaDuration(c.micros), c.text) << c.micros;
}
