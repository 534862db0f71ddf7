#include "platform/byte_view.h"
#include "platform/ico_codec.h"

#include <QByteArray>
#include <QImage>

#include <algorithm>
#include <string>

namespace {

constexpr size_t kDirectorySize = 6;
constexpr size_t kEntrySize = 16;
constexpr size_t kInfoHeaderSize = 40;
// Icons are small; this bounds the storage a file can make us allocate.
constexpr int32_t kMaxSide = 32768;
constexpr uint64_t kMaxPixels = uint64_t(1) << 26;

const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// What the directory says about one entry, and what its data says.
struct TEntry {
  int Number = 0;  // 1-based, for messages
  int32_t Width = 0;
  int32_t Height = 0;
  int BitCount = 0;
  bool Png = false;
  TByteView Data{nullptr, 0, ""};
};

std::string Name(const TEntry& E) { return "entry " + std::to_string(E.Number); }

std::string SizeText(int64_t W, int64_t H) { return std::to_string(W) + " x " + std::to_string(H); }

void CheckSize(const TByteView& File, const TEntry& E, int64_t W, int64_t H) {
  if (W <= 0 || H <= 0 || W > kMaxSide || H > kMaxSide || uint64_t(W) * uint64_t(H) > kMaxPixels)
    File.Fail(Name(E) + " has an image of " + SizeText(W, H) + " pixels");
}

bool IsPng(const TByteView& Data) {
  return Data.Has(0, 8) && std::equal(kPngSignature, kPngSignature + 8, Data.Data());
}

uint32_t BigEndian32(const TByteView& V, size_t At) {
  return uint32_t(V.U8(At)) << 24 | uint32_t(V.U8(At + 1)) << 16 | uint32_t(V.U8(At + 2)) << 8 |
         V.U8(At + 3);
}

// The directory gives 0 for a side of 256; PNG entries of more than 256
// pixels also carry 0 there.
bool SideMatches(int32_t Directory, int64_t Data, bool Png) {
  if (Directory == 256) return Data == 256 || (Png && Data > 256);
  return Directory == Data;
}

void ReadPngHeader(const TByteView& File, TEntry& E) {
  const TByteView& d = E.Data;
  if (!d.Has(8, 25) || BigEndian32(d, 8) != 13 || d.U32(12) != 0x52444849u)  // "IHDR"
    File.Fail(Name(E) + " holds a PNG image without a valid header");
  const int64_t w = BigEndian32(d, 16), h = BigEndian32(d, 20);
  CheckSize(File, E, w, h);
  if (!SideMatches(E.Width, w, true) || !SideMatches(E.Height, h, true))
    File.Fail(Name(E) + " is listed as " + SizeText(E.Width, E.Height) + " but its PNG image is " +
              SizeText(w, h));
  E.Width = int32_t(w);
  E.Height = int32_t(h);
  E.BitCount = 32;
}

struct TBmpLayout {
  size_t PaletteStart = 0;
  size_t PaletteCount = 0;
  size_t ColorStart = 0;
  size_t ColorStride = 0;
  size_t MaskStart = 0;
  size_t MaskStride = 0;
};

TBmpLayout ReadBmpHeader(const TByteView& File, TEntry& E) {
  const TByteView& d = E.Data;
  if (!d.Has(0, kInfoHeaderSize)) File.Fail(Name(E) + " is too short for a bitmap header");
  const uint32_t headerSize = d.U32(0);
  if (headerSize < kInfoHeaderSize || headerSize > d.Size())
    File.Fail(Name(E) + " has a bitmap header of " + std::to_string(headerSize) + " bytes");
  const int64_t w = d.I32(4), h2 = d.I32(8);
  const uint32_t planes = d.U16(12), bits = d.U16(14), compression = d.U32(16),
                 colorsUsed = d.U32(32);
  if (planes != 1) File.Fail(Name(E) + " has " + std::to_string(planes) + " colour planes");
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
    File.Fail(Name(E) + " has " + std::to_string(bits) + " bits per pixel");
  if (compression != 0) File.Fail(Name(E) + " is a compressed bitmap");
  // The stored height covers the colour bitmap and the mask below it.
  if (h2 % 2 != 0) File.Fail(Name(E) + " has an odd bitmap height " + std::to_string(h2));
  const int64_t h = h2 / 2;
  CheckSize(File, E, w, h);
  if (!SideMatches(E.Width, w, false) || !SideMatches(E.Height, h, false))
    File.Fail(Name(E) + " is listed as " + SizeText(E.Width, E.Height) + " but its bitmap is " +
              SizeText(w, h));

  TBmpLayout l;
  l.PaletteStart = headerSize;
  if (bits <= 8) {
    const uint32_t full = 1u << bits;
    l.PaletteCount = colorsUsed == 0 || colorsUsed > full ? full : colorsUsed;
  }
  l.ColorStart = l.PaletteStart + l.PaletteCount * 4;
  l.ColorStride = (uint64_t(w) * bits + 31) / 32 * 4;
  l.MaskStride = (uint64_t(w) + 31) / 32 * 4;
  const uint64_t needed = l.ColorStart + (uint64_t(l.ColorStride) + l.MaskStride) * uint64_t(h);
  if (needed > d.Size())
    File.Fail(Name(E) + " holds " + std::to_string(d.Size()) + " bytes but its " + SizeText(w, h) +
              " bitmap of " + std::to_string(bits) + " bits needs " + std::to_string(needed));
  l.MaskStart = l.ColorStart + l.ColorStride * size_t(h);
  E.Width = int32_t(w);
  E.Height = int32_t(h);
  E.BitCount = int(bits);
  return l;
}

std::vector<TEntry> ReadDirectory(const TByteView& File) {
  if (!File.Has(0, kDirectorySize)) File.Fail("the file is too short for an icon directory");
  const uint16_t type = File.U16(2);
  if (File.U16(0) != 0 || (type != 1 && type != 2))
    File.Fail("the file does not start with an icon directory");
  const size_t count = File.U16(4);
  if (count == 0) File.Fail("the directory lists no images");
  const size_t entriesEnd = kDirectorySize + count * kEntrySize;
  if (!File.Has(0, entriesEnd))
    File.Fail("the directory lists " + std::to_string(count) + " images but the file ends inside it");
  std::vector<TEntry> entries(count);
  for (size_t i = 0; i < count; ++i) {
    const size_t at = kDirectorySize + i * kEntrySize;
    TEntry& e = entries[i];
    e.Number = int(i + 1);
    e.Width = File.U8(at) == 0 ? 256 : File.U8(at);
    e.Height = File.U8(at + 1) == 0 ? 256 : File.U8(at + 1);
    const uint32_t bytes = File.U32(at + 8), offset = File.U32(at + 12);
    if (offset < entriesEnd || !File.Has(offset, bytes))
      File.Fail(Name(e) + " lies outside the file (" + std::to_string(bytes) + " bytes at offset " +
                std::to_string(offset) + " of " + std::to_string(File.Size()) + ")");
    e.Data = File.Sub(offset, bytes);
    e.Png = IsPng(e.Data);
  }
  return entries;
}

TDecodedIcon DecodePng(const TByteView& File, const TEntry& E) {
  QImage image = QImage::fromData(
      QByteArray::fromRawData(reinterpret_cast<const char*>(E.Data.Data()), qsizetype(E.Data.Size())),
      "PNG");
  if (image.isNull()) File.Fail(Name(E) + " holds a PNG image that cannot be decoded");
  if (image.width() != E.Width || image.height() != E.Height)
    File.Fail(Name(E) + " decodes to a PNG image of another size than its header says");
  image.convertTo(QImage::Format_ARGB32);
  TDecodedIcon icon;
  icon.Width = E.Width;
  icon.Height = E.Height;
  icon.BitCount = 32;
  icon.Alpha = true;
  icon.Pixels.resize(size_t(E.Width) * size_t(E.Height));
  for (int32_t y = 0; y < E.Height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
    std::copy_n(row, E.Width, icon.Pixels.begin() + ptrdiff_t(y) * E.Width);
  }
  return icon;
}

TDecodedIcon DecodeBmp(const TByteView& File, TEntry E) {
  const TBmpLayout l = ReadBmpHeader(File, E);
  const TByteView& d = E.Data;
  std::vector<uint32_t> palette(l.PaletteCount);
  for (size_t i = 0; i < palette.size(); ++i) palette[i] = d.U32(l.PaletteStart + 4 * i) & 0x00FFFFFFu;

  TDecodedIcon icon;
  icon.Width = E.Width;
  icon.Height = E.Height;
  icon.BitCount = E.BitCount;
  const size_t count = size_t(E.Width) * size_t(E.Height);
  icon.Pixels.resize(count);
  icon.Mask.resize(count);
  const int bits = E.BitCount;
  for (int32_t row = 0; row < E.Height; ++row) {
    // Rows are stored bottom-up.
    const size_t y = size_t(E.Height - 1 - row);
    const uint8_t* in = d.Data() + l.ColorStart + size_t(row) * l.ColorStride;
    const uint8_t* mask = d.Data() + l.MaskStart + size_t(row) * l.MaskStride;
    uint32_t* out = icon.Pixels.data() + y * size_t(E.Width);
    uint8_t* outMask = icon.Mask.data() + y * size_t(E.Width);
    for (int32_t x = 0; x < E.Width; ++x) {
      uint32_t pixel;
      if (bits <= 8) {
        const size_t bit = size_t(x) * size_t(bits);
        const uint32_t index = (in[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        if (index >= palette.size())
          File.Fail(Name(E) + " uses colour " + std::to_string(index) + " of a table of " +
                    std::to_string(palette.size()));
        pixel = palette[index];
      } else if (bits == 24) {
        const uint8_t* p = in + size_t(x) * 3;
        pixel = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
      } else {
        const uint8_t* p = in + size_t(x) * 4;
        pixel = uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
      }
      out[x] = pixel;
      outMask[x] = (mask[x / 8] >> (7 - x % 8)) & 1;
    }
  }
  // A 32-bit image whose alpha bytes are all 0 was made for the mask alone.
  if (bits == 32)
    icon.Alpha = std::any_of(icon.Pixels.begin(), icon.Pixels.end(),
                             [](uint32_t p) { return (p >> 24) != 0; });
  if (icon.Alpha) icon.Mask.clear();
  else
    for (uint32_t& p : icon.Pixels) p &= 0x00FFFFFFu;
  return icon;
}

}  // namespace

TDecodedIcon DecodeIcon(const uint8_t* Data, size_t Size) {
  const TByteView file(Data, Size, "Icon file");
  std::vector<TEntry> entries = ReadDirectory(file);
  for (TEntry& e : entries) {
    if (e.Png)
      ReadPngHeader(file, e);
    else
      ReadBmpHeader(file, e);
  }
  const auto best = std::max_element(entries.begin(), entries.end(), [](const TEntry& a, const TEntry& b) {
    const uint64_t areaA = uint64_t(a.Width) * uint64_t(a.Height),
                   areaB = uint64_t(b.Width) * uint64_t(b.Height);
    return areaA != areaB ? areaA < areaB : a.BitCount < b.BitCount;
  });
  return best->Png ? DecodePng(file, *best) : DecodeBmp(file, *best);
}
