#pragma once
// ConvertJob, the one text-to-speech job: the record the page fills and the
// requests, passes and deliveries that run it. Owns its transport; borrows
// the caller's stop token.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include <json/json.h>

#include "core/transport/HttpClient.h"
#include "core/transport/portable/SpeechRequest.h"

// The one text-to-speech job of the program: the SSML to speak, the voice
// settings, the background music, the folders and result names, and the state
// of the long-text task. Allocated when the main window is created, filled by
// the text-to-speech page, and run by its conversion threads (one at a time).
//
// Failures are shown at once through ShowUserMessage, owned by
// `messageOwner`, with the texts below; the operations then report false (or,
// for the poll, that polling is over).

// Messages the job shows.
extern const wchar_t* const kMessageInternalError;    // "程序内部错误，请重试！"
extern const wchar_t* const kMessageConvertFailed;    // "转换失败，请联系客服或重试！"
extern const wchar_t* const kMessageSaveFailed;       // "错误：%d 文件保存失败，请重试！" (system error code)
extern const wchar_t* const kMessageSaveFailedPlain;  // "文件保存失败，请重试！" (no system code to show)
extern const wchar_t* const kMessageTaskFailed;       // "转换失败请重试！"
extern const wchar_t* const kMessageTextTooLong;      // the SSML does not fit a request

// Speech-service paths, under the speech address of the program's endpoints.
inline constexpr char kSynthesisPath[] = "/colud/tts/text2voice.php";
inline constexpr char kSynthesisTaskPath[] = "/colud/tts/text2voiceTask.php";

struct ConvertJob {
  // --- Filled by the page ---
  std::wstring text;            // the SSML to speak (at most 19999 characters)
  std::wstring lastResultPath;  // cache key (32 hex digits) of the last successful single request; empty = none
  std::wstring resultName;      // file name in tempFolder of a single request's finished audio ("<md5>.<codec>")
  std::wstring bgmWorkName;     // file name in tempFolder of the gain-adjusted background music
  std::wstring outputFolder;    // receives finished results
  std::wstring outputPath;      // full path of the last result written into outputFolder
  std::wstring bgmSourcePath;   // background music chosen by the user; empty = none
  std::wstring bgmDisplayName;
  std::wstring emotion;         // emotion key, e.g. "neutral"
  int32_t volume = 0;
  int32_t bgmVolumeDb = 0;      // gain applied to the background music
  int32_t speed = 0;
  int32_t voiceType = 0;
  int32_t bgmTailSeconds = 0;   // 0..10, silence after the text (in the SSML)
  int32_t bgmLeadSeconds = 0;   // 0..10, silence before the text (in the SSML)
  std::wstring codec;           // "mp3", "wav" or "pcm": the request's format and the file extension
  std::wstring tempFolder;      // the user's temporary folder, ending with "\"
  std::wstring taskId;          // current long-text task; empty = none
  bool taskDone = false;        // a long-text task's audio was delivered into outputFolder
  bool resultValid = false;     // a single request succeeded; cleared on any change of text or settings
  HWND messageOwner = nullptr;  // owner of the message boxes: the main window
  // When set, the job's messages go here instead of a message box: a worker
  // thread hands them to the UI thread, which shows them.
  std::function<void(const std::wstring& text)> messageSink;

  // The running worker's stop token: once it is set, requests abort (and
  // fail) and a running ffmpeg pass is ended and fails too. Borrowed; null
  // (the default) never stops.
  void SetStopToken(const StopToken* stop) { m_stop = stop; }

  // One synchronous request, answered from the result cache when the same form
  // succeeded before and resultValid is still set; then the audio is resampled
  // to 16000 Hz or mixed with the background music into tempFolder +
  // resultName. True when that file is ready.
  bool SynthesizeSpeech();

  // Creates a long-text task; true when taskId holds a task to poll (also when
  // a task was already created and delivered).
  bool SubmitSynthesisTask();

  // Asks once for the task's state. True when polling is over: the audio was
  // delivered into outputFolder (taskDone set), or a failure was shown. False
  // while the task still runs.
  bool PollSynthesisTask();

  // Frees what the last SynthesizeSpeech kept of its reply (also done by the
  // next SynthesizeSpeech and by the destructor).
  void ReleaseReplyBuffers();

 private:
  // The signed synthesis form and its cache key; runs the background-music
  // gain pass. False after a message.
  bool BuildRequestForm(std::string& form, std::wstring& cacheKey);
  // POSTs a form to a speech-service path; true for a readable reply with
  // "code" 200, else false after the message that fits.
  bool PostForReply(const char* path, const std::string& form, Json::Value& root) const;
  void ShowMessage(const std::wstring& message) const;
  void ShowSaveFailed(DWORD error) const;

  HttpClient m_transport;  // speech-service URLs are always whole, so no base URL
  // The last synthesis reply and its decoded audio, a few hundred kilobytes
  // whose freeing is slow enough to be felt: kept until ReleaseReplyBuffers,
  // which a worker calls once it has announced its result.
  Json::Value m_reply;
  std::string m_replyAudio;
  const StopToken* m_stop = nullptr;  // borrowed; see SetStopToken
};
