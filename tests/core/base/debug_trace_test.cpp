#include "core/base/DebugTrace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/DebugOutputRecorder.h"

// What a trace call hands the debugger: one write of whole "\r\n"-ended lines.
TEST(DebugTrace, WritesEachTraceAsOneCallOfWholeLines) {
  struct Case {
    const char* name;
    void (*trace)();
    const char* output;
  } cases[] = {
      {"wide", [] { DebugTrace(L"start-up: thread not started (error %lu)", 5ul); },
       "start-up: thread not started (error 5)\r\n"},
      {"wide with its own ending", [] { DebugTrace(L"main window: cannot build %ls\r\n", L"MainWnd.xml"); },
       "main window: cannot build MainWnd.xml\r\n"},
      {"narrow", [] { DebugTraceA("HTTP %s replied with status %ld", "/api/start", 503L); },
       "HTTP /api/start replied with status 503\r\n"},
      {"narrow with its own ending", [] { DebugTraceA("%s\r\n", "RequestId r-1"); }, "RequestId r-1\r\n"},
      {"tool output of several lines",
       [] { DebugTraceA("ffmpeg pass failed: %s", "Input #0\nStream #0:0\n"); },
       "ffmpeg pass failed: Input #0\r\nStream #0:0\r\n"},
      {"wide text with breaks", [] { DebugTrace(L"%ls", L"a\rb\n"); }, "a\r\nb\r\n"},
  };
  for (const Case& c : cases) {
    DebugOutputRecorder debug;
    c.trace();
    EXPECT_EQ(debug.calls(), std::vector<std::string>{c.output}) << c.name;
  }
}
