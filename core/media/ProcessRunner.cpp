#include "core/media/ProcessRunner.h"

#include <memory>
#include <vector>

#include "core/base/DebugTrace.h"
#include "core/base/ScopedHandle.h"
#include "core/base/WorkerThread.h"

SharedChildProcess sharedChildProcess;

// --- Shared child record ---

namespace {

// Kernel handles carry only 32 significant bits (even in 64-bit processes,
// for interoperability), so a ticket packs the publication number above the
// handle value in one 64-bit word.
uint64_t MakeTicket(uint32_t number, HANDLE duplicate) {
  return (static_cast<uint64_t>(number) << 32) | static_cast<uint32_t>(reinterpret_cast<uintptr_t>(duplicate));
}

HANDLE TicketHandle(uint64_t ticket) {
  return reinterpret_cast<HANDLE>(static_cast<intptr_t>(static_cast<int32_t>(static_cast<uint32_t>(ticket))));
}

}  // namespace

uint64_t SharedChildProcess::Publish(HANDLE process) {
  HANDLE duplicate = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), &duplicate, 0, FALSE,
                       DUPLICATE_SAME_ACCESS)) {
    return 0;
  }
  uint32_t number = m_nextNumber.fetch_add(1);
  if (number == 0) number = m_nextNumber.fetch_add(1);  // after wrapping round
  const uint64_t ticket = MakeTicket(number, duplicate);
  const uint64_t previous = m_current.exchange(ticket);
  if (previous != 0) CloseHandle(TicketHandle(previous));
  return ticket;
}

bool SharedChildProcess::Withdraw(uint64_t ticket) {
  if (ticket == 0) return true;  // nothing was published
  uint64_t expected = ticket;
  // Only this publication is taken out; a later one (another run's) stays.
  if (!m_current.compare_exchange_strong(expected, 0)) return false;
  CloseHandle(TicketHandle(ticket));
  return true;
}

void SharedChildProcess::Terminate() {
  const uint64_t ticket = m_current.exchange(0);
  if (ticket == 0) return;
  const HANDLE duplicate = TicketHandle(ticket);
  // Marked before the child dies, so its runner, which wakes when the child's
  // pipe closes, already sees the mark. A child that has finished on its own
  // is not marked: its work is complete.
  if (WaitForSingleObject(duplicate, 0) == WAIT_TIMEOUT) {
    m_terminated.store(ticket);
    if (!TerminateProcess(duplicate, 0)) {
      uint64_t marked = ticket;
      m_terminated.compare_exchange_strong(marked, 0);
    }
  }
  CloseHandle(duplicate);
}

void TerminateSharedChild() { sharedChildProcess.Terminate(); }

// --- Runner ---

namespace {

uint32_t LastErrorOrMinusOne() {
  const DWORD error = GetLastError();
  return error != 0 ? error : static_cast<uint32_t>(-1);
}

struct AttributeListDeleter {
  void operator()(LPPROC_THREAD_ATTRIBUTE_LIST list) const {
    DeleteProcThreadAttributeList(list);
    delete[] reinterpret_cast<char*>(list);
  }
};
using AttributeList = std::unique_ptr<_PROC_THREAD_ATTRIBUTE_LIST, AttributeListDeleter>;

// An attribute list that lets the child inherit exactly one handle.
AttributeList InheritOnly(HANDLE* handle) {
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(new char[size]);
  if (!InitializeProcThreadAttributeList(list, 1, 0, &size)) {
    delete[] reinterpret_cast<char*>(list);
    return AttributeList();
  }
  AttributeList owned(list);
  if (!UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handle, sizeof(HANDLE), nullptr,
                                 nullptr)) {
    return AttributeList();
  }
  return owned;
}

// Appends what the pipe holds now, never waiting for more; false once the
// pipe is closed (the child's ends are all closed).
bool DrainPipe(HANDLE readEnd, std::vector<char>& chunk, std::string& output) {
  for (;;) {
    DWORD available = 0;
    if (!PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr)) return false;
    if (available == 0) return true;
    const DWORD room = static_cast<DWORD>(chunk.size() - 1);
    DWORD got = 0;
    if (!ReadFile(readEnd, chunk.data(), available < room ? available : room, &got, nullptr)) return false;
    output.append(chunk.data(), got);
  }
}

enum class RunEnd { kFinished, kTimedOut, kStopped };

