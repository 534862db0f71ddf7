#pragma once

#include "raster/color.h"

#include <cstddef>
#include <cstdint>

// One zero-filled block of Width x Height pixels, 64-byte aligned so that
// SIMD rows start aligned. It stays at one address for its whole life.
class TPixelStorage {
public:
  TPixelStorage() = default;
  TPixelStorage(const TPixelStorage&) = delete;
  TPixelStorage& operator=(const TPixelStorage&) = delete;
  ~TPixelStorage() { Release(); }

  // Replaces the block with a fresh one of Width x Height pixels. Returns
  // false, leaving no block, when the size cannot be addressed or the memory
  // cannot be had.
  bool Allocate(int32_t Width, int32_t Height);
  void Release();

  TColor32* Data() const { return data_; }

private:
  TColor32* data_ = nullptr;
  size_t bytes_ = 0;
  bool mapped_ = false;
};
