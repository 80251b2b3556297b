#include "core/media/ProcessRunner.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "core/base/WorkerThread.h"

// Some cases start this test program again as the child, which then does what
// the environment variable below says instead of running tests.
namespace {

constexpr wchar_t kChildModeVariable[] = L"QUILLORA_RUNNER_CHILD";

std::wstring SelfAsChild(const wchar_t* mode) {
  SetEnvironmentVariableW(kChildModeVariable, mode);
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return L"\"" + std::wstring(self) + L"\" --gtest_filter=ProcessRunnerChild.*";
}

// Children of this test program (ffmpeg or the program itself) still running.
int RunningChildren() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  int running = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ParentProcessID == GetCurrentProcessId()) ++running;
  }
  CloseHandle(snapshot);
  return running;
}

// No window here: a plain poll, without the UI tests' message pump.
bool PollUntil(bool (*condition)(), int timeoutMs) {
  for (int waited = 0; waited < timeoutMs; waited += 10) {
    if (condition()) return true;
    Sleep(10);
  }
  return condition();
}

}  // namespace

TEST(ProcessRunnerChild, ActsWhenStartedAsChild) {
  wchar_t mode[32] = {};
  if (GetEnvironmentVariableW(kChildModeVariable, mode, 32) == 0) return;  // an ordinary test run
  if (std::wstring(mode) == L"linger") {
    // Closes its output long before it ends: the exit code is only known later.
    CloseHandle(GetStdHandle(STD_OUTPUT_HANDLE));
    CloseHandle(GetStdHandle(STD_ERROR_HANDLE));
    Sleep(500);
    ExitProcess(7);
  }
  if (std::wstring(mode) == L"sleep") {
    Sleep(20000);
    ExitProcess(0);
  }
  if (std::wstring(mode) == L"hang") {
    // Keeps its output open and does not end within any test's patience;
    // when it finally does, it claims success.
    Sleep(60000);
    ExitProcess(0);
  }
}

TEST(ProcessRunner, CollectsOutputAndExitCodeOfFfmpeg) {
  std::string output = "kept:";
  uint32_t exitCode = 99;
  EXPECT_EQ(RunFfmpeg(L"-version", exitCode, output), 0u);
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(output.rfind("kept:ffmpeg version", 0), 0u) << output;

  // ffmpeg reports errors on its standard error stream.
  output.clear();
  EXPECT_NE(RunFfmpeg(L"-hide_banner -i \"C:\\no such folder\\missing.wav\" -f null -", exitCode, output), 0u);
  EXPECT_NE(exitCode, 0u);
  EXPECT_NE(output.find("missing.wav"), std::string::npos) << output;
}

TEST(ProcessRunner, MissingProgramIsAFailureInBothResults) {
  std::string output;
  uint32_t exitCode = 0;
  const uint32_t result = RunHiddenProcess(L"quillora_no_such_tool.exe -y", exitCode, output);
  EXPECT_EQ(result, static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(exitCode, result);
  EXPECT_TRUE(output.empty());
  EXPECT_TRUE(sharedChildProcess.empty());
}

TEST(ProcessRunner, ReadsTheExitCodeOnceTheChildHasEnded) {
  std::string output;
  uint32_t exitCode = 0;
  EXPECT_EQ(RunHiddenProcess(SelfAsChild(L"linger"), exitCode, output), 7u);
  EXPECT_EQ(exitCode, 7u);
  EXPECT_TRUE(sharedChildProcess.empty());
}

// A run's child must not inherit handles that other threads have made
// inheritable, such as the write end of a parallel run's pipe: that run would
// wait for this child to end before its own read could finish.
TEST(ProcessRunner, ChildInheritsOnlyItsOwnPipe) {
  SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
  HANDLE otherRead = nullptr, otherWrite = nullptr;
  ASSERT_TRUE(CreatePipe(&otherRead, &otherWrite, &inheritable, 0));

  uint32_t exitCode = 99;
  uint32_t result = 99;
  std::string output;
  std::thread run([&] { result = RunHiddenProcess(SelfAsChild(L"sleep"), exitCode, output); });
  ASSERT_TRUE(PollUntil([] { return !sharedChildProcess.empty(); }, 10000));
  CloseHandle(otherWrite);
  DWORD available = 0;
  const BOOL stillOpen = PeekNamedPipe(otherRead, nullptr, 0, nullptr, &available, nullptr);
  const DWORD error = GetLastError();

  // The shared record lets the next pass end the child of an interrupted one.
  const auto start = std::chrono::steady_clock::now();
  TerminateSharedChild();
  run.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  CloseHandle(otherRead);
  EXPECT_FALSE(stillOpen) << "the child holds another run's pipe";
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_BROKEN_PIPE));
  // The child was ended with exit code 0 before it finished: the run fails.
  EXPECT_EQ(exitCode, static_cast<uint32_t>(ERROR_PROCESS_ABORTED));
  EXPECT_EQ(result, exitCode);
  EXPECT_TRUE(sharedChildProcess.empty());
}

