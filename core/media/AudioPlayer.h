#pragma once
// The program's audio player: plays one mp3, wav or pcm file through the
// system's wave output, for the text-to-speech preview and the voice samples.
// CreateAudioPlayer hands out a player object; the object decodes and feeds the
// device on a worker thread of its own, so Play, Pause and Resume return at
// once and GetStatus is one atomic read that any thread may make at any time.
//
// How its owner learns that the audio ended: the end message. Typical use, on
// the UI thread that owns the player:
//   AudioPlayer* player = CreateAudioPlayer();
//   player->SetEndMessage(window, WM_APP_SAMPLE_DONE, number);
//   if (!player->OpenFile(ansiPath, kAudioFormatDetect) || !player->Play()) ... failed
//   ... the window gets WM_APP_SAMPLE_DONE (number) once the audio has ended,
//   and then (or whenever it stops the sound itself) calls player->Release().
//
// Threads: Pause, Resume and GetStatus may be called from any thread while
// another thread owns the player. OpenFile, Play, Stop and Release are made by
// the owning thread (or, once that thread is gone, by the one that takes the
// player over); Release is the last call made on the object by anyone. A
// playing thread ended with TerminateThread while it waits in GetStatus or
// WaitWhilePlaying leaves the player whole, still holding its own thread and
// the device: the thread that ended it releases the player.

#include <windows.h>

#include <functional>

// Format code that lets OpenFile tell the format from the file's content: mp3,
// wav, and the converter's .pcm output (headerless 16-bit mono samples at
// 16000 Hz when the content names no format). The only code the program uses.
constexpr int kAudioFormatDetect = 1000;

// What the player is doing. Both flags clear: stopped, finished, or never
// started.
struct AudioPlayerStatus {
  bool playing = false;
  bool paused = false;
};

class AudioPlayer {
 public:
  // Opens an audio file (path in the ANSI code page) and checks that it holds
  // decodable audio. Stops what was playing first. Fails, with one line on the
  // debugger output, for a missing, empty, damaged or non-audio file and for
  // any format code but kAudioFormatDetect; the player then has no file.
  virtual bool OpenFile(const char* ansiPath, int formatCode) = 0;
  // Starts playback from the start of the file, or resumes it when paused.
  // Returns at once. Fails when no file is open or the output device cannot
  // be opened (status stays stopped).
  virtual bool Play() = 0;
  // Holds playback at its position; does nothing unless playing.
  virtual bool Pause() = 0;
  // Goes on from the held position; does nothing unless paused.
  virtual bool Resume() = 0;
  // Ends playback at once and closes the device; the file stays open, so a
  // later Play starts it again from the beginning.
  virtual bool Stop() = 0;
  virtual AudioPlayerStatus GetStatus() const = 0;
  // Has the player post `message` (wParam `wParam`, lParam 0) to `window`
  // once each playback has ended by itself: played to its end (a pause at
  // the end holds it until resumed), or the device failed. Stop, Release and
  // a new OpenFile post nothing. The wParam lets the owner tell an end
  // posted just before it released one player from the end of its next.
  // Set before Play; a null window (the default) posts nothing.
  virtual void SetEndMessage(HWND window, UINT message, WPARAM wParam) = 0;
  // Stops, closes the file and deletes the player, from any state.
  virtual void Release() = 0;

 protected:
  virtual ~AudioPlayer() = default;  // deleted only through Release
};

// Makes a player with no file open. Never null.
AudioPlayer* CreateAudioPlayer();

// Interval of WaitWhilePlaying's polls: short next to any sound a user hears,
// long enough that a waiting thread costs no noticeable processor time.
constexpr unsigned kAudioStatusPollMs = 10;

// For a thread that plays and waits (the end message serves a window): waits,
// polling the status every kAudioStatusPollMs, until the player is neither
// playing nor paused. A pause keeps it waiting. With keepWaiting given,
// it also stops waiting as soon as that returns false, e.g. for a loop that
// must end when a shared player pointer is cleared:
//   WaitWhilePlaying(player, [] { return previewPlayer != nullptr; });
// Returns true when the playback ended, false when keepWaiting ended the wait.
// Does not stop the player. Use this in every playback loop instead of
// polling GetStatus back to back.
bool WaitWhilePlaying(const AudioPlayer* player, const std::function<bool()>& keepWaiting = {});
