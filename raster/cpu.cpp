#include "raster/cpu.h"

#include <cstdint>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>

namespace {

struct TFeatureBit {
  bool Extended;
  uint32_t Mask;
};

constexpr TFeatureBit kFeatureBits[] = {
    {false, 0x00800000},  // pfMMX
    {false, 0x02000000},  // pfSSE
    {false, 0x04000000},  // pfSSE2
    {true, 0x80000000},   // pf3DNow
    {true, 0x40000000},   // pf3DNowExt
};

// On 32-bit x86 this flips the ID flag (bit 21 of the flags register) and
// reports 0 when it does not change; x86-64 always has the instruction.
bool CPUIDSupported() { return __get_cpuid_max(0, nullptr) != 0; }

uint32_t ProcessorSignature() {
  uint32_t a, b, c, d;
  __cpuid(1, a, b, c, d);
  return a;
}

uint32_t StandardFeatureFlags() {
  uint32_t a, b, c, d;
  __cpuid(1, a, b, c, d);
  return d;
}

bool ExtendedCPUIDSupported() {
  uint32_t a, b, c, d;
  __cpuid(0x80000000u, a, b, c, d);
  return a > 0x80000000u;
}

uint32_t ExtendedFeatureFlags() {
  uint32_t a, b, c, d;
  __cpuid(0x80000001u, a, b, c, d);
  return d;
}

}  // namespace

bool HasProcessorFeature(TProcessorFeature Feature) {
  if (!CPUIDSupported()) return false;
  if (((ProcessorSignature() >> 8) & 0xF) < 5) return false;
  const TFeatureBit bit = kFeatureBits[Feature];
  uint32_t flags;
  if (bit.Extended) {
    if (!ExtendedCPUIDSupported()) return false;
    flags = ExtendedFeatureFlags();
  } else {
    flags = StandardFeatureFlags();
  }
  return (flags & bit.Mask) != 0;
}

// The compiler's own test also checks that the system saves the wide
// registers; it must be initialised explicitly when called from a static
// initialiser, which InstallBlendRoutines may be.
bool ProcessorHasAVX2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

bool ProcessorHasAVX512BW() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
}

#else

bool HasProcessorFeature(TProcessorFeature) { return false; }
bool ProcessorHasAVX2() { return false; }
bool ProcessorHasAVX512BW() { return false; }

#endif

bool ProcessorHasMMX() { return HasProcessorFeature(pfMMX); }
bool ProcessorHas3DNow() { return HasProcessorFeature(pf3DNow); }
