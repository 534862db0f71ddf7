#pragma once

// Texture combination: texture B laid over texture A with the weightmap as
// B's per-pixel opacity.

#include "app/mix_bitmaps.h"

// Dst gets Src's size and Src's blue bytes as its alpha bytes; Dst's colour
// bytes stay. A non-empty Dst of another size is first scaled to Src's size
// by the nearest-pixel draw, so its picture survives the resize.
void WeightToAlpha(TBitmap32* Dst, TBitmap32* Src);

// Rebuilds the combined texture from scratch: a copy of A with B blended over
// its top-left corner, B's alpha rewritten from the weightmap first. With an
// empty A the combined texture is left empty.
void Recombine(const TMixBitmaps& Bitmaps);
