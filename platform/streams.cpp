#include "streams.h"

#include "exceptions.h"

#include <algorithm>
#include <cstring>

int64_t TStream::Size() {
  const int64_t position = Seek(0, soCurrent);
  const int64_t size = Seek(0, soEnd);
  Seek(position, soBeginning);
  return size;
}

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
  if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
  if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
  const int64_t size = static_cast<int64_t>(data_.size());
  if (Count <= 0 || position_ >= size) return 0;
  const int64_t n = std::min(Count, size - position_);
  std::memcpy(Buffer, data_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  const int64_t end = position_ + Count;
  if (end > static_cast<int64_t>(data_.size())) data_.resize(static_cast<size_t>(end));
  std::memcpy(data_.data() + position_, Buffer, static_cast<size_t>(Count));
  position_ = end;
  return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  const int64_t base = Origin == soBeginning ? 0
                       : Origin == soCurrent ? position_
                                             : static_cast<int64_t>(data_.size());
  position_ = std::max<int64_t>(0, base + Offset);
  return position_;
}

void TMemoryStream::SetSize(int64_t NewSize) {
  data_.resize(static_cast<size_t>(std::max<int64_t>(0, NewSize)));
  position_ = std::min(position_, static_cast<int64_t>(data_.size()));
}

void TMemoryStream::Clear() {
  data_.clear();
  position_ = 0;
}
