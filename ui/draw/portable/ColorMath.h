#pragma once
// Colour and pixel arithmetic of the drawing engine on plain values and
// buffers: HSL conversion and shift, colour mixing, and turning decoded RGBA
// pixels into the premultiplied BGRA of the framework's bitmaps.

#include <cstddef>
#include <cstdint>

namespace Trellis {

// Hue in degrees [0, 360), saturation and luminance in 0..1 of the RGB bytes.
void ColorRgbToHsl(uint32_t argb, float* hue, float* saturation, float* luminance);
// The colour with its RGB bytes replaced by the HSL colour; alpha kept.
uint32_t ColorHslToRgb(uint32_t argb, float hue, float saturation, float luminance);
// Shift by hue (neutral 180), saturation and luminance percent (neutral 100).
uint32_t ColorAdjust(uint32_t argb, int hue, int saturation, int luminance);
bool ColorAdjustIsNeutral(int hue, int saturation, int luminance);
// Per RGB channel a * wa + b * wb, truncated and kept in 0..255; alpha 0.
uint32_t ColorMix(uint32_t a, double wa, uint32_t b, double wb);

// Decoded pixels (R, G, B, A bytes) to premultiplied B, G, R, A in out (both
// count * 4 bytes; they may be the same buffer). A pixel whose resulting word
// 0xAARRGGBB equals mask (mask not 0) becomes 0. Returns true when any pixel
// is not opaque or was cut out.
bool ColorPremultiplyRgba(const uint8_t* rgba, uint8_t* bgra, size_t count, uint32_t mask);
// One ARGB word as a premultiplied pixel word (B, G, R, A bytes in memory).
uint32_t ColorPremultiplyArgb(uint32_t argb);
// Shifts count BGRA pixels of source into target (alpha kept).
void ColorAdjustPixels(const uint8_t* source, uint8_t* target, size_t count, int hue, int saturation,
                       int luminance);

}  // namespace Trellis
