#include "app/safe_write.h"

#include "platform/exceptions.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::string SystemError(const std::string& What, const std::string& FileName) {
  return What + " \"" + FileName + "\": " + std::strerror(errno);
}

}  // namespace

void WritePictureFileSafely(TBitmap32& Bitmap, const std::string& FileName) {
  std::string pattern = FileName + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) throw Exception(SystemError("Cannot create file", FileName));
  // mkstemp makes the file private; the result gets the usual permissions.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  close(fd);
  const std::string temporary(name.data());

  try {
    Bitmap.WritePictureFile(temporary);
  } catch (...) {
    std::remove(temporary.c_str());
    throw;
  }
  if (std::rename(temporary.c_str(), FileName.c_str()) != 0) {
    const std::string message = SystemError("Cannot write file", FileName);
    std::remove(temporary.c_str());
    throw Exception(message);
  }
}
