#pragma once
// WorkerThread and StopToken: the program's one way to run work off the UI
// thread and to stop it again. A worker is started with a function that
// receives its token; the owner stops it by setting the token (a flag for
// quick checks, an event for waits, and what every transfer is handed so a
// request ends with it) and waiting a bounded time. A thread that does not
// end within that time is let go: it keeps its own token and function and
// finishes alone, so nothing it uses is freed under it. Never terminated.
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>

#include "core/base/ScopedHandle.h"

// A stop request, set once and never cleared. Shared between the worker's
// owner and the thread; any thread may set it or look at it.
class StopToken {
 public:
  StopToken();
  StopToken(const StopToken&) = delete;
  StopToken& operator=(const StopToken&) = delete;

  void RequestStop();
  bool StopRequested() const { return m_stop.load(); }
  // Waits up to `ms` for a stop; true when one was asked (before or meanwhile).
  bool WaitFor(DWORD ms) const;
  // Manual-reset event, set with the flag: for waits on several objects.
  HANDLE Event() const { return m_event.Get(); }
  // The flag itself, for code that polls (libcurl's progress callback).
  const std::atomic<bool>& Flag() const { return m_stop; }

 private:
  std::atomic<bool> m_stop{false};
  OwnedHandle m_event;
};

// One worker slot: at most one thread at a time. Copying is deleted.
class WorkerThread {
 public:
  using Routine = std::function<void(const StopToken& stop)>;
  // The bound of the destructor's wait.
  static constexpr DWORD kDefaultStopWaitMs = 5000;

  WorkerThread() = default;
  // Stops the thread with the default bound.
  ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Runs `routine` on a new thread with a new token. False, with nothing
  // started, while the previous thread still runs (stop it first) or when no
  // thread could be made.
  bool Start(Routine routine);
  // Sets the running thread's token; does not wait.
  void RequestStop();
  // Sets the token and waits up to `waitMs`; true when the thread has ended
  // (or none ran). Either way the slot is free afterwards: a thread that did
  // not end is let go and finishes alone.
  bool Stop(DWORD waitMs = kDefaultStopWaitMs);
  // Waits up to `waitMs` without asking the thread to stop; true when it has
  // ended (or none ran). An ended thread frees the slot.
  bool Join(DWORD waitMs);
  // A thread was started and has not ended yet.
  bool IsRunning() const;
  // A handle of the running thread that serves only to wait for its end
  // (SYNCHRONIZE access: it cannot end the thread); null when none runs. For
  // a caller that waits on it with other objects or after the slot is gone.
  OwnedHandle WaitHandle() const;
  // The current (or last) thread's token; null before the first start.
  std::shared_ptr<const StopToken> Token() const;

 private:
  struct Shared;
  static DWORD WINAPI ThreadMain(void* parameter);

  std::shared_ptr<Shared> m_shared;  // shared with the thread
  OwnedHandle m_thread;
};

// One worker slot whose thread outlives its routine: the next start hands its
// routine to the waiting thread instead of making a new one. Starting and
// ending a thread tells every loaded library (milliseconds under Wine), which
// a click that starts work should not wait for. Each routine gets a fresh
// token; Join, Stop and IsRunning are about the routine, not the thread. A
// routine that does not end within a stop's bound is let go with its thread,
// which ends after it; the next start makes a new thread. Never terminated.
class KeptWorkerThread {
 public:
  using Routine = WorkerThread::Routine;

  KeptWorkerThread() = default;
  // Stops the routine with the default bound, then ends the thread.
  ~KeptWorkerThread();
  KeptWorkerThread(const KeptWorkerThread&) = delete;
  KeptWorkerThread& operator=(const KeptWorkerThread&) = delete;

  // Runs `routine` with a new token on the kept thread, or on a new one when
  // none waits. False, with nothing started, while the previous routine
  // still runs or when no thread could be made.
  bool Start(Routine routine);
  // Sets the running routine's token; does not wait.
  void RequestStop();
  // Sets the token and waits up to `waitMs` for the routine; true when it has
  // returned (or none ran). A routine that has not is let go with its thread.
  bool Stop(DWORD waitMs = WorkerThread::kDefaultStopWaitMs);
  // Waits up to `waitMs` for the routine without asking it to stop; true when
  // it has returned (or none ran).
  bool Join(DWORD waitMs);
  // A routine was started and has not returned yet.
  bool IsRunning() const;

 private:
  struct Run;
  struct Mailbox;
  static DWORD WINAPI ThreadMain(void* parameter);
  // Tells the kept thread to end once its routine returns and forgets it.
  void LetThreadGo();

  std::shared_ptr<Mailbox> m_mailbox;  // shared with the kept thread
  std::shared_ptr<Run> m_run;          // the current (or last) routine
  OwnedHandle m_thread;
};
