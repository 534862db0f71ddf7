#include "raster/pixel_storage.h"

#include "platform/memory_block.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr size_t kAlignment = 64;

// Large blocks come straight from the kernel: page-aligned and zero without a
// pass over the memory (on huge pages when large), and a request too big to
// be had fails cleanly.
constexpr size_t kMapThreshold = 256 * 1024;

}  // namespace

bool TPixelStorage::Allocate(int32_t Width, int32_t Height) {
  Release();
  if (Width <= 0 || Height <= 0) return false;

  const uint64_t pixels = uint64_t(uint32_t(Width)) * uint64_t(uint32_t(Height));
  constexpr uint64_t kMaxBytes = uint64_t(std::numeric_limits<ptrdiff_t>::max()) / 2;
  if (pixels > kMaxBytes / sizeof(TColor32)) return false;
  const size_t bytes = size_t(pixels * sizeof(TColor32));

  if (bytes >= kMapThreshold) {
    void* block = MapZeroedBlock(bytes);
    if (block == nullptr) return false;
    data_ = static_cast<TColor32*>(block);
    mapped_ = true;
  } else {
    const size_t rounded = (bytes + kAlignment - 1) / kAlignment * kAlignment;
    void* block = std::aligned_alloc(kAlignment, rounded);
    if (block == nullptr) return false;
    std::memset(block, 0, rounded);
    data_ = static_cast<TColor32*>(block);
    mapped_ = false;
  }
  bytes_ = bytes;
  return true;
}

void TPixelStorage::Release() {
  if (data_ == nullptr) return;
  if (mapped_)
    UnmapBlock(data_, bytes_);
  else
    std::free(data_);
  data_ = nullptr;
  bytes_ = 0;
  mapped_ = false;
}
