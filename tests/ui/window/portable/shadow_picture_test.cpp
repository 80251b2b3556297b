// The drop shadow's region picture: size rules, the kernel fade, symmetry of
// the blur around a rectangular window, the window cut out, and safety for
// tiny windows and extreme settings.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ui/window/portable/ShadowPicture.h"

using namespace Trellis;

namespace {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  int Alpha(int x, int y) const { return static_cast<int>(At(x, y) >> 24); }
};

bool MakeRect(int w, int h, const ShadowSettings& settings, Picture* picture) {
  std::vector<ShadowAnchor> anchors(static_cast<size_t>(h), ShadowAnchor{0, w});
  if (!ShadowRegionPictureSize(w, h, settings, &picture->width, &picture->height)) return false;
  picture->pixels.assign(static_cast<size_t>(picture->width) * picture->height, 0xDEADBEEF);
  return MakeShadowRegionPicture(anchors, w, settings, picture->pixels.data(), picture->width, picture->height);
}

}  // namespace

TEST(ShadowPicture, SizeZeroOrEmptyWindowMakesNothing) {
  ShadowSettings settings;
  int w = -1, h = -1;
  EXPECT_FALSE(ShadowRegionPictureSize(100, 50, settings, &w, &h));  // size 0
  EXPECT_EQ(0, w);
  settings.size = 5;
  EXPECT_FALSE(ShadowRegionPictureSize(0, 50, settings, &w, &h));
  EXPECT_FALSE(ShadowRegionPictureSize(50, -3, settings, &w, &h));
  settings.size = -20;
  EXPECT_FALSE(ShadowRegionPictureSize(30, 30, settings, &w, &h));  // 30 - 40 < 1
  EXPECT_TRUE(ShadowRegionPictureSize(100, 50, ShadowSettings{5, 5, 150, 0, 0, 0}, &w, &h));
  EXPECT_EQ(110, w);
  EXPECT_EQ(60, h);
  // Sizes that do not agree with the window are refused and nothing is written.
  std::vector<uint32_t> pixels(10, 7u);
  std::vector<ShadowAnchor> anchors(4, ShadowAnchor{0, 4});
  EXPECT_FALSE(MakeShadowRegionPicture(anchors, 4, ShadowSettings{5, 5, 150, 0, 0, 0}, pixels.data(), 2, 5));
  EXPECT_EQ(std::vector<uint32_t>(10, 7u), pixels);
}

TEST(ShadowPicture, SizeFiveSharpnessFiveFadesFromTheWindowOutwards) {
  const ShadowSettings settings{5, 5, 150, 0, 0, 0x000000};
  Picture picture;
  ASSERT_TRUE(MakeRect(60, 40, settings, &picture));
  ASSERT_EQ(70, picture.width);
  ASSERT_EQ(50, picture.height);
  // Where the window lies the picture is empty.
  EXPECT_EQ(0u, picture.At(35, 25));
  EXPECT_EQ(0u, picture.At(5, 5));
  // Along the middle of the left edge the alpha rises towards the window.
  int previous = -1;
  for (int x = 0; x < 5; ++x) {
    const int alpha = picture.Alpha(x, 25);
    EXPECT_GT(alpha, previous) << "x " << x;
    previous = alpha;
  }
  EXPECT_LE(picture.Alpha(0, 25), 150 / 6 + 2);  // about darkness / 6 at distance 5
  EXPECT_LE(previous, 150);
  // The outer corner is lighter than the middle of an edge.
  EXPECT_LT(picture.Alpha(0, 0), picture.Alpha(0, 25));
}

TEST(ShadowPicture, BlurIsSymmetricAroundARectangle) {
  for (const ShadowSettings& settings : {ShadowSettings{5, 5, 150, 0, 0, 0x202020}, ShadowSettings{8, 3, 200, 0, 0, 0},
                                         ShadowSettings{3, 10, 255, 0, 0, 0xFF0000}}) {
    Picture picture;
    ASSERT_TRUE(MakeRect(41, 23, settings, &picture));
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x) {
        ASSERT_EQ(picture.At(x, y), picture.At(picture.width - 1 - x, y)) << x << "," << y;
        ASSERT_EQ(picture.At(x, y), picture.At(x, picture.height - 1 - y)) << x << "," << y;
        // Premultiplied: no colour channel above alpha.
        const uint32_t word = picture.At(x, y);
        ASSERT_LE((word >> 16) & 0xFF, word >> 24);
      }
    }
  }
}

TEST(ShadowPicture, OffsetMovesTheCutOut) {
  Picture picture;
  ASSERT_TRUE(MakeRect(40, 30, ShadowSettings{6, 4, 150, 3, 2, 0}, &picture));
  // The window (cut out) sits at (size - offset): its top-left is (3, 4).
  EXPECT_EQ(0u, picture.At(3, 4));
  EXPECT_NE(0u, picture.At(picture.width - 2, picture.height / 2));
}

TEST(ShadowPicture, TinyWindowsAndExtremeSettingsStayInBounds) {
  const int sizes[] = {-20, -3, -1, 1, 2, 20};
  const int sharpnesses[] = {0, 1, 5, 20};
  const int offsets[] = {-20, 0, 20};
  for (int w : {1, 2, 3, 45}) {
    for (int h : {1, 2, 41}) {
      for (int s : sizes) {
        for (int p : sharpnesses) {
          for (int o : offsets) {
            const ShadowSettings settings{s, p, 255, o, -o, 0xFFFFFF};
            Picture picture;
            if (!MakeRect(w, h, settings, &picture)) continue;
            for (uint32_t word : picture.pixels) ASSERT_NE(0xDEADBEEFu, word);  // every pixel written
          }
        }
      }
    }
  }
  // A window whose rows are partly empty (a rounded outline).
  std::vector<ShadowAnchor> anchors = {{3, 7}, {1, 9}, {0, 10}, {10, 0}, {0, 10}, {2, 8}};
  const ShadowSettings settings{4, 6, 150, 0, 0, 0};
  int w, h;
  ASSERT_TRUE(ShadowRegionPictureSize(10, 6, settings, &w, &h));
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
  EXPECT_TRUE(MakeShadowRegionPicture(anchors, 10, settings, pixels.data(), w, h));
}

TEST(ShadowPicture, PremultiplyScalesEachChannel) {
  EXPECT_EQ(0x00804020u, ShadowPremultiply(0x00FF8040, 128));
  EXPECT_EQ(0u, ShadowPremultiply(0xFFFFFF, 0));
  EXPECT_EQ(0x00FFFFFFu, ShadowPremultiply(0xFFFFFFFF, 255));
}
