#include "core/tts/ConvertJob.h"

#include <sys/stat.h>

#include <cstdio>

#include "core/base/DebugTrace.h"
#include "core/base/FileBytes.h"
#include "core/base/LocalClock.h"
#include "core/base/TextConversion.h"
#include "core/base/UserMessage.h"
#include "core/base/portable/Base64.h"
#include "core/base/portable/Checksums.h"
#include "core/base/portable/JsonReply.h"
#include "core/media/MediaTools.h"
#include "core/media/ProcessRunner.h"
#include "core/client/ClientState.h"
#include "core/transport/portable/SpeechRequest.h"

// Index:
//   --- Files ---
//   --- ffmpeg passes --- argument texts of the gain, resampling and mixing passes
//   --- Operations ---

const wchar_t* const kMessageInternalError = L"程序内部错误，请重试！";
const wchar_t* const kMessageConvertFailed = L"转换失败，请联系客服或重试！";
const wchar_t* const kMessageSaveFailed = L"错误：%d 文件保存失败，请重试！";
const wchar_t* const kMessageSaveFailedPlain = L"文件保存失败，请重试！";
const wchar_t* const kMessageTaskFailed = L"转换失败请重试！";
const wchar_t* const kMessageTextTooLong = L"文本内容过长，请删减后重试！";

namespace {

// The service's raw "pcm" audio: 16-bit little-endian mono at 16000 Hz.
constexpr wchar_t kPcmFormat[] = L"-f s16le -ar 16000 -ac 1";
constexpr int64_t kPcmBytesPerSecond = 16000 * 2;

// --- Files ---

bool FileExists(const std::wstring& path) {
  struct _stat64 info;
  return _wstat64(path.c_str(), &info) == 0;
}

// The file's size in bytes, -1 when it cannot be read.
int64_t FileSize(const std::wstring& path) {
  struct _stat64 info;
  return _wstat64(path.c_str(), &info) == 0 ? info.st_size : -1;
}

// --- ffmpeg passes ---

bool IsPcm(const std::wstring& codec) { return codec == L"pcm"; }

// Raw PCM has no header: its format is stated both before the input and for the output.
std::wstring PcmOptions(const std::wstring& codec) { return IsPcm(codec) ? std::wstring(kPcmFormat) + L" " : L""; }

// The speech's length in microseconds, -1 when it cannot be read.
int64_t SpeechDurationMicros(const std::wstring& path, const std::wstring& codec) {
  if (!IsPcm(codec)) return GetMediaDurationMicros(path);
  struct _stat64 info;
  if (_wstat64(path.c_str(), &info) != 0) return -1;
  return info.st_size * 1000000 / kPcmBytesPerSecond;
}

// Seconds for "-t", rounded up to the millisecond so the mix never cuts the
// end of the speech.
std::wstring DurationArgument(int64_t micros) {
  const int64_t ms = (micros + 999) / 1000;
  const std::wstring fraction = std::to_wstring(1000 + ms % 1000).substr(1);
  return std::to_wstring(ms / 1000) + L"." + fraction;
}

// The longest a speech file of `bytes` can play, in microseconds (-1 when the
// size is unknown): nothing the service sends runs below 8 kbit/s, 1000 bytes
// a second. It bounds the resampling pass, which needs no exact length, so
// that pass does not wait for the file to be probed first.
int64_t LongestSpeechMicros(int64_t bytes) { return bytes < 0 ? -1 : bytes * 1000; }

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

// The background music loops endlessly under the speech; the output ends with the speech.
std::wstring MixArguments(const std::wstring& speech, const std::wstring& music, int64_t micros,
                          const std::wstring& output, const std::wstring& codec) {
  return PcmOptions(codec) + L"-i " + Quoted(speech) + L" -i  " + Quoted(music) +
         L" \"-filter_complex\"  \"[1:a]aloop=loop=-1:size=2e+09[out];[out][0:a]amix\" \"-ss\" \"0\" \"-t\" \"" +
         DurationArgument(micros) + L"\" \"-y\" " + PcmOptions(codec) + Quoted(output);
}

std::wstring ResampleArguments(const std::wstring& speech, const std::wstring& output, const std::wstring& codec) {
  return L"-y " + PcmOptions(codec) + L"-i " + Quoted(speech) + L"  -ar 16000  " + PcmOptions(codec) +
         Quoted(output);
}

std::wstring GainArguments(const std::wstring& music, int32_t gainDb, const std::wstring& output) {
  return L"-y -i " + Quoted(music) + L" \"-filter:a\" \"volume=" + std::to_wstring(gainDb) + L"dB\" " +
         Quoted(output);
}

// Runs one pass over media lasting `mediaMicros` through the shared child
// record; true on exit code 0. A pass that outlasts its bound, or whose job is
// asked to stop, is ended and fails.
bool RunPass(const std::wstring& arguments, int64_t mediaMicros, const StopToken* stop) {
  std::string output;
  uint32_t exitCode = 1;
  const ChildRunLimits limits{FfmpegTimeLimitMs(mediaMicros), stop};
  RunHiddenProcess(FfmpegCommandLine(arguments), exitCode, output, limits);
  DebugTraceA("ffmpeg pass ended with %u", exitCode);
  if (exitCode != 0) DebugTraceA("ffmpeg pass failed: %s", output.c_str());
  return exitCode == 0;
}

}  // namespace

