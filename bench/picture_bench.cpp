// Reading pictures through the bitmap's file layer beside the bare work it
// wraps: a 2048 x 2048 colour JPEG against libjpeg alone with the same
// settings, and a 4096 x 4096 32-bit BMP against a memcpy of its bytes.

#include "raster/bitmap32.h"
#include "support/fixtures.h"

#include <benchmark/benchmark.h>

#include <jpeglib.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const ScratchFolder& Folder() {
  static const ScratchFolder folder;
  return folder;
}

const std::string& JpegFile() {
  static const std::string file = Folder().Write(
      "texture.jpg", EncodeJpeg({.Width = 2048, .Height = 2048, .Quality = 90, .Sample = [](int X, int Y, int C) {
                                   return uint8_t(((X * (C + 1)) ^ (Y * 3)) + ((X * Y) >> 9));
                                 }}));
  return file;
}

const std::string& BmpFile() {
  static const std::string file = [] {
    TBitmap32 b;
    b.SetDimensions(4096, 4096);
    for (int32_t i = 0; i < 4096 * 4096; ++i) b.PixelData()[i] = uint32_t(i) * 2654435761u;
    const std::string name = Folder().Path("texture.bmp");
    b.WritePictureFile(name);
    return name;
  }();
  return file;
}

void BM_ReadPictureFileJpeg2048(benchmark::State& State) {
  const std::string& file = JpegFile();
  for (auto _ : State) {
    TBitmap32 b;
    b.ReadPictureFile(file);
    benchmark::DoNotOptimize(b.PixelData());
  }
}
BENCHMARK(BM_ReadPictureFileJpeg2048)->Unit(benchmark::kMillisecond);

// libjpeg alone: the file's bytes already in memory, decoded with the
// reader's settings into one plain RGB buffer.
void BM_BareLibjpegDecode2048(benchmark::State& State) {
  const std::vector<uint8_t> bytes = ReadFileBytes(JpegFile());
  for (auto _ : State) {
    // A fresh buffer per picture, as any decode of a new file needs.
    auto pixels = std::make_unique_for_overwrite<uint8_t[]>(size_t(2048) * 2048 * 3);
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.dct_method = JDCT_FLOAT;
    info.do_block_smoothing = TRUE;
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
      JSAMPROW row = pixels.get() + size_t(info.output_scanline) * 2048 * 3;
      jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    benchmark::DoNotOptimize(pixels.get());
  }
}
BENCHMARK(BM_BareLibjpegDecode2048)->Unit(benchmark::kMillisecond);

void BM_ReadPictureFileBmp4096(benchmark::State& State) {
  const std::string& file = BmpFile();
  for (auto _ : State) {
    TBitmap32 b;
    b.ReadPictureFile(file);
    benchmark::DoNotOptimize(b.PixelData());
  }
  State.SetBytesProcessed(int64_t(State.iterations()) * 4096 * 4096 * 4);
}
BENCHMARK(BM_ReadPictureFileBmp4096)->Unit(benchmark::kMillisecond);

void BM_WritePictureFileBmp4096(benchmark::State& State) {
  TBitmap32 b;
  b.SetDimensions(4096, 4096);
  b.FillAll(0x80402010);
  const std::string file = Folder().Path("written.bmp");
  for (auto _ : State) b.WritePictureFile(file);
  State.SetBytesProcessed(int64_t(State.iterations()) * 4096 * 4096 * 4);
}
BENCHMARK(BM_WritePictureFileBmp4096)->Unit(benchmark::kMillisecond);

void BM_MemcpyBmpBytes4096(benchmark::State& State) {
  const std::vector<uint8_t> bytes = ReadFileBytes(BmpFile());
  std::vector<uint8_t> copy(bytes.size());
  for (auto _ : State) {
    std::memcpy(copy.data(), bytes.data(), bytes.size());
    benchmark::DoNotOptimize(copy.data());
  }
  State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(BM_MemcpyBmpBytes4096)->Unit(benchmark::kMillisecond);

}  // namespace
