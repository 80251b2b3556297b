#include "app/stt/RecognitionRunner.h"

#include <algorithm>
#include <atomic>

#include "core/base/AppMessages.h"
#include "core/base/DebugTrace.h"
#include "core/base/LocalClock.h"
#include "core/base/UserMessage.h"
#include "core/base/portable/TextHelpers.h"
#include "core/stt/portable/SourceFileNames.h"
#include "core/transport/HttpClient.h"

namespace {

// How often a waiting worker looks at its token again (its event wakes it at once).
constexpr DWORD kTurnCheckMs = 200;
// A transcript name already taken is never appended to: the next millisecond
// is tried, this many times at most.
constexpr int kNameTries = 1000;

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring FreeTranscriptPath(const std::wstring& folder, const std::wstring& baseName,
                                const std::wstring& extension) {
  const int64_t date = GetTodayDateNumber();
  uint64_t milliseconds = GetLocalTimeMs();
  std::wstring path = TranscriptOutputPath(folder, baseName, date, milliseconds, extension);
  for (int i = 0; i < kNameTries && Exists(path); ++i) {
    path = TranscriptOutputPath(folder, baseName, date, ++milliseconds, extension);
  }
  return path;
}

// Waits until one of the working places is free; false when the worker is told
// to stop first (or the wait fails).
bool WaitForTurn(HANDLE semaphore, const StopToken& stop) {
  const HANDLE waits[2] = {semaphore, stop.Event()};
  const DWORD count = waits[1] != nullptr ? 2 : 1;
  while (!stop.StopRequested()) {
    const DWORD waited = WaitForMultipleObjects(count, waits, FALSE, kTurnCheckMs);
    if (waited == WAIT_OBJECT_0) {
      if (!stop.StopRequested()) return true;
      ReleaseSemaphore(semaphore, 1, nullptr);  // told to stop while the place came free
      return false;
    }
    if (waited == WAIT_OBJECT_0 + 1) return false;
    if (waited != WAIT_TIMEOUT) {
      DebugTrace(L"speech-to-text: waiting for a turn failed (error %lu)", GetLastError());
      return false;
    }
  }
  return false;
}

}  // namespace

int32_t RecognizeSourceFile(Voice2TextJob& job, const RecognitionSettings& settings, HWND window) {
  const bool split = SplitAudioForRecognition(job);
  const std::wstring folder = settings.outputFolder.empty() ? job.folder : settings.outputFolder;
  if (!settings.model.empty()) job.engineModelType = settings.model;
  job.outputFolder = folder;
  job.outputPath = FreeTranscriptPath(folder, GetFileBaseName(job.sourcePath),
                                      settings.format.empty() ? L"txt" : settings.format);
  if (!split || !UploadAudioSegments(job) || !RecognizeAudioSegments(job, window)) return kV2tFailed;
  // The row offers to open the transcript: done means it is there.
  if (!Exists(job.outputPath)) {
    DebugTrace(L"speech-to-text: no transcript at %ls", job.outputPath.c_str());
    return kV2tFailed;
  }
  return kV2tDone;
}

// --- Workers ---

struct RecognitionRunner::Worker {
  Voice2TextJob* job = nullptr;  // not owned: the page's row
  HWND window = nullptr;         // receives the status posts
  RecognitionSettings settings;
  RecognitionWork work;
  OwnedHandle semaphore;           // the thread's own duplicate of the runner's
  std::wstring message;            // the first message of the work; written by the worker before `ended`
  std::atomic<bool> ended{false};  // set by the worker just before its last post
};

RecognitionRunner::RecognitionRunner()
    : m_semaphore(CreateSemaphoreW(nullptr, kMaxWorking, kMaxWorking, nullptr)), m_work(RecognizeSourceFile) {
  if (!m_semaphore) DebugTrace(L"speech-to-text: no semaphore (error %lu)", GetLastError());
}

RecognitionRunner::~RecognitionRunner() { StopAll(0); }

