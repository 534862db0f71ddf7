#include "platform/exceptions.h"
#include "raster/bitmap32.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <thread>

namespace {

// Records the bitmap's events in the order they fire.
struct EventLog {
  std::string events;
  void Attach(TBitmap32& b) {
    b.OnHandleChanged = [this](TObject*) { events += "H"; };
    b.OnChange = [this](TObject*) { events += "C"; };
    b.OnResize = [this](TObject*) { events += "R"; };
  }
};

void FillPattern(TBitmap32& b) {
  for (int32_t i = 0; i < b.Width() * b.Height(); ++i) b.PixelData()[i] = 0x80000000u | i;
}

bool AllPixelsAre(const TBitmap32& b, TColor32 value) {
  for (int32_t i = 0; i < b.Width() * b.Height(); ++i)
    if (b.PixelData()[i] != value) return false;
  return true;
}

TEST(Bitmap32, NewBitmapIsEmptyWithDefaults) {
  TBitmap32 b;
  EXPECT_TRUE(b.IsEmpty());
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 0);
  EXPECT_EQ(b.PixelData(), nullptr);
  EXPECT_EQ(b.DrawMode(), dmOpaque);
  EXPECT_EQ(b.CombineMode(), cmBlend);
  EXPECT_EQ(b.StretchFilter(), sfNearest);
  EXPECT_EQ(b.MasterAlpha(), 255u);
  EXPECT_EQ(b.OuterColor(), 0u);
  EXPECT_EQ(b.ClipArea(), RectOf(0, 0, 0, 0));
  EXPECT_EQ(b.UpdateNesting(), 0);
}

TEST(Bitmap32, StorageIsZeroedAlignedAndStrideIsWidth) {
  for (auto [w, h] : {std::pair{3, 5}, std::pair{1000, 700}}) {
    TBitmap32 b;
    ASSERT_TRUE(b.SetDimensions(w, h));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(b.PixelData()) % 64, 0u);
    EXPECT_TRUE(AllPixelsAre(b, 0));
    EXPECT_EQ(b.PixelAddress(2, 1), b.PixelData() + w + 2);
    EXPECT_EQ(b.ClipArea(), RectOf(0, 0, w, h));
    EXPECT_EQ(b.FullRect(), RectOf(0, 0, w, h));
  }
}

TEST(Bitmap32, SizeChangeFiresHandleChangeResizeOnceInOrder) {
  TBitmap32 b;
  b.SetDimensions(4, 4);
  EventLog log;
  log.Attach(b);
  EXPECT_TRUE(b.SetDimensions(0, 0));
  EXPECT_EQ(log.events, "HCR");

  log.events.clear();
  b.StartUpdate();
  b.SetDimensions(2, 2);
  b.EndUpdate();
  EXPECT_EQ(log.events, "HR") << "OnChange is dropped inside an update bracket";
}

TEST(Bitmap32, SameSizeChangesNothing) {
  TBitmap32 b;
  b.SetDimensions(3, 3);
  FillPattern(b);
  TColor32* storage = b.PixelData();
  EventLog log;
  log.Attach(b);
  EXPECT_FALSE(b.SetDimensions(3, 3));
  EXPECT_EQ(log.events, "");
  EXPECT_EQ(b.PixelData(), storage);
  EXPECT_EQ(b.PixelData()[4], 0x80000004u);
}

TEST(Bitmap32, NegativeSizeCountsAsZeroAndHalfEmptyHasNoStorage) {
  TBitmap32 b;
  EXPECT_TRUE(b.SetDimensions(-5, 10));
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 10);
  EXPECT_TRUE(b.IsEmpty());
  EXPECT_EQ(b.PixelData(), nullptr);
  EXPECT_EQ(b.ClipArea(), RectOf(0, 0, 0, 10));
}

TEST(Bitmap32, RealResizeDiscardsThePicture) {
  TBitmap32 b;
  b.SetDimensions(256, 256);
  b.FillAll(0xFF123456);
  b.SetDimensions(300, 200);
  b.SetDimensions(256, 256);
  EXPECT_TRUE(AllPixelsAre(b, 0));
}

