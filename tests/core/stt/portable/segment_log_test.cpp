#include "core/stt/portable/SegmentLog.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace {

// What the expression the segment lines are defined by finds.
std::vector<std::string> ByRegex(const std::string& text) {
  static const std::regex pattern("Opening '(.*)' for");
  std::vector<std::string> found;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it) {
    found.push_back((*it)[1]);
  }
  return found;
}

}  // namespace

TEST(SegmentLog, FindsEverySegmentOfAnFfmpegLog) {
  // Shaped like the segment pass's console output: progress lines end in "\r".
  const std::string log =
      "Input #0, mp3, from 'C:\\t\\k.mp3':\n  Duration: 00:04:00.03\n"
      "[segment @ 026a4840] Opening 'C:\\t\\k00.mp3' for writing\n"
      "Output #0, segment, to 'C:\\t\\k%02d.mp3':\n"
      "size=N/A time=00:01:40.00 bitrate=N/A speed= 200x\r"
      "[segment @ 026a4840] Opening 'C:\\t\\k01.mp3' for writing\r\n"
      "size=N/A time=00:03:40.00 bitrate=N/A speed= 200x\r"
      "[segment @ 026a4840] Opening 'C:\\\xE6\x96\x87\\k02.mp3' for writing\n"
      "video:0kB audio:1875kB";
  EXPECT_EQ(ParseSegmentPaths(log),
            (std::vector<std::string>{"C:\\t\\k00.mp3", "C:\\t\\k01.mp3", "C:\\\xE6\x96\x87\\k02.mp3"}));
}

TEST(SegmentLog, AgreesWithTheExpressionOnOddLines) {
  const char* cases[] = {
      "",
      "no segment here",
      "Opening 'a' for",
      "Opening 'a' for writing Opening 'b' for writing",  // greedy: one match to the last "' for"
      "Opening ' for",
      "Opening '' for",
      "Opening 'x\nOpening 'y' for",                   // a match does not cross a line end
      "Opening 'x' fo\rOpening 'y' for\r",
      "xxOpening 'it's' for good' for",
      "Opening 'a' for\n\nOpening 'b' for",
  };
  for (const char* text : cases) EXPECT_EQ(ParseSegmentPaths(text), ByRegex(text)) << text;
}

TEST(SegmentLog, LongLinesDoNotExhaustTheStack) {
  const std::string line = "Opening '" + std::string(2000000, 'x') + "' for writing";
  ASSERT_EQ(ParseSegmentPaths(line).size(), 1u);
  EXPECT_EQ(ParseSegmentPaths(line)[0].size(), 2000000u);
}
