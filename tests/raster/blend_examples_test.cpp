// Known results of both sets, the table as installed, StorePixel, the word
// helpers and the processor test.
#include "blend_reference.h"
#include "raster/bitmap32.h"
#include "raster/blend.h"
#include "raster/cpu.h"
#include "raster/routine_sets.h"
#include "routine_set_fixture.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace {

// What the raster core's own start-up left in the table, read before any
// test installs a set: this file's initialisers run after the raster core's.
const bool mmxAtStart = UseMMXRoutines;
const TBlendRow blendRowAtStart = BlendRow;
const TBlendPixelInPlace storeRoutineAtStart = PixelInPlaceRoutines[cmBlend];
const bool weightsAtStart = WeightVectors != nullptr;

TColor32 RowOf(TColor32 Src, TColor32 Dst) {
  BlendRow(&Src, &Dst, 1);
  return Dst;
}

TColor32 RowMasterOf(TColor32 Src, TColor32 Dst, uint32_t M) {
  BlendRowMaster(&Src, &Dst, 1, M);
  return Dst;
}

TColor32 CombineInPlaceOf(TColor32 X, TColor32 Pixel, uint32_t W) {
  CombinePixelInPlace(X, &Pixel, W);
  return Pixel;
}

struct TExample {
  const char* Call;
  std::function<TColor32()> Run;
  TColor32 Mmx;
  TColor32 Plain;
};

const TExample kExamples[] = {
    {"BlendRow $80000000 onto $FFFFFFFF", [] { return RowOf(0x80000000, 0xFFFFFFFF); }, 0xC0808080, 0xBF7F7F7F},
    {"BlendRow $40FFFFFF onto $FF204080", [] { return RowOf(0x40FFFFFF, 0xFF204080); }, 0xCF5870A0, 0xCE5870A0},
    {"BlendPixel($FF000000, $FFFFFFFF)", [] { return BlendPixel(0xFF000000, 0xFFFFFFFF); }, 0xFF010101, 0xFF000000},
    {"BlendRowMaster M=128 $80FFFFFF onto $FF000000", [] { return RowMasterOf(0x80FFFFFF, 0xFF000000, 128); },
     0xDF404040, 0x00404040},
    {"BlendRowMaster M=16 $0FFFFFFF onto $FF000000", [] { return RowMasterOf(0x0FFFFFFF, 0xFF000000, 16); },
     0xFE010101, 0xFF000000},
    {"CombinePixel($FFFFFFFF, $00000000, 128)", [] { return CombinePixel(0xFFFFFFFF, 0, 128); }, 0x80808080, 0x80808080},
    {"CombinePixelInPlace($FFFFFFFF, $00000000, 128)", [] { return CombineInPlaceOf(0xFFFFFFFF, 0, 128); },
     0x80808080, 0x00808080},
    {"MergePixel($80FF0000, $800000FF)", [] { return MergePixel(0x80FF0000, 0x800000FF); }, 0xC0A90055, 0xC0A90053},
    {"MergePixel($80FFFFFF, $FF000000)", [] { return MergePixel(0x80FFFFFF, 0xFF000000); }, 0xFF7F7F7F, 0xFF7F7F7F},
    {"MergePixel($40FFFFFF, $FF204080)", [] { return MergePixel(0x40FFFFFF, 0xFF204080); }, 0xFF576F9F, 0xFF576F9F},
    {"MergePixel($01000000, $02FFFFFF)", [] { return MergePixel(0x01000000, 0x02FFFFFF); }, 0x03555555, 0x03000000},
    {"MergePixelMaster($80FF0000, $800000FF, 128)", [] { return MergePixelMaster(0x80FF0000, 0x800000FF, 128); },
     0xA0640099, 0xA0640097},
    {"MergePixelMaster($01FF0000, $FF80FF40, 100)", [] { return MergePixelMaster(0x01FF0000, 0xFF80FF40, 100); },
     0xFF80FF40, 0xFF7FFE3F},
    {"MergePixelMaster($01FF0000, $00FFFFFF, 100)", [] { return MergePixelMaster(0x01FF0000, 0x00FFFFFF, 100); },
     0x00FFFFFF, 0x00FF0000},
    {"MergePixelWeighted($FFFFFFFF, $FF000000, 128)", [] { return MergePixelWeighted(0xFFFFFFFF, 0xFF000000, 128); },
     0xFF7F7F7F, 0xFF7F7F7F},
    {"ChannelDivide($80402010, $40404040)", [] { return ChannelDivide(0x80402010, 0x40404040); }, 0x80FFFFFF, 0x80FFFFFF},
    {"ChannelDivide($00FF0102, $12345678)", [] { return ChannelDivide(0x00FF0102, 0x12345678); }, 0xFF34FFFF, 0xFF34FFFF},
    {"ChannelExclusion($FF00FF80, $FFFF0080)", [] { return ChannelExclusion(0xFF00FF80, 0xFFFF0080); },
     0x02FFFF80, 0x02FFFF80},
};

