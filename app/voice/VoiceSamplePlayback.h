#pragma once
// VoiceSamplePlayback: the one sample playback of the two voice windows (the
// picker and the detail window). Its worker runs PlayVoiceSampleThread, which
// brings the sample into the cache folder ("voiceType_<id>.mp3", downloaded
// once) and posts kSampleFetchedMessage to the window; the sample then plays
// on `m_samplePlayer`, owned here, on the UI thread, and the player posts
// WM_APP_SAMPLE_DONE at the sample's end. The window hands both messages
// back here. So the window can pause, resume and stop at once, and nothing
// it shows waits on the network.
//
// Starting another sample stops the previous worker without waiting for it
// (the worker abandons its transfer and posts nothing); Stop (and the
// destructor) wait for it a bounded time. The worker has its own copy of
// what it uses, so one that outlives the wait touches nothing of the
// window's. Both messages carry the playback's number: one of an earlier
// sample is ignored. UI thread only.
#include <windows.h>

#include <string>

#include "core/base/WorkerThread.h"
#include "core/catalog/VoiceSample.h"
#include "core/catalog/portable/VoiceCatalogRecords.h"
#include "core/media/AudioPlayer.h"
#include "core/transport/HttpClient.h"

// How long Stop waits for a stopped worker to end.
constexpr DWORD kSampleFetchStopWaitMs = 2000;

class VoiceSamplePlayback {
 public:
  // What a message handed to OnMessage meant for the window.
  enum class Outcome {
    None,      // not ours, or nothing for the window to show
    Playing,   // the sample arrived and plays (or waits paused)
    Failed,    // the sample could not be fetched or opened; nothing plays
    Finished,  // the sample played to its end
  };

  // `client` is copied for each worker (sample addresses are whole URLs).
  VoiceSamplePlayback(const HttpClient& client, std::wstring cacheFolder);
  ~VoiceSamplePlayback();
  VoiceSamplePlayback(const VoiceSamplePlayback&) = delete;
  VoiceSamplePlayback& operator=(const VoiceSamplePlayback&) = delete;

  // The window that gets the messages.
  void SetWindow(HWND window) { m_window = window; }

  // Stops what plays or is being fetched and fetches, then plays, the voice's sample.
  void Start(const VoiceInfo& voice);
  // Holds the sample; one still being fetched starts held.
  void Pause();
  // Goes on from where it was held.
  void Resume();
  // Ends the sample: stops its worker (waiting for it at most
  // kSampleFetchStopWaitMs) and releases the player. Nothing is posted afterwards.
  void Stop();

  // Handles kSampleFetchedMessage and WM_APP_SAMPLE_DONE; `handled` is set
  // for them. Other messages give Outcome::None and leave `handled` alone.
  Outcome OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

  bool IsFetching() const { return m_fetching; }
  // True while a player holds a sample (playing or paused).
  bool HasPlayer() const { return m_samplePlayer != nullptr; }
  AudioPlayerStatus GetStatus() const;
  // Samples started so far (tests count fetches).
  int FetchCount() const { return static_cast<int>(m_lastNumber); }

 private:
  void StopWorker(DWORD waitMs);
  void ReleasePlayer();
  Outcome OnFetched(UINT_PTR number, bool arrived);

  HttpClient m_client;
  std::wstring m_cacheFolder;      // ends with a separator
  HWND m_window = nullptr;         // borrowed: the window that owns this object
  WorkerThread m_worker;           // runs PlayVoiceSampleThread for the latest Start
  bool m_fetching = false;         // the latest sample has not arrived (or failed) yet
  UINT_PTR m_lastNumber = 0;       // number of the latest sample; older ones' messages are ignored
  std::wstring m_samplePath;       // the sample of the latest Start
  bool m_startPaused = false;      // Pause came while the sample was being fetched
  AudioPlayer* m_samplePlayer = nullptr;  // owned (released through Release); null when nothing plays
};
