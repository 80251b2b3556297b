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

// How often a waiting worker looks at its stop flag between waits for its turn.
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
  while (!stop.StopRequested()) {
    const DWORD waited = WaitForSingleObject(semaphore, kTurnCheckMs);
    if (waited == WAIT_OBJECT_0) {
      if (!stop.StopRequested()) return true;
      ReleaseSemaphore(semaphore, 1, nullptr);  // told to stop while the place came free
      return false;
    }
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
  OwnedHandle semaphore;  // the thread's own duplicate of the runner's
  OwnedHandle thread;
  StopToken stop;                  // the worker's: its job's steps, transfers and child programs end with it
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
  auto* reference = new std::shared_ptr<Worker>(worker);
  worker->thread.Reset(CreateThread(nullptr, 0, WorkerMain, reference, 0, nullptr));
  if (!worker->thread) {
    DebugTrace(L"speech-to-text: thread not started (error %lu)", GetLastError());
    delete reference;
    return false;
  }
  m_workers.push_back(std::move(worker));
  return true;
}

DWORD WINAPI RecognitionRunner::WorkerMain(void* parameter) {
  auto* reference = static_cast<std::shared_ptr<Worker>*>(parameter);
  const std::shared_ptr<Worker> worker = std::move(*reference);
  delete reference;
  Voice2TextJob& job = *worker->job;
  int32_t status = kV2tFailed;
  if (WaitForTurn(worker->semaphore.Get(), worker->stop)) {
    job.stop = &worker->stop;
    SetThreadUserMessageRoute(&RecognitionRunner::KeepMessage, worker.get());
    if (worker->work) status = worker->work(job, worker->settings, worker->window);
    SetThreadUserMessageRoute(nullptr, nullptr);
    job.stop = nullptr;
    ReleaseSemaphore(worker->semaphore.Get(), 1, nullptr);
  }
  if (worker->stop.StopRequested()) status = kV2tFailed;
  job.progress = 0;
  job.status = status;
  worker->ended = true;
  PostMessageW(worker->window, WM_APP_V2T_STATUS, reinterpret_cast<WPARAM>(&job), status);
  return 0;
}

void RecognitionRunner::KeepMessage(void* worker, const std::wstring& text) {
  auto* record = static_cast<Worker*>(worker);
  if (record->message.empty()) {
    record->message = text;
  } else {
    DebugTrace(L"speech-to-text: a further message not shown: %ls", text.c_str());
  }
}

bool RecognitionRunner::Finish(const Voice2TextJob& job, std::wstring* message) {
  const auto found = std::find_if(m_workers.begin(), m_workers.end(), [&job](const std::shared_ptr<Worker>& worker) {
    return worker->job == &job && worker->ended.load();
  });
  if (found == m_workers.end()) return false;
  if (message != nullptr) *message = (*found)->message;
  m_workers.erase(found);
  return true;
}

void RecognitionRunner::Forget(const Voice2TextJob& job) {
  m_workers.erase(std::remove_if(m_workers.begin(), m_workers.end(),
                                 [&job](const std::shared_ptr<Worker>& worker) { return worker->job == &job; }),
                  m_workers.end());
}

bool RecognitionRunner::Has(const Voice2TextJob& job) const {
  return std::any_of(m_workers.begin(), m_workers.end(),
                     [&job](const std::shared_ptr<Worker>& worker) { return worker->job == &job; });
}

bool RecognitionRunner::Stop(Voice2TextJob& job, DWORD waitMs) {
  for (const std::shared_ptr<Worker>& worker : m_workers) {
    if (worker->job != &job) continue;
    worker->stop.RequestStop();
    return WaitForSingleObject(worker->thread.Get(), waitMs) == WAIT_OBJECT_0;
  }
  return true;
}

std::vector<Voice2TextJob*> RecognitionRunner::StopAll(DWORD waitMs) {
  for (const std::shared_ptr<Worker>& worker : m_workers) worker->stop.RequestStop();
  const ULONGLONG deadline = GetTickCount64() + waitMs;
  std::vector<Voice2TextJob*> running;
  for (const std::shared_ptr<Worker>& worker : m_workers) {
    const ULONGLONG now = GetTickCount64();
    const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
    if (WaitForSingleObject(worker->thread.Get(), left) != WAIT_OBJECT_0) running.push_back(worker->job);
  }
  if (!running.empty()) DebugTrace(L"speech-to-text: %u workers still running", static_cast<unsigned>(running.size()));
  m_workers.clear();
  return running;
}
