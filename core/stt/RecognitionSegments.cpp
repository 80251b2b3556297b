// Speech-to-text job, first half: cutting the source into segments with
// ffmpeg and uploading them.
#include <windows.h>

#include <cstdio>

#include "core/base/DebugTrace.h"
#include "core/base/TempFolder.h"
#include "core/base/TextConversion.h"
#include "core/base/portable/Checksums.h"
#include "core/media/MediaTools.h"
#include "core/media/ProcessRunner.h"
#include "core/stt/SegmentFiles.h"
#include "core/stt/Voice2TextJob.h"
#include "core/stt/portable/RecognitionReplies.h"
#include "core/stt/portable/SegmentLog.h"
#include "core/transport/HttpClient.h"
#include "core/client/ClientState.h"

namespace {

// A pass that outlasts its bound (from the source's length), or whose job is
// asked to stop, is ended and fails.
bool RunPass(const std::wstring& arguments, int64_t mediaMicros, Voice2TextJob& job, std::string& output) {
  uint32_t exitCode = 0;
  RunFfmpeg(arguments, exitCode, output, ChildRunLimits{FfmpegTimeLimitMs(mediaMicros), job.stop});
  if (exitCode == 0) return true;
  DebugTrace(L"ffmpeg failed with %u: %ls", exitCode, arguments.c_str());
  return false;
}

// The transport opens files by ANSI names. A path the ANSI code page cannot
// hold goes by its short form, which is ASCII; empty when neither works.
std::string AnsiPathOf(const std::wstring& path) {
  std::string ansi = WideToAnsi(path);
  if (AnsiToWidePath(ansi) == path) return ansi;
  wchar_t shortPath[MAX_PATH];
  const DWORD length = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  ansi = WideToAnsi(shortPath);
  return AnsiToWidePath(ansi) == shortPath ? ansi : std::string();
}

// The segment muxer reads its output name as a template in which "%" starts a
// number field; a "%" of the folder (a user name may hold one) is doubled so
// it stays a character.
std::wstring SegmentTemplateStem(const std::wstring& stem) {
  std::wstring escaped;
  for (wchar_t c : stem) {
    if (c == L'%') escaped += L'%';
    escaped += c;
  }
  return escaped;
}

}  // namespace

std::wstring RecognitionTempStem(const Voice2TextJob& job) {
  // The key covers the whole source path and the job (its address within this
  // process), so neither two sources with one base name nor two jobs of one
  // source share files; the MD5 runs over UTF-16LE bytes, as Windows holds them.
  wchar_t identity[64];
  std::swprintf(identity, 64, L"|%lu|%p", GetCurrentProcessId(), static_cast<const void*>(&job));
  const std::wstring keyed = job.sourcePath + identity;
  const std::string bytes(reinterpret_cast<const char*>(keyed.data()), keyed.size() * sizeof(wchar_t));
  const std::wstring folder = job.tempFolder.empty() ? GetLongTempFolder() : job.tempFolder;
  return folder + ComputeMd5HexW(bytes);
}

bool SplitAudioForRecognition(Voice2TextJob& job) {
  job.segmentPaths.clear();
  if (job.StopRequested()) return false;
  const std::wstring stem = RecognitionTempStem(job);
  const std::wstring whole = stem + L".mp3";
  RemoveSegmentFiles(stem);  // an earlier run's: a shorter source must not inherit them
  std::string output;
  const int64_t micros = GetMediaDurationMicros(job.sourcePath);
  bool ok = RunPass(L"-i \"" + job.sourcePath + L"\" -f mp3 -y  \"" + whole + L"\"", micros, job, output);
  ok = ok && !job.StopRequested() &&
       RunPass(L"-i \"" + whole + L"\" \"-f\" \"segment\" \"-segment_time\" \"116\" \"-c\" \"copy\"  \"" +
                   SegmentTemplateStem(stem) + L"%02d.mp3\"",
               micros, job, output);
  DeleteFileW(whole.c_str());  // only the segments are uploaded
  if (!ok) {
    RemoveSegmentFiles(stem);
    DebugTraceA("%s", output.c_str());
    return false;
  }
  job.segmentPaths = CollectSegmentFiles(stem, ParseSegmentPaths(output));
  return !job.segmentPaths.empty();
}

bool UploadAudioSegments(Voice2TextJob& job) {
  job.segmentUrls.clear();
  const std::string url = GetClientState().endpoints().speechBaseUrl + "/colud/ars/upload.php";
  bool ok = !job.segmentPaths.empty();
  for (const std::wstring& path : job.segmentPaths) {
    if (job.StopRequested()) ok = false;
    if (!ok) break;
    const std::string ansiPath = AnsiPathOf(path);
    HttpResponseBuffer reply;
    if (ansiPath.empty()) {
      DebugTrace(L"segment path has no ANSI form: %ls", path.c_str());
      ok = false;
    } else {
      const bool transferred = HttpUploadFile(url, ansiPath, reply, job.stop);
      const UploadReply read = ReadUploadReply(transferred, reply.view());
      ok = read.state == SpeechReplyState::Ok;
      DebugTraceA("upload of segment %u: %s", static_cast<unsigned>(job.segmentUrls.size()),
                  ok ? read.url.c_str() : transferred ? std::string(reply.view()).c_str() : "no reply");
      if (ok) job.segmentUrls.push_back(read.url);
    }
  }
  // The service holds the audio now (or the job failed): the files are spent.
  for (const std::wstring& path : job.segmentPaths) DeleteFileW(path.c_str());
  return ok;
}
