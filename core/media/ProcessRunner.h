#pragma once
// Runs console programs hidden while collecting everything they print, each
// within a time bound and ended by its caller's stop token.
//
// Each run inherits only its own pipe's write end to its child, so runs on
// several threads never wait for each other's children. The pipe is polled,
// never read while empty, so the run's bound and stop token are seen while the
// child prints nothing. The exit code is read once the child has ended.
// When no child could be started the result and the exit code both hold the
// system's error code (-1 when it gave none), so a caller that tests only the
// exit code still sees the failure.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

class StopToken;

// The child started by the last RunHiddenProcess call. A text-to-speech
// worker that is terminated while its ffmpeg pass runs leaves its child here;
// the next pass ends it before it writes the same files. Lock-free, because a
// terminated thread must not leave a lock held: the record is one atomic word
// holding a publication ticket (a publication number and the duplicate of the
// child's process handle), so publishing, withdrawing and taking the child
// are each a single atomic step.
class SharedChildProcess {
 public:
  // Publishes a child; the record keeps a duplicate of its process handle.
  // Returns the ticket of this publication, 0 when it could not be made.
  uint64_t Publish(HANDLE process);
  // Withdraws this publication if it is still the current one; a child
  // published meanwhile by another run stays. False when the publication was
  // taken from the record (ended by Terminate, or replaced).
  bool Withdraw(uint64_t ticket);
  // Ends the published child, if any, with exit code 0.
  void Terminate();
  // Whether Terminate ended the child of this publication while it still ran.
  bool WasTerminated(uint64_t ticket) const { return ticket != 0 && m_terminated.load() == ticket; }
  bool empty() const { return m_current.load() == 0; }

 private:
  std::atomic<uint64_t> m_current{0};     // ticket of the published child (owns its duplicate); 0 = none
  std::atomic<uint32_t> m_nextNumber{1};  // publication numbers, never 0
  std::atomic<uint64_t> m_terminated{0};  // ticket of the last child Terminate ended
  // A lock inside the atomics would be held forever by a terminated thread.
  static_assert(std::atomic<uint64_t>::is_always_lock_free, "tickets need lock-free 64-bit atomics");
};
extern SharedChildProcess sharedChildProcess;

// Ends the child held in sharedChildProcess, if any.
void TerminateSharedChild();

// What ends a run before its child has finished: a time bound and the
// caller's stop token. The child is then ended (it is the run's own child) and
// the run fails with ERROR_TIMEOUT or ERROR_CANCELLED as its exit code. A
// default bound means none: tests' own helper runs; the program's runs all
// give one.
struct ChildRunLimits {
  DWORD timeLimitMs = INFINITE;
  const StopToken* stop = nullptr;  // borrowed; the run ends soon after it is set
};

// The program's bounds, read when a run starts; tests shorten them. An ffmpeg
// pass gets the floor plus a multiple of the media's length, or the
// unknown-length bound; the document writer gets its fixed bound.
struct ChildTimeLimits {
  DWORD floorMs = 120000;
  DWORD perMediaSecondMs = 4000;  // ffmpeg runs far faster than real time
  DWORD unknownLengthMs = 1800000;
  DWORD documentWriterMs = 300000;
};
ChildTimeLimits& GetChildTimeLimits();

// The bound of an ffmpeg pass over media lasting `mediaMicros` (0 or less:
// not known).
DWORD FfmpegTimeLimitMs(int64_t mediaMicros);

// Ends the shared child, writes the command line to the debugger output, runs
// it and publishes its child in sharedChildProcess while it runs. Appends the
// child's standard output and error to `output` in arrival order. Returns the
// child's exit code, or the error code when it could not be started. A child
// that another pass ended through sharedChildProcess has not done its work:
// the run then gives ERROR_PROCESS_ABORTED, never the 0 it was ended with.
uint32_t RunHiddenProcess(const std::wstring& commandLine, uint32_t& exitCode, std::string& output,
                          const ChildRunLimits& limits = ChildRunLimits());

// Runs "ffmpeg.exe <arguments>" the same way, but in a record of its own: safe
// for parallel use and leaves sharedChildProcess alone.
uint32_t RunFfmpeg(const std::wstring& arguments, uint32_t& exitCode, std::string& output,
                   const ChildRunLimits& limits = ChildRunLimits());

// Runs a command line like RunHiddenProcess (traced to the debugger output)
// but in a record of its own, leaving sharedChildProcess alone: for callers
// that run side by side, such as the speech-to-text jobs' document writer.
uint32_t RunIsolatedProcess(const std::wstring& commandLine, uint32_t& exitCode, std::string& output,
                            const ChildRunLimits& limits = ChildRunLimits());

// The command line of an ffmpeg pass: "ffmpeg.exe" and the arguments.
std::wstring FfmpegCommandLine(const std::wstring& arguments);
