#pragma once

// Installs one processor-dependent set everywhere the resamplers look: the
// blend routines and the resampling helpers, both plain or both MMX (the
// 128-bit vector set). Returns false when this build or processor lacks it.

#include "raster/blend_testing.h"
#include "raster/resample_helpers.h"

inline bool InstallSetsForTesting(TRoutineSetUnderTest Set) {
  if (!InstallRoutineSetForTesting(Set)) return false;
  return InstallResampleHelpers(Set == TRoutineSetUnderTest::Plain ? TResampleHelperSet::Plain
                                                                   : TResampleHelperSet::MMX);
}