using ExamplesTest = RoutineSetTest;

TEST_P(ExamplesTest, WorkedExamples) {
  for (const TExample& e : kExamples)
    EXPECT_EQ(ref::Hex(e.Run()), ref::Hex(Mmx() ? e.Mmx : e.Plain)) << e.Call;
}

TEST_P(ExamplesTest, MergeShortcutsOfBothSets) {
  const TColor32 f = 0x7F123456, b = 0x80654321;
  EXPECT_EQ(MergePixel(WithAlpha(f, 255), b), WithAlpha(f, 255));
  EXPECT_EQ(MergePixel(WithAlpha(f, 0), b), b);
  EXPECT_EQ(MergePixel(f, WithAlpha(b, 0)), f);
  EXPECT_EQ(MergePixelMaster(WithAlpha(f, 255), b, 255), WithAlpha(f, 255));
  EXPECT_EQ(MergePixelMaster(WithAlpha(f, 255), b, 0), b);
}

TEST_P(ExamplesTest, StorePixelOfOpaqueReplacesAndOfTransparentKeeps) {
  for (TCombineMode mode : {cmBlend, cmMerge}) {
    TBitmap32 bitmap;
    bitmap.SetDimensions(5, 3);
    bitmap.SetCombineMode(mode);
    const TColor32 before[] = {0x00000000, 0xFFFFFFFF, 0x80FF0000, 0x01020304, 0xFF000000};
    for (int32_t i = 0; i < 15; ++i) bitmap.PixelData()[i] = before[i % 5] ^ (i << 4);
    std::vector<TColor32> expected(bitmap.PixelData(), bitmap.PixelData() + 15);
    for (int32_t y = 0; y < 3; ++y)
      for (int32_t x = 0; x < 5; ++x) {
        bitmap.StorePixel(x, y, 0x00FFFFFF);
        EXPECT_EQ(bitmap.PixelData()[x + 5 * y], expected[x + 5 * y]);
        bitmap.StorePixel(x, y, 0xFF808080);
        expected[x + 5 * y] = 0xFF808080;
        ASSERT_EQ(std::vector<TColor32>(bitmap.PixelData(), bitmap.PixelData() + 15), expected)
            << "mode " << int(mode) << " at " << x << ", " << y;
      }
  }
}

TEST_P(ExamplesTest, WeightVectorsExistExactlyForTheMMXSet) {
  EXPECT_EQ(UseMMXRoutines, Mmx());
  if (!Mmx()) {
    EXPECT_EQ(WeightVectors, nullptr);
    EXPECT_EQ(BiasVector, nullptr);
    return;
  }
  ASSERT_NE(WeightVectors, nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(WeightVectors) % 8, 0u);
  for (uint16_t i = 0; i < 256; ++i)
    for (uint16_t word : WeightVectors[i]) ASSERT_EQ(word, i);
  EXPECT_EQ(BiasVector, WeightVectors[128]);
}

// Each by-mode table entry is the slot of its mode.
TEST_P(ExamplesTest, ByModeTablesHoldTheSlots) {
  EXPECT_EQ(PixelRoutines[cmBlend], BlendPixel);
  EXPECT_EQ(PixelRoutines[cmMerge], MergePixel);
  EXPECT_EQ(PixelInPlaceRoutines[cmBlend], BlendPixelInPlace);
  EXPECT_EQ(PixelInPlaceRoutines[cmMerge], MergePixelInPlace);
  EXPECT_EQ(WeightedRoutines[cmBlend], CombinePixel);
  EXPECT_EQ(WeightedRoutines[cmMerge], MergePixelWeighted);
  EXPECT_EQ(WeightedInPlaceRoutines[cmBlend], CombinePixelInPlace);
  EXPECT_EQ(WeightedInPlaceRoutines[cmMerge], MergePixelWeightedInPlace);
  EXPECT_EQ(MasterRoutines[cmBlend], BlendPixelMaster);
  EXPECT_EQ(MasterRoutines[cmMerge], MergePixelMaster);
  EXPECT_EQ(MasterInPlaceRoutines[cmBlend], BlendPixelMasterInPlace);
  EXPECT_EQ(MasterInPlaceRoutines[cmMerge], MergePixelMasterInPlace);
}

INSTANTIATE_FOR_BOTH_SETS(ExamplesTest);

