#include "core/base/WorkerThread.h"

#include "core/base/DebugTrace.h"

#include <mutex>
#include <utility>

namespace {

// Starts `main` on a new thread that holds its own reference to `record`: the
// thread takes over the heap-held pointer it is given. Null, with the pointer
// deleted again, when the thread cannot be made.
template <class Record>
HANDLE StartThreadHolding(const std::shared_ptr<Record>& record, LPTHREAD_START_ROUTINE main) {
  auto* parameter = new std::shared_ptr<Record>(record);
  HANDLE thread = CreateThread(nullptr, 0, main, parameter, 0, nullptr);
  if (thread == nullptr) {
    DebugTrace(L"worker thread not started (error %lu)", GetLastError());
    delete parameter;
  }
  return thread;
}

}  // namespace

StopToken::StopToken() : m_event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

void StopToken::RequestStop() {
  m_stop.store(true);
  if (m_event) SetEvent(m_event.Get());
}

bool StopToken::WaitFor(DWORD ms) const {
  if (StopRequested()) return true;
  if (!m_event) {
    Sleep(ms);
    return StopRequested();
  }
  return WaitForSingleObject(m_event.Get(), ms) == WAIT_OBJECT_0 || StopRequested();
}

// What the thread and its owner share: the thread holds a reference, so a
// thread that was let go still has its token and function.
struct WorkerThread::Shared {
  StopToken token;
  Routine routine;
};

DWORD WINAPI WorkerThread::ThreadMain(void* parameter) {
  std::unique_ptr<std::shared_ptr<Shared>> owned(static_cast<std::shared_ptr<Shared>*>(parameter));
  Shared& shared = **owned;
  shared.routine(shared.token);
  // The function's captures go with the thread's end, not with the slot.
  shared.routine = nullptr;
  return 0;
}

WorkerThread::~WorkerThread() { Stop(kDefaultStopWaitMs); }

bool WorkerThread::Start(Routine routine) {
  if (IsRunning()) return false;
  m_thread.Reset();
  auto shared = std::make_shared<Shared>();
  shared->routine = std::move(routine);
  m_thread.Reset(StartThreadHolding(shared, ThreadMain));
  if (!m_thread) return false;
  m_shared = std::move(shared);
  return true;
}

void WorkerThread::RequestStop() {
  if (m_shared != nullptr) m_shared->token.RequestStop();
}

bool WorkerThread::Stop(DWORD waitMs) {
  RequestStop();
  if (Join(waitMs)) return true;
  DebugTrace(L"worker thread still running %lu ms after its stop; it finishes alone", waitMs);
  m_thread.Reset();
  return false;
}

bool WorkerThread::Join(DWORD waitMs) {
  if (!m_thread) return true;
  if (WaitForSingleObject(m_thread.Get(), waitMs) == WAIT_TIMEOUT) return false;
  m_thread.Reset();
  return true;
}

bool WorkerThread::IsRunning() const {
  return m_thread && WaitForSingleObject(m_thread.Get(), 0) == WAIT_TIMEOUT;
}

OwnedHandle WorkerThread::WaitHandle() const {
  HANDLE duplicate = nullptr;
  if (!m_thread || !DuplicateHandle(GetCurrentProcess(), m_thread.Get(), GetCurrentProcess(), &duplicate,
                                    SYNCHRONIZE, FALSE, 0)) {
    return OwnedHandle();
  }
  return OwnedHandle(duplicate);
}

std::shared_ptr<const StopToken> WorkerThread::Token() const {
  if (m_shared == nullptr) return nullptr;
  return std::shared_ptr<const StopToken>(m_shared, &m_shared->token);
}

// --- Kept worker thread ---

// One routine with its token and its end (set when it has returned).
struct KeptWorkerThread::Run {
  StopToken token;
  Routine routine;
  OwnedHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

// What the kept thread waits on: the next routine, or the word to end.
struct KeptWorkerThread::Mailbox {
  std::mutex lock;
  std::shared_ptr<Run> next;
  bool quit = false;
  OwnedHandle wake{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
};

DWORD WINAPI KeptWorkerThread::ThreadMain(void* parameter) {
  std::unique_ptr<std::shared_ptr<Mailbox>> owned(static_cast<std::shared_ptr<Mailbox>*>(parameter));
  Mailbox& mailbox = **owned;
  for (;;) {
    WaitForSingleObject(mailbox.wake.Get(), INFINITE);
    std::shared_ptr<Run> run;
    bool quit = false;
    {
      std::lock_guard<std::mutex> hold(mailbox.lock);
      run = std::move(mailbox.next);
      quit = mailbox.quit;
    }
    if (run != nullptr) {
      run->routine(run->token);
      // The function's captures go with the routine's end, not with the slot.
      run->routine = nullptr;
      SetEvent(run->done.Get());
    }
    if (quit) return 0;
  }
}

KeptWorkerThread::~KeptWorkerThread() {
  Stop(WorkerThread::kDefaultStopWaitMs);
  const OwnedHandle thread(m_thread.Release());
  LetThreadGo();
  // Its routine has returned (or was let go): the thread ends at once.
  if (thread) WaitForSingleObject(thread.Get(), WorkerThread::kDefaultStopWaitMs);
}

bool KeptWorkerThread::Start(Routine routine) {
  if (IsRunning()) return false;
  auto run = std::make_shared<Run>();
  if (!run->done) return false;
  run->routine = std::move(routine);
  const bool threadWaits = m_mailbox != nullptr && m_thread && WaitForSingleObject(m_thread.Get(), 0) == WAIT_TIMEOUT;
  if (!threadWaits) {
    LetThreadGo();
    auto mailbox = std::make_shared<Mailbox>();
    if (!mailbox->wake) return false;
    m_thread.Reset(StartThreadHolding(mailbox, ThreadMain));
    if (!m_thread) return false;
    m_mailbox = std::move(mailbox);
  }
  {
    std::lock_guard<std::mutex> hold(m_mailbox->lock);
    m_mailbox->next = run;
  }
  SetEvent(m_mailbox->wake.Get());
  m_run = std::move(run);
  return true;
}

void KeptWorkerThread::RequestStop() {
  if (m_run != nullptr) m_run->token.RequestStop();
}

bool KeptWorkerThread::Stop(DWORD waitMs) {
  RequestStop();
  if (Join(waitMs)) return true;
  DebugTrace(L"worker routine still running %lu ms after its stop; it finishes alone", waitMs);
  m_run.reset();
  LetThreadGo();
  return false;
}

bool KeptWorkerThread::Join(DWORD waitMs) {
  if (m_run == nullptr) return true;
  if (WaitForSingleObject(m_run->done.Get(), waitMs) == WAIT_TIMEOUT) return false;
  m_run.reset();
  return true;
}

bool KeptWorkerThread::IsRunning() const {
  return m_run != nullptr && WaitForSingleObject(m_run->done.Get(), 0) == WAIT_TIMEOUT;
}

void KeptWorkerThread::LetThreadGo() {
  if (m_mailbox != nullptr) {
    {
      std::lock_guard<std::mutex> hold(m_mailbox->lock);
      m_mailbox->quit = true;
    }
    SetEvent(m_mailbox->wake.Get());
  }
  m_mailbox.reset();
  m_thread.Reset();
}
