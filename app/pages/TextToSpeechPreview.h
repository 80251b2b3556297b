#pragma once
// PreviewPlayback: the listen test's playback. One audio player,
// `previewPlayer`, plays the preview file while PlaybackThread waits for its
// end (WaitWhilePlaying) and then posts WM_APP_PLAYBACK_DONE with the
// playback's id. The UI thread pauses and resumes the player meanwhile.
//
// Owns the session (player, window, id), shared with the waiting thread, and
// the WorkerThread that runs it; whichever lets go of the session last stops
// and releases the player, so a playback that is dropped never keeps the
// sound device.
#include <windows.h>

#include <memory>
#include <string>

#include "core/base/WorkerThread.h"
#include "core/media/AudioPlayer.h"

struct PreviewSession;

// Waits until the session's player has stopped playing (or the token is
// set); then, unless stopped, posts WM_APP_PLAYBACK_DONE with its id.
void PlaybackThread(const std::shared_ptr<PreviewSession>& session, const StopToken& stop);

class PreviewPlayback {
 public:
  PreviewPlayback() = default;
  ~PreviewPlayback() { Stop(); }
  PreviewPlayback(const PreviewPlayback&) = delete;
  PreviewPlayback& operator=(const PreviewPlayback&) = delete;

  // Stops what played, opens `path` and plays it; `window` gets
  // WM_APP_PLAYBACK_DONE with `id` when it ends. A file that cannot be
  // opened plays nothing, and the end follows at once.
  void Start(const std::wstring& path, HWND window, UINT id);
  // Stops the playback and releases the player; waits (bounded) for the
  // waiting thread, which then posts nothing.
  void Stop();
  // The player's state; both flags clear when nothing plays.
  AudioPlayerStatus Status() const;
  void Pause();
  void Resume();
  bool Exists() const { return m_session != nullptr; }
  bool IsCurrent(UINT id) const;

 private:
  std::shared_ptr<PreviewSession> m_session;  // shared with the waiting thread
  WorkerThread m_waiter;
};
