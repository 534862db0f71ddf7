#pragma once

#include "platform/rect.h"

#include <cstdint>
#include <functional>
#include <vector>

// One pixel: alpha in bits 24-31, red 16-23, green 8-15, blue 0-7, so in
// memory (little-endian) the bytes run blue, green, red, alpha. Alpha 255 is
// opaque.
using TColor32 = uint32_t;
using TArrayOfColor32 = std::vector<TColor32>;

enum TDrawMode : uint8_t { dmOpaque = 0, dmBlend = 1, dmCustom = 2 };
enum TCombineMode : uint8_t { cmBlend = 0, cmMerge = 1 };
enum TStretchFilter : uint8_t {
  sfNearest = 0,
  sfDraft = 1,
  sfLinear = 2,
  sfCosine = 3,
  sfSpline = 4,
  sfLanczos = 5,
  sfMitchell = 6,
};

// Per-pixel combination callback of dmCustom transfers: F is the source
// pixel, B the destination pixel (updated in place), M the master alpha.
// An empty callable counts as absent.
using TPixelCombineEvent = std::function<void(TColor32 F, TColor32& B, TColor32 M)>;

constexpr TColor32 MakeColor32(uint8_t R, uint8_t G, uint8_t B, uint8_t A) {
  return (TColor32(A) << 24) | (TColor32(R) << 16) | (TColor32(G) << 8) | TColor32(B);
}

// Color with its alpha byte replaced by NewAlpha clamped to 0..255.
constexpr TColor32 WithAlpha(TColor32 Color, int32_t NewAlpha) {
  const int32_t a = NewAlpha < 0 ? 0 : NewAlpha > 255 ? 255 : NewAlpha;
  return (Color & 0x00FFFFFFu) | (TColor32(a) << 24);
}

// The opaque pixel of a platform colour (0x00BBGGRR, or a system colour
// reference when negative): red and blue change places, alpha becomes 255.
TColor32 WinColorToColor32(int32_t WinColor);

constexpr TRect RectOf(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) {
  return TRect{Left, Top, Right, Bottom};
}
