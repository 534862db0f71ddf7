#include "platform/bmp_codec.h"

#include "platform/graphic_errors.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace {

void Put16(uint8_t*& P, uint32_t V) {
  P[0] = uint8_t(V);
  P[1] = uint8_t(V >> 8);
  P += 2;
}

void Put32(uint8_t*& P, uint32_t V) {
  for (int i = 0; i < 4; ++i) P[i] = uint8_t(V >> (8 * i));
  P += 4;
}

// Where each pixel value sits in the palette; a value the palette lacks
// (which the bitmap never holds) takes the first entry.
class TPaletteIndex {
public:
  explicit TPaletteIndex(const std::vector<uint32_t>& Palette) {
    for (size_t i = Palette.size(); i-- > 0;) index_[Palette[i] | 0xFF000000u] = uint32_t(i);
  }
  uint32_t operator()(uint32_t Pixel) const {
    const auto it = index_.find(Pixel | 0xFF000000u);
    return it == index_.end() ? 0 : it->second;
  }

private:
  std::unordered_map<uint32_t, uint32_t> index_;
};

void PackRow(const uint32_t* In, int32_t Width, int Bits, const TPaletteIndex* Index, uint8_t* Out) {
  switch (Bits) {
    case 32:
      std::memcpy(Out, In, size_t(Width) * 4);
      break;
    case 24:
      for (int32_t x = 0; x < Width; ++x, Out += 3) {
        Out[0] = uint8_t(In[x]);
        Out[1] = uint8_t(In[x] >> 8);
        Out[2] = uint8_t(In[x] >> 16);
      }
      break;
    case 16:
      for (int32_t x = 0; x < Width; ++x) {
        const uint32_t p = In[x];
        Put16(Out, ((p >> 8) & 0xF800) | ((p >> 5) & 0x07E0) | ((p >> 3) & 0x001F));
      }
      break;
    default:
      for (int32_t x = 0; x < Width; ++x) {
        const size_t bit = size_t(x) * Bits;
        Out[bit / 8] |= uint8_t((*Index)(In[x]) << (8 - Bits - bit % 8));
      }
  }
}

}  // namespace

void EncodeBmp(const TBitmap& Bitmap, TStream& Stream) {
  if (Bitmap.Empty()) return;
  const int32_t width = Bitmap.Width(), height = Bitmap.Height();
  const int bits = BitsPerPixel(Bitmap.PixelFormat());
  const bool indexed = bits <= 8;
  const uint32_t colors = indexed ? uint32_t(Bitmap.Palette().size()) : 0;
  const bool masks = bits == 16;

  const uint64_t stride = (uint64_t(width) * bits + 31) / 32 * 4;
  const uint64_t headers = 14 + 40 + (masks ? 12 : 0) + uint64_t(colors) * 4;
  const uint64_t fileSize = headers + stride * uint64_t(height);
  if (fileSize > 0xFFFFFFFFu) throw EInvalidGraphic("The bitmap is too large for a bitmap file");

  std::vector<uint8_t> head(static_cast<size_t>(headers));
  uint8_t* p = head.data();
  *p++ = 'B';
  *p++ = 'M';
  Put32(p, uint32_t(fileSize));
  Put32(p, 0);
  Put32(p, uint32_t(headers));
  Put32(p, 40);
  Put32(p, uint32_t(width));
  Put32(p, uint32_t(height));  // positive: rows bottom-up
  Put16(p, 1);
  Put16(p, uint32_t(bits));
  Put32(p, masks ? 3 : 0);  // BI_BITFIELDS for 5-6-5, else BI_RGB
  Put32(p, uint32_t(stride * uint64_t(height)));
  Put32(p, 2835);  // 72 dots per inch
  Put32(p, 2835);
  Put32(p, colors);
  Put32(p, 0);
  if (masks) {
    Put32(p, 0xF800);
    Put32(p, 0x07E0);
    Put32(p, 0x001F);
  }
  for (uint32_t c : Bitmap.Palette()) Put32(p, c & 0x00FFFFFFu);
  Stream.WriteBuffer(head.data(), int64_t(head.size()));

  const TPaletteIndex index(indexed ? Bitmap.Palette() : std::vector<uint32_t>{});
  // Rows go out in chunks of about a megabyte rather than one call each.
  const size_t rowsPerChunk = std::max<size_t>(1, size_t((1 << 20) / stride));
  std::vector<uint8_t> chunk(size_t(stride) * std::min<size_t>(rowsPerChunk, size_t(height)));
  for (int32_t done = 0; done < height;) {
    const int32_t rows = int32_t(std::min<size_t>(rowsPerChunk, size_t(height - done)));
    std::fill(chunk.begin(), chunk.end(), 0);
    for (int32_t r = 0; r < rows; ++r) {
      const int32_t y = height - 1 - (done + r);
      PackRow(Bitmap.Pixels() + ptrdiff_t(y) * width, width, bits, &index,
              chunk.data() + size_t(r) * stride);
    }
    Stream.WriteBuffer(chunk.data(), int64_t(size_t(rows) * stride));
    done += rows;
  }
}
