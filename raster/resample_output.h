#pragma once

#include "raster/bitmap32.h"
#include "raster/blend.h"

#include <algorithm>
#include <cstdint>

// Puts a row of resampled pixels into the destination by the draw mode:
// stored as they are (dmOpaque), through the master in-place routine of the
// source's combine mode (dmBlend, always that routine, even at full master
// alpha), or through the callback (dmCustom).
class TResampleOutput {
public:
  TResampleOutput(const TBitmap32& Src, TDrawMode CombineOp,
                  const TPixelCombineEvent& CombineCallBack)
      : op_(CombineOp),
        callBack_(CombineCallBack),
        master_(Src.MasterAlpha()),
        // The master routines take 0..255; MasterAlpha is stored unclamped.
        blendMaster_(std::min<uint32_t>(Src.MasterAlpha(), 255)),
        blend_(MasterInPlaceRoutines[Src.CombineMode()]) {}

  // dmOpaque rows may be produced straight into the destination.
  bool WritesDirectly() const { return op_ == dmOpaque; }

  void Put(const TColor32* Pixels, TColor32* Dst, int32_t Count) const {
    switch (op_) {
      case dmOpaque: std::copy_n(Pixels, Count, Dst); break;
      case dmBlend:
        for (int32_t i = 0; i < Count; ++i) blend_(Pixels[i], Dst + i, blendMaster_);
        break;
      case dmCustom:
        for (int32_t i = 0; i < Count; ++i) callBack_(Pixels[i], Dst[i], master_);
        break;
    }
  }

private:
  TDrawMode op_;
  const TPixelCombineEvent& callBack_;
  uint32_t master_;
  uint32_t blendMaster_;
  TBlendPixelMasterInPlace blend_;
};
