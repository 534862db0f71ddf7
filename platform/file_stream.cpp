#include "platform/file_stream.h"

#include "platform/graphic_errors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

std::string Reason(int Error) { return std::strerror(Error); }

}  // namespace

TFileStream::TFileStream(const std::string& FileName, TFileMode Mode) {
  if (Mode == fmCreate) {
    fd_ = ::open(FileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0)
      throw EFCreateError("Cannot create file \"" + FileName + "\". " + Reason(errno));
    return;
  }
  fd_ = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) throw EFOpenError("Cannot open file \"" + FileName + "\". " + Reason(errno));
  struct stat info {};
  if (::fstat(fd_, &info) != 0 || S_ISDIR(info.st_mode)) {
    const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    ::close(fd_);
    fd_ = -1;
    throw EFOpenError("Cannot open file \"" + FileName + "\". " + Reason(error));
  }
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
  int64_t done = 0;
  auto* bytes = static_cast<uint8_t*>(Buffer);
  while (done < Count) {
    const ssize_t n = ::read(fd_, bytes + done, size_t(Count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
  int64_t done = 0;
  const auto* bytes = static_cast<const uint8_t*>(Buffer);
  while (done < Count) {
    const ssize_t n = ::write(fd_, bytes + done, size_t(Count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  const int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
  const off_t position = ::lseek(fd_, off_t(Offset), whence);
  return position < 0 ? -1 : int64_t(position);
}

TByteBuffer ReadRemainingBytes(TStream& Stream) {
  const int64_t position = Stream.Position();
  const int64_t size = Stream.Size();
  TByteBuffer buffer;
  buffer.Size = size_t(size > position ? size - position : 0);
  buffer.Bytes = AllocateBlock<uint8_t>(buffer.Size);
  Stream.ReadBuffer(buffer.Bytes.get(), int64_t(buffer.Size));
  return buffer;
}
