#pragma once

// The voice sample that is playing, shared between the sample thread and the
// voice picker windows. The sample thread owns its player from creation to
// release; the slot only names it, and nothing reached through the slot ever
// touches the player, so a window cannot use a player the thread has released.
// A window stops a sample by clearing the slot; the thread sees that, stops
// and releases its player.

#include <mutex>

class AudioPlayer;

class SamplePlayerSlot {
 public:
  // The sample thread: names its player as the one playing (a sample that was
  // playing before is thereby asked to stop).
  void Publish(const AudioPlayer* player);
  // The sample thread at its end: clears the slot if it still names `player`.
  void Withdraw(const AudioPlayer* player);
  // True while `player` is the one playing (not stopped by a window).
  bool Holds(const AudioPlayer* player) const;
  // True while any sample plays.
  bool IsPlaying() const;
  // A window: asks the playing sample, if any, to stop.
  void StopPlaying();

 private:
  mutable std::mutex m_mutex;
  const AudioPlayer* m_player = nullptr;  // borrowed: owned by its sample thread, never dereferenced here
};
