#include "ui/draw/portable/ColorMath.h"

#include <cstring>

namespace Trellis {

namespace {

float Channel(uint32_t argb, int shift) { return static_cast<float>((argb >> shift) & 0xFF) / 255.0f; }

// One channel of the HSL-to-RGB conversion for the wrapped hue position t.
float HueToChannel(float p, float q, float t) {
  if (t < 0.0f) t += 1.0f;
  if (t > 1.0f) t -= 1.0f;
  if (6.0f * t < 1.0f) return p + (q - p) * 6.0f * t;
  if (2.0f * t < 1.0f) return q;
  if (3.0f * t < 2.0f) return p + (q - p) * (2.0f / 3.0f - t) * 6.0f;
  return p;
}

uint32_t ToByte(float value) {
  float scaled = value * 255.0f;
  if (!(scaled > 0.0f)) return 0;  // also NaN
  if (scaled > 255.0f) return 255;
  return static_cast<uint32_t>(scaled);
}

}  // namespace

void ColorRgbToHsl(uint32_t argb, float* hue, float* saturation, float* luminance) {
  const float r = Channel(argb, 16);
  const float g = Channel(argb, 8);
  const float b = Channel(argb, 0);
  const float maxValue = r > g ? (r > b ? r : b) : (g > b ? g : b);
  const float minValue = r < g ? (r < b ? r : b) : (g < b ? g : b);
  const float l = (maxValue + minValue) / 2.0f;
  float h = 0.0f;
  float s = 0.0f;
  if (maxValue != minValue) {
    const float delta = maxValue - minValue;
    s = 2.0f * l <= 1.0f ? delta / (maxValue + minValue) : delta / (2.0f - maxValue - minValue);
    float h6;
    if (r == minValue) {
      h6 = 3.0f - (g - b) / delta;
    } else if (g == minValue) {
      h6 = 5.0f - (b - r) / delta;
    } else {
      h6 = 1.0f - (r - g) / delta;
    }
    if (h6 >= 6.0f) h6 -= 6.0f;
    h = h6 * 60.0f;
  }
  *hue = h;
  *saturation = s;
  *luminance = l;
}

uint32_t ColorHslToRgb(uint32_t argb, float hue, float saturation, float luminance) {
  const float q = 2.0f * luminance < 1.0f ? luminance * (1.0f + saturation)
                                          : luminance + saturation - luminance * saturation;
  const float p = 2.0f * luminance - q;
  const float h = hue / 360.0f;
  const uint32_t r = ToByte(HueToChannel(p, q, h + 1.0f / 3.0f));
  const uint32_t g = ToByte(HueToChannel(p, q, h));
  const uint32_t b = ToByte(HueToChannel(p, q, h - 1.0f / 3.0f));
  return (argb & 0xFF000000u) | (r << 16) | (g << 8) | b;
}

bool ColorAdjustIsNeutral(int hue, int saturation, int luminance) {
  return hue == 180 && saturation == 100 && luminance == 100;
}

uint32_t ColorAdjust(uint32_t argb, int hue, int saturation, int luminance) {
  if (ColorAdjustIsNeutral(hue, saturation, luminance)) return argb;
  float h, s, l;
  ColorRgbToHsl(argb, &h, &s, &l);
  h += static_cast<float>(hue - 180);
  if (h <= 0.0f) h += 360.0f;
  s = s * static_cast<float>(saturation) / 100.0f;
  l = l * static_cast<float>(luminance) / 100.0f;
  return ColorHslToRgb(argb, h, s, l);
}

uint32_t ColorMix(uint32_t a, double wa, uint32_t b, double wb) {
  uint32_t result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const double value = static_cast<double>((a >> shift) & 0xFF) * wa + static_cast<double>((b >> shift) & 0xFF) * wb;
    uint32_t byte = 0;
    if (value >= 255.0) {
      byte = 255;
    } else if (value > 0.0) {
      byte = static_cast<uint32_t>(value);
    }
    result |= byte << shift;
  }
  return result;
}

uint32_t ColorPremultiplyArgb(uint32_t argb) {
  const uint32_t alpha = argb >> 24;
  if (alpha == 255) return argb;
  const uint32_t r = ((argb >> 16) & 0xFF) * alpha / 255;
  const uint32_t g = ((argb >> 8) & 0xFF) * alpha / 255;
  const uint32_t b = (argb & 0xFF) * alpha / 255;
  return (alpha << 24) | (r << 16) | (g << 8) | b;
}

bool ColorPremultiplyRgba(const uint8_t* rgba, uint8_t* bgra, size_t count, uint32_t mask) {
  bool anyAlpha = false;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* in = rgba + i * 4;
    const uint32_t r = in[0], g = in[1], b = in[2], a = in[3];
    uint32_t word;
    if (a == 255) {
      word = 0xFF000000u | (r << 16) | (g << 8) | b;
    } else {
      anyAlpha = true;
      word = (a << 24) | ((r * a / 255) << 16) | ((g * a / 255) << 8) | (b * a / 255);
    }
    if (mask != 0 && word == mask) {
      word = 0;
      anyAlpha = true;
    }
    uint8_t* out = bgra + i * 4;
    out[0] = static_cast<uint8_t>(word);
    out[1] = static_cast<uint8_t>(word >> 8);
    out[2] = static_cast<uint8_t>(word >> 16);
    out[3] = static_cast<uint8_t>(word >> 24);
  }
  return anyAlpha;
}

void ColorAdjustPixels(const uint8_t* source, uint8_t* target, size_t count, int hue, int saturation,
                       int luminance) {
  if (ColorAdjustIsNeutral(hue, saturation, luminance)) {
    if (source != target) std::memmove(target, source, count * 4);
    return;
  }
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* in = source + i * 4;
    const uint32_t word = (static_cast<uint32_t>(in[3]) << 24) | (static_cast<uint32_t>(in[2]) << 16) |
                          (static_cast<uint32_t>(in[1]) << 8) | in[0];
    const uint32_t shifted = ColorAdjust(word, hue, saturation, luminance);
    // A premultiplied channel above its alpha is no colour at all: keep the
    // shifted pixel valid for blending.
    const uint8_t alpha = in[3];
    uint8_t* out = target + i * 4;
    for (int c = 0; c < 3; ++c) {
      const uint8_t value = static_cast<uint8_t>(shifted >> (8 * c));
      out[c] = value > alpha ? alpha : value;
    }
    out[3] = alpha;
  }
}

}  // namespace Trellis
