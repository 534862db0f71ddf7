#include "app/weightmap.h"

#include "app/combination.h"
#include "platform/exceptions.h"
#include "raster/blend.h"

int32_t FormulaIndex = 0;

std::string FormulaText(int32_t N) {
  return std::to_string(N) + ":  " + std::string(FormulaEntry(N).Label);
}

void RenderWeightmap(TBitmap32& Weightmap, const WeightFormula& Formula) {
  if (Weightmap.Width() > 256 || Weightmap.Height() > 256)
    throw Exception("The weightmap is larger than 256 x 256");
  if (Weightmap.IsEmpty()) return;
  // Each row goes through the row routine of the weightmap's combine mode,
  // the span form of StorePixel; the greys are opaque, so it replaces them.
  const TBlendRow storeRow = RowRoutines.Rows[Weightmap.CombineMode()];
  TArrayOfColor32 greys(size_t(Weightmap.Width()));
  for (int32_t r = 0; r < Weightmap.Height(); ++r) {
    Formula.GreyRow(255 - r, greys.data(), Weightmap.Width());
    storeRow(greys.data(), Weightmap.RowAddress(r), Weightmap.Width());
  }
  ClearMMXState();
}

void SelectFormula(int32_t Step, const TMixBitmaps& Bitmaps, const TFormulaDisplay& Display) {
  FormulaIndex = (FormulaIndex - 1 + Step + FormulaCount) % FormulaCount + 1;
  const WeightFormula& formula = FormulaEntry(FormulaIndex);
  if (Display.ShowText) Display.ShowText(FormulaText(FormulaIndex));
  RenderWeightmap(*Bitmaps.Weightmap, formula);
  if (Display.WeightmapChanged) Display.WeightmapChanged();
  Recombine(Bitmaps);
}
