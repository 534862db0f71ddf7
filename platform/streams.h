#pragma once

#include <cstdint>
#include <vector>

enum TSeekOrigin : uint8_t { soBeginning, soCurrent, soEnd };

// A sequence of bytes with a position. Read and Write move as many bytes as
// they can; ReadBuffer and WriteBuffer insist on the whole block and raise
// EReadError / EWriteError otherwise.
class TStream {
public:
  virtual ~TStream() = default;

  virtual int64_t Read(void* Buffer, int64_t Count) = 0;
  virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t Position) { Seek(Position, soBeginning); }
  int64_t Size();

  void ReadBuffer(void* Buffer, int64_t Count);
  void WriteBuffer(const void* Buffer, int64_t Count);
};

// A stream held in memory, growing as it is written.
class TMemoryStream : public TStream {
public:
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;

  void SetSize(int64_t NewSize);
  void Clear();
  const uint8_t* Memory() const { return data_.data(); }
  uint8_t* Memory() { return data_.data(); }

private:
  std::vector<uint8_t> data_;
  int64_t position_ = 0;
};
