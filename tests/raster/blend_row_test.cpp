// The row routines of every set and row width against their own set's pixel
// routine, over seeded rows of every short length, unaligned starts, and
// guard pixels on both sides.
#include "blend_reference.h"
#include "raster/blend.h"
#include "routine_set_fixture.h"

#include <cstdint>
#include <functional>
#include <random>
#include <vector>

namespace {

using RowTest = RoutineSetTest;

constexpr uint32_t kSeed = 20261211;
constexpr int32_t kGuard = 20;
constexpr TColor32 kGuardPixel = 0xDEADBEEF;

// Rows of runs: transparent, opaque and random alphas in runs of 1 to 40, so
// that whole vector steps take each shortcut and mixed steps occur too.
std::vector<TColor32> RandomRow(std::mt19937& Rng, size_t Count) {
  std::vector<TColor32> row(Count);
  size_t i = 0;
  while (i < Count) {
    const uint32_t kind = Rng() % 4;
    const size_t run = 1 + Rng() % 40;
    for (size_t k = 0; k < run && i < Count; ++k, ++i) {
      const TColor32 colour = Rng() & 0x00FFFFFF;
      const uint32_t alpha = kind == 0 ? 0 : kind == 1 ? 255 : kind == 2 ? Rng() & 255 : 1 + Rng() % 254;
      row[i] = colour | (alpha << 24);
    }
  }
  return row;
}

using TRowCall = std::function<void(const TColor32* Src, TColor32* Dst, int32_t Count)>;
using TPixelCall = std::function<TColor32(TColor32 F, TColor32 Old)>;

// Runs Row on Count pixels at Offset pixels into a 64-byte-aligned buffer and
// compares each pixel with Pixel; the guards around the row must stay.
void CheckRow(const char* Name, const TRowCall& Row, const TPixelCall& Pixel) {
  std::mt19937 rng(kSeed);
  std::vector<int32_t> lengths = {-1, 0, 1000, 4099};
  for (int32_t n = 1; n <= 70; ++n) lengths.push_back(n);
  for (int32_t count : lengths) {
    for (int32_t offset = 0; offset < 4; ++offset) {
      const size_t n = size_t(std::max(count, 0));
      const std::vector<TColor32> src = RandomRow(rng, n + 1);
      const std::vector<TColor32> dst = RandomRow(rng, n);
      alignas(64) static TColor32 buffer[4200 + 2 * kGuard + 16];
      TColor32* row = buffer + kGuard + offset;
      TColor32* const end = row + n + kGuard;
      std::fill(row - kGuard, end, kGuardPixel);
      std::copy(dst.begin(), dst.end(), row);
      // The source starts one pixel later than its vector, unaligned.
      Row(src.data() + 1, row, count);
      for (TColor32* p = row - kGuard; p < end; ++p) {
        const ptrdiff_t i = p - row;
        const TColor32 want = i >= 0 && size_t(i) < n ? Pixel(src[size_t(i) + 1], dst[size_t(i)]) : kGuardPixel;
        ASSERT_EQ(*p, want) << Name << ": seed " << kSeed << ", count " << count << ", offset " << offset
                            << ", first difference at pixel " << i << ": got " << ref::Hex(*p)
                            << ", want " << ref::Hex(want);
      }
    }
  }
}

const uint32_t kMasters[] = {0, 1, 16, 100, 128, 200, 254, 255};

TEST_P(RowTest, BlendRowIsBlendPixelInPlace) {
  CheckRow("BlendRow", BlendRow, [](TColor32 f, TColor32 old) {
    BlendPixelInPlace(f, &old);
    return old;
  });
  EXPECT_EQ(RowRoutines.Rows[cmBlend], BlendRow);
}

TEST_P(RowTest, BlendRowMaster) {
  for (uint32_t m : kMasters) {
    SCOPED_TRACE(m);
    const bool mmx = Mmx();
    CheckRow(
        "BlendRowMaster",
        [m](const TColor32* s, TColor32* d, int32_t n) { BlendRowMaster(s, d, n, m); },
        [m, mmx](TColor32 f, TColor32 old) {
          // The plain row is the plain in-place routine; the "MMX set" row
          // has its own master weight.
          if (mmx) return ref::RowMasterMMX(f, old, m);
          BlendPixelMasterInPlace(f, &old, m);
          return old;
        });
  }
  EXPECT_EQ(RowRoutines.Masters[cmBlend], BlendRowMaster);
}

TEST_P(RowTest, MergeRowIsMergePixel) {
  CheckRow("MergeRow", MergeRow, [](TColor32 f, TColor32 old) { return MergePixel(f, old); });
  EXPECT_EQ(RowRoutines.Rows[cmMerge], MergeRow);
}

TEST_P(RowTest, MergeRowMasterIsMergePixelMaster) {
  for (uint32_t m : kMasters) {
    SCOPED_TRACE(m);
    CheckRow(
        "MergeRowMaster",
        [m](const TColor32* s, TColor32* d, int32_t n) { MergeRowMaster(s, d, n, m); },
        [m](TColor32 f, TColor32 old) { return MergePixelMaster(f, old, m); });
  }
  EXPECT_EQ(RowRoutines.Masters[cmMerge], MergeRowMaster);
}

INSTANTIATE_FOR_ALL_ROW_WIDTHS(RowTest);

}  // namespace