// --- Operations ---

void ConvertJob::ShowMessage(const std::wstring& message) const {
  if (messageSink) {
    messageSink(message);
  } else {
    ShowUserMessage(messageOwner, message);
  }
}

bool ConvertJob::PostForReply(const char* path, const std::string& form, Json::Value& root) const {
  HttpResponseBuffer body;
  const bool transferred = m_transport.Post(GetClientState().endpoints().speechBaseUrl + path, form, body, m_stop);
  switch (ReadSpeechReply(transferred, body.view(), root)) {
    case SpeechReplyState::Ok:
      return true;
    case SpeechReplyState::CodeNotOk:
      ShowMessage(kMessageConvertFailed);
      return false;
    case SpeechReplyState::Unreadable:
      break;
  }
  ShowMessage(kMessageInternalError);
  return false;
}

void ConvertJob::ShowSaveFailed(DWORD error) const {
  ShowMessage(FormatFailureMessage(kMessageSaveFailed, kMessageSaveFailedPlain, error));
}

bool ConvertJob::BuildRequestForm(std::string& form, std::wstring& cacheKey) {
  const SynthesisSettings settings{volume, speed, voiceType, WideToAnsi(emotion), WideToAnsi(codec)};
  std::string built;
  // Markup and escapes make a request longer than its text; refuse rather than cut.
  if (!BuildSynthesisForm(WideToAnsi(text), settings, built)) {
    DebugTraceA("synthesis form of a %u-character text does not fit", static_cast<unsigned>(text.size()));
    ShowMessage(kMessageTextTooLong);
    return false;
  }
  if (!bgmSourcePath.empty()) {
    TerminateSharedChild();
    if (!RunPass(GainArguments(bgmSourcePath, bgmVolumeDb, tempFolder + bgmWorkName),
                 GetMediaDurationMicros(bgmSourcePath), m_stop)) {
      ShowMessage(kMessageInternalError);
      return false;
    }
  }
  DebugTraceA("%s", built.c_str());
  cacheKey = ComputeMd5HexW(built);
  DebugTrace(L"cache key %ls", cacheKey.c_str());
  form = std::move(built);
  return true;
}

