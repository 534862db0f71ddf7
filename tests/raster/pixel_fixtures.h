#pragma once

// Small bitmaps with recognisable pixels for the transfer tests.

#include "raster/bitmap32.h"

#include <cstdint>
#include <memory>
#include <random>

// Every pixel names its position: column in bits 0-11, row in bits 12-23,
// alpha 255, so a copied pixel tells where it came from.
inline TColor32 PositionPixel(int32_t X, int32_t Y) {
  return 0xFF000000u | (uint32_t(Y & 0xFFF) << 12) | uint32_t(X & 0xFFF);
}

inline std::unique_ptr<TBitmap32> PositionBitmap(int32_t W, int32_t H) {
  auto b = std::make_unique<TBitmap32>();
  b->SetDimensions(W, H);
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) *b->PixelAddress(x, y) = PositionPixel(x, y);
  return b;
}

inline std::unique_ptr<TBitmap32> FilledBitmap(int32_t W, int32_t H, TColor32 Color) {
  auto b = std::make_unique<TBitmap32>();
  b->SetDimensions(W, H);
  for (int32_t i = 0; i < W * H; ++i) b->PixelData()[i] = Color;
  return b;
}

inline std::unique_ptr<TBitmap32> RandomBitmap(int32_t W, int32_t H, uint32_t Seed) {
  auto b = std::make_unique<TBitmap32>();
  b->SetDimensions(W, H);
  std::mt19937 rng(Seed);
  for (int32_t i = 0; i < W * H; ++i) b->PixelData()[i] = rng();
  return b;
}

inline bool SamePixels(const TBitmap32& A, const TBitmap32& B) {
  if (A.Width() != B.Width() || A.Height() != B.Height()) return false;
  for (int32_t i = 0; i < A.Width() * A.Height(); ++i)
    if (A.PixelData()[i] != B.PixelData()[i]) return false;
  return true;
}

constexpr TColor32 kSentinel = 0x12345678;
