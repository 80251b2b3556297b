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