TEST(BlendInstallation, StartUpChoseTheSetByTheProcessorTest) {
  const TBlendRoutineSet plain = PlainRoutineSet();
#if QUORVANE_VECTOR_SET
  if (ProcessorHasMMX()) {
    EXPECT_TRUE(mmxAtStart);
    EXPECT_TRUE(weightsAtStart);
    EXPECT_EQ(blendRowAtStart, VectorRoutineSet(WidestRowVectorWidth()).BlendRow);
    EXPECT_EQ(storeRoutineAtStart, VectorRoutineSet(WidestRowVectorWidth()).BlendPixelInPlace);
    return;
  }
#endif
  EXPECT_FALSE(mmxAtStart);
  EXPECT_FALSE(weightsAtStart);
  EXPECT_EQ(blendRowAtStart, plain.BlendRow);
  EXPECT_EQ(storeRoutineAtStart, plain.BlendPixelInPlace);
}

TEST(BlendInstallation, PlainSetFillsEverySlot) {
  ASSERT_TRUE(InstallRoutineSetForTesting(TRoutineSetUnderTest::Plain));
  const TBlendRoutineSet s = PlainRoutineSet();
  const void* slots[] = {
      (void*)CombinePixel, (void*)CombinePixelInPlace, (void*)BlendPixel, (void*)BlendPixelInPlace,
      (void*)BlendPixelMaster, (void*)BlendPixelMasterInPlace, (void*)BlendRow, (void*)BlendRowMaster,
      (void*)MergePixelWeighted, (void*)MergePixelWeightedInPlace, (void*)MergePixel, (void*)MergePixelInPlace,
      (void*)MergePixelMaster, (void*)MergePixelMasterInPlace, (void*)MergeRow, (void*)MergeRowMaster,
      (void*)ChannelAdd, (void*)ChannelSubtract, (void*)ChannelProduct, (void*)ChannelDivide,
      (void*)ChannelModulate, (void*)ChannelMax, (void*)ChannelMin, (void*)ChannelDifference,
      (void*)ChannelExclusion};
  static_assert(sizeof(s) == sizeof(slots));
  const void* const* want = reinterpret_cast<const void* const*>(&s);
  for (size_t i = 0; i < std::size(slots); ++i) EXPECT_EQ(slots[i], want[i]) << "slot " << i;
  ClearMMXState();
}

TEST(WordHelpers, ClampToRangeTestsMinFirst) {
  EXPECT_EQ(ClampToRange(5, 10, 0), 10);
  EXPECT_EQ(ClampToRange(-3, 0, 255), 0);
  EXPECT_EQ(ClampToRange(300, 0, 255), 255);
  EXPECT_EQ(ClampToRange(77, 0, 255), 77);
  EXPECT_EQ(ClampToRange(INT32_MIN, INT32_MIN, INT32_MAX), INT32_MIN);
}

TEST(WordHelpers, FillAndCopyStayWithinCount) {
  for (int32_t count : {-1, 0, 1, 7}) {
    std::vector<TColor32> words(10, 0xAAAAAAAA);
    FillWords(words.data() + 1, count, 0x12345678);
    for (int32_t i = 0; i < 10; ++i)
      EXPECT_EQ(words[i], i >= 1 && i <= count ? 0x12345678u : 0xAAAAAAAAu) << count << " " << i;
    std::vector<TColor32> copy(10, 0x55555555);
    CopyWords(words.data() + 1, copy.data() + 2, count);
    for (int32_t i = 0; i < 10; ++i)
      EXPECT_EQ(copy[i], i >= 2 && i < 2 + count ? 0x12345678u : 0x55555555u) << count << " " << i;
  }
  std::vector<TColor32> same = {1, 2, 3};
  CopyWords(same.data(), same.data(), 3);
  EXPECT_EQ(same, (std::vector<TColor32>{1, 2, 3}));
}

TEST(ProcessorTest, FeaturesOfThisProcessor) {
  EXPECT_EQ(ProcessorHasMMX(), HasProcessorFeature(pfMMX));
  EXPECT_EQ(ProcessorHas3DNow(), HasProcessorFeature(pf3DNow));
#if defined(__x86_64__)
  // Every x86-64 processor has these three.
  EXPECT_TRUE(HasProcessorFeature(pfMMX));
  EXPECT_TRUE(HasProcessorFeature(pfSSE));
  EXPECT_TRUE(HasProcessorFeature(pfSSE2));
#elif !defined(__i386__)
  for (TProcessorFeature f : {pfMMX, pfSSE, pfSSE2, pf3DNow, pf3DNowExt}) EXPECT_FALSE(HasProcessorFeature(f));
#endif
}

}  // namespace
