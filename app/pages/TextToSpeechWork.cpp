#include "app/pages/TextToSpeechWork.h"

#include "core/base/DebugTrace.h"
#include "core/base/LocalClock.h"
#include "core/base/UserMessage.h"
#include "core/base/portable/Checksums.h"
#include "core/media/ProcessRunner.h"

#include <cwchar>

const wchar_t* const kMessageEmptyText = L"转换内容不能为空！";

namespace {

// The first wait for a stopping worker; then its ffmpeg child is ended and it
// gets the second. Requests abort within about a second of the token.
constexpr DWORD kStopWaitMs = 3000;
constexpr DWORD kStopAfterChildWaitMs = 2000;

// A name no earlier result has: the MD5 of the current time in milliseconds.
std::wstring NewResultName(const std::wstring& codec) {
  return ComputeMd5HexW(std::to_string(GetLocalTimeMs())) + L"." + codec;
}

// Copies the single request's result into the output folder; the target
// becomes the job's output path.
bool CopyResultToOutputFolder(TtsWork& work) {
  ConvertJob& job = work.job;
  const std::wstring source = job.tempFolder + job.resultName;
  const std::wstring target = OutputFileName(job.outputFolder, GetTodayDateNumber(), GetLocalTimeMs(), job.codec);
  if (!CopyFileW(source.c_str(), target.c_str(), FALSE)) {
    const DWORD error = GetLastError();
    DebugTrace(L"text-to-speech: copying %ls to %ls failed (error %lu)", source.c_str(), target.c_str(), error);
    work.messages.push_back(FormatFailureMessage(kMessageSaveFailed, kMessageSaveFailedPlain, error));
    return false;
  }
  job.outputPath = target;
  return true;
}

bool RunSingleRequest(TtsWork& work, const StopToken& stop) {
  work.job.resultName = NewResultName(work.job.codec);
  if (!work.job.SynthesizeSpeech()) return false;
  if (work.kind == TtsWorkKind::kPreview) return true;
  if (stop.StopRequested()) return false;
  return CopyResultToOutputFolder(work);
}

bool RunLongText(TtsWork& work, const StopToken& stop) {
  ConvertJob& job = work.job;
  job.lastResultPath.clear();
  job.resultName = NewResultName(job.codec);
  // A new task every time: a delivered flag left from an earlier task would
  // make the submission skip the request and report the old file.
  job.taskId.clear();
  job.taskDone = false;
  if (!job.SubmitSynthesisTask()) return false;

  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(work.taskTimeoutSeconds) * 1000;
  for (;;) {
    if (stop.StopRequested()) return false;
    if (job.PollSynthesisTask()) return job.taskDone;
    if (GetTickCount64() >= deadline) {
      DebugTrace(L"text-to-speech: task %ls not finished after %d s", job.taskId.c_str(), work.taskTimeoutSeconds);
      work.messages.push_back(kMessageTaskFailed);
      return false;
    }
    if (stop.WaitFor(kTaskPollIntervalMs)) return false;
  }
}

// What both threads do around their work: the job's messages kept for the
// UI thread, its requests aborted by the token, and the end posted unless
// the work was stopped (what it met is not what the user asks now).
void RunWork(const std::shared_ptr<TtsWork>& work, const StopToken& stop,
             bool (*run)(TtsWork& work, const StopToken& stop)) {
  TtsWork* self = work.get();
  self->job.messageSink = [self](const std::wstring& text) { self->messages.push_back(text); };
  self->job.SetStopToken(&stop);
  self->succeeded = run(*self, stop);
  self->job.SetStopToken(nullptr);
  if (stop.StopRequested()) return;
  PostMessageW(self->window, WM_APP_TTS_DONE, self->id, 0);
  // The UI thread reads the results now, not these buffers.
  self->job.ReleaseReplyBuffers();
}

}  // namespace

std::wstring OutputFileName(const std::wstring& folder, int64_t dateNumber, uint64_t timeMs,
                            const std::wstring& codec) {
  wchar_t name[64];
  std::swprintf(name, 64, L"%llu_%llu.", static_cast<unsigned long long>(dateNumber),
                static_cast<unsigned long long>(timeMs));
  return folder + L"\\" + name + codec;
}

void ConversionThread(const std::shared_ptr<TtsWork>& work, const StopToken& stop) {
  RunWork(work, stop, RunSingleRequest);
}

void SynthesisTaskThread(const std::shared_ptr<TtsWork>& work, const StopToken& stop) {
  RunWork(work, stop, RunLongText);
}

bool TtsWorker::Start(std::shared_ptr<TtsWork> work) {
  Stop();
  const bool longText = work->kind == TtsWorkKind::kLongText;
  const bool started = m_thread.Start([work, longText](const StopToken& stop) {
    if (longText) SynthesisTaskThread(work, stop);
    else ConversionThread(work, stop);
  });
  if (!started) {
    DebugTrace(L"text-to-speech: worker thread not started");
    return false;
  }
  m_work = std::move(work);
  return true;
}

void TtsWorker::Stop() {
  m_thread.RequestStop();
  if (!m_thread.Join(kStopWaitMs)) {
    // An ffmpeg pass ends on the token too; should one still run, the
    // record holds its child.
    TerminateSharedChild();
    if (!m_thread.Stop(kStopAfterChildWaitMs)) {
      DebugTrace(L"text-to-speech: a stopped worker is still running; it finishes on its own copy");
    }
  }
  m_work.reset();
}

void TtsWorker::Finish() {
  // It has posted; only its routine's return is left (it frees the reply's
  // buffers meanwhile), which the next start or stop waits for.
  m_work.reset();
}