// Collects the child's output until it has ended, or ends it when the bound
// passes or the stop token is set. The pipe can close before the child has
// ended (its exit code is only final then), and a child that has ended has
// written everything it will: so the child's end, not the pipe's, ends the run.
RunEnd CollectUntilEnd(HANDLE process, HANDLE readEnd, const ChildRunLimits& limits, std::vector<char>& chunk,
                       std::string& output) {
  const ULONGLONG start = GetTickCount64();
  bool pipeOpen = true;
  for (;;) {
    if (pipeOpen) pipeOpen = DrainPipe(readEnd, chunk, output);
    if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
      if (pipeOpen) DrainPipe(readEnd, chunk, output);
      return RunEnd::kFinished;
    }
    RunEnd end = RunEnd::kFinished;
    if (limits.stop != nullptr && limits.stop->StopRequested()) {
      end = RunEnd::kStopped;
    } else if (limits.timeLimitMs != INFINITE && GetTickCount64() - start >= limits.timeLimitMs) {
      end = RunEnd::kTimedOut;
    }
    if (end != RunEnd::kFinished) {
      // A child that finished just now has done its work; any other is ended.
      if (!TerminateProcess(process, end == RunEnd::kTimedOut ? ERROR_TIMEOUT : ERROR_CANCELLED) &&
          WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
        continue;
      }
      WaitForSingleObject(process, 5000);
      return end;
    }
    // ffmpeg prints its progress in small pieces; don't spin on them.
    WaitForSingleObject(process, 10);
  }
}

uint32_t RunChild(const std::wstring& commandLine, bool shared, const ChildRunLimits& limits, uint32_t& exitCode,
                  std::string& output) {
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, nullptr, 0)) return exitCode = LastErrorOrMinusOne();
  OwnedHandle reader(readEnd);
  OwnedHandle writer(writeEnd);
  AttributeList attributes = InheritOnly(&writeEnd);
  if (!attributes || !SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT)) {
    return exitCode = LastErrorOrMinusOne();
  }

  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof(startup);
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup.StartupInfo.wShowWindow = SW_HIDE;
  startup.StartupInfo.hStdOutput = writeEnd;
  startup.StartupInfo.hStdError = writeEnd;
  startup.lpAttributeList = attributes.get();
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');
  PROCESS_INFORMATION child{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr,
                      &startup.StartupInfo, &child)) {
    return exitCode = LastErrorOrMinusOne();
  }
  OwnedHandle process(child.hProcess);
  OwnedHandle thread(child.hThread);
  writer.Reset();  // reads end once the child's copy closes
  const uint64_t ticket = shared ? sharedChildProcess.Publish(child.hProcess) : 0;

  std::vector<char> chunk(4096);
  const RunEnd end = CollectUntilEnd(child.hProcess, readEnd, limits, chunk, output);
  if (end != RunEnd::kFinished) {
    if (shared) sharedChildProcess.Withdraw(ticket);
    exitCode = end == RunEnd::kTimedOut ? ERROR_TIMEOUT : ERROR_CANCELLED;
    DebugTrace(L"%ls; ended: %ls", end == RunEnd::kTimedOut ? L"not finished in time" : L"asked to stop",
               commandLine.c_str());
    return exitCode;
  }

  DWORD code = 0;
  exitCode = GetExitCodeProcess(child.hProcess, &code) ? code : static_cast<uint32_t>(-1);
  if (shared && !sharedChildProcess.Withdraw(ticket) && sharedChildProcess.WasTerminated(ticket)) {
    // Ended by another pass with exit code 0: its output is cut short.
    DebugTrace(L"ended by another pass before it finished: %ls", commandLine.c_str());
    exitCode = ERROR_PROCESS_ABORTED;
  }
  return exitCode;
}

}  // namespace

uint32_t RunHiddenProcess(const std::wstring& commandLine, uint32_t& exitCode, std::string& output,
                          const ChildRunLimits& limits) {
  TerminateSharedChild();
  DebugTrace(L"%ls", commandLine.c_str());
  return RunChild(commandLine, true, limits, exitCode, output);
}

uint32_t RunIsolatedProcess(const std::wstring& commandLine, uint32_t& exitCode, std::string& output,
                            const ChildRunLimits& limits) {
  DebugTrace(L"%ls", commandLine.c_str());
  return RunChild(commandLine, false, limits, exitCode, output);
}

std::wstring FfmpegCommandLine(const std::wstring& arguments) { return L"ffmpeg.exe " + arguments; }

uint32_t RunFfmpeg(const std::wstring& arguments, uint32_t& exitCode, std::string& output,
                   const ChildRunLimits& limits) {
  return RunChild(FfmpegCommandLine(arguments), false, limits, exitCode, output);
}

ChildTimeLimits& GetChildTimeLimits() {
  static ChildTimeLimits limits;
  return limits;
}

DWORD FfmpegTimeLimitMs(int64_t mediaMicros) {
  const ChildTimeLimits& limits = GetChildTimeLimits();
  if (mediaMicros <= 0) return limits.unknownLengthMs;
  const uint64_t seconds = (static_cast<uint64_t>(mediaMicros) + 999999) / 1000000;
  const uint64_t bound = limits.floorMs + seconds * limits.perMediaSecondMs;
  // INFINITE itself would mean no bound.
  return bound < INFINITE ? static_cast<DWORD>(bound) : INFINITE - 1;
}
