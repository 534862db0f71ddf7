#pragma once

#include "platform/bitmap.h"
#include "platform/memory_block.h"
#include "platform/streams.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// A BMP file taken apart: the pixels as the platform bitmap holds them.
struct TDecodedBmp {
  int32_t Width = 0;
  int32_t Height = 0;
  TPixelFormat Format = pf32bit;
  TBlock<uint32_t> Pixels;
  std::vector<uint32_t> Palette;
};

// Reads the BMP layouts real writers produce; raises EInvalidGraphic with
// the reason for anything else. Every claim of the headers is checked
// against Size before pixel storage is allocated.
TDecodedBmp DecodeBmp(const uint8_t* Data, size_t Size);

// Writes Bitmap as BMP data in its pixel format, rows bottom-up.
void EncodeBmp(const TBitmap& Bitmap, TStream& Stream);
