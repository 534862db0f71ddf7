#pragma once

// The two routine sets as whole records, and the one function that copies a
// set into the table. Internal to the raster core: the program reaches the
// routines only through the table of blend.h.

#include "raster/blend.h"

struct TBlendRoutineSet {
  TCombinePixel CombinePixel;
  TCombinePixelInPlace CombinePixelInPlace;
  TBlendPixel BlendPixel;
  TBlendPixelInPlace BlendPixelInPlace;
  TBlendPixelMaster BlendPixelMaster;
  TBlendPixelMasterInPlace BlendPixelMasterInPlace;
  TBlendRow BlendRow;
  TBlendRowMaster BlendRowMaster;

  TCombinePixel MergePixelWeighted;
  TCombinePixelInPlace MergePixelWeightedInPlace;
  TBlendPixel MergePixel;
  TBlendPixelInPlace MergePixelInPlace;
  TBlendPixelMaster MergePixelMaster;
  TBlendPixelMasterInPlace MergePixelMasterInPlace;
  TBlendRow MergeRow;
  TBlendRowMaster MergeRowMaster;

  TChannelOp ChannelAdd;
  TChannelOp ChannelSubtract;
  TChannelOp ChannelProduct;
  TChannelOp ChannelDivide;
  TChannelOp ChannelModulate;
  TChannelOp ChannelMax;
  TChannelOp ChannelMin;
  TChannelOp ChannelDifference;
  TChannelOp ChannelExclusion;
};

TBlendRoutineSet PlainRoutineSet();

#if QUORVANE_VECTOR_SET
// Width of the BlendRow and BlendRowMaster loops of the "MMX set"; every
// width gives the same results.
enum class TRowVectorWidth { w128, w256, w512 };

TBlendRoutineSet VectorRoutineSet(TRowVectorWidth Width);
// The widest row loop this processor can run.
TRowVectorWidth WidestRowVectorWidth();
#endif

// Fills every slot and by-mode table from Set. UseMMX becomes UseMMXRoutines;
// WeightVectors is built when it is true and released when it is false.
void FillRoutineTable(const TBlendRoutineSet& Set, bool UseMMX);