// A child that never ends, whichever runner started it, is ended by the
// run's bound or by its stop flag, and the run fails: its worker is free
// again, and a half-done pass is never taken for a finished one.
TEST(ProcessRunner, AChildThatNeverEndsIsEndedByTheBoundOrTheStopFlagAndFails) {
  enum Runner { kHidden, kIsolated, kFfmpeg };
  struct Case {
    const char* name;
    Runner runner;
    DWORD timeLimitMs;
    DWORD stopAfterMs;  // INFINITE: the flag is never set
    uint32_t expected;
  } cases[] = {
      {"hidden, bound", kHidden, 1500, INFINITE, ERROR_TIMEOUT},
      {"hidden, stopped", kHidden, INFINITE, 800, ERROR_CANCELLED},
      {"isolated, bound", kIsolated, 1500, INFINITE, ERROR_TIMEOUT},
      {"isolated, stopped before the bound", kIsolated, 30000, 800, ERROR_CANCELLED},
      // A real ffmpeg pass that prints its progress all along and would run
      // for a minute.
      {"ffmpeg, bound", kFfmpeg, 2500, INFINITE, ERROR_TIMEOUT},
      {"ffmpeg, stopped", kFfmpeg, INFINITE, 2500, ERROR_CANCELLED},
  };
  for (const Case& c : cases) {
    StopToken stop;
    std::thread stopper;
    if (c.stopAfterMs != INFINITE) {
      stopper = std::thread([&stop, &c] {
        Sleep(c.stopAfterMs);
        stop.RequestStop();
      });
    }
    const ChildRunLimits limits{c.timeLimitMs, &stop};
    std::string output;
    uint32_t exitCode = 0;
    uint32_t result = 0;
    const auto start = std::chrono::steady_clock::now();
    switch (c.runner) {
      case kHidden: result = RunHiddenProcess(SelfAsChild(L"hang"), exitCode, output, limits); break;
      case kIsolated: result = RunIsolatedProcess(SelfAsChild(L"hang"), exitCode, output, limits); break;
      case kFfmpeg:
        result = RunFfmpeg(L"-hide_banner -re -f lavfi -i anullsrc=r=8000 -t 60 -f null -", exitCode, output, limits);
        break;
    }
    const auto took = std::chrono::steady_clock::now() - start;
    if (stopper.joinable()) stopper.join();
    EXPECT_LT(took, std::chrono::seconds(15)) << c.name << ": the run waited for its child";
    EXPECT_EQ(exitCode, c.expected) << c.name;
    EXPECT_EQ(result, exitCode) << c.name;
    EXPECT_TRUE(sharedChildProcess.empty()) << c.name;
    if (c.runner == kFfmpeg) {
      EXPECT_NE(output.find("size="), std::string::npos) << c.name << ": its progress was not collected\n" << output;
    }
    EXPECT_EQ(RunningChildren(), 0) << c.name << ": the child still runs";
  }
}

TEST(ProcessRunner, FfmpegRunsDoNotTouchTheSharedChild) {
  std::string output;
  uint32_t exitCode = 0;
  std::thread hidden([&] { RunHiddenProcess(SelfAsChild(L"sleep"), exitCode, output); });
  ASSERT_TRUE(PollUntil([] { return !sharedChildProcess.empty(); }, 10000));
  std::string ffmpegOutput;
  uint32_t ffmpegExit = 99;
  RunFfmpeg(L"-version", ffmpegExit, ffmpegOutput);
  EXPECT_EQ(ffmpegExit, 0u);
  EXPECT_FALSE(sharedChildProcess.empty());
  // Isolated runs (the speech-to-text jobs' document writer) leave it alone too.
  uint32_t isolatedExit = 99;
  RunIsolatedProcess(L"ffmpeg.exe -version", isolatedExit, ffmpegOutput);
  EXPECT_EQ(isolatedExit, 0u);
  EXPECT_FALSE(sharedChildProcess.empty());
  TerminateSharedChild();
  hidden.join();
}

// Withdrawing is one atomic step: a run whose child was taken from the record
// (ended, or replaced by a later run's) leaves the later publication alone.
TEST(SharedChildProcess, WithdrawTakesOnlyItsOwnPublication) {
  SharedChildProcess record;
  HANDLE self = GetCurrentProcess();
  const uint64_t first = record.Publish(self);
  ASSERT_NE(first, 0u);
  const uint64_t second = record.Publish(self);  // replaces the first
  ASSERT_NE(second, 0u);
  EXPECT_NE(first, second);
  EXPECT_FALSE(record.Withdraw(first));
  EXPECT_FALSE(record.empty()) << "the later run's child must stay published";
  EXPECT_FALSE(record.WasTerminated(first));
  EXPECT_TRUE(record.Withdraw(second));
  EXPECT_TRUE(record.empty());
  EXPECT_TRUE(record.Withdraw(0));  // a run that published nothing
}

TEST(SharedChildProcess, TerminateMarksOnlyAChildItEnded) {
  // A finished child is taken out but not marked: its work is complete.
  SharedChildProcess record;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION child{};
  std::wstring line = SelfAsChild(L"linger");
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                             &startup, &child));
  WaitForSingleObject(child.hProcess, INFINITE);
  const uint64_t finished = record.Publish(child.hProcess);
  record.Terminate();
  EXPECT_TRUE(record.empty());
  EXPECT_FALSE(record.WasTerminated(finished));
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);

  line = SelfAsChild(L"sleep");
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                             &startup, &child));
  const uint64_t running = record.Publish(child.hProcess);
  record.Terminate();
  EXPECT_TRUE(record.WasTerminated(running));
  EXPECT_FALSE(record.Withdraw(running));
  EXPECT_EQ(WaitForSingleObject(child.hProcess, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
}
