#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The entry of an icon file that stands for the picture, decoded.
struct TDecodedIcon {
  int32_t Width = 0;
  int32_t Height = 0;
  int BitCount = 0;
  // With Alpha the pixels carry a straight alpha and are blended onto the
  // background; without it Mask says where the background stays.
  bool Alpha = false;
  std::vector<uint32_t> Pixels;  // top row first, alpha in the high byte
  std::vector<uint8_t> Mask;     // 1 where the AND mask keeps the background
};

// Reads an icon (or cursor) file and decodes its largest entry, the deepest
// among equals. Every entry of the directory is checked against the file;
// anything malformed raises EInvalidGraphic with the reason.
TDecodedIcon DecodeIcon(const uint8_t* Data, size_t Size);
