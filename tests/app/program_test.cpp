// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// The real programs under Wine: Quillora.exe's single instance and main
// window, and the crash handler of its test variant with Crashvane.exe.
#include "app/ProductInfo.h"
#include "core/base/AppMessages.h"
#include "tests/support/ControlQueryClient.h"
#include "tests/support/RunningProgram.h"
#include "tests/support/Screenshot.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestFiles.h"
#include "tests/support/Waiting.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

using namespace testfiles;
using testshots::SaveWindowPng;

namespace {

using testprograms::BinFolder;
using testprograms::Program;
using testwait::PumpFor;

std::vector<HWND> MainWindowsOf(DWORD pid) { return testprograms::WindowsOf(pid, kMainWindowClass); }

HWND WaitForMainWindow(DWORD pid, DWORD timeoutMs) {
  return testprograms::WaitForWindow(pid, kMainWindowClass, timeoutMs);
}

// Ends the running program (closing asks the quit question, which the main
// window's own tests answer).
void CloseProgram(HWND, Program& program) { program.Terminate(); }

// A window of the test's own that holds the foreground before a second start.
HWND MakeForegroundWindow() {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"QuilloraTestForeground";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"foreground", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                                40, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
  SetForegroundWindow(window);
  PumpFor(300);
  return window;
}

TEST(QuilloraProgram, StartsOnceAndASecondStartBringsTheFirstToTheFront) {
  Program first;
  ASSERT_TRUE(first.Start(L"Quillora.exe"));
  HWND window = WaitForMainWindow(first.pid(), 30000);
  ASSERT_NE(window, nullptr) << "the main window did not appear";
  Sleep(1500);  // the first paints, the skin images loaded
  EXPECT_TRUE(SaveWindowPng(L"main-window-startup.png", window));

  HWND other = MakeForegroundWindow();
  Program second;
  ASSERT_TRUE(second.Start(L"Quillora.exe"));
  EXPECT_EQ(second.WaitForExit(20000), 0u);
  EXPECT_TRUE(MainWindowsOf(second.pid()).empty()) << "the second start made a window";
  EXPECT_EQ(MainWindowsOf(first.pid()).size(), 1u);
  // 1124 reached the first, which took the front from our window.
  HWND front = nullptr;
  for (int i = 0; i < 50 && front != window; ++i) {
    PumpFor(100);
    front = GetForegroundWindow();
  }
  EXPECT_EQ(front, window);
  DestroyWindow(other);

  CloseProgram(window, first);

  // Two starts at once: the named mutex lets exactly one of them run.
  Program a, b;
  ASSERT_TRUE(a.Start(L"Quillora.exe"));
  ASSERT_TRUE(b.Start(L"Quillora.exe"));
  // One of them ends with 0 and without a window; the other keeps running.
  const ULONGLONG end = GetTickCount64() + 30000;
  DWORD codeA = STILL_ACTIVE, codeB = STILL_ACTIVE;
  while (codeA == STILL_ACTIVE && codeB == STILL_ACTIVE && GetTickCount64() < end) {
    codeA = a.WaitForExit(100);
    codeB = b.WaitForExit(0);
  }
  ASSERT_TRUE((codeA == STILL_ACTIVE) != (codeB == STILL_ACTIVE)) << codeA << " " << codeB;
  Program& running = codeA == STILL_ACTIVE ? a : b;
  Program& ended = codeA == STILL_ACTIVE ? b : a;
  EXPECT_EQ(ended.WaitForExit(0), 0u);
  HWND only = WaitForMainWindow(running.pid(), 30000);
  ASSERT_NE(only, nullptr);
  EXPECT_TRUE(MainWindowsOf(ended.pid()).empty());
  Sleep(1000);  // the running one stays alone
  EXPECT_EQ(running.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE));
  CloseProgram(only, running);
}

