#pragma once

#include <cstdint>

// A rectangle with exclusive Right and Bottom: (0, 0, W, H) covers a W x H area.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;

  friend bool operator==(const TRect&, const TRect&) = default;
};
