#pragma once
// The text-to-speech page's worker threads: ConversionThread, the single
// request (for the listen test or a conversion), and SynthesisTaskThread,
// the long-text task. Each runs on its own copy of the job, so the UI
// thread's job is never written from another thread; the worker collects its
// messages and results in its TtsWork record and posts WM_APP_TTS_DONE, and
// the UI thread shows them. TtsWorker owns one KeptWorkerThread and the work it
// runs; a worker is stopped by its token, which also aborts its running
// request and ends its poll wait.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/base/WorkerThread.h"
#include "core/tts/ConvertJob.h"

// Posted by a worker when it has finished; wParam is its work id. The number
// lies above the table of application messages.
constexpr UINT WM_APP_TTS_DONE = WM_USER + 200;

// Shown when the text to speak is empty.
extern const wchar_t* const kMessageEmptyText;  // "转换内容不能为空！"
// The speech service gets the long text's task after this many characters.
constexpr size_t kSingleRequestCharacters = 150;
// Seconds between two polls of a long-text task.
constexpr DWORD kTaskPollIntervalMs = 2000;
// A long-text task that is not finished after this long has failed (the
// settings may change it, see ReadTaskTimeoutSeconds).
constexpr int kDefaultTaskTimeoutSeconds = 900;

enum class TtsWorkKind {
  kPreview,     // single request into the temp folder, then the listen test plays it
  kConversion,  // single request, copied into the output folder
  kLongText,    // task created, polled, delivered into the output folder
};

struct TtsWork {
  TtsWorkKind kind = TtsWorkKind::kConversion;
  UINT id = 0;             // names the work in WM_APP_TTS_DONE
  HWND window = nullptr;   // receives WM_APP_TTS_DONE
  ConvertJob job;          // the worker's own copy of the page's job
  int taskTimeoutSeconds = kDefaultTaskTimeoutSeconds;

  // Written by the worker before it posts WM_APP_TTS_DONE.
  bool succeeded = false;
  std::vector<std::wstring> messages;  // for the UI thread to show, in order
};

// The single request of a preview or a conversion, the thread's whole life;
// the work is shared with the UI thread. A stopped work posts nothing.
void ConversionThread(const std::shared_ptr<TtsWork>& work, const StopToken& stop);
// The long-text task: submitted, polled every kTaskPollIntervalMs until it is
// done, fails, times out or is stopped. A stopped work posts nothing.
void SynthesisTaskThread(const std::shared_ptr<TtsWork>& work, const StopToken& stop);

// The copy target of a finished single request: "%s\%llu_%llu.%s" of the
// output folder, the date number YYYYMMDD, the time in milliseconds and the codec.
std::wstring OutputFileName(const std::wstring& folder, int64_t dateNumber, uint64_t timeMs,
                            const std::wstring& codec);

// One worker thread slot of the page: starts a work and stops it again.
class TtsWorker {
 public:
  TtsWorker() = default;
  ~TtsWorker() { Stop(); }
  TtsWorker(const TtsWorker&) = delete;
  TtsWorker& operator=(const TtsWorker&) = delete;

  // Stops the previous work, then starts this one on ConversionThread or
  // SynthesisTaskThread by its kind. False when no thread could be made (the
  // work then never posts).
  bool Start(std::shared_ptr<TtsWork> work);
  // Asks the work to stop and waits a bounded time for its thread: the token
  // aborts the request and ends a poll wait, and an ffmpeg pass still
  // running after the first wait is ended. A thread that still does not end
  // is let go to finish alone on its own copy of the job; its post is ignored.
  void Stop();
  // The running (or last) work, null when none.
  const std::shared_ptr<TtsWork>& work() const { return m_work; }
  bool IsCurrent(UINT id) const { return m_work != nullptr && m_work->id == id; }
  // Forgets a work that has posted its end (its routine has returned or is returning).
  void Finish();

 private:
  std::shared_ptr<TtsWork> m_work;  // shared with the thread
  // Kept between works: a conversion starts without waiting for a new thread.
  KeptWorkerThread m_thread;
};
