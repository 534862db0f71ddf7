#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>
#include <unistd.h>

// A file of the given bytes in a folder of its own, removed with the object.
class ScratchFile {
public:
  ScratchFile(const std::string& Name, const std::vector<uint8_t>& Bytes) {
    static int serial = 0;
    folder_ = std::filesystem::temp_directory_path() /
              ("quorvane-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
    std::filesystem::create_directories(folder_);
    path_ = (folder_ / Name).string();
    std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(Bytes.data()),
                                                 std::streamsize(Bytes.size()));
  }
  ~ScratchFile() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const std::string& Path() const { return path_; }

private:
  std::filesystem::path folder_;
  std::string path_;
};
