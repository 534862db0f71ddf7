#include "raster/filter_kernel.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

float NearestWeight(float X) { return (X > -0.5f && X <= 0.5f) ? 1.0f : 0.0f; }

float LinearWeight(float X) {
  if (X >= -1.0f && X < 0.0f) return 1.0f + X;
  if (X >= 0.0f && X < 1.0f) return 1.0f - X;
  return 0.0f;
}

float CosineWeight(float X) {
  if (std::fabs(X) >= 1.0f) return 0.0f;
  return float((std::cos(kPi * X) + 1.0) / 2.0);
}

float SplineWeight(float X) {
  const float t = std::fabs(X);
  if (t < 1.0f) {
    const float tt = t * t;
    return float(0.5 * tt * t - tt + 2.0 / 3.0);
  }
  if (t < 2.0f) {
    const float u = 2.0f - t;
    const float uu = u * u;
    return float(double(uu) * u / 6.0);
  }
  return 0.0f;
}

float Sinc(float U) {
  if (U == 0.0f) return 1.0f;
  const float piU = float(kPi * U);
  return float(std::sin(double(piU)) / piU);
}

float LanczosWeight(float X) {
  const float t = std::fabs(X);
  if (t >= 3.0f) return 0.0f;
  return Sinc(t) * Sinc(t / 3.0f);
}

float MitchellWeight(float X) {
  const float t = std::fabs(X);
  const float tt = t * t;
  const float ttt = tt * t;
  if (t < 1.0f) return float((7.0 * ttt - 12.0 * tt + 16.0 / 3.0) / 6.0);
  if (t < 2.0f) return float((-7.0 / 3.0 * ttt + 12.0 * tt - 20.0 * t + 32.0 / 3.0) / 6.0);
  return 0.0f;
}

}  // namespace

TFilterKernel FilterKernel(TStretchFilter Filter) {
  switch (Filter) {
    case sfNearest: return {NearestWeight, 1.0f};
    case sfDraft:
    case sfLinear: return {LinearWeight, 1.0f};
    case sfCosine: return {CosineWeight, 1.0f};
    case sfSpline: return {SplineWeight, 2.0f};
    case sfLanczos: return {LanczosWeight, 3.0f};
    case sfMitchell: return {MitchellWeight, 2.0f};
  }
  return {LinearWeight, 1.0f};
}
