#pragma once

// Installs one processor-dependent set everywhere: the blend routines and
// the resampling helpers, both plain or both MMX. Returns false when this
// build or processor lacks the set.

#include "raster/blend.h"
#include "raster/resample_helpers.h"

enum class TRoutineSet { Plain, MMX };

inline const char* RoutineSetName(TRoutineSet Set) {
  return Set == TRoutineSet::Plain ? "Plain" : "MMX";
}

inline bool UseRoutineSet(TRoutineSet Set) {
  InstallBlendRoutines();
  return InstallResampleHelpers(Set == TRoutineSet::Plain ? TResampleHelperSet::Plain
                                                          : TResampleHelperSet::MMX);
}
