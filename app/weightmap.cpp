#include "app/weightmap.h"

#include "app/combination.h"

int32_t FormulaIndex = 0;

std::string FormulaText(int32_t N) {
  return std::to_string(N) + ":  " + std::string(FormulaEntry(N).Label);
}

void RenderWeightmap(TBitmap32& Weightmap, const WeightFormula& Formula) {
  for (int32_t r = 0; r < Weightmap.Height(); ++r)
    for (int32_t c = 0; c < Weightmap.Width(); ++c) {
      const auto w = static_cast<uint8_t>(Formula.Func(c, 255 - r));
      Weightmap.StorePixel(c, r, MakeColor32(w, w, w, 255));
    }
}

void SelectFormula(int32_t Step, const TMixBitmaps& Bitmaps, const TFormulaDisplay& Display) {
  FormulaIndex = (FormulaIndex - 1 + Step + FormulaCount) % FormulaCount + 1;
  const WeightFormula& formula = FormulaEntry(FormulaIndex);
  if (Display.ShowText) Display.ShowText(FormulaText(FormulaIndex));
  RenderWeightmap(*Bitmaps.Weightmap, formula);
  if (Display.WeightmapChanged) Display.WeightmapChanged();
  Recombine(Bitmaps);
}
