#include "core/catalog/VoiceSample.h"

#include "core/base/AppMessages.h"
#include "core/base/DebugTrace.h"
#include "core/base/TextConversion.h"
#include "core/client/ClientState.h"
#include "core/media/AudioPlayer.h"
#include "core/media/MediaTools.h"

#include <memory>

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

DWORD WINAPI PlayVoiceSampleThread(LPVOID voiceSampleRequest) {
  std::unique_ptr<VoiceSampleRequest> request(static_cast<VoiceSampleRequest*>(voiceSampleRequest));
  ClientState& state = request->state ? *request->state : GetClientState();
  const std::wstring samplePath = VoiceSamplePath(*request);
  const std::string ansiPath = WideToAnsi(samplePath);
  if (GetFileAttributesW(samplePath.c_str()) == INVALID_FILE_ATTRIBUTES) {
    DownloadVoiceSample(state.httpClient, WideToAnsi(request->mp3Url), samplePath);
  }

  AudioPlayer* player = CreateAudioPlayer();
  state.samplePlayer.Publish(player);
  if (!player->OpenFile(ansiPath.c_str(), kAudioFormatDetect)) {
    DebugTraceA("open file error");
    state.samplePlayer.Withdraw(player);
    player->Release();
    return static_cast<DWORD>(-1);
  }
  if (player->Play()) {
    // Ends early when a window stops the sample or another sample replaces it.
    WaitWhilePlaying(player, [&state, player] { return state.samplePlayer.Holds(player); });
  }
  player->Stop();
  state.samplePlayer.Withdraw(player);
  player->Release();
  if (request->notifyWindow != nullptr) PostMessageW(request->notifyWindow, WM_APP_SAMPLE_DONE, 0, 0);
  return 0;
}
