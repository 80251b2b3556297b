// Test main shared by every test program. Under Windows it also collects what
// the code under test writes with OutputDebugString and prints it beside a
// failed test, since nothing else shows a program's debugger output under Wine.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#ifdef _WIN32
#include <windows.h>

#include <mutex>
#endif
#ifdef QUILLORA_TEST_MAIN_CONTROLS
#include "ui/controls/BuiltInControls.h"
#endif
#ifdef _WIN32

namespace {

std::mutex debugMutex;
std::string debugOutput;  // UTF-8

// OutputDebugStringW converts to the ANSI code page and raises this exception
// with the narrow text; a vectored handler sees it before the system does.
constexpr DWORD kDebugPrintException = 0x40010006;

LONG CALLBACK CaptureDebugString(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info->ExceptionRecord;
  if (record->ExceptionCode != kDebugPrintException || record->NumberParameters < 2) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
  const int length = static_cast<int>(record->ExceptionInformation[0]);
  if (text != nullptr && length > 0) {
    int wideLength = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, length, wide.data(), wideLength);
    int utf8Length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(utf8Length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), utf8Length, nullptr, nullptr);
    while (!utf8.empty() && utf8.back() == '\0') utf8.pop_back();
    std::lock_guard<std::mutex> lock(debugMutex);
    debugOutput += utf8;
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

class DebugOutputPrinter : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override {
    std::lock_guard<std::mutex> lock(debugMutex);
    debugOutput.clear();
  }
  void OnTestEnd(const testing::TestInfo& info) override {
    std::lock_guard<std::mutex> lock(debugMutex);
    if (info.result()->Failed() && !debugOutput.empty()) {
      std::fprintf(stderr, "---- debugger output of %s.%s ----\n%s\n---- end of debugger output ----\n",
                   info.test_suite_name(), info.name(), debugOutput.c_str());
    }
  }
};

}  // namespace
#endif

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
#ifdef _WIN32
  AddVectoredExceptionHandler(1, CaptureDebugString);
  testing::UnitTest::GetInstance()->listeners().Append(new DebugOutputPrinter);
  // Keep the system from showing error dialogs for a crashing test under Wine.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
#endif
  std::setvbuf(stdout, nullptr, _IONBF, 0);
#ifdef QUILLORA_TEST_MAIN_CONTROLS
  Trellis::RegisterBuiltInControls();
#endif
  return RUN_ALL_TESTS();
}
