// Speech-to-text job, second half: a recognition task per uploaded segment,
// polled until its text is ready, and the delivery of the texts.
#include <windows.h>

#include "core/base/AppMessages.h"
#include "core/base/DebugTrace.h"
#include "core/base/TextConversion.h"
#include "core/base/UserMessage.h"
#include "core/base/portable/TextHelpers.h"
#include "core/stt/TranscriptOutput.h"
#include "core/stt/Voice2TextJob.h"
#include "core/stt/Voice2TextMessages.h"
#include "core/transport/HttpClient.h"
#include "core/client/ClientState.h"
#include "core/transport/portable/SpeechRequest.h"

namespace {

constexpr DWORD kPollIntervalMs = 2000;

std::string TaskUrl() { return GetClientState().endpoints().speechBaseUrl + "/colud/ars/voice2TextTask.php"; }

// Posts a form to the task path and reads the reply with `read`.
template <typename Reply>
Reply PostTaskForm(const std::string& form, Reply (*read)(bool, std::string_view), const StopToken* stop) {
  HttpResponseBuffer reply;
  const bool transferred = HttpClient().Post(TaskUrl(), form, reply, stop);
  return read(transferred, reply.view());
}

// Shows the message for a reply that is not Ok.
void ShowReplyFailure(HWND owner, SpeechReplyState state) {
  ShowUserMessage(owner, state == SpeechReplyState::CodeNotOk ? kV2tMessageConvertFailed : kV2tMessageInternalError);
}

void ReportProgress(Voice2TextJob& job, HWND window, int percent) {
  job.progress = percent;
  if (window != nullptr) {
    PostMessageW(window, WM_APP_V2T_STATUS, reinterpret_cast<WPARAM>(&job), kV2tConverting);
  }
}

// Waits `ms`, returning early (false) once the job is told to stop.
bool WaitUnlessStopped(const Voice2TextJob& job, DWORD ms) {
  if (job.stop == nullptr) {
    Sleep(ms);
    return true;
  }
  return !job.stop->WaitFor(ms);
}

// The signed creation form. The URL is signed as it is and percent-encoded in
// the form, so "&", "+" and "=" in it stay part of the value.
std::string CreationForm(const Voice2TextJob& job, const std::string& url) {
  return "engineModelType=" + PercentEncode(WideToAnsi(job.engineModelType)) +
         "&channelNum=1&resTextFormat=0&sourceType=0&url=" + PercentEncode(url) + "&sign=" + SignRequestText(url);
}

}  // namespace

int32_t PollRecognitionTask(std::string& text, uint64_t taskId, HWND owner, const StopToken* stop) {
  const TaskPollReply reply = PostTaskForm("taskId=" + std::to_string(taskId), &ReadTaskPollReply, stop);
  if (reply.state != SpeechReplyState::Ok) {
    ShowReplyFailure(owner, reply.state);
    return kRecognitionFailed;
  }
  if (reply.status == kRecognitionFailed) {
    ShowUserMessage(owner, kV2tMessageTaskFailed);
    return kRecognitionFailed;
  }
  if (reply.status == kRecognitionDone) text = reply.text;
  return reply.status;
}

bool RecognizeAudioSegments(Voice2TextJob& job, HWND window) {
  const size_t count = job.segmentUrls.size();
  if (count == 0) return false;
  ReportProgress(job, window, static_cast<int>(1.0 / static_cast<double>(count) * 50));
  const bool document = IsDocumentOutput(job.outputPath);
  std::string documentText;
  for (size_t i = 1; i <= count; ++i) {
    if (job.StopRequested()) return false;
    const std::string& url = job.segmentUrls[i - 1];
    const std::string form = CreationForm(job, url);
    DebugTraceA("%s", form.c_str());
    const TaskCreateReply created = PostTaskForm(form, &ReadTaskCreateReply, job.stop);
    if (created.state != SpeechReplyState::Ok) {
      ShowReplyFailure(window, created.state);
      return false;
    }
    std::string text;
    int32_t status = PollRecognitionTask(text, created.taskId, window, job.stop);
    while (status != kRecognitionDone && status != kRecognitionFailed) {
      if (!WaitUnlessStopped(job, kPollIntervalMs)) return false;
      status = PollRecognitionTask(text, created.taskId, window, job.stop);
    }
    if (status == kRecognitionFailed) return false;

    if (!document) {
      if (!AppendTranscriptText(job.outputPath, text, window)) return false;
    } else {
      documentText += text;
      if (i == count &&
          !WriteTranscriptDocument(job.outputPath, RecognitionTempStem(job) + L".txt", documentText, window,
                                   job.stop)) {
        return false;
      }
    }
    ReportProgress(job, window, static_cast<int>(static_cast<double>(i) / static_cast<double>(count) * 90));
  }
  return true;
}
