#include "raster/blend.h"
#include "raster/cpu.h"
#include "raster/routine_sets.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <type_traits>

namespace {

// Until the table is filled, every slot and table entry holds a stub that
// fills it and then calls the real routine through the slot. The stubs are
// constant-initialised, so no reader can meet an empty slot, whatever order
// the program's files are initialised in.
template <typename Routine>
struct TInstallingStub;

template <typename R, typename... Args>
struct TInstallingStub<R (*)(Args...)> {
  template <R (**Slot)(Args...)>
  static R Call(Args... args) {
    InstallBlendRoutines();
    return (*Slot)(args...);
  }
};

template <auto* Slot>
constexpr auto Stub = TInstallingStub<std::remove_reference_t<decltype(*Slot)>>::template Call<Slot>;

}  // namespace

TCombinePixel CombinePixel = Stub<&CombinePixel>;
TCombinePixelInPlace CombinePixelInPlace = Stub<&CombinePixelInPlace>;
TBlendPixel BlendPixel = Stub<&BlendPixel>;
TBlendPixelInPlace BlendPixelInPlace = Stub<&BlendPixelInPlace>;
TBlendPixelMaster BlendPixelMaster = Stub<&BlendPixelMaster>;
TBlendPixelMasterInPlace BlendPixelMasterInPlace = Stub<&BlendPixelMasterInPlace>;
TBlendRow BlendRow = Stub<&BlendRow>;
TBlendRowMaster BlendRowMaster = Stub<&BlendRowMaster>;

TCombinePixel MergePixelWeighted = Stub<&MergePixelWeighted>;
TCombinePixelInPlace MergePixelWeightedInPlace = Stub<&MergePixelWeightedInPlace>;
TBlendPixel MergePixel = Stub<&MergePixel>;
TBlendPixelInPlace MergePixelInPlace = Stub<&MergePixelInPlace>;
TBlendPixelMaster MergePixelMaster = Stub<&MergePixelMaster>;
TBlendPixelMasterInPlace MergePixelMasterInPlace = Stub<&MergePixelMasterInPlace>;
TBlendRow MergeRow = Stub<&MergeRow>;
TBlendRowMaster MergeRowMaster = Stub<&MergeRowMaster>;

TChannelOp ChannelAdd = Stub<&ChannelAdd>;
TChannelOp ChannelSubtract = Stub<&ChannelSubtract>;
TChannelOp ChannelProduct = Stub<&ChannelProduct>;
TChannelOp ChannelDivide = Stub<&ChannelDivide>;
TChannelOp ChannelModulate = Stub<&ChannelModulate>;
TChannelOp ChannelMax = Stub<&ChannelMax>;
TChannelOp ChannelMin = Stub<&ChannelMin>;
TChannelOp ChannelDifference = Stub<&ChannelDifference>;
TChannelOp ChannelExclusion = Stub<&ChannelExclusion>;

TBlendPixel PixelRoutines[2] = {Stub<&BlendPixel>, Stub<&MergePixel>};
TBlendPixelInPlace PixelInPlaceRoutines[2] = {Stub<&BlendPixelInPlace>, Stub<&MergePixelInPlace>};
TCombinePixel WeightedRoutines[2] = {Stub<&CombinePixel>, Stub<&MergePixelWeighted>};
TCombinePixelInPlace WeightedInPlaceRoutines[2] = {Stub<&CombinePixelInPlace>,
                                                   Stub<&MergePixelWeightedInPlace>};
TBlendPixelMaster MasterRoutines[2] = {Stub<&BlendPixelMaster>, Stub<&MergePixelMaster>};
TBlendPixelMasterInPlace MasterInPlaceRoutines[2] = {Stub<&BlendPixelMasterInPlace>,
                                                     Stub<&MergePixelMasterInPlace>};
TRowRoutines RowRoutines = {{Stub<&BlendRow>, Stub<&MergeRow>},
                            {Stub<&BlendRowMaster>, Stub<&MergeRowMaster>}};

bool UseMMXRoutines = false;
const uint16_t (*WeightVectors)[4] = nullptr;
const uint16_t* BiasVector = nullptr;

