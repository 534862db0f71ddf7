#pragma once

#include "raster/blend.h"

// Empties the MMX state when it goes out of scope, so that a transfer leaves
// the processor ready for floating-point work on every exit, exceptions
// raised by a row routine or a callback included.
class TMMXStateReset {
public:
  TMMXStateReset() = default;
  TMMXStateReset(const TMMXStateReset&) = delete;
  TMMXStateReset& operator=(const TMMXStateReset&) = delete;
  ~TMMXStateReset() { ClearMMXState(); }
};
