// Writes the benchmark pictures as raw bytes (blue, green, red, alpha per
// pixel, top row first) into the folder given, one file per size, named
// <width>x<height>.bgra.
#include "bench/bench_pictures.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_bench_pictures <folder>\n");
    return 2;
  }
  for (int32_t size : {kReduce.Source, kEnlarge.Source, kNearestReduce.Source,
                       kNearestEnlarge.Source}) {
    const auto picture = BenchPicture(size, size);
    const std::string name =
        std::string(argv[1]) + "/" + std::to_string(size) + "x" + std::to_string(size) + ".bgra";
    std::FILE* file = std::fopen(name.c_str(), "wb");
    if (file == nullptr) {
      std::fprintf(stderr, "cannot write %s\n", name.c_str());
      return 1;
    }
    const size_t count = size_t(size) * size_t(size);
    const bool written = std::fwrite(picture->PixelData(), sizeof(TColor32), count, file) == count;
    if (std::fclose(file) != 0 || !written) {
      std::fprintf(stderr, "cannot write %s\n", name.c_str());
      return 1;
    }
  }
  return 0;
}
