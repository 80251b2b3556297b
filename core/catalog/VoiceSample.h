#pragma once

#include <windows.h>

#include <atomic>
#include <string>

class ClientState;
class HttpClient;
class StopToken;

// One voice-sample playback, made on the heap by a voice picker window and
// taken over (and freed) by PlayVoiceSampleThread.
struct VoiceSampleRequest {
  int voiceType = 0;
  std::wstring cacheFolder;     // folder of cached samples, ending with a separator
  std::wstring mp3Url;          // the voice's sample recording
  HWND notifyWindow = nullptr;  // gets WM_APP_SAMPLE_DONE at the end; may be null
  ClientState* state = nullptr;  // transport and sample slot; null: the program's state
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

// Plays a voice's sample, downloading it into the cache first when it is not
// there (only a download that holds audio is kept). The player is named in the
// state's sample slot while it plays; a window that clears the slot ends the
// playback. Posts WM_APP_SAMPLE_DONE to the request's window when the sample
// played (0); a sample that cannot be opened ends quietly (-1).
DWORD WINAPI PlayVoiceSampleThread(LPVOID voiceSampleRequest);
