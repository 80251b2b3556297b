#include "core/portable/SamplePlayerSlot.h"

void SamplePlayerSlot::Publish(const AudioPlayer* player) {
  std::lock_guard<std::mutex> guard(mutex_);
  player_ = player;
}

void SamplePlayerSlot::Withdraw(const AudioPlayer* player) {
  std::lock_guard<std::mutex> guard(mutex_);
  if (player_ == player) player_ = nullptr;
}

bool SamplePlayerSlot::Holds(const AudioPlayer* player) const {
  std::lock_guard<std::mutex> guard(mutex_);
  return player != nullptr && player_ == player;
}

bool SamplePlayerSlot::IsPlaying() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return player_ != nullptr;
}

void SamplePlayerSlot::StopPlaying() {
  std::lock_guard<std::mutex> guard(mutex_);
  player_ = nullptr;
}
