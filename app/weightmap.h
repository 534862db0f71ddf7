#pragma once

// Weightmap generation: stepping through the formula catalogue and rendering
// the chosen formula into the weightmap as opaque greys.

#include "app/formula_catalogue.h"
#include "app/mix_bitmaps.h"

#include <cstdint>
#include <functional>
#include <string>

// The number (1..FormulaCount) of the formula shown; 0 before the first
// selection.
extern int32_t FormulaIndex;

// What the formula box reads for formula N: the number, ":  ", the label.
std::string FormulaText(int32_t N);

// Pixel (c, r) becomes the grey Func(c, 255 - r), opaque, stored through the
// bitmap's combine mode. The formulas take bytes, so a weightmap larger than
// 256 x 256 raises. Sends no change notification.
void RenderWeightmap(TBitmap32& Weightmap, const WeightFormula& Formula);

// Where the new formula is shown: its text, and the weightmap's view, whose
// pixel stores signal nothing by themselves.
struct TFormulaDisplay {
  std::function<void(const std::string& Text)> ShowText;
  std::function<void()> WeightmapChanged;
};

// Moves FormulaIndex by Step (wrapping between FormulaCount and 1), shows
// it, renders it and recombines.
void SelectFormula(int32_t Step, const TMixBitmaps& Bitmaps, const TFormulaDisplay& Display);
