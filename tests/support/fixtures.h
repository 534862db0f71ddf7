#pragma once

// Small picture files made by the tests themselves: BMP data with every
// header field under the test's control, JPEG data from libjpeg's
// compressor, and a scratch folder for files.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct BmpLayout {
  uint32_t HeaderSize = 40;
  int32_t Width = 0;
  int32_t Height = 0;  // negative: rows top-down
  uint16_t Planes = 1;
  uint16_t Bits = 24;
  uint32_t Compression = 0;
  uint32_t ColorsUsed = 0;
  // Written inside an info header of 52 bytes or more, else after it.
  std::vector<uint32_t> Masks;
  std::vector<uint32_t> Palette;  // 0x00RRGGBB; 3 bytes each in a 12-byte header
  std::vector<uint8_t> Pixels;    // as stored in the file
  std::optional<uint32_t> PixelOffset;
};

std::vector<uint8_t> BuildBmp(const BmpLayout& Layout);

// The stored rows of a picture: each row of Bytes padded to 4 bytes.
std::vector<uint8_t> PadRows(const std::vector<std::vector<uint8_t>>& Rows);

struct JpegRecipe {
  int Width = 8;
  int Height = 8;
  int Components = 3;  // 1 grey, 3 RGB, 4 CMYK
  bool Progressive = false;
  bool AdobeMarker = false;  // written for CMYK, as Adobe's inverted form
  int Quality = 90;
  // Sample Component of pixel (X, Y).
  std::function<uint8_t(int X, int Y, int Component)> Sample;
};

std::vector<uint8_t> EncodeJpeg(const JpegRecipe& Recipe);

class ScratchFolder {
public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string Path(const std::string& Name) const { return path_ + "/" + Name; }
  std::string Write(const std::string& Name, const std::vector<uint8_t>& Bytes) const;

private:
  std::string path_;
};

std::vector<uint8_t> ReadFileBytes(const std::string& FileName);
