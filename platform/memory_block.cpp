#include "platform/memory_block.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>

namespace {

constexpr size_t kHugePage = 2 * 1024 * 1024;
constexpr size_t kHugeThreshold = 4 * kHugePage;

}  // namespace

void TBlockDeleter::operator()(void* Block) const {
  if (Block == nullptr) return;
  if (MappedBytes != 0)
    UnmapBlock(Block, MappedBytes);
  else
    std::free(Block);
}

void* MapZeroedBlock(size_t Bytes) {
  if (Bytes < kHugeThreshold) {
    void* block = mmap(nullptr, Bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return block == MAP_FAILED ? nullptr : block;
  }
  if (Bytes > SIZE_MAX - kHugePage) return nullptr;
  const size_t mapped = Bytes + kHugePage;
  void* block = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) return nullptr;
  const auto base = reinterpret_cast<uintptr_t>(block);
  const uintptr_t start = (base + kHugePage - 1) / kHugePage * kHugePage;
  if (start > base) munmap(block, start - base);
  const size_t tail = (base + mapped) - (start + Bytes);
  if (tail > 0) munmap(reinterpret_cast<void*>(start + Bytes), tail);
  madvise(reinterpret_cast<void*>(start), Bytes, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(start);
}

void UnmapBlock(void* Block, size_t Bytes) {
  if (Block != nullptr) munmap(Block, Bytes);
}

void* AllocateBlockBytes(size_t Bytes, TBlockDeleter& Deleter) {
  if (Bytes < kHugeThreshold) {
    void* block = std::malloc(Bytes == 0 ? 1 : Bytes);
    if (block == nullptr) throw std::bad_alloc();
    Deleter.MappedBytes = 0;
    return block;
  }
  void* block = MapZeroedBlock(Bytes);
  if (block == nullptr) throw std::bad_alloc();
  Deleter.MappedBytes = Bytes;
  return block;
}
