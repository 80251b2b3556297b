#include "core/base/portable/TraceLines.h"

#include <gtest/gtest.h>

TEST(EndTraceLines, EndsEveryLineWithOneCarriageReturnAndLineFeed) {
  struct Case {
    const char* text;
    const char* lines;
  } cases[] = {
      {"cache key 1a2b", "cache key 1a2b\r\n"},
      {"main window: cannot build MainWnd.xml\r\n", "main window: cannot build MainWnd.xml\r\n"},  // not doubled
      {"ends twice\r\n\r\n", "ends twice\r\n"},
      {"unix end\n", "unix end\r\n"},
      {"old mac end\r", "old mac end\r\n"},
      {"", "\r\n"},
      {"\r\n", "\r\n"},
      // Tool output inside a line: each of its lines ends the same way.
      {"ffmpeg pass failed: a\nb\r\nc\rd\n", "ffmpeg pass failed: a\r\nb\r\nc\r\nd\r\n"},
      {"empty line kept\n\nafter", "empty line kept\r\n\r\nafter\r\n"},
      {"\n\rlead", "\r\n\r\nlead\r\n"},  // "\n\r" is two breaks, not one
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EndTraceLines(std::string(c.text)), c.lines) << c.text;
    // The wide form treats the same text the same way.
    const std::string narrow = c.text;
    const std::string expected = c.lines;
    EXPECT_EQ(EndTraceLines(std::wstring(narrow.begin(), narrow.end())),
              std::wstring(expected.begin(), expected.end()))
        << c.text;
  }
}

TEST(EndTraceLines, KeepsCharactersOutsideAscii) {
  EXPECT_EQ(EndTraceLines(std::wstring(L"服务器返回的Base64数据:: \U0001F600\n")),
            L"服务器返回的Base64数据:: \U0001F600\r\n");
}
