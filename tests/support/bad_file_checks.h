#pragma once

// The check every bad-file table ends with: reading the file raises the
// reader's error with the expected words, and the bitmap read into keeps its
// size and pixels.

#include "platform/graphic_errors.h"
#include "raster/bitmap32.h"

#include <gtest/gtest.h>

#include <string>

inline void ExpectReadFailsAndLeavesBitmap(const std::string& Path, const std::string& Words) {
  TBitmap32 bitmap;
  bitmap.SetDimensions(2, 3);
  bitmap.FillAll(0x12345678u);
  try {
    bitmap.ReadPictureFile(Path);
    ADD_FAILURE() << "no error";
  } catch (const EInvalidGraphic& e) {
    EXPECT_NE(e.Message().find(Words), std::string::npos) << e.Message();
  }
  EXPECT_EQ(bitmap.Width(), 2);
  EXPECT_EQ(bitmap.Height(), 3);
  EXPECT_EQ(bitmap.PixelData()[5], 0x12345678u);
}
