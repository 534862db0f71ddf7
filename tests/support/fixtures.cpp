#include "fixtures.h"

#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

void Put16(std::vector<uint8_t>& Out, uint32_t V) {
  Out.push_back(uint8_t(V));
  Out.push_back(uint8_t(V >> 8));
}

void Put32(std::vector<uint8_t>& Out, uint32_t V) {
  for (int i = 0; i < 4; ++i) Out.push_back(uint8_t(V >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> BuildBmp(const BmpSpec& Spec) {
  std::vector<uint8_t> info;
  if (Spec.HeaderSize == 12) {
    Put32(info, 12);
    Put16(info, uint32_t(Spec.Width));
    Put16(info, uint32_t(Spec.Height));
    Put16(info, Spec.Planes);
    Put16(info, Spec.Bits);
  } else {
    Put32(info, Spec.HeaderSize);
    Put32(info, uint32_t(Spec.Width));
    Put32(info, uint32_t(Spec.Height));
    Put16(info, Spec.Planes);
    Put16(info, Spec.Bits);
    Put32(info, Spec.Compression);
    Put32(info, uint32_t(Spec.Pixels.size()));
    Put32(info, 2835);
    Put32(info, 2835);
    Put32(info, Spec.ColorsUsed);
    Put32(info, 0);
    for (size_t i = 0; Spec.HeaderSize >= 52 && i < Spec.Masks.size(); ++i) Put32(info, Spec.Masks[i]);
    info.resize(Spec.HeaderSize, 0);
  }
  std::vector<uint8_t> tables;
  if (Spec.HeaderSize < 52)
    for (uint32_t m : Spec.Masks) Put32(tables, m);
  for (uint32_t c : Spec.Palette) {
    tables.push_back(uint8_t(c));
    tables.push_back(uint8_t(c >> 8));
    tables.push_back(uint8_t(c >> 16));
    if (Spec.HeaderSize != 12) tables.push_back(0);
  }
  const uint32_t offset = Spec.PixelOffset.value_or(uint32_t(14 + info.size() + tables.size()));
  std::vector<uint8_t> file{'B', 'M'};
  Put32(file, uint32_t(14 + info.size() + tables.size() + Spec.Pixels.size()));
  Put32(file, 0);
  Put32(file, offset);
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), tables.begin(), tables.end());
  file.insert(file.end(), Spec.Pixels.begin(), Spec.Pixels.end());
  return file;
}

std::vector<uint8_t> PadRows(const std::vector<std::vector<uint8_t>>& Rows) {
  std::vector<uint8_t> out;
  for (const auto& row : Rows) {
    out.insert(out.end(), row.begin(), row.end());
    out.resize((out.size() + 3) / 4 * 4, 0);
  }
  return out;
}

std::vector<uint8_t> EncodeJpeg(const JpegSpec& Spec) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = JDIMENSION(Spec.Width);
  info.image_height = JDIMENSION(Spec.Height);
  info.input_components = Spec.Components;
  info.in_color_space = Spec.Components == 1 ? JCS_GRAYSCALE : Spec.Components == 4 ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, Spec.Quality, TRUE);
  if (Spec.Components == 4) info.write_Adobe_marker = Spec.AdobeMarker ? TRUE : FALSE;
  if (Spec.Progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(size_t(Spec.Width) * Spec.Components);
  while (info.next_scanline < info.image_height) {
    const int y = int(info.next_scanline);
    for (int x = 0; x < Spec.Width; ++x)
      for (int c = 0; c < Spec.Components; ++c) row[size_t(x) * Spec.Components + c] = Spec.Sample(x, y, c);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return out;
}

ScratchFolder::ScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quorvane-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a scratch folder");
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ScratchFolder::Write(const std::string& Name, const std::vector<uint8_t>& Bytes) const {
  const std::string file = Path(Name);
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(Bytes.data()), std::streamsize(Bytes.size()));
  return file;
}

std::vector<uint8_t> ReadFileBytes(const std::string& FileName) {
  std::ifstream in(FileName, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
