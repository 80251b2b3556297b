#pragma once
// RecognitionRunner: the speech-to-text page's worker threads, one per started
// row, with what belongs to them in one place: their WorkerThreads (each with
// its stop token), the counting semaphore that lets at most three of them
// work at once, and the bounded waits that stop them.
//
// A worker (SpeechToTextThread) waits for its turn, does the work (cut, upload, recognise, write),
// sets its job's end status and posts WM_APP_V2T_STATUS (job, status) to the
// window; the UI thread then calls Finish. Messages a worker's work shows are
// kept for the UI thread instead of opening a box on the worker (Finish hands
// them over). Used on the UI thread only; workers touch only their job and
// their own record.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/base/ScopedHandle.h"
#include "core/base/WorkerThread.h"
#include "core/stt/Voice2TextJob.h"

// The page's settings as a row starts; the worker keeps its own copy.
struct RecognitionSettings {
  std::wstring outputFolder;  // empty: beside the source; else ends with its separator
  std::wstring model;         // recognition model ("16k_zh", "16k_en"); empty keeps the job's
  std::wstring format;        // "txt", "doc" or "docx"
};

// The work of one admitted worker; returns the job's end status (kV2tDone or
// kV2tFailed). Runs on the worker thread; `window` receives progress posts.
using RecognitionWork = std::function<int32_t(Voice2TextJob& job, const RecognitionSettings& settings, HWND window)>;

// The real work: SplitAudioForRecognition, the transcript's path, then
// UploadAudioSegments and RecognizeAudioSegments. Done only when the
// transcript is there.
int32_t RecognizeSourceFile(Voice2TextJob& job, const RecognitionSettings& settings, HWND window);

class RecognitionRunner {
 public:
  static constexpr LONG kMaxWorking = 3;

  RecognitionRunner();
  // Stops what still runs (bounded wait); see StopAll.
  ~RecognitionRunner();
  RecognitionRunner(const RecognitionRunner&) = delete;
  RecognitionRunner& operator=(const RecognitionRunner&) = delete;

  // Replaces the work of workers started from now on (tests give a stand-in).
  void SetWork(RecognitionWork work) { m_work = std::move(work); }

  // Starts a worker for the job; it posts to `window`. False when the thread
  // could not be made (nothing runs then) or the job runs already.
  bool Start(Voice2TextJob& job, HWND window, const RecognitionSettings& settings);

  // Forgets the job's worker once it has ended (its end status is set),
  // handing over the first message its work wanted to show (empty when
  // none). False, changing nothing, when the job has no ended worker: a post
  // from an earlier run never settles the run that follows it.
  bool Finish(const Voice2TextJob& job, std::wstring* message);
  // Forgets the job's worker whatever its state; its thread keeps its own record.
  void Forget(const Voice2TextJob& job);

  // The job has a worker that has not been finished.
  bool Has(const Voice2TextJob& job) const;
  // Workers started and not yet finished.
  int Count() const { return static_cast<int>(m_workers.size()); }

  // Sets the job's worker's stop token (which also aborts its transfer) and
  // waits up to `waitMs` for its thread. True when no thread of the job runs
  // any more; a thread that does not end is let go with its own record.
  bool Stop(Voice2TextJob& job, DWORD waitMs);
  // Stops every worker within one wait of at most `waitMs` in all and forgets
  // them; returns the jobs whose threads still run (their owner must keep
  // them alive: the threads still use them).
  std::vector<Voice2TextJob*> StopAll(DWORD waitMs);

 private:
  struct Worker;
  // One started row: what its thread shares, and the thread.
  struct Slot {
    std::shared_ptr<Worker> record;        // shared with the thread
    std::unique_ptr<WorkerThread> thread;  // not shared: a thread never ends its own slot
  };
  // A worker's whole life: waits for its turn, runs the work, sets the job's
  // end status and posts it.
  static void SpeechToTextThread(const std::shared_ptr<Worker>& worker, const StopToken& stop);
  static void KeepMessage(void* worker, const std::wstring& text);
  std::vector<Slot>::iterator Find(const Voice2TextJob& job);

  OwnedHandle m_semaphore;  // counts free working places: three
  RecognitionWork m_work;
  std::vector<Slot> m_workers;
};
