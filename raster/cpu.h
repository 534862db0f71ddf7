#pragma once

// The processor test. Built without SIMD compiler flags, so that it can run
// on any processor before a SIMD routine has been chosen. Nothing is cached:
// every call runs the test again. Without CPUID (any non-x86 build) every
// feature reads false.

enum TProcessorFeature { pfMMX, pfSSE, pfSSE2, pf3DNow, pf3DNowExt };

bool HasProcessorFeature(TProcessorFeature Feature);
bool ProcessorHasMMX();
bool ProcessorHas3DNow();

// Whether the processor and the system support the 256-bit integer vectors
// (AVX2) and the 512-bit ones with byte and word operations (AVX-512 F+BW).
// The routine installation uses them to pick the width of its row loops.
bool ProcessorHasAVX2();
bool ProcessorHasAVX512BW();
