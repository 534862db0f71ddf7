#include "platform/bmp_codec.h"

#include "platform/graphic_errors.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <string>

namespace {

// 2^28 pixels is a gigabyte of 32-bit storage, far past any texture.
constexpr uint64_t kMaxPixels = uint64_t(1) << 28;

// Each RLE code of two bytes yields at most 255 pixels; a picture claiming
// far more pixels than its codes could reach is refused before allocation.
constexpr uint64_t kMaxRlePixelsPerByte = 256;

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3, kJpeg = 4, kPng = 5,
                   kAlphaBitfields = 6;

[[noreturn]] void Fail(const std::string& Reason) {
  throw EInvalidGraphic("Bitmap image is not valid: " + Reason);
}

uint16_t U16(const uint8_t* P) { return uint16_t(P[0] | P[1] << 8); }
uint32_t U32(const uint8_t* P) {
  return uint32_t(P[0]) | uint32_t(P[1]) << 8 | uint32_t(P[2]) << 16 | uint32_t(P[3]) << 24;
}

// One colour channel of a bit-field pixel: where its bits are and how to
// stretch them to 0..255.
struct TChannel {
  uint32_t Mask = 0;
  int Shift = 0;
  uint32_t Max = 0;

  explicit TChannel(uint32_t M) : Mask(M) {
    if (M == 0) return;
    Shift = std::countr_zero(M);
    Max = M >> Shift;
  }
  uint32_t Extract(uint32_t Pixel) const {
    if (Max == 0) return 0;
    const uint64_t v = (Pixel & Mask) >> Shift;
    return uint32_t((v * 255 + Max / 2) / Max);
  }
};

bool Contiguous(uint32_t Mask) {
  if (Mask == 0) return true;
  const uint32_t shifted = Mask >> std::countr_zero(Mask);
  return (shifted & (shifted + 1)) == 0;
}

struct THeader {
  uint32_t HeaderSize = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  bool TopDown = false;
  uint32_t BitCount = 0;
  uint32_t Compression = kRgb;
  uint32_t ColorsUsed = 0;
  uint32_t Masks[4] = {};  // red, green, blue, alpha
  bool HasMasks = false;
  size_t PaletteStart = 0;
  size_t PaletteEntrySize = 4;
};

THeader ReadHeader(const uint8_t* Data, size_t Size) {
  if (Size < 2 || Data[0] != 'B' || Data[1] != 'M') {
    if (Size >= 2 && Data[0] == 'B' && Data[1] == 'A')
      Fail("OS/2 bitmap arrays are not supported");
    Fail("the file does not start with the bitmap signature \"BM\"");
  }
  if (Size < 18) Fail("the file header is truncated");
  THeader h;
  h.HeaderSize = U32(Data + 14);
  switch (h.HeaderSize) {
    case 12: case 16: case 40: case 52: case 56: case 64: case 108: case 124: break;
    default: Fail("unknown info header size " + std::to_string(h.HeaderSize));
  }
  if (14 + uint64_t(h.HeaderSize) > Size) Fail("the info header is truncated");
  const uint8_t* info = Data + 14;
  uint32_t planes;
  int64_t height;
  if (h.HeaderSize == 12) {
    h.Width = U16(info + 4);
    height = U16(info + 6);
    planes = U16(info + 8);
    h.BitCount = U16(info + 10);
    h.PaletteEntrySize = 3;
  } else {
    h.Width = int32_t(U32(info + 4));
    height = int32_t(U32(info + 8));
    planes = U16(info + 12);
    h.BitCount = U16(info + 14);
    if (h.HeaderSize >= 20) h.Compression = U32(info + 16);
    if (h.HeaderSize >= 36) h.ColorsUsed = U32(info + 32);
  }
  h.PaletteStart = 14 + h.HeaderSize;

  const bool os2 = h.HeaderSize == 16 || h.HeaderSize == 64;
  if (os2 && h.Compression == 3) Fail("Huffman-compressed bitmaps are not supported");
  if (os2 && h.Compression == 4) Fail("24-bit RLE-compressed bitmaps are not supported");
  if (h.Compression == kJpeg || h.Compression == kPng)
    Fail(std::string("the bitmap holds a compressed ") + (h.Compression == kJpeg ? "JPEG" : "PNG") +
         " picture, which is not supported");
  if (planes != 1) Fail("the number of colour planes is " + std::to_string(planes) + ", not 1");
  if (h.Width <= 0) Fail("the width is " + std::to_string(h.Width));
  if (height == 0 || height == INT32_MIN) Fail("the height is " + std::to_string(height));
  h.TopDown = height < 0;
  h.Height = int32_t(height < 0 ? -height : height);
  if (uint64_t(h.Width) * uint64_t(h.Height) > kMaxPixels)
    Fail(std::to_string(h.Width) + " x " + std::to_string(h.Height) + " pixels is too large");

  const uint32_t bits = h.BitCount;
  switch (h.Compression) {
    case kRgb:
      if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        Fail(std::to_string(bits) + " bits per pixel are not supported");
      break;
    case kRle8:
    case kRle4:
      if (bits != (h.Compression == kRle8 ? 8u : 4u))
        Fail("RLE compression with " + std::to_string(bits) + " bits per pixel");
      if (h.TopDown) Fail("a compressed bitmap cannot be stored top-down");
      break;
    case kBitfields:
    case kAlphaBitfields:
      if (bits != 16 && bits != 32)
        Fail("bit fields with " + std::to_string(bits) + " bits per pixel");
      break;
    default: Fail("unknown compression " + std::to_string(h.Compression));
  }

  if (h.Compression == kBitfields || h.Compression == kAlphaBitfields) {
    int count = h.Compression == kAlphaBitfields || h.HeaderSize >= 56 ? 4 : 3;
    size_t at = 14 + 40;
    if (h.HeaderSize >= 52) {
      count = std::min(count, int(h.HeaderSize - 40) / 4);  // the masks the header holds
    } else {
      at = h.PaletteStart;
      h.PaletteStart += size_t(count) * 4;
      if (h.PaletteStart > Size) Fail("the colour masks are truncated");
    }
    for (int i = 0; i < count; ++i) h.Masks[i] = U32(Data + at + 4 * i);
    h.HasMasks = true;
  }
  return h;
}

void CheckMasks(const uint32_t (&Masks)[4], uint32_t BitCount) {
  uint32_t seen = 0;
  for (uint32_t mask : Masks) {
    if (!Contiguous(mask)) Fail("a colour mask has gaps");
    if (mask & seen) Fail("colour masks overlap");
    if (BitCount == 16 && mask > 0xFFFF) Fail("a colour mask lies outside the 16-bit pixel");
    seen |= mask;
  }
  if ((Masks[0] | Masks[1] | Masks[2]) == 0) Fail("no colour masks are set");
}

class TPixelSink {
public:
  TPixelSink(const THeader& H, TBlock<uint32_t>& Pixels) : h_(H), pixels_(Pixels) {}
  uint32_t* Row(int32_t FileRow) const {
    const int32_t y = h_.TopDown ? FileRow : h_.Height - 1 - FileRow;
    return pixels_.get() + ptrdiff_t(y) * h_.Width;
  }

private:
  const THeader& h_;
  TBlock<uint32_t>& pixels_;
};

[[noreturn]] void BadIndex(uint32_t Index, size_t Count) {
  Fail("a pixel uses colour " + std::to_string(Index) + " of a table of " + std::to_string(Count));
}

void DecodeIndexedRows(const THeader& H, const uint8_t* Src, size_t Stride,
                       const std::vector<uint32_t>& Palette, const TPixelSink& Sink) {
  const uint32_t bits = H.BitCount;
  const uint32_t mask = (1u << bits) - 1;
  for (int32_t row = 0; row < H.Height; ++row) {
    const uint8_t* in = Src + size_t(row) * Stride;
    uint32_t* out = Sink.Row(row);
    for (int32_t x = 0; x < H.Width; ++x) {
      const size_t bit = size_t(x) * bits;
      const uint32_t index = (in[bit / 8] >> (8 - bits - bit % 8)) & mask;
      if (index >= Palette.size()) BadIndex(index, Palette.size());
      out[x] = Palette[index];
    }
  }
}

void DecodeDirectRows(const THeader& H, const uint8_t* Src, size_t Stride, const TPixelSink& Sink) {
  if (H.BitCount == 24) {
    for (int32_t row = 0; row < H.Height; ++row) {
      const uint8_t* in = Src + size_t(row) * Stride;
      uint32_t* out = Sink.Row(row);
      for (int32_t x = 0; x < H.Width; ++x, in += 3)
        out[x] = 0xFF000000u | uint32_t(in[2]) << 16 | uint32_t(in[1]) << 8 | in[0];
    }
    return;
  }
  uint32_t masks[4] = {H.Masks[0], H.Masks[1], H.Masks[2], H.Masks[3]};
  if (!H.HasMasks) {
    if (H.BitCount == 16) {
      masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F; masks[3] = 0;
    } else {
      masks[0] = 0x00FF0000; masks[1] = 0x0000FF00; masks[2] = 0x000000FF; masks[3] = 0;
    }
  }
  CheckMasks(masks, H.BitCount);
  // A 32-bit file with the standard colour layout keeps its fourth byte as
  // the alpha, with or without a mask segment.
  const bool standard32 = H.BitCount == 32 && masks[0] == 0x00FF0000 && masks[1] == 0x0000FF00 &&
                          masks[2] == 0x000000FF && (masks[3] == 0 || masks[3] == 0xFF000000);
  if (standard32) {
    for (int32_t row = 0; row < H.Height; ++row)
      std::memcpy(Sink.Row(row), Src + size_t(row) * Stride, size_t(H.Width) * 4);
    return;
  }
  const TChannel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
  const bool hasAlpha = H.BitCount == 32 && masks[3] != 0;
  for (int32_t row = 0; row < H.Height; ++row) {
    const uint8_t* in = Src + size_t(row) * Stride;
    uint32_t* out = Sink.Row(row);
    for (int32_t x = 0; x < H.Width; ++x) {
      const uint32_t p = H.BitCount == 16 ? U16(in + 2 * size_t(x)) : U32(in + 4 * size_t(x));
      const uint32_t a = hasAlpha ? alpha.Extract(p) : 255;
      out[x] = a << 24 | red.Extract(p) << 16 | green.Extract(p) << 8 | blue.Extract(p);
    }
  }
}

void DecodeRle(const THeader& H, const uint8_t* Data, size_t Start, size_t Size,
               const std::vector<uint32_t>& Palette, const TPixelSink& Sink) {
  const bool rle4 = H.Compression == kRle4;
  auto color = [&](uint32_t Index) {
    if (Index >= Palette.size()) BadIndex(Index, Palette.size());
    return Palette[Index];
  };
  int64_t x = 0, y = 0;
  size_t at = Start;
  while (true) {
    if (at + 2 > Size) {
      if (y >= H.Height) return;
      Fail("the compressed pixel data ends before the picture is complete");
    }
    const uint32_t count = Data[at], value = Data[at + 1];
    at += 2;
    if (count > 0) {
      if (y >= H.Height) Fail("a run goes past the last row");
      if (x + count > H.Width) Fail("a run goes past the end of a row");
      uint32_t* out = Sink.Row(int32_t(y)) + x;
      const uint32_t first = color(rle4 ? value >> 4 : value);
      const uint32_t second = rle4 ? color(value & 15) : first;
      for (uint32_t i = 0; i < count; ++i) out[i] = (i & 1) ? second : first;
      x += count;
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      if (at + 2 > Size) Fail("the compressed pixel data is truncated");
      x += Data[at];
      y += Data[at + 1];
      at += 2;
      if (x > H.Width || y > H.Height) Fail("a skip goes past the picture");
    } else {
      const size_t bytes = rle4 ? (value + 1) / 2 : value;
      if (at + bytes > Size) Fail("the compressed pixel data is truncated");
      if (y >= H.Height) Fail("a run goes past the last row");
      if (x + value > H.Width) Fail("a run goes past the end of a row");
      uint32_t* out = Sink.Row(int32_t(y)) + x;
      for (uint32_t i = 0; i < value; ++i) {
        const uint8_t b = Data[at + (rle4 ? i / 2 : i)];
        out[i] = color(rle4 ? ((i & 1) ? b & 15 : b >> 4) : b);
      }
      x += value;
      at += (bytes + 1) & ~size_t(1);
    }
  }
}

TPixelFormat FormatOf(uint32_t BitCount) {
  switch (BitCount) {
    case 1: return pf1bit;
    case 2:
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    default: return pf32bit;
  }
}

}  // namespace

