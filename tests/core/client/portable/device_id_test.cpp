#include "core/client/portable/DeviceId.h"

#include "core/base/portable/Checksums.h"

#include <gtest/gtest.h>

namespace {

const std::array<uint16_t, 3> kRandom = {0xAAA1, 0xAAA2, 0xAAA3};

uint16_t Hash(const std::string& text) { return Crc16Xmodem(text.data(), text.size()); }

HardwareStringLists Machine() {
  return {{"00-1A-2B-3C-4D-5E", "00-1A-2B-3C-4D-5F"}, {"4c4c4544004a3910804bb2c04f4e5932"}};
}

}  // namespace

TEST(DeviceId, SlotsTakeMacsThenSmbiosThenRandomValues) {
  struct Case {
    const char* what;
    HardwareStringLists hardware;
    std::array<uint16_t, 3> slots;
  } cases[] = {
      {"two MACs and one UUID", Machine(),
       {Hash("00-1A-2B-3C-4D-5E"), Hash("00-1A-2B-3C-4D-5F"), Hash("4c4c4544004a3910804bb2c04f4e5932")}},
      {"one MAC, no UUID", {{"00-1A-2B-3C-4D-5E"}, {}}, {Hash("00-1A-2B-3C-4D-5E"), 0xAAA1, 0xAAA2}},
      {"UUIDs only", {{}, {"u1", "u2", "u3", "u4"}}, {Hash("u1"), Hash("u2"), Hash("u3")}},
      {"nothing", {}, {0xAAA1, 0xAAA2, 0xAAA3}},
  };
  for (const Case& c : cases) {
    const DeviceId id = MakeDeviceId(c.hardware, kRandom, 0x01020304);
    EXPECT_EQ(id.slots[0], c.slots[0]) << c.what;
    EXPECT_EQ(id.slots[1], c.slots[1]) << c.what;
    EXPECT_EQ(id.slots[2], c.slots[2]) << c.what;
  }
}

TEST(DeviceId, TextIsSixteenUrlSafeCharactersOfTheLittleEndianBytes) {
  DeviceId id = MakeDeviceId(Machine(), kRandom, 0x5F5E1000);
  const std::array<uint8_t, kDeviceIdSize> bytes = DeviceIdToBytes(id);
  EXPECT_EQ(bytes[0], id.slots[0] & 0xFF);
  EXPECT_EQ(bytes[6], 0x00);
  EXPECT_EQ(bytes[9], 0x5F);
  EXPECT_EQ(static_cast<uint16_t>(bytes[10] | bytes[11] << 8), Crc16Xmodem(bytes.data(), 10));

  // Slots chosen so the standard alphabet would give "+" and "/".
  id.slots[0] = 0xFBEF;
  id.slots[1] = 0xFFFF;
  id.check = ComputeDeviceIdCheck(id);
  const std::string text = EncodeDeviceIdText(id);
  ASSERT_EQ(text.size(), kDeviceIdTextLength);
  EXPECT_EQ(text.substr(0, 4), "7_v_");
  EXPECT_EQ(text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"),
            std::string::npos);

  DeviceId decoded{};
  ASSERT_TRUE(DecodeDeviceIdText(text, decoded));
  EXPECT_EQ(DeviceIdToBytes(decoded), DeviceIdToBytes(id));
}

TEST(DeviceId, ValidationNeedsTheFormTheCheckAndAMatchingSlot) {
  const HardwareStringLists machine = Machine();
  const std::string text = EncodeDeviceIdText(MakeDeviceId(machine, kRandom, 1700000000));
  EXPECT_TRUE(ValidateDeviceIdText(text, machine));

  // Any one remaining hardware string keeps it valid.
  EXPECT_TRUE(ValidateDeviceIdText(text, {{"00-1A-2B-3C-4D-5F"}, {}}));
  EXPECT_TRUE(ValidateDeviceIdText(text, {{"11-11-11-11-11-11"}, {"4c4c4544004a3910804bb2c04f4e5932"}}));
  EXPECT_FALSE(ValidateDeviceIdText(text, {{"11-11-11-11-11-11"}, {"ffffffffffffffffffffffffffffffff"}}));
  EXPECT_FALSE(ValidateDeviceIdText(text, {}));
  // Only the first six strings of a source count.
  EXPECT_FALSE(ValidateDeviceIdText(text, {{"a", "b", "c", "d", "e", "f", "00-1A-2B-3C-4D-5E"}, {}}));

  DeviceId id{};
  std::string flipped = text;
  flipped[14] = flipped[14] == 'A' ? 'B' : 'A';  // inside the check value
  EXPECT_FALSE(DecodeDeviceIdText(flipped, id));
  EXPECT_FALSE(ValidateDeviceIdText(flipped, machine)) << "a slot still matches, the check does not";

  for (const std::string& bad : {text.substr(0, 15), text + "A", std::string(), std::string(39, 'A'),
                                 text.substr(0, 15) + "=", text.substr(0, 15) + "+", std::string("AAAAAAAA\0AAAAAAA", 16)}) {
    EXPECT_FALSE(DecodeDeviceIdText(bad, id)) << bad;
  }
}
