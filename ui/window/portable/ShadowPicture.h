#pragma once
// The drop shadow's region picture as plain pixel arithmetic: the blurred
// outline of a window, from the window's row extents (anchors) and the shadow
// settings, into premultiplied BGRA words (alpha in bits 24-31), rows from the
// top. No window is needed, so the sanitizer build tests it.

#include <cstdint>
#include <vector>

namespace Trellis {

struct ShadowSettings {
  int size = 0;          // -20..20: how far the shadow reaches past the window
  int sharpness = 5;     // 0..20: width of the soft edge
  int darkness = 150;    // 0..255: alpha of the solid part
  int offsetX = 0;       // -20..20
  int offsetY = 0;       // -20..20
  uint32_t color = 0;    // RGB in the low three bytes (red in bits 16-23)
};

// One row of the window: the first x inside it and one past the last; an empty
// row has left = width, right = 0.
struct ShadowAnchor {
  int left;
  int right;
};

// Picture size of region mode for a width x height window: (w + 2 size,
// h + 2 size). False (sizes 0) when size is 0, the window is empty or the
// picture would have no pixels.
bool ShadowRegionPictureSize(int width, int height, const ShadowSettings& settings, int* pictureWidth,
                             int* pictureHeight);

// Fills pixels (pictureWidth x pictureHeight words, rows from the top, sized
// by ShadowRegionPictureSize) for a window of windowAnchors.size() rows and
// the given width. False, writing nothing, when the sizes do not agree or are
// below 1.
bool MakeShadowRegionPicture(const std::vector<ShadowAnchor>& windowAnchors, int width,
                             const ShadowSettings& settings, uint32_t* pixels, int pictureWidth, int pictureHeight);

// premultiply(colour, f): each RGB byte times f / 255, in place.
uint32_t ShadowPremultiply(uint32_t color, int factor);

}  // namespace Trellis
