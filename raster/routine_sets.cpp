#include "raster/cpu.h"
#include "raster/plain_set.h"
#include "raster/routine_sets.h"
#if QUORVANE_VECTOR_SET
#include "raster/vector_set.h"
#endif

TBlendRoutineSet PlainRoutineSet() {
  return {
      .CombinePixel = plain_set::CombinePixel,
      .CombinePixelInPlace = plain_set::CombinePixelInPlace,
      .BlendPixel = plain_set::BlendPixel,
      .BlendPixelInPlace = plain_set::BlendPixelInPlace,
      .BlendPixelMaster = plain_set::BlendPixelMaster,
      .BlendPixelMasterInPlace = plain_set::BlendPixelMasterInPlace,
      .BlendRow = plain_set::BlendRow,
      .BlendRowMaster = plain_set::BlendRowMaster,
      .MergePixelWeighted = plain_set::MergePixelWeighted,
      .MergePixelWeightedInPlace = plain_set::MergePixelWeightedInPlace,
      .MergePixel = plain_set::MergePixel,
      .MergePixelInPlace = plain_set::MergePixelInPlace,
      .MergePixelMaster = plain_set::MergePixelMaster,
      .MergePixelMasterInPlace = plain_set::MergePixelMasterInPlace,
      .MergeRow = plain_set::MergeRow,
      .MergeRowMaster = plain_set::MergeRowMaster,
      .ChannelAdd = plain_set::ChannelAdd,
      .ChannelSubtract = plain_set::ChannelSubtract,
      .ChannelProduct = plain_set::ChannelProduct,
      .ChannelDivide = plain_set::ChannelDivide,
      .ChannelModulate = plain_set::ChannelModulate,
      .ChannelMax = plain_set::ChannelMax,
      .ChannelMin = plain_set::ChannelMin,
      .ChannelDifference = plain_set::ChannelDifference,
      .ChannelExclusion = plain_set::ChannelExclusion,
  };
}

#if QUORVANE_VECTOR_SET

// ChannelProduct and ChannelDivide have only the plain routine.
TBlendRoutineSet VectorRoutineSet(TRowVectorWidth Width) {
  TBlendRoutineSet set = {
      .CombinePixel = vector_set::CombinePixel,
      .CombinePixelInPlace = vector_set::CombinePixelInPlace,
      .BlendPixel = vector_set::BlendPixel,
      .BlendPixelInPlace = vector_set::BlendPixelInPlace,
      .BlendPixelMaster = vector_set::BlendPixelMaster,
      .BlendPixelMasterInPlace = vector_set::BlendPixelMasterInPlace,
      .BlendRow = vector_set::BlendRow,
      .BlendRowMaster = vector_set::BlendRowMaster,
      .MergePixelWeighted = vector_set::MergePixelWeighted,
      .MergePixelWeightedInPlace = vector_set::MergePixelWeightedInPlace,
      .MergePixel = vector_set::MergePixel,
      .MergePixelInPlace = vector_set::MergePixelInPlace,
      .MergePixelMaster = vector_set::MergePixelMaster,
      .MergePixelMasterInPlace = vector_set::MergePixelMasterInPlace,
      .MergeRow = vector_set::MergeRow,
      .MergeRowMaster = vector_set::MergeRowMaster,
      .ChannelAdd = vector_set::ChannelAdd,
      .ChannelSubtract = vector_set::ChannelSubtract,
      .ChannelProduct = plain_set::ChannelProduct,
      .ChannelDivide = plain_set::ChannelDivide,
      .ChannelModulate = vector_set::ChannelModulate,
      .ChannelMax = vector_set::ChannelMax,
      .ChannelMin = vector_set::ChannelMin,
      .ChannelDifference = vector_set::ChannelDifference,
      .ChannelExclusion = vector_set::ChannelExclusion,
  };
  if (Width == TRowVectorWidth::w256) {
    set.BlendRow = vector_set::BlendRowAVX2;
    set.BlendRowMaster = vector_set::BlendRowMasterAVX2;
  } else if (Width == TRowVectorWidth::w512) {
    set.BlendRow = vector_set::BlendRowAVX512;
    set.BlendRowMaster = vector_set::BlendRowMasterAVX512;
  }
  return set;
}

TRowVectorWidth WidestRowVectorWidth() {
  if (ProcessorHasAVX512BW()) return TRowVectorWidth::w512;
  if (ProcessorHasAVX2()) return TRowVectorWidth::w256;
  return TRowVectorWidth::w128;
}

#endif
