#include "core/base/WorkerThread.h"

#include "core/base/DebugTrace.h"

#include <utility>

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
  auto* parameter = new std::shared_ptr<Shared>(shared);
  m_thread.Reset(CreateThread(nullptr, 0, ThreadMain, parameter, 0, nullptr));
  if (!m_thread) {
    DebugTrace(L"worker thread not started (error %lu)", GetLastError());
    delete parameter;
    return false;
  }
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
