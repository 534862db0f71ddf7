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

std::vector<uint8_t> BuildBmp(const BmpLayout& Layout) {
  std::vector<uint8_t> info;
  if (Layout.HeaderSize == 12) {
    Put32(info, 12);
    Put16(info, uint32_t(Layout.Width));
    Put16(info, uint32_t(Layout.Height));
    Put16(info, Layout.Planes);
    Put16(info, Layout.Bits);
  } else {
    Put32(info, Layout.HeaderSize);
    Put32(info, uint32_t(Layout.Width));
    Put32(info, uint32_t(Layout.Height));
    Put16(info, Layout.Planes);
    Put16(info, Layout.Bits);
    Put32(info, Layout.Compression);
    Put32(info, uint32_t(Layout.Pixels.size()));
    Put32(info, 2835);
    Put32(info, 2835);
    Put32(info, Layout.ColorsUsed);
    Put32(info, 0);
    for (size_t i = 0; Layout.HeaderSize >= 52 && i < Layout.Masks.size(); ++i) Put32(info, Layout.Masks[i]);
    info.resize(Layout.HeaderSize, 0);
  }
  std::vector<uint8_t> tables;
  if (Layout.HeaderSize < 52)
    for (uint32_t m : Layout.Masks) Put32(tables, m);
  for (uint32_t c : Layout.Palette) {
    tables.push_back(uint8_t(c));
    tables.push_back(uint8_t(c >> 8));
    tables.push_back(uint8_t(c >> 16));
    if (Layout.HeaderSize != 12) tables.push_back(0);
  }
  const uint32_t offset = Layout.PixelOffset.value_or(uint32_t(14 + info.size() + tables.size()));
  std::vector<uint8_t> file{'B', 'M'};
  Put32(file, uint32_t(14 + info.size() + tables.size() + Layout.Pixels.size()));
  Put32(file, 0);
  Put32(file, offset);
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), tables.begin(), tables.end());
  file.insert(file.end(), Layout.Pixels.begin(), Layout.Pixels.end());
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

std::vector<uint8_t> EncodeJpeg(const JpegRecipe& Recipe) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = JDIMENSION(Recipe.Width);
  info.image_height = JDIMENSION(Recipe.Height);
  info.input_components = Recipe.Components;
  info.in_color_space = Recipe.Components == 1 ? JCS_GRAYSCALE : Recipe.Components == 4 ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, Recipe.Quality, TRUE);
  if (Recipe.Components == 4) info.write_Adobe_marker = Recipe.AdobeMarker ? TRUE : FALSE;
  if (Recipe.Progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(size_t(Recipe.Width) * Recipe.Components);
  while (info.next_scanline < info.image_height) {
    const int y = int(info.next_scanline);
    for (int x = 0; x < Recipe.Width; ++x)
      for (int c = 0; c < Recipe.Components; ++c) row[size_t(x) * Recipe.Components + c] = Recipe.Sample(x, y, c);
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
