#pragma once

#include "raster/bitmap32.h"

#include <string>

// Writes Bitmap as the window's save does (32-bit BMP), into a temporary file
// in FileName's folder that is renamed over FileName only once it is
// complete: a failure never leaves a half-written FileName behind.
void WritePictureFileSafely(TBitmap32& Bitmap, const std::string& FileName);
