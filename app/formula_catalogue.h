#pragma once

// The 24 weightmap formulas. Each maps a pair of bytes (x, y) to a weight
// 0..255 and carries the text the formula box shows for it. Nine of them
// read cosTab, which BuildCosTab fills once before any formula runs.

#include "raster/color.h"

#include <cstdint>
#include <string_view>

// One cosine period over indices 0..510, from 255 down to 1 and back.
extern uint8_t cosTab[512];

void BuildCosTab();

struct WeightFormula {
  int32_t (*Func)(int32_t x, int32_t y);
  std::string_view Label;
  // Func(x, Y) for x = 0 .. Count - 1, each as an opaque grey pixel, with
  // Func inlined: the weightmap is rendered a row at a time.
  void (*GreyRow)(int32_t Y, TColor32* Row, int32_t Count);
};

inline constexpr int32_t FormulaCount = 24;

// Entry N of the catalogue, 1 <= N <= FormulaCount; any other N raises.
const WeightFormula& FormulaEntry(int32_t N);
