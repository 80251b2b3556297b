#include "ui/window/portable/ShadowPicture.h"

#include <algorithm>
#include <cmath>

namespace Trellis {

namespace {

// The picture with every write clipped to it: anchors and kernel stamps may
// reach past its edges for small windows or negative sizes.
class PictureCanvas {
 public:
  PictureCanvas(uint32_t* pixels, int width, int height) : m_pixels(pixels), m_width(width), m_height(height) {}

  void Fill(int row, int from, int to, uint32_t value) {
    if (row < 0 || row >= m_height) return;
    from = std::max(from, 0);
    to = std::min(to, m_width);
    for (int x = from; x < to; ++x) m_pixels[static_cast<size_t>(row) * m_width + x] = value;
  }

  // Stamps the (2k+1) x (2k+1) kernel centred on (cx, cy), keeping the larger
  // word of picture and kernel (unsigned comparison, alpha dominates).
  void Stamp(int cx, int cy, const std::vector<uint32_t>& kernel, int k) {
    const int side = 2 * k + 1;
    for (int ky = 0; ky < side; ++ky) {
      const int y = cy - k + ky;
      if (y < 0 || y >= m_height) continue;
      uint32_t* line = m_pixels + static_cast<size_t>(y) * m_width;
      const uint32_t* kernelLine = kernel.data() + static_cast<size_t>(ky) * side;
      for (int kx = 0; kx < side; ++kx) {
        const int x = cx - k + kx;
        if (x < 0 || x >= m_width) continue;
        if (line[x] < kernelLine[kx]) line[x] = kernelLine[kx];
      }
    }
  }

