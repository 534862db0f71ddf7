#pragma once

// Loops over every byte triple, stopping at the first routine result that
// differs from the reference.

#include "blend_reference.h"

#include <gtest/gtest.h>

#include <cstdint>

// Colour bytes that differ from one another but each follow V.
inline TColor32 Colour(uint32_t V) { return (V << 16) | ((V ^ 0x5A) << 8) | (255 - V); }

struct TResultPair {
  TColor32 Got;
  TColor32 Want;
};

// Fn(a, b, c) for all 2^24 triples of bytes.
template <typename Fn>
void ExpectAllTriples(const char* Names, Fn fn) {
  for (uint32_t c = 0; c < 256; ++c)
    for (uint32_t a = 0; a < 256; ++a)
      for (uint32_t b = 0; b < 256; ++b) {
        const TResultPair r = fn(a, b, c);
        if (r.Got != r.Want) {
          FAIL() << "first difference at (" << Names << ") = (" << a << ", " << b << ", " << c
                 << "): got " << ref::Hex(r.Got) << ", want " << ref::Hex(r.Want);
        }
      }
}