namespace {

constexpr size_t kWeightTableBytes = 256 * 4 * sizeof(uint16_t);

uint8_t* weightBlock = nullptr;

// 2,048 bytes of table in a block of 2,056, starting at its first multiple
// of 8.
void BuildWeightVectors() {
  if (weightBlock != nullptr) return;
  weightBlock = new uint8_t[kWeightTableBytes + 8];
  const uintptr_t start = (reinterpret_cast<uintptr_t>(weightBlock) + 7) & ~uintptr_t(7);
  auto* table = reinterpret_cast<uint16_t(*)[4]>(start);
  for (uint16_t i = 0; i < 256; ++i)
    for (uint16_t& word : table[i]) word = i;
  WeightVectors = table;
  BiasVector = table[128];
}

void ReleaseWeightVectors() {
  WeightVectors = nullptr;
  BiasVector = nullptr;
  delete[] weightBlock;
  weightBlock = nullptr;
}

void InstallOnce() {
#if QUORVANE_VECTOR_SET
  if (ProcessorHasMMX()) {
    FillRoutineTable(VectorRoutineSet(WidestRowVectorWidth()), true);
    return;
  }
#endif
  FillRoutineTable(PlainRoutineSet(), false);
}

// Fills the table when the raster core starts, ahead of the program's other
// static initialisers, and releases WeightVectors after all of them are gone.
struct TBlendRoutinesLifetime {
  TBlendRoutinesLifetime() { InstallBlendRoutines(); }
  ~TBlendRoutinesLifetime() { ReleaseWeightVectors(); }
};

__attribute__((init_priority(101))) TBlendRoutinesLifetime blendRoutinesLifetime;

}  // namespace

void FillRoutineTable(const TBlendRoutineSet& Set, bool UseMMX) {
  if (UseMMX)
    BuildWeightVectors();
  else
    ReleaseWeightVectors();
  UseMMXRoutines = UseMMX;

  CombinePixel = Set.CombinePixel;
  CombinePixelInPlace = Set.CombinePixelInPlace;
  BlendPixel = Set.BlendPixel;
  BlendPixelInPlace = Set.BlendPixelInPlace;
  BlendPixelMaster = Set.BlendPixelMaster;
  BlendPixelMasterInPlace = Set.BlendPixelMasterInPlace;
  BlendRow = Set.BlendRow;
  BlendRowMaster = Set.BlendRowMaster;

  MergePixelWeighted = Set.MergePixelWeighted;
  MergePixelWeightedInPlace = Set.MergePixelWeightedInPlace;
  MergePixel = Set.MergePixel;
  MergePixelInPlace = Set.MergePixelInPlace;
  MergePixelMaster = Set.MergePixelMaster;
  MergePixelMasterInPlace = Set.MergePixelMasterInPlace;
  MergeRow = Set.MergeRow;
  MergeRowMaster = Set.MergeRowMaster;

  ChannelAdd = Set.ChannelAdd;
  ChannelSubtract = Set.ChannelSubtract;
  ChannelProduct = Set.ChannelProduct;
  ChannelDivide = Set.ChannelDivide;
  ChannelModulate = Set.ChannelModulate;
  ChannelMax = Set.ChannelMax;
  ChannelMin = Set.ChannelMin;
  ChannelDifference = Set.ChannelDifference;
  ChannelExclusion = Set.ChannelExclusion;

  PixelRoutines[cmBlend] = Set.BlendPixel;
  PixelRoutines[cmMerge] = Set.MergePixel;
  PixelInPlaceRoutines[cmBlend] = Set.BlendPixelInPlace;
  PixelInPlaceRoutines[cmMerge] = Set.MergePixelInPlace;
  WeightedRoutines[cmBlend] = Set.CombinePixel;
  WeightedRoutines[cmMerge] = Set.MergePixelWeighted;
  WeightedInPlaceRoutines[cmBlend] = Set.CombinePixelInPlace;
  WeightedInPlaceRoutines[cmMerge] = Set.MergePixelWeightedInPlace;
  MasterRoutines[cmBlend] = Set.BlendPixelMaster;
  MasterRoutines[cmMerge] = Set.MergePixelMaster;
  MasterInPlaceRoutines[cmBlend] = Set.BlendPixelMasterInPlace;
  MasterInPlaceRoutines[cmMerge] = Set.MergePixelMasterInPlace;
  RowRoutines.Rows[cmBlend] = Set.BlendRow;
  RowRoutines.Rows[cmMerge] = Set.MergeRow;
  RowRoutines.Masters[cmBlend] = Set.BlendRowMaster;
  RowRoutines.Masters[cmMerge] = Set.MergeRowMaster;
}

void InstallBlendRoutines() {
  static std::once_flag once;
  std::call_once(once, InstallOnce);
}

void ClearMMXState() {}
