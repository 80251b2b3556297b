#include "core/stt/SegmentFiles.h"

#include <gtest/gtest.h>

#include "core/base/TextConversion.h"
#include "tests/core/stt/Voice2TextTesting.h"

namespace {

void Touch(const std::wstring& path) { ASSERT_TRUE(v2ttest::WriteFileBytes(path, "")); }

}  // namespace

TEST(SegmentFiles, NumbersAsFfmpegDoes) {
  EXPECT_EQ(SegmentFilePath(L"C:\\t\\k", 0), L"C:\\t\\k00.mp3");
  EXPECT_EQ(SegmentFilePath(L"C:\\t\\k", 7), L"C:\\t\\k07.mp3");
  EXPECT_EQ(SegmentFilePath(L"C:\\t\\k", 100), L"C:\\t\\k100.mp3");
}

// The segments come from the name pattern and from ffmpeg's log together:
// neither a quiet log nor a file the pattern misses loses a segment.
TEST(SegmentFiles, PatternAndLogTogether) {
  v2ttest::ScratchFolder scratch(L"segment_files");
  const std::wstring stem = scratch.path() + L"key";
  Touch(stem + L"00.mp3");
  Touch(stem + L"01.mp3");
  Touch(stem + L"03.mp3");  // after a gap: not part of this run
  const std::string loggedFirst = WideToUtf8(stem + L"00.mp3");
  const std::string loggedMissing = WideToUtf8(stem + L"02.mp3");
  const std::string loggedOther = WideToUtf8(scratch.path() + L"other.mp3");

  EXPECT_EQ(CollectSegmentFiles(stem, {}), (std::vector<std::wstring>{stem + L"00.mp3", stem + L"01.mp3"}));
  EXPECT_EQ(CollectSegmentFiles(stem, {loggedFirst}),
            (std::vector<std::wstring>{stem + L"00.mp3", stem + L"01.mp3"}));
  // A logged file keeps the numbering going, so its upload then fails loudly.
  EXPECT_EQ(CollectSegmentFiles(stem, {loggedFirst, loggedMissing}),
            (std::vector<std::wstring>{stem + L"00.mp3", stem + L"01.mp3", stem + L"02.mp3", stem + L"03.mp3"}));
  EXPECT_EQ(CollectSegmentFiles(stem, {loggedOther}),
            (std::vector<std::wstring>{stem + L"00.mp3", stem + L"01.mp3", scratch.path() + L"other.mp3"}));

  RemoveSegmentFiles(stem);
  EXPECT_FALSE(v2ttest::Exists(stem + L"00.mp3"));
  EXPECT_FALSE(v2ttest::Exists(stem + L"01.mp3"));
  EXPECT_TRUE(v2ttest::Exists(stem + L"03.mp3"));  // beyond the first gap
  EXPECT_TRUE(CollectSegmentFiles(stem, {}).empty());
}