// The hooks live only in the test variant: the shipped program neither
// crashes on request nor answers the control query, which the test variant,
// started the same way after it, does answer.
TEST(QuilloraProgram, OnlyTheTestVariantAnswersControlQueriesAndCrashesOnRequest) {
  testprograms::ProgramStart start;
  start.exe = L"Quillora.exe";
  start.environment = {{L"QUILLORA_TEST_CRASH", L"1"}};
  {
    Program shipped;
    ASSERT_TRUE(shipped.Start(start));
    HWND window = WaitForMainWindow(shipped.pid(), 30000);
    ASSERT_NE(window, nullptr) << "the shipped program ended before its window showed";
    testprograms::ControlQueryClient query(shipped.pid());
    const testprograms::ProgramControl button = query.Query(kMainWindowClass, L"btnShowText2Voice");
    EXPECT_FALSE(button.answered) << "the shipped program answered a control query";
    EXPECT_EQ(shipped.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE)) << "the shipped program crashed on request";
    CloseProgram(window, shipped);
  }
  start.exe = L"QuilloraTestHooks.exe";
  start.environment.clear();
  Program variant;
  ASSERT_TRUE(variant.Start(start));
  HWND window = WaitForMainWindow(variant.pid(), 30000);
  ASSERT_NE(window, nullptr);
  testprograms::ControlQueryClient query(variant.pid());
  testprograms::ProgramControl button;
  for (int i = 0; i < 100 && !button.visible; ++i) {
    button = query.Query(kMainWindowClass, L"btnShowText2Voice");
    if (!button.visible) Sleep(100);
  }
  EXPECT_TRUE(button.answered && button.found && button.visible);
  EXPECT_EQ(button.window, window);
  EXPECT_GT(button.rect.right, button.rect.left);
  CloseProgram(window, variant);
  // A program that is gone answers nothing, and asking does not wait for it.
  const ULONGLONG before = GetTickCount64();
  EXPECT_FALSE(query.Query(kMainWindowClass, L"btnShowText2Voice").answered);
  EXPECT_LT(GetTickCount64() - before, 2000u);
}

TEST(QuilloraProgram, CrashWritesADumpBesideTheProgramAndStartsTheReporter) {
  const std::wstring bin = BinFolder();
  const std::wstring log = bin + L"crash\\crashes.log";
  DeleteFileW(log.c_str());
  ScratchFolder elsewhere(L"crash_cwd");  // the current directory must not matter

  SYSTEMTIME before;
  GetLocalTime(&before);
  testprograms::ProgramStart start;
  start.folder = elsewhere.path();
  start.environment = {{L"QUILLORA_TEST_CRASH", L"1"}};
  Program crashing;
  ASSERT_TRUE(crashing.Start(start));
  const DWORD code = crashing.WaitForExit(30000);
  ASSERT_NE(code, static_cast<DWORD>(STILL_ACTIVE)) << "the test variant did not end";
  EXPECT_NE(code, 0u);

  // The reporter writes its line once it has moved the dump.
  std::string text;
  for (int i = 0; i < 100 && text.find("kept") == std::string::npos; ++i) {
    Sleep(100);
    ReadFileBytes(log, &text);
  }
  ASSERT_NE(text.find("kept"), std::string::npos) << "no reporter line: " << text;
  std::smatch match;
  ASSERT_TRUE(std::regex_search(text, match,
                                std::regex("command: \\./Crashvane\\.exe quillora\\.ini,"
                                           "(Client_([0-9]+)-([0-9]+)_([0-9]+)-([0-9]+)-([0-9]+)\\.dmp)\t")))
      << text;
  const std::string dump = match[1];
  SYSTEMTIME after;
  GetLocalTime(&after);
  // Month, day, hour, minute and second without zero padding (zero is "0")...
  for (int part = 2; part <= 6; ++part) EXPECT_EQ(std::to_string(std::stoi(match[part])), match[part].str()) << dump;
  // ...and the local time of the crash, which lies between the start and the reporter's line.
  const int month = std::stoi(match[2]);
  const int day = std::stoi(match[3]);
  EXPECT_TRUE((month == before.wMonth && day == before.wDay) || (month == after.wMonth && day == after.wDay)) << dump;
  const auto secondOfDay = [](int hour, int minute, int second) { return (hour * 60 + minute) * 60 + second; };
  const int crashSecond = secondOfDay(std::stoi(match[4]), std::stoi(match[5]), std::stoi(match[6]));
  const int first = secondOfDay(before.wHour, before.wMinute, before.wSecond);
  const int last = secondOfDay(after.wHour, after.wMinute, after.wSecond);
  const bool inRun = first <= last ? crashSecond >= first && crashSecond <= last
                                   : crashSecond >= first || crashSecond <= last;  // the run passed midnight
  EXPECT_TRUE(inRun) << dump << " is not a time between " << first << " s and " << last << " s of the day";
  EXPECT_NE(text.find("settings: " + std::string(bin.begin(), bin.end()) + "quillora.ini"), std::string::npos)
      << text;

  const std::wstring wideDump(dump.begin(), dump.end());
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(bin + L"crash\\" + wideDump, &bytes)) << "the dump was not kept in the crash folder";
  EXPECT_EQ(bytes.substr(0, 4), "MDMP");
  EXPECT_FALSE(Exists(bin + wideDump)) << "the reporter left the dump beside the program";
  EXPECT_FALSE(Exists(elsewhere.path() + wideDump)) << "the dump went to the current directory";
}

}  // namespace
