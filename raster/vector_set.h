#pragma once

// The "MMX set", written with SSE2 (and AVX2 / AVX-512 for wider rows). It
// reproduces the MMX arithmetic bit for bit: per byte
// (x * w + y * (256 - w) + 128) shr 8, computed in 16-bit lanes as
// ((x - y) * w + (y shl 8) + 128) shr 8 modulo 65,536.
//
// Declarations only: this header is included by files built with different
// processor flags, so it must not define code of its own.

#include "raster/color.h"

#include <cstdint>

namespace vector_set {

TColor32 CombinePixel(TColor32 X, TColor32 Y, uint32_t W);
void CombinePixelInPlace(TColor32 X, TColor32* P, uint32_t W);
TColor32 BlendPixel(TColor32 F, TColor32 B);
void BlendPixelInPlace(TColor32 F, TColor32* P);
TColor32 BlendPixelMaster(TColor32 F, TColor32 B, uint32_t M);
void BlendPixelMasterInPlace(TColor32 F, TColor32* P, uint32_t M);

// Row loops of 8 (SSE2) and 32 (AVX2, AVX-512) pixels per step; the
// wide ones hand their last pixels to the SSE2 loop.
void BlendRow(const TColor32* Src, TColor32* Dst, int32_t Count);
void BlendRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);
void BlendRowAVX2(const TColor32* Src, TColor32* Dst, int32_t Count);
void BlendRowMasterAVX2(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);
void BlendRowAVX512(const TColor32* Src, TColor32* Dst, int32_t Count);
void BlendRowMasterAVX512(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);

TColor32 MergePixelWeighted(TColor32 F, TColor32 B, uint32_t W);
void MergePixelWeightedInPlace(TColor32 F, TColor32* P, uint32_t W);
TColor32 MergePixel(TColor32 F, TColor32 B);
void MergePixelInPlace(TColor32 F, TColor32* P);
TColor32 MergePixelMaster(TColor32 F, TColor32 B, uint32_t M);
void MergePixelMasterInPlace(TColor32 F, TColor32* P, uint32_t M);
void MergeRow(const TColor32* Src, TColor32* Dst, int32_t Count);
void MergeRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);

TColor32 ChannelAdd(TColor32 C1, TColor32 C2);
TColor32 ChannelSubtract(TColor32 C1, TColor32 C2);
TColor32 ChannelModulate(TColor32 C1, TColor32 C2);
TColor32 ChannelMax(TColor32 C1, TColor32 C2);
TColor32 ChannelMin(TColor32 C1, TColor32 C2);
TColor32 ChannelDifference(TColor32 C1, TColor32 C2);
TColor32 ChannelExclusion(TColor32 C1, TColor32 C2);

}  // namespace vector_set
