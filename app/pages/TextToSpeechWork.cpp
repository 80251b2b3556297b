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
// gets the second. Requests abort within about a second of the flag.
constexpr DWORD kStopWaitMs = 3000;
constexpr DWORD kStopAfterChildWaitMs = 2000;

// A name no earlier result has: the MD5 of the current time in milliseconds.
std::wstring NewResultName(const std::wstring& codec) {
  return ComputeMd5HexW(std::to_string(GetLocalTimeMs())) + L"." + codec;
}

bool StopAsked(const TtsWork& work) { return work.stop.StopRequested(); }

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

bool RunSingleRequest(TtsWork& work) {
  work.job.resultName = NewResultName(work.job.codec);
  if (!work.job.SynthesizeSpeech()) return false;
  if (work.kind == TtsWorkKind::kPreview) return true;
  if (StopAsked(work)) return false;
  return CopyResultToOutputFolder(work);
}

bool RunLongText(TtsWork& work) {
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
    if (StopAsked(work)) return false;
    if (job.PollSynthesisTask()) return job.taskDone;
    if (GetTickCount64() >= deadline) {
      DebugTrace(L"text-to-speech: task %ls not finished after %d s", job.taskId.c_str(), work.taskTimeoutSeconds);
      work.messages.push_back(kMessageTaskFailed);
      return false;
    }
    if (WaitForSingleObject(work.stopEvent.Get(), kTaskPollIntervalMs) == WAIT_OBJECT_0) return false;
  }
}

DWORD WINAPI WorkThread(void* parameter) {
  std::unique_ptr<std::shared_ptr<TtsWork>> owned(static_cast<std::shared_ptr<TtsWork>*>(parameter));
  RunTtsWork(*owned);
  return 0;
}

}  // namespace

std::wstring OutputFileName(const std::wstring& folder, int64_t dateNumber, uint64_t timeMs,
                            const std::wstring& codec) {
  wchar_t name[64];
  std::swprintf(name, 64, L"%llu_%llu.", static_cast<unsigned long long>(dateNumber),
                static_cast<unsigned long long>(timeMs));
  return folder + L"\\" + name + codec;
}

void RunTtsWork(const std::shared_ptr<TtsWork>& work) {
  TtsWork* self = work.get();
  self->job.messageSink = [self](const std::wstring& text) { self->messages.push_back(text); };
  self->job.SetStopToken(&self->stop);
  self->succeeded = self->kind == TtsWorkKind::kLongText ? RunLongText(*self) : RunSingleRequest(*self);
  // A stopped work reports nothing: what it met is not what the user asks now.
  if (StopAsked(*self)) return;
  PostMessageW(self->window, WM_APP_TTS_DONE, self->id, 0);
}

bool TtsWorker::Start(std::shared_ptr<TtsWork> work) {
  Stop();
  work->stopEvent.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  auto* parameter = new std::shared_ptr<TtsWork>(work);
  m_thread.Reset(CreateThread(nullptr, 0, WorkThread, parameter, 0, nullptr));
  if (!m_thread) {
    DebugTrace(L"text-to-speech: worker thread not started (error %lu)", GetLastError());
    delete parameter;
    return false;
  }
  m_work = std::move(work);
  return true;
}

void TtsWorker::Stop() {
  if (m_work != nullptr) {
    m_work->stop.RequestStop();
    if (m_work->stopEvent) SetEvent(m_work->stopEvent.Get());
  }
  if (m_thread) {
    if (WaitForSingleObject(m_thread.Get(), kStopWaitMs) == WAIT_TIMEOUT) {
      // An ffmpeg pass ends on the flag too; should one still run, the
      // record holds its child.
      TerminateSharedChild();
      if (WaitForSingleObject(m_thread.Get(), kStopAfterChildWaitMs) == WAIT_TIMEOUT) {
        DebugTrace(L"text-to-speech: a stopped worker is still running; it finishes on its own copy");
      }
    }
  }
  m_thread.Reset();
  m_work.reset();
}

void TtsWorker::Finish() {
  if (m_thread) WaitForSingleObject(m_thread.Get(), kStopWaitMs);  // it has posted; only its return is left
  m_thread.Reset();
  m_work.reset();
}
