#pragma once

#include "platform/bitmap.h"

#include <cstddef>
#include <cstdint>

struct TJpegHeader {
  int32_t Width = 0;
  int32_t Height = 0;
  bool Grayscale = false;
};

// Both raise EJPEG: "JPEG-Fehler #%d" with the library's message number for
// a fatal decoder error, and their own message for a picture too large for
// its file (checked with the header, before anything is allocated). Decoder warnings are ignored, so a truncated file
// decodes with its missing part filled by the decoder.
TJpegHeader ReadJpegHeader(const uint8_t* Data, size_t Size);

// Decodes at full size with the floating-point inverse DCT and block
// smoothing. Colour files give 24-bit pixels; grayscale files, and every file
// when Quantize is set, give an 8-bit picture of at most 236 colours (the
// library's two-pass quantiser, Floyd-Steinberg dithering) whose palette is
// the decoder's colour map. CMYK and YCCK files are converted to 24 bits.
void DecodeJpeg(const uint8_t* Data, size_t Size, bool Quantize, TBitmap& Into);

// The same decode straight into Target, Width x Height pixels with rows of
// exactly Width, as the colours the bitmap would hold. On an error Target
// is left all zero.
void DecodeJpegInto(const uint8_t* Data, size_t Size, bool Quantize, uint32_t* Target, int32_t Width,
                    int32_t Height);
