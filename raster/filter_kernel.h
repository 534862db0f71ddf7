#pragma once

// The weighting functions of the stretch filters. A kernel maps a distance x
// in source pixels to a weight; it is zero at and beyond Radius. Arguments,
// results and the named intermediate steps are single precision, so that
// the integer weights derived from them come out the same on every build.

#include "raster/color.h"

using TFilterWeight = float (*)(float X);

struct TFilterKernel {
  TFilterWeight Weight;
  float Radius;
};

TFilterKernel FilterKernel(TStretchFilter Filter);
