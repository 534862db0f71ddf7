#pragma once

#include "platform/byte_view.h"
#include "platform/metafile_sink.h"

#include <cstdint>

// The header facts of a metafile: the picture's size at 96 pixels per inch
// and the frame its drawing fills, in the units of its reference device.
struct TMetafileHeader {
  bool Enhanced = true;
  int32_t Width = 0;
  int32_t Height = 0;
  TGdiBox Frame;
  // How the mapping modes of fixed units reach the reference device.
  double DevicePerInchX = 96;
  double DevicePerInchY = 96;
  // Windows metafiles start with their window on WindowBox (the placeable
  // box, or the first window the file sets) shown on the frame.
  bool WindowOnFrame = false;
  TGdiBox WindowBox;
  uint32_t Handles = 0;
  size_t FirstRecord = 0;
  size_t End = 0;
};

// Both readers check every record against the file and every count against
// its record before reading a field, raise EInvalidGraphic for anything
// malformed, and hand the drawing records to Sink in file order.
TMetafileHeader ReadEmfHeader(const TByteView& File);
void PlayEmf(const TByteView& File, const TMetafileHeader& Header, TGdiSink& Sink);

bool IsPlaceableWmf(const TByteView& File);
TMetafileHeader ReadWmfHeader(const TByteView& File);
void PlayWmf(const TByteView& File, const TMetafileHeader& Header, TGdiSink& Sink);

bool IsEmf(const TByteView& File);

// Sizes past these are refused: no picture this tool handles needs more.
constexpr int32_t kMaxMetafileSide = 32768;
constexpr uint64_t kMaxMetafilePixels = uint64_t(1) << 26;