TEST(Bitmap32, HugeSizeFailsCleanlyAndLeavesTheBitmapEmpty) {
  const int32_t max = std::numeric_limits<int32_t>::max();
  for (auto [w, h] : {std::pair{max, max}, std::pair{200000, 200000}}) {
    TBitmap32 b;
    b.SetDimensions(10, 10);
    EventLog log;
    log.Attach(b);
    try {
      b.SetDimensions(w, h);
      FAIL() << "no error for " << w << " x " << h;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "Can't allocate the DIB handle");
    }
    EXPECT_EQ(log.events, "H");
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ(b.PixelData(), nullptr);
    // The clipping rectangle still names the old area; filling must not reach for it.
    b.FillArea(0, 0, 10, 10, 0xFFFFFFFF);
    b.FillAll(0xFFFFFFFF);
    EXPECT_EQ(log.events, "H");
    EXPECT_TRUE(b.SetDimensions(2, 2));
    EXPECT_TRUE(AllPixelsAre(b, 0));
  }
}

TEST(Bitmap32, AssignCopiesPixelsAndFieldsButNotCombineMode) {
  TBitmap32 src;
  src.SetDimensions(3, 2);
  FillPattern(src);
  src.SetDrawMode(dmBlend);
  src.SetMasterAlpha(128);
  src.SetCombineMode(cmMerge);
  src.SetOuterColor(0xFF00FF00);
  src.SetStretchFilter(sfLanczos);

  TBitmap32 dst;
  EventLog log;
  log.Attach(dst);
  dst.Assign(&src);
  EXPECT_EQ(log.events, "HRC") << "resize inside the bracket, one OnChange at the end";
  ASSERT_EQ(dst.Width(), 3);
  ASSERT_EQ(dst.Height(), 2);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(dst.PixelData()[i], src.PixelData()[i]);
  EXPECT_EQ(dst.DrawMode(), dmBlend);
  EXPECT_EQ(dst.MasterAlpha(), 128u);
  EXPECT_EQ(dst.OuterColor(), 0xFF00FF00u);
  EXPECT_EQ(dst.StretchFilter(), sfLanczos);
  EXPECT_EQ(dst.CombineMode(), cmBlend);
}

TEST(Bitmap32, AssignOfEmptyOrNullEmptiesAndKeepsFields) {
  TBitmap32 empty;
  empty.SetDrawMode(dmCustom);
  for (TBitmap32* source : {&empty, static_cast<TBitmap32*>(nullptr)}) {
    TBitmap32 dst;
    dst.SetDimensions(4, 4);
    dst.SetMasterAlpha(7);
    dst.Assign(source);
    EXPECT_TRUE(dst.IsEmpty());
    EXPECT_EQ(dst.Width(), 0);
    EXPECT_EQ(dst.DrawMode(), dmOpaque);
    EXPECT_EQ(dst.MasterAlpha(), 7u);
  }
}

TEST(Bitmap32, AssignToItselfChangesNothingAndNotifiesOnce) {
  TBitmap32 b;
  b.SetDimensions(2, 2);
  FillPattern(b);
  EventLog log;
  log.Attach(b);
  b.Assign(&b);
  EXPECT_EQ(log.events, "C");
  EXPECT_EQ(b.PixelData()[3], 0x80000003u);
}

TEST(Bitmap32, AssignFromUnknownKindRaisesAndStillNotifiesOnce) {
  class TStranger : public TPersistent {
    const char* ClassName() const override { return "TStranger"; }
  } stranger;
  TBitmap32 b;
  EventLog log;
  log.Attach(b);
  try {
    b.Assign(&stranger);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TStranger to a TBitmap32");
  }
  EXPECT_EQ(log.events, "C");
  EXPECT_EQ(b.UpdateNesting(), 0);
}

TEST(Bitmap32, FillAreaClipsAndExitsSilently) {
  struct Case {
    int32_t x1, y1, x2, y2;
    int filled;  // pixels expected to change
    bool notifies;
  } cases[] = {
      {-5, -5, 3, 3, 9, true},       // hanging off the top-left corner
      {3, 3, 3, 9, 0, false},        // zero width
      {5, 5, 2, 8, 0, false},        // inverted
      {10, 0, 20, 5, 0, false},      // right of the clip
      {-9, -9, 0, 4, 0, false},      // left of the clip
      {8, 8, 100, 100, 4, true},     // hanging off the bottom-right corner
      {0, 0, 10, 10, 100, true},     // everything
  };
  for (const auto& c : cases) {
    TBitmap32 b;
    b.SetDimensions(10, 10);
    EventLog log;
    log.Attach(b);
    b.FillArea(c.x1, c.y1, c.x2, c.y2, 0xFFABCDEF);
    int filled = 0;
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x) {
        const bool inside = x >= c.x1 && x < c.x2 && y >= c.y1 && y < c.y2;
        const TColor32 p = *b.PixelAddress(x, y);
        EXPECT_EQ(p, inside ? 0xFFABCDEFu : 0u) << x << "," << y;
        filled += p != 0;
      }
    EXPECT_EQ(filled, c.filled) << c.x1 << " " << c.y1 << " " << c.x2 << " " << c.y2;
    EXPECT_EQ(log.events, c.notifies ? "C" : "");
  }
}

