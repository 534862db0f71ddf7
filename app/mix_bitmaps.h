#pragma once

#include "raster/bitmap32.h"

// The four bitmaps the mixer works on, owned elsewhere (by the window's image
// views, or by a command-line caller): texture A, texture B, the weightmap
// and the combined texture.
struct TMixBitmaps {
  TBitmap32* TexA;
  TBitmap32* TexB;
  TBitmap32* Weightmap;
  TBitmap32* Comb;
};
