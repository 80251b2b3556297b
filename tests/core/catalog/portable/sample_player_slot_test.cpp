#include "core/catalog/portable/SamplePlayerSlot.h"

#include <gtest/gtest.h>

namespace {
// The slot never touches a player, so any distinct addresses serve.
const AudioPlayer* const kFirst = reinterpret_cast<const AudioPlayer*>(0x1000);
const AudioPlayer* const kSecond = reinterpret_cast<const AudioPlayer*>(0x2000);
}  // namespace

TEST(SamplePlayerSlot, AnEndingSampleDoesNotClearItsSuccessor) {
  SamplePlayerSlot slot;
  EXPECT_FALSE(slot.IsPlaying());
  slot.Publish(kFirst);
  EXPECT_TRUE(slot.Holds(kFirst));
  slot.Publish(kSecond);  // a new sample replaces the first: its thread sees it has to stop
  EXPECT_FALSE(slot.Holds(kFirst));
  slot.Withdraw(kFirst);
  EXPECT_TRUE(slot.Holds(kSecond));
  slot.Withdraw(kSecond);
  EXPECT_FALSE(slot.IsPlaying());
}

TEST(SamplePlayerSlot, AWindowStopsThePlayingSample) {
  SamplePlayerSlot slot;
  slot.Publish(kFirst);
  slot.StopPlaying();
  EXPECT_FALSE(slot.Holds(kFirst));
  EXPECT_FALSE(slot.IsPlaying());
  EXPECT_FALSE(slot.Holds(nullptr));
}