bool ConvertJob::SynthesizeSpeech() {
  std::string form;
  std::wstring key;
  if (!BuildRequestForm(form, key)) return false;
  const std::wstring cachePath = tempFolder + key + L"." + codec;

  // A cache hit skips the request, but the caller still gets its result file.
  int64_t speechBytes = -1;
  ReleaseReplyBuffers();
  if (!(resultValid && FileExists(cachePath))) {
    Json::Value& root = m_reply;
    if (!PostForReply(kSynthesisPath, form, root)) return false;
    std::string_view data;
    const Json::Value& requestId = JsonMember(root, "RequestId");
    if (!ReadReplyView(root, "data", data) || !(requestId.isNull() || requestId.isString())) {
      ShowMessage(kMessageInternalError);
      return false;
    }
    DebugTraceA("RequestId %s", requestId.isString() ? requestId.asCString() : "");
    // Audio that does not decode whole would be cut short without a word.
    std::string& audio = m_replyAudio;
    if (!Base64DecodeWhole(data, audio) || audio.empty()) {
      ShowMessage(kMessageInternalError);
      return false;
    }
    DWORD error = 0;
    if (!WriteFileBytes(cachePath, audio.data(), audio.size(), &error)) {
      ShowSaveFailed(error);
      return false;
    }
    speechBytes = static_cast<int64_t>(audio.size());
  }

  TerminateSharedChild();
  const std::wstring resultPath = tempFolder + resultName;
  std::wstring arguments;
  int64_t micros = -1;
  if (!bgmSourcePath.empty()) {
    micros = SpeechDurationMicros(cachePath, codec);  // the mix is cut to it
    if (micros < 1000000) return false;  // no mix for less than a second of speech
    arguments = MixArguments(cachePath, tempFolder + bgmWorkName, micros, resultPath, codec);
  } else {
    micros = LongestSpeechMicros(speechBytes >= 0 ? speechBytes : FileSize(cachePath));
    arguments = ResampleArguments(cachePath, resultPath, codec);
  }
  if (!RunPass(arguments, micros, m_stop)) {
    ShowMessage(kMessageInternalError);
    return false;
  }
  lastResultPath = key;
  resultValid = true;
  return true;
}

void ConvertJob::ReleaseReplyBuffers() {
  Json::Value().swap(m_reply);
  std::string().swap(m_replyAudio);
}

bool ConvertJob::SubmitSynthesisTask() {
  std::string form;
  std::wstring key;
  if (!BuildRequestForm(form, key)) return false;
  if (!taskId.empty() && taskDone) return true;

  Json::Value root;
  if (!PostForReply(kSynthesisTaskPath, form, root)) return false;
  std::string id;
  // Task ids go back into a form; one that is absurdly long is not a task id.
  if (!ReadReplyText(root, "data", id) || id.size() >= 100) {
    ShowMessage(kMessageInternalError);
    return false;
  }
  taskId = AnsiToWide(id);
  return true;
}

bool ConvertJob::PollSynthesisTask() {
  Json::Value root;
  if (!PostForReply(kSynthesisTaskPath, "taskId=" + WideToAnsi(taskId), root)) return true;
  const Json::Value& status = JsonMember(root, "status");
  if (!status.isInt()) {
    ShowMessage(kMessageInternalError);
    return true;
  }
  if (status.asInt() == 3) {
    ShowMessage(kMessageTaskFailed);
    return true;
  }
  if (status.asInt() != 2) return false;  // still running

  const std::wstring name = std::to_wstring(GetLocalTimeMs()) + L"." + codec;
  const std::wstring downloadPath = tempFolder + L"\\" + name;
  DebugTrace(L"task result %ls", downloadPath.c_str());
  std::string url;
  if (!ReadReplyText(root, "data", url) || !m_transport.DownloadFile(url, WideToAnsi(downloadPath), 0, m_stop)) {
    ShowMessage(kMessageTaskFailed);
    return true;
  }

  if (!bgmSourcePath.empty()) {
    const int64_t micros = SpeechDurationMicros(downloadPath, codec);
    if (micros < 1000000) {
      ShowMessage(kMessageTaskFailed);
      return true;
    }
    const std::wstring target = outputFolder + L"\\" + name;
    if (!RunPass(MixArguments(downloadPath, tempFolder + bgmWorkName, micros, target, codec), micros, m_stop)) {
      DeleteFileW(target.c_str());  // what a failed or ended pass wrote is no result
      ShowMessage(kMessageInternalError);
      return true;
    }
    outputPath = target;
  } else {
    const std::wstring target = outputFolder + L"\\" + std::to_wstring(GetLocalTimeMs()) + L"." + codec;
    if (!CopyFileW(downloadPath.c_str(), target.c_str(), FALSE)) {
      ShowSaveFailed(GetLastError());
      return true;
    }
    outputPath = target;
  }
  taskDone = true;
  return true;
}
