#pragma once
// VoiceSamplePlayback: plays voice samples for one voice window. A worker
// thread brings the sample into the cache folder ("voiceType_<id>.mp3",
// downloaded once) and posts kSampleFetchedMessage to the window; the window
// hands that message (and the playback timer) back here, and the sample then
// plays on a player this object owns, on the UI thread. So the window can
// pause, resume and stop at once, and nothing it shows waits on the network.
//
// A fetch is stopped by its stop token, which also abandons its transfer.
// Starting another sample cancels the previous fetch without waiting for it;
// Stop (and the destructor) wait for it a bounded time. A fetch's record is
// shared with its thread, so a thread that outlives the wait touches nothing
// of the window's. UI thread only.
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "core/base/AppMessages.h"
#include "core/base/ScopedHandle.h"
#include "core/catalog/portable/VoiceCatalogRecords.h"
#include "core/media/AudioPlayer.h"
#include "core/transport/HttpClient.h"

// Posted by a sample fetch to its window: wParam the fetch's number, lParam 1
// when the sample is in the cache, 0 when it could not be fetched.
constexpr UINT kSampleFetchedMessage = WM_USER + 150;
// The window timer that watches a playing sample for its end.
constexpr UINT_PTR kSampleTimerId = 0x5A31;
constexpr UINT kSampleTimerMs = 100;
// How long Stop waits for a cancelled fetch to end.
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

  // `client` is copied for each fetch (sample addresses are whole URLs).
  VoiceSamplePlayback(const HttpClient& client, std::wstring cacheFolder);
  ~VoiceSamplePlayback();
  VoiceSamplePlayback(const VoiceSamplePlayback&) = delete;
  VoiceSamplePlayback& operator=(const VoiceSamplePlayback&) = delete;

  // The window that gets the fetch messages and owns the timer.
  void SetWindow(HWND window) { m_window = window; }

  // Stops what plays or is being fetched and fetches, then plays, the voice's sample.
  void Start(const VoiceInfo& voice);
  // Holds the sample; one still being fetched starts held.
  void Pause();
  // Goes on from where it was held.
  void Resume();
  // Ends the sample: cancels its fetch (waiting for it at most
  // kSampleFetchStopWaitMs) and releases the player. Nothing is posted afterwards.
  void Stop();

  // Handles kSampleFetchedMessage and the playback timer; `handled` is set
  // for them. Other messages give Outcome::None and leave `handled` alone.
  Outcome OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

  bool IsFetching() const { return m_fetch != nullptr; }
  // True while a player holds a sample (playing or paused).
  bool HasPlayer() const { return m_player != nullptr; }
  AudioPlayerStatus GetStatus() const;
  // Threads started so far (tests count fetches).
  int FetchCount() const { return static_cast<int>(m_lastNumber); }

  // One fetch's record, shared by the window and the fetch thread.
  struct Fetch;

 private:
  void CancelFetch(DWORD waitMs);
  void ReleasePlayer();
  Outcome OnFetched(UINT_PTR number, bool arrived);

  HttpClient m_client;
  std::wstring m_cacheFolder;    // ends with a separator
  HWND m_window = nullptr;       // borrowed: the window that owns this object
  std::shared_ptr<Fetch> m_fetch;  // the fetch under way, shared with its thread; null when none
  OwnedHandle m_fetchThread;       // its thread, until it ended or was let go
  UINT_PTR m_lastNumber = 0;       // number of the latest fetch; older fetches' messages are ignored
  std::wstring m_samplePath;       // the sample of the latest Start
  bool m_startPaused = false;      // Pause came while the sample was being fetched
  AudioPlayer* m_player = nullptr;  // owned (released through Release); null when nothing plays
};
