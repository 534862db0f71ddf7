#pragma once

// Per-axis weight tables of the kernel resampler: for each destination
// column (or row) of the clipped area, the source pixels it mixes and their
// integer weights in units of 1/256, which add up to exactly 256.

#include "raster/color.h"

#include <cstdint>
#include <vector>

struct ClusterEntry {
  int32_t SourceIndex;  // absolute column or row of the source bitmap
  int32_t Weight;       // in units of 1/256
};

using TCluster = std::vector<ClusterEntry>;
using TMappingTable = std::vector<TCluster>;

// DstLo..DstHi is the destination rectangle's span, ClipLo..ClipHi the
// clipped part of it, SrcLo..SrcHi the source span (upper ends exclusive).
// An empty source span gives an empty table.
TMappingTable BuildMappingTable(int32_t DstLo, int32_t DstHi, int32_t ClipLo, int32_t ClipHi,
                                int32_t SrcLo, int32_t SrcHi, TStretchFilter Filter);
