#pragma once
// The listen test's playback: one audio player plays the preview file while a
// small thread waits for its end (WaitWhilePlaying) and then posts
// WM_APP_PLAYBACK_DONE with the playback's id. The UI thread pauses and
// resumes the player meanwhile. Player and flag are shared by the two
// threads; whichever lets go last stops and releases the player, so a
// playback that is dropped never keeps the sound device.
#include <windows.h>

#include <memory>
#include <string>

#include "core/base/ScopedHandle.h"
#include "core/media/AudioPlayer.h"

struct PreviewSession;

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
  std::shared_ptr<PreviewSession> m_session;
  OwnedHandle m_waiter;
};