TEST(Bitmap32, FillAllAndSetAllAlpha) {
  TBitmap32 b;
  EventLog log;
  log.Attach(b);
  b.FillAll(0xFFFFFFFF);
  EXPECT_EQ(log.events, "") << "FillAll of an empty bitmap does nothing";

  b.SetDimensions(3, 3);
  log.events.clear();
  b.FillAll(0x11223344);
  b.SetAllAlpha(0x80);
  EXPECT_TRUE(AllPixelsAre(b, 0x80223344));
  b.MakeOpaque();
  EXPECT_TRUE(AllPixelsAre(b, 0xFF223344));
  EXPECT_EQ(log.events, "CCC");
}

TEST(Bitmap32, PropertySettersNotifyAsDeclared) {
  TBitmap32 b;
  int changes = 0;
  b.OnChange = [&](TObject*) { ++changes; };
  struct Step {
    std::function<void()> set;
    int notifications;
  } steps[] = {
      {[&] { b.SetCombineMode(cmBlend); }, 1},  // also when unchanged
      {[&] { b.SetCombineMode(cmMerge); }, 1},
      {[&] { b.SetDrawMode(dmOpaque); }, 0},
      {[&] { b.SetDrawMode(dmBlend); }, 1},
      {[&] { b.SetMasterAlpha(255); }, 0},
      {[&] { b.SetMasterAlpha(300); }, 1},
      {[&] { b.SetStretchFilter(sfNearest); }, 0},
      {[&] { b.SetStretchFilter(sfMitchell); }, 1},
      {[&] { b.SetOuterColor(0xFF0000FF); }, 0},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    changes = 0;
    steps[i].set();
    EXPECT_EQ(changes, steps[i].notifications) << "step " << i;
  }
  EXPECT_EQ(b.MasterAlpha(), 300u) << "MasterAlpha is stored unclamped";
  EXPECT_EQ(b.OuterColor(), 0xFF0000FFu);
}

TEST(Bitmap32, UnpairedEndUpdateRaisesAndKeepsNesting) {
  TBitmap32 b;
  try {
    b.EndUpdate();
    FAIL();
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(e.Message(), "Unpaired TThreadPersistent.EndUpdate");
  }
  EXPECT_EQ(b.UpdateNesting(), 0);

  int changes = 0;
  b.OnChange = [&](TObject*) { ++changes; };
  b.StartUpdate();
  b.StartUpdate();
  b.NotifyChanged();
  b.EndUpdate();
  b.NotifyChanged();
  b.EndUpdate();
  EXPECT_EQ(changes, 0) << "suppressed notifications are lost, not queued";
  b.NotifyChanged();
  EXPECT_EQ(changes, 1);
}

TEST(Bitmap32, LockIsReentrantAndExcludesOtherThreads) {
  TBitmap32 b;
  b.EnterLock();
  b.EnterLock();
  bool entered = false;
  std::thread other([&] {
    b.EnterLock();
    entered = true;
    b.LeaveLock();
  });
  b.LeaveLock();
  EXPECT_FALSE(entered);
  b.LeaveLock();
  other.join();
  EXPECT_TRUE(entered);
}

TEST(Bitmap32, DestructionReleasesStorageAndFiresResizeNotChange) {
  std::string events;
  {
    TBitmap32 b;
    b.SetDimensions(2, 2);
    b.OnChange = [&](TObject*) { events += "C"; };
    b.OnResize = [&](TObject*) { events += "R"; };
  }
  EXPECT_EQ(events, "R");
}

TEST(CheckFilterArgs, MessagesAndResize) {
  TBitmap32 src, dst;
  src.SetDimensions(5, 3);
  struct Case {
    TBitmap32* dst;
    TBitmap32* src;
    const char* message;
  } cases[] = {
      {nullptr, nullptr, "The source is nil"},
      {&dst, nullptr, "The source is nil"},
      {nullptr, &src, "Destination is nil"},
  };
  for (const auto& c : cases) {
    try {
      CheckFilterArgs(c.dst, c.src);
      ADD_FAILURE() << c.message;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  EXPECT_TRUE(dst.IsEmpty());
  CheckFilterArgs(&dst, &src);
  EXPECT_EQ(dst.Width(), 5);
  EXPECT_EQ(dst.Height(), 3);
}

}  // namespace