 private:
  uint32_t* m_pixels;
  int m_width;
  int m_height;
};

bool SettingsInRange(const ShadowSettings& s) {
  return s.size >= -20 && s.size <= 20 && s.sharpness >= 0 && s.sharpness <= 20 && s.darkness >= 0 &&
         s.darkness <= 255 && s.offsetX >= -20 && s.offsetX <= 20 && s.offsetY >= -20 && s.offsetY <= 20;
}

}  // namespace

uint32_t ShadowPremultiply(uint32_t color, int factor) {
  const uint32_t f = static_cast<uint32_t>(std::clamp(factor, 0, 255));
  const uint32_t r = ((color >> 16) & 0xFF) * f / 255;
  const uint32_t g = ((color >> 8) & 0xFF) * f / 255;
  const uint32_t b = (color & 0xFF) * f / 255;
  return (r << 16) | (g << 8) | b;
}

bool ShadowRegionPictureSize(int width, int height, const ShadowSettings& settings, int* pictureWidth,
                             int* pictureHeight) {
  *pictureWidth = 0;
  *pictureHeight = 0;
  if (settings.size == 0 || width < 1 || height < 1 || !SettingsInRange(settings)) return false;
  // Window sizes come from the system (16-bit in practice); keep the sums sane.
  if (width > 0x7FFF || height > 0x7FFF) return false;
  const int w = width + 2 * settings.size;
  const int h = height + 2 * settings.size;
  if (w < 1 || h < 1) return false;
  *pictureWidth = w;
  *pictureHeight = h;
  return true;
}

bool MakeShadowRegionPicture(const std::vector<ShadowAnchor>& windowAnchors, int width,
                             const ShadowSettings& settings, uint32_t* pixels, int pictureWidth, int pictureHeight) {
  const int height = static_cast<int>(windowAnchors.size());
  int expectedWidth = 0;
  int expectedHeight = 0;
  if (pixels == nullptr || !ShadowRegionPictureSize(width, height, settings, &expectedWidth, &expectedHeight) ||
      expectedWidth != pictureWidth || expectedHeight != pictureHeight) {
    return false;
  }
  const int s = settings.size;
  const int p = settings.sharpness;
  const int d = settings.darkness;
  const int sw = pictureWidth;
  const int sh = pictureHeight;
  std::fill(pixels, pixels + static_cast<size_t>(sw) * sh, 0u);

  // Working anchors: parent row y at working row y + 1 + max(s, 0), both ends
  // shifted by s; the extra first and last rows stay empty for the erosion.
  const int rows = std::max(height, sh) + 2;
  const ShadowAnchor empty = {width, 0};
  std::vector<ShadowAnchor> work(static_cast<size_t>(rows), empty);
  for (int y = 0; y < height; ++y) {
    const ShadowAnchor& a = windowAnchors[static_cast<size_t>(y)];
    const int row = y + 1 + std::max(s, 0);
    if (row <= 0 || row >= rows - 1) continue;
    if (a.left < a.right) work[static_cast<size_t>(row)] = {a.left + s, a.right + s};
  }

  // Erosion: p - s times (not at all when p <= s).
  std::vector<ShadowAnchor> next(work);
  for (int pass = 0; pass < p - s; ++pass) {
    for (int j = 1; j < rows - 1; ++j) {
      const ShadowAnchor& up = work[static_cast<size_t>(j - 1)];
      const ShadowAnchor& mid = work[static_cast<size_t>(j)];
      const ShadowAnchor& down = work[static_cast<size_t>(j + 1)];
      next[static_cast<size_t>(j)].left = std::max(up.left, std::max(mid.left, down.left)) + 1;
      next[static_cast<size_t>(j)].right = std::min(up.right, std::min(mid.right, down.right)) - 1;
    }
    work.swap(next);
  }

  // Kernel: full darkness inside the centre radius, fading to the edge.
  const int k = std::max(s, p);
  const int r0 = s > p ? s - p : 0;
  const int side = 2 * k + 1;
  std::vector<uint32_t> kernel(static_cast<size_t>(side) * side, 0u);
  const uint32_t full = (static_cast<uint32_t>(d) << 24) | ShadowPremultiply(settings.color, d);
  for (int dy = -k; dy <= k; ++dy) {
    for (int dx = -k; dx <= k; ++dx) {
      const double t = std::sqrt(static_cast<double>(dx * dx + dy * dy));
      uint32_t value = 0;
      if (t < r0) {
        value = full;
      } else if (t <= k) {
        const int f = static_cast<int>((1.0 - (t - r0) / (p + 1)) * d);
        value = (static_cast<uint32_t>(std::max(f, 0)) << 24) | ShadowPremultiply(settings.color, f);
      }
      kernel[static_cast<size_t>(dy + k) * side + (dx + k)] = value;
    }
  }

  // Picture row i reads working row i + base.
  const int base = 1 + std::max(-s, 0);
  auto anchorAt = [&](int i) -> const ShadowAnchor& {
    const int row = i + base;
    if (row < 0 || row >= rows) return empty;
    return work[static_cast<size_t>(row)];
  };

  PictureCanvas canvas(pixels, sw, sh);
  // Blurred border: stamp the kernel along both ends of every row.
  for (int i = k; i < sh - k; ++i) {
    const ShadowAnchor& row = anchorAt(i);
    if (row.left >= row.right) continue;
    const ShadowAnchor& up = anchorAt(i - 1);
    const ShadowAnchor& down = anchorAt(i + 1);
    int j = row.left;
    const int startStop = std::min(std::max(up.left, down.left) + 1, row.right);
    for (; j < startStop; ++j) canvas.Stamp(j, i, kernel, k);
    for (j = std::max(j, std::min(up.right, down.right) - 1); j < row.right; ++j) canvas.Stamp(j, i, kernel, k);
  }

  // Solid fill around the window, and the window itself cut out.
  const int ox = settings.offsetX;
  const int oy = settings.offsetY;
  const int firstRow = std::min(k, std::max(s - oy, 0));
  const int endRow = std::max(sh - k, std::min(height + s - oy, height + 2 * s));
  for (int i = firstRow; i < endRow; ++i) {
    const ShadowAnchor& row = anchorAt(i);
    const int y = i - s + oy;
    if (y < 0 || y >= height) {
      canvas.Fill(i, row.left, row.right, full);
      continue;
    }
    const ShadowAnchor& win = windowAnchors[static_cast<size_t>(y)];
    if (win.left >= win.right) {
      canvas.Fill(i, row.left, row.right, full);
      continue;
    }
    const int winLeft = win.left + s - ox;
    const int winRight = win.right + s - ox;
    canvas.Fill(i, row.left, std::min(winLeft, row.right), full);
    canvas.Fill(i, std::max(winLeft, 0), std::min(winRight, sw), 0u);
    canvas.Fill(i, std::max(winRight, row.left), row.right, full);
  }
  return true;
}

}  // namespace Trellis