bool RecognitionRunner::Start(Voice2TextJob& job, HWND window, const RecognitionSettings& settings) {
  if (!m_semaphore || Has(job)) return false;
  auto worker = std::make_shared<Worker>();
  worker->job = &job;
  worker->window = window;
  worker->settings = settings;
  worker->work = m_work;
  HANDLE process = GetCurrentProcess();
  if (!DuplicateHandle(process, m_semaphore.Get(), process, worker->semaphore.Receive(), 0, FALSE,
                       DUPLICATE_SAME_ACCESS)) {
    DebugTrace(L"speech-to-text: cannot share the semaphore (error %lu)", GetLastError());
    return false;
  }
  // The thread holds its own reference: the record outlives a runner that
  // gave up waiting for it.
  auto thread = std::make_unique<WorkerThread>();
  if (!thread->Start([worker](const StopToken& stop) { SpeechToTextThread(worker, stop); })) {
    DebugTrace(L"speech-to-text: thread not started");
    return false;
  }
  m_workers.push_back(Slot{std::move(worker), std::move(thread)});
  return true;
}

void RecognitionRunner::SpeechToTextThread(const std::shared_ptr<Worker>& worker, const StopToken& stop) {
  Voice2TextJob& job = *worker->job;
  int32_t status = kV2tFailed;
  if (WaitForTurn(worker->semaphore.Get(), stop)) {
    job.stop = &stop;
    SetThreadUserMessageRoute(&RecognitionRunner::KeepMessage, worker.get());
    if (worker->work) status = worker->work(job, worker->settings, worker->window);
    SetThreadUserMessageRoute(nullptr, nullptr);
    job.stop = nullptr;
    ReleaseSemaphore(worker->semaphore.Get(), 1, nullptr);
  }
  if (stop.StopRequested()) status = kV2tFailed;
  job.progress = 0;
  job.status = status;
  worker->ended = true;
  PostMessageW(worker->window, WM_APP_V2T_STATUS, reinterpret_cast<WPARAM>(&job), status);
}

void RecognitionRunner::KeepMessage(void* worker, const std::wstring& text) {
  auto* record = static_cast<Worker*>(worker);
  if (record->message.empty()) {
    record->message = text;
  } else {
    DebugTrace(L"speech-to-text: a further message not shown: %ls", text.c_str());
  }
}

std::vector<RecognitionRunner::Slot>::iterator RecognitionRunner::Find(const Voice2TextJob& job) {
  return std::find_if(m_workers.begin(), m_workers.end(),
                      [&job](const Slot& slot) { return slot.record->job == &job; });
}

bool RecognitionRunner::Finish(const Voice2TextJob& job, std::wstring* message) {
  const auto found = Find(job);
  if (found == m_workers.end() || !found->record->ended.load()) return false;
  if (message != nullptr) *message = found->record->message;
  m_workers.erase(found);  // its thread has posted; only its return is left
  return true;
}

void RecognitionRunner::Forget(const Voice2TextJob& job) {
  const auto found = Find(job);
  if (found == m_workers.end()) return;
  found->thread->Stop(0);  // let go: the thread keeps its own record
  m_workers.erase(found);
}

bool RecognitionRunner::Has(const Voice2TextJob& job) const {
  return std::any_of(m_workers.begin(), m_workers.end(),
                     [&job](const Slot& slot) { return slot.record->job == &job; });
}

bool RecognitionRunner::Stop(Voice2TextJob& job, DWORD waitMs) {
  const auto found = Find(job);
  return found == m_workers.end() || found->thread->Stop(waitMs);
}

std::vector<Voice2TextJob*> RecognitionRunner::StopAll(DWORD waitMs) {
  for (const Slot& slot : m_workers) slot.thread->RequestStop();
  const ULONGLONG deadline = GetTickCount64() + waitMs;
  std::vector<Voice2TextJob*> running;
  for (const Slot& slot : m_workers) {
    const ULONGLONG now = GetTickCount64();
    const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
    if (!slot.thread->Stop(left)) running.push_back(slot.record->job);
  }
  if (!running.empty()) DebugTrace(L"speech-to-text: %u workers still running", static_cast<unsigned>(running.size()));
  m_workers.clear();
  return running;
}
