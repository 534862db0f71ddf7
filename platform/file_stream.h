#pragma once

#include "platform/memory_block.h"
#include "platform/streams.h"

#include <string>

enum TFileMode : uint8_t { fmOpenRead, fmCreate };

// A stream on a file. Opening for reading raises EFOpenError, creating (which
// replaces an existing file) raises EFCreateError; both name the file and the
// system's reason.
class TFileStream : public TStream {
public:
  TFileStream(const std::string& FileName, TFileMode Mode);
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;
  ~TFileStream() override;

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;

private:
  int fd_ = -1;
};

// The rest of Stream, from its position to its end, as one block.
TByteBuffer ReadRemainingBytes(TStream& Stream);
