#include "raster/color.h"

#include "platform/colors.h"

TColor32 WinColorToColor32(int32_t WinColor) {
  uint32_t v = static_cast<uint32_t>(WinColor);
  if (WinColor < 0) v = GetSysColor(static_cast<int>(v & 0xFF));
  return 0xFF000000u | ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}
