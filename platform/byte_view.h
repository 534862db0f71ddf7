#pragma once

#include "platform/graphic_errors.h"

#include <cstddef>
#include <cstdint>
#include <string>

// A bounded window on little-endian file data. Every read is checked against
// the window, so a reader that forgets a check raises EInvalidGraphic
// instead of reading past the data; readers still check sizes first to give
// the precise reason.
class TByteView {
public:
  TByteView(const uint8_t* Data, size_t Size, std::string Kind)
      : data_(Data), size_(Size), kind_(std::move(Kind)) {}

  const uint8_t* Data() const { return data_; }
  size_t Size() const { return size_; }
  bool Has(size_t At, size_t Count) const { return At <= size_ && Count <= size_ - At; }

  uint8_t U8(size_t At) const { return *Need(At, 1); }
  uint16_t U16(size_t At) const {
    const uint8_t* p = Need(At, 2);
    return uint16_t(p[0] | p[1] << 8);
  }
  uint32_t U32(size_t At) const {
    const uint8_t* p = Need(At, 4);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
  }
  int16_t I16(size_t At) const { return int16_t(U16(At)); }
  int32_t I32(size_t At) const { return int32_t(U32(At)); }

  TByteView Sub(size_t At, size_t Count) const { return TByteView(Need(At, Count), Count, kind_); }

  [[noreturn]] void Fail(const std::string& Reason) const {
    throw EInvalidGraphic(kind_ + " is not valid: " + Reason);
  }

private:
  const uint8_t* Need(size_t At, size_t Count) const {
    if (!Has(At, Count)) Fail("its data ends in the middle of a field");
    return data_ + At;
  }

  const uint8_t* data_;
  size_t size_;
  std::string kind_;
};