TDecodedBmp DecodeBmp(const uint8_t* Data, size_t Size) {
  const THeader h = ReadHeader(Data, Size);
  const uint32_t offBits = U32(Data + 10);

  std::vector<uint32_t> palette;
  if (h.BitCount <= 8) {
    const uint64_t full = uint64_t(1) << h.BitCount;
    uint64_t count = h.HeaderSize == 12 || h.ColorsUsed == 0 ? full : std::min<uint64_t>(h.ColorsUsed, full);
    if (offBits > h.PaletteStart)
      count = std::min<uint64_t>(count, (offBits - h.PaletteStart) / h.PaletteEntrySize);
    if (count == 0) Fail("the colour table is empty");
    if (h.PaletteStart + count * h.PaletteEntrySize > Size) Fail("the colour table is truncated");
    palette.resize(size_t(count));
    for (size_t i = 0; i < palette.size(); ++i) {
      const uint8_t* e = Data + h.PaletteStart + i * h.PaletteEntrySize;
      palette[i] = 0xFF000000u | uint32_t(e[2]) << 16 | uint32_t(e[1]) << 8 | e[0];
    }
  }

  const size_t start = offBits != 0 ? offBits : h.PaletteStart + palette.size() * h.PaletteEntrySize;
  if (start < 14 + size_t(h.HeaderSize)) Fail("the pixel data would start inside the headers");
  if (start >= Size) Fail("the pixel data lies beyond the end of the file");
  const uint64_t available = Size - start;
  const uint64_t pixelCount = uint64_t(h.Width) * uint64_t(h.Height);

  const bool rle = h.Compression == kRle8 || h.Compression == kRle4;
  const uint64_t stride = (uint64_t(h.Width) * h.BitCount + 31) / 32 * 4;
  if (rle) {
    if (pixelCount > available * kMaxRlePixelsPerByte)
      Fail("the compressed data is too short for " + std::to_string(h.Width) + " x " +
           std::to_string(h.Height) + " pixels");
  } else {
    const uint64_t rowBytes = (uint64_t(h.Width) * h.BitCount + 7) / 8;
    if (rowBytes > available || uint64_t(h.Height - 1) > (available - rowBytes) / stride)
      Fail("the pixel data is truncated");
  }

  TDecodedBmp result;
  result.Width = h.Width;
  result.Height = h.Height;
  result.Format = FormatOf(h.BitCount);
  try {
    result.Pixels = AllocateBlock<uint32_t>(size_t(pixelCount));
  } catch (const std::bad_alloc&) {
    Fail("not enough memory for " + std::to_string(h.Width) + " x " + std::to_string(h.Height) + " pixels");
  }
  const TPixelSink sink(h, result.Pixels);
  if (rle) {
    // Pixels the codes skip stay black.
    std::fill_n(result.Pixels.get(), size_t(pixelCount), 0xFF000000u);
    DecodeRle(h, Data, start, Size, palette, sink);
  } else if (h.BitCount <= 8) {
    DecodeIndexedRows(h, Data + start, size_t(stride), palette, sink);
  } else {
    DecodeDirectRows(h, Data + start, size_t(stride), sink);
  }
  if (h.BitCount <= 8) {
    if (h.BitCount == 2) palette.resize(std::min<size_t>(palette.size(), 4));
    result.Palette = std::move(palette);
  }
  return result;
}
