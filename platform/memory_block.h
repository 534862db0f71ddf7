#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Blocks for pictures and file contents. Small ones come from the heap,
// uninitialised; large ones straight from the kernel, zeroed, aligned to and
// marked for huge pages, so that filling a fresh picture costs a handful of
// page faults rather than one per 4 KiB. Allocation failure is bad_alloc.
struct TBlockDeleter {
  size_t MappedBytes = 0;  // 0: a heap block
  void operator()(void* Block) const;
};

template <class T>
using TBlock = std::unique_ptr<T[], TBlockDeleter>;

void* AllocateBlockBytes(size_t Bytes, TBlockDeleter& Deleter);

// A zeroed block from the kernel (huge pages for large ones, as above), or
// null when it cannot be had; given back with UnmapBlock and the same size.
void* MapZeroedBlock(size_t Bytes);
void UnmapBlock(void* Block, size_t Bytes);

template <class T>
TBlock<T> AllocateBlock(size_t Count) {
  TBlockDeleter deleter;
  void* block = AllocateBlockBytes(Count * sizeof(T), deleter);
  return TBlock<T>(static_cast<T*>(block), deleter);
}

// Bytes read from a stream.
struct TByteBuffer {
  TBlock<uint8_t> Bytes;
  size_t Size = 0;
  const uint8_t* Data() const { return Bytes.get(); }
  bool Empty() const { return Size == 0; }
};
