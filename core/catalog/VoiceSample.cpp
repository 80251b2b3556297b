#include "core/catalog/VoiceSample.h"

#include "core/base/DebugTrace.h"
#include "core/base/TextConversion.h"
#include "core/base/WorkerThread.h"
#include "core/media/MediaTools.h"
#include "core/transport/HttpClient.h"

bool DownloadVoiceSample(const HttpClient& client, const std::string& ansiUrl, const std::wstring& samplePath,
                         const std::wstring& partSuffix, const StopToken* stop) {
  const std::wstring partial = samplePath + partSuffix + L".download";
  if (client.DownloadFile(ansiUrl, WideToAnsi(partial), 0, stop) && GetMediaDurationMicros(partial) > 0 &&
      MoveFileExW(partial.c_str(), samplePath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    return true;
  }
  DebugTrace(L"voice sample: %ls did not arrive or is not audio; not cached", partial.c_str());
  DeleteFileW(partial.c_str());
  return false;
}

std::wstring VoiceSamplePath(const VoiceSampleRequest& request) {
  return request.cacheFolder + L"voiceType_" + std::to_wstring(request.voiceType) + L".mp3";
}

void PlayVoiceSampleThread(const VoiceSampleRequest& request, const HttpClient& client, const StopToken& stop) {
  const std::wstring samplePath = VoiceSamplePath(request);
  bool arrived = GetFileAttributesW(samplePath.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (!arrived) {
    // A part file of this playback's own: an abandoned one of the same voice may still be writing its own.
    arrived = DownloadVoiceSample(client, WideToAnsi(request.mp3Url), samplePath,
                                  L"." + std::to_wstring(request.number), &stop);
  }
  if (!stop.StopRequested() && request.notifyWindow != nullptr) {
    PostMessageW(request.notifyWindow, kSampleFetchedMessage, request.number, arrived ? 1 : 0);
  }
}
