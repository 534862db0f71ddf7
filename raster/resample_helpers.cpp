// Chooses the resampling helpers. Built without SIMD flags: the processor
// test must run before any SIMD code is reached.
#include "raster/resample_helpers.h"

#include "raster/cpu.h"
#include "raster/resample_helpers_sets.h"

namespace {

#if QUORVANE_VECTOR_SET
bool ProcessorHasSSE41() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("sse4.1");
}

bool ProcessorHasSSSE3() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("ssse3");
}

#endif

TResampleHelpers BuildSet(TResampleHelperSet Set) {
  TResampleHelpers helpers = PlainResampleHelpers();
#if QUORVANE_VECTOR_SET
  if (Set != TResampleHelperSet::Plain) {
    InstallMMXHelpers(helpers, Set == TResampleHelperSet::MMXPrefetch);
    if (ProcessorHasSSE41()) InstallSSE41KernelPasses(helpers);
    if (ProcessorHasSSSE3()) InstallSSSE3Gather(helpers);
    if (ProcessorHasSSSE3() && ProcessorHasAVX2()) InstallAVX2Gather(helpers);
  }
#else
  (void)Set;
#endif
  return helpers;
}

TResampleHelperSet ProcessorChoice() {
  if (ProcessorHas3DNow()) return TResampleHelperSet::MMXPrefetch;
  if (ProcessorHasMMX()) return TResampleHelperSet::MMX;
  return TResampleHelperSet::Plain;
}

// Filled on first use, whichever module asks first.
TResampleHelpers& Installed() {
  static TResampleHelpers helpers = BuildSet(ProcessorChoice());
  return helpers;
}

}  // namespace

const TResampleHelpers& ResampleHelpers() { return Installed(); }

bool InstallResampleHelpers(TResampleHelperSet Set) {
#if QUORVANE_VECTOR_SET
  if (Set != TResampleHelperSet::Plain && !ProcessorHasMMX()) return false;
#else
  if (Set != TResampleHelperSet::Plain) return false;
#endif
  Installed() = BuildSet(Set);
  return true;
}
