#include "core/catalog/portable/SamplePlayerSlot.h"

void SamplePlayerSlot::Publish(const AudioPlayer* player) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_player = player;
}

void SamplePlayerSlot::Withdraw(const AudioPlayer* player) {
  std::lock_guard<std::mutex> guard(m_mutex);
  if (m_player == player) m_player = nullptr;
}

bool SamplePlayerSlot::Holds(const AudioPlayer* player) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return player != nullptr && m_player == player;
}

bool SamplePlayerSlot::IsPlaying() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_player != nullptr;
}

void SamplePlayerSlot::StopPlaying() {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_player = nullptr;
}
