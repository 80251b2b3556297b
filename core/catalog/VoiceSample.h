#pragma once
// The worker side of the voice windows' sample playback: the request of one
// sample, its place in the cache, its download, and PlayVoiceSampleThread,
// which brings the sample into the cache for the window that plays it
// (app/voice/VoiceSamplePlayback.h holds the window side and the player).

#include <windows.h>

#include <string>

class HttpClient;
class StopToken;

// Posted by PlayVoiceSampleThread to the request's window: wParam the
// request's number, lParam 1 when the sample is in the cache, 0 when it could
// not be fetched.
constexpr UINT kSampleFetchedMessage = WM_USER + 150;

// One voice-sample playback, as its worker gets it (a copy of its own).
struct VoiceSampleRequest {
  int voiceType = 0;
  std::wstring cacheFolder;     // folder of cached samples, ending with a separator
  std::wstring mp3Url;          // the voice's sample recording
  HWND notifyWindow = nullptr;  // gets kSampleFetchedMessage; may be null
  UINT_PTR number = 0;          // names the playback in its messages
};

// The cached sample of a voice: cacheFolder + "voiceType_<id>.mp3".
std::wstring VoiceSamplePath(const VoiceSampleRequest& request);

// Downloads a voice's sample to `samplePath` and keeps it only when it holds
// audio, so an error page served in its place is never cached. The download
// goes to a file of its own beside the sample (`partSuffix` tells concurrent
// downloads of one voice apart) and replaces the sample only when complete.
// `stop` abandons the transfer. False (no sample written) on any failure.
bool DownloadVoiceSample(const HttpClient& client, const std::string& ansiUrl, const std::wstring& samplePath,
                         const std::wstring& partSuffix = std::wstring(), const StopToken* stop = nullptr);

// The worker of one sample playback: brings the voice's sample into the
// cache (downloaded once; a cached sample needs no network) and tells the
// request's window whether it is there, which then plays it. A stopped
// worker abandons its download and posts nothing.
void PlayVoiceSampleThread(const VoiceSampleRequest& request, const HttpClient& client, const StopToken& stop);
