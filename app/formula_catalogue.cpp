#include "app/formula_catalogue.h"

#include "platform/exceptions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>

uint8_t cosTab[512];

void BuildCosTab() {
  // Extended precision and ties to even: entries 85, 170, 340 and 425 sit on
  // a half and must round to 192 and 64 (FormulaCatalogue.CosTabHalves).
  constexpr long double pi = std::numbers::pi_v<long double>;
  for (int i = 0; i < 512; ++i) {
    volatile long double angle = static_cast<long double>(i) * pi / 255.0L;
    cosTab[i] = static_cast<uint8_t>(std::nearbyint(std::cos(angle) * 127.0L + 128.0L));
  }
}

namespace {

int32_t Clamp(int32_t v) { return std::max(0, std::min(255, v)); }

// N div D for 0 <= N < 2^17 and 1 <= D <= 256, through a double division
// that vectorises: the quotient is correctly rounded, and a non-integer
// quotient lies at least 1/256 from the next integer, so truncating it gives
// the integer quotient (FormulaCatalogue.DivisionsAreExact).
int32_t Div(int32_t N, int32_t D) { return int32_t(double(N) / double(D)); }

template <auto Func>
void GreyRow(int32_t Y, TColor32* Row, int32_t Count) {
  for (int32_t x = 0; x < Count; ++x) {
    const auto w = static_cast<uint8_t>(Func(x, Y));
    Row[x] = MakeColor32(w, w, w, 255);
  }
}

template <auto Func>
constexpr WeightFormula Entry(std::string_view Label) {
  return {[](int32_t x, int32_t y) -> int32_t { return Func(x, y); }, Label, &GreyRow<Func>};
}

// Labels are stored verbatim, irregular brackets included; the divisors of
// formulas 5, 11 and 12 differ from their labels so that none divides by zero.
constexpr std::array<WeightFormula, FormulaCount> kFormulas = {
    Entry<[](int32_t x, int32_t) { return x; }>("x"),
    Entry<[](int32_t, int32_t y) { return y; }>("y"),
    Entry<[](int32_t x, int32_t y) { return (x + y) / 2; }>("(x+y)/2"),
    Entry<[](int32_t x, int32_t y) { return (x * y) / 256; }>("x*y/256"),
    Entry<[](int32_t x, int32_t y) { return 255 - ((255 - x) * (255 - y) / 256); }>(
        "255-(255-x)*(255-y)"),
    Entry<[](int32_t x, int32_t y) { return std::min(x, y); }>("min(x,y)"),
    Entry<[](int32_t x, int32_t y) { return std::max(x, y); }>("max(x,y)"),
    Entry<[](int32_t x, int32_t y) { return std::abs(x - y); }>("abs(x-y)"),
    Entry<[](int32_t x, int32_t y) { return std::abs(255 - x - y); }>("abs(255-x-y)"),
    Entry<[](int32_t x, int32_t y) { return x + y - (x * y) / 128; }>("x+y-(x*y)div 128)"),
    Entry<[](int32_t x, int32_t y) { return std::min(255, Div(255 * y, 256 - x)); }>(
        "min(255,255*y/(255-x)"),
    Entry<[](int32_t x, int32_t y) { return std::min(255, Div(x * x, 256 - y)); }>(
        "min(255,x*x/(255-y))"),
    Entry<[](int32_t x, int32_t y) { return std::min(255, x + y); }>("min(255,x+y)"),
    Entry<[](int32_t x, int32_t y) { return std::max(0, x + y - 256); }>("max(0,x+y-256)"),
    Entry<[](int32_t x, int32_t y) { return std::min(255, cosTab[x] + cosTab[y]); }>(
        "min(255,cosTab[x]+cosTab[y])"),
    Entry<[](int32_t x, int32_t y) { return Clamp(x + 2 * y - 256); }>("clamp(x+2*y-256)"),
    Entry<[](int32_t x, int32_t) { return int32_t(cosTab[x]); }>("cosTab[x]"),
    Entry<[](int32_t x, int32_t) { return int32_t(cosTab[2 * x]); }>("cosTab[x*2]"),
    Entry<[](int32_t x, int32_t y) {
      return ((255 - cosTab[2 * x]) * (255 - cosTab[2 * y])) / 255;
    }>("(255-cosTab[2*x])*(255-cosTab[2*y])/255"),
    Entry<[](int32_t x, int32_t y) { return (cosTab[2 * x] * cosTab[2 * y]) / 255; }>(
        "cosTab[2*x]*cosTab[2*y]/255"),
    Entry<[](int32_t, int32_t y) { return 255 - cosTab[2 * y]; }>("255-cosTab[2*y]"),
    Entry<[](int32_t x, int32_t y) { return int32_t(cosTab[(4 * (x - y)) & 511]); }>(
        "cosTab[(4*(x-y)) and $1FF"),
    Entry<[](int32_t x, int32_t y) { return (cosTab[2 * x] + cosTab[2 * y]) / 2; }>(
        "(cosTab[2*x]+cosTab[2*y])/2"),
    Entry<[](int32_t x, int32_t y) { return x ^ y; }>("x xor y"),
};

static_assert(std::all_of(kFormulas.begin(), kFormulas.end(),
                          [](const WeightFormula& f) { return f.Label.size() <= 43; }),
              "a formula label fits the 43-character formula text");

}  // namespace

const WeightFormula& FormulaEntry(int32_t N) {
  if (N < 1 || N > FormulaCount)
    throw Exception("Formula number " + std::to_string(N) + " is out of range");
  return kFormulas[size_t(N - 1)];
}
