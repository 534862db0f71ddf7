#include "raster/blend_testing.h"

#include "raster/cpu.h"
#include "raster/routine_sets.h"

bool InstallRoutineSetForTesting(TRoutineSetUnderTest Set) {
  InstallBlendRoutines();
  if (Set == TRoutineSetUnderTest::Plain) {
    FillRoutineTable(PlainRoutineSet(), false);
    return true;
  }
#if QUORVANE_VECTOR_SET
  TRowVectorWidth width = TRowVectorWidth::w128;
  if (Set == TRoutineSetUnderTest::Vector256) {
    if (!ProcessorHasAVX2()) return false;
    width = TRowVectorWidth::w256;
  } else if (Set == TRoutineSetUnderTest::Vector512) {
    if (!ProcessorHasAVX512BW()) return false;
    width = TRowVectorWidth::w512;
  }
  if (!ProcessorHasMMX()) return false;
  FillRoutineTable(VectorRoutineSet(width), true);
  return true;
#else
  return false;
#endif
}

const char* RoutineSetName(TRoutineSetUnderTest Set) {
  switch (Set) {
    case TRoutineSetUnderTest::Plain: return "Plain";
    case TRoutineSetUnderTest::Vector128: return "Vector128";
    case TRoutineSetUnderTest::Vector256: return "Vector256";
    case TRoutineSetUnderTest::Vector512: return "Vector512";
  }
  return "?";
}
