// Colour arithmetic of the drawing engine: HSL conversion and shift,
// premultiplication of decoded pixels with the mask, colour mixing.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ui/draw/portable/ColorMath.h"

using namespace Trellis;

TEST(ColorMath, HslRoundTripKeepsColours) {
  const uint32_t colours[] = {0xFF000000, 0xFFFFFFFF, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                              0x80123456, 0xFFD3215F, 0xFFBAE4FF, 0x00808080};
  for (uint32_t c : colours) {
    SCOPED_TRACE(c);
    float h, s, l;
    ColorRgbToHsl(c, &h, &s, &l);
    const uint32_t back = ColorHslToRgb(c, h, s, l);
    EXPECT_EQ(c >> 24, back >> 24);
    for (int shift = 0; shift <= 16; shift += 8) {
      EXPECT_NEAR(static_cast<int>((c >> shift) & 0xFF), static_cast<int>((back >> shift) & 0xFF), 1);
    }
  }
}

TEST(ColorMath, KnownHues) {
  float h, s, l;
  ColorRgbToHsl(0xFFFF0000, &h, &s, &l);
  EXPECT_FLOAT_EQ(0.0f, h);
  EXPECT_FLOAT_EQ(1.0f, s);
  EXPECT_FLOAT_EQ(0.5f, l);
  ColorRgbToHsl(0xFF00FF00, &h, &s, &l);
  EXPECT_FLOAT_EQ(120.0f, h);
  ColorRgbToHsl(0xFF0000FF, &h, &s, &l);
  EXPECT_FLOAT_EQ(240.0f, h);
}

TEST(ColorMath, AdjustNeutralAndShifted) {
  EXPECT_EQ(0x80123456u, ColorAdjust(0x80123456, 180, 100, 100));
  // A hue shift of +120 degrees turns red into green; alpha stays.
  const uint32_t green = ColorAdjust(0x80FF0000, 300, 100, 100);
  EXPECT_EQ(0x80u, green >> 24);
  EXPECT_LE(static_cast<int>((green >> 16) & 0xFF), 1);
  EXPECT_GE(static_cast<int>((green >> 8) & 0xFF), 254);
  // Luminance 0 is black.
  EXPECT_EQ(0xFF000000u, ColorAdjust(0xFF336699, 180, 100, 0));
}

TEST(ColorMath, PremultipliesAndCutsOutTheMask) {
  const std::vector<uint8_t> rgba = {
      255, 0, 0, 128,    // half red
      255, 0, 255, 255,  // opaque magenta (the mask)
      10, 20, 30, 255,   // opaque
      200, 100, 50, 0,   // fully transparent
  };
  std::vector<uint8_t> bgra(rgba.size());
  EXPECT_TRUE(ColorPremultiplyRgba(rgba.data(), bgra.data(), 4, 0xFFFF00FF));
  const std::vector<uint8_t> expected = {0, 0, 128, 128, 0, 0, 0, 0, 30, 20, 10, 255, 0, 0, 0, 0};
  EXPECT_EQ(expected, bgra);

  const std::vector<uint8_t> opaque = {1, 2, 3, 255};
  std::vector<uint8_t> out(4);
  EXPECT_FALSE(ColorPremultiplyRgba(opaque.data(), out.data(), 1, 0));
  EXPECT_EQ((std::vector<uint8_t>{3, 2, 1, 255}), out);
  EXPECT_EQ(0x80800000u, ColorPremultiplyArgb(0x80FF0000));
  EXPECT_EQ(0xFF123456u, ColorPremultiplyArgb(0xFF123456));
}

TEST(ColorMath, AdjustedPixelsStayValidPremultiplied) {
  // Half-transparent grey brightened: no channel may exceed its alpha.
  const std::vector<uint8_t> source = {100, 100, 100, 128, 10, 20, 30, 255};
  std::vector<uint8_t> target(source.size());
  ColorAdjustPixels(source.data(), target.data(), 2, 180, 100, 200);
  EXPECT_LE(target[0], 128);
  EXPECT_EQ(128, target[3]);
  EXPECT_EQ(255, target[7]);
  ColorAdjustPixels(source.data(), target.data(), 2, 180, 100, 100);
  EXPECT_EQ(source, target);
}

TEST(ColorMath, MixWeighsChannels) {
  EXPECT_EQ(0x00804020u, ColorMix(0xFF804020, 1.0, 0xFFFFFFFF, 0.0));
  EXPECT_EQ(0x007F7F7Fu, ColorMix(0x00FFFFFF, 0.5, 0x00000000, 0.5));
  EXPECT_EQ(0x00FFFFFFu, ColorMix(0x00FFFFFF, 1.0, 0x00FFFFFF, 1.0));  // kept in a byte
}
