// Reads every file of the shared picture corpus (files written by other
// projects) through ReadPictureFile and holds each group to what the
// corpus README expects of it. The corpus lies beside the checkout; it is
// read where it is, never copied.

#include "platform/exceptions.h"
#include "platform/graphic_errors.h"
#include "raster/bitmap32.h"

#include <gtest/gtest.h>

#include <QImage>

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path corpusDir = QUORVANE_CORPUS_DIR;

struct ManifestRow {
  std::string File, Class;
  int Bits = 0;
  int Compression = 0;
  std::vector<std::string> References;
};

std::vector<std::string> Split(const std::string& Text, char By) {
  std::vector<std::string> parts;
  std::stringstream in(Text);
  for (std::string part; std::getline(in, part, By);) parts.push_back(part);
  return parts;
}

std::vector<ManifestRow> ReadManifest(const fs::path& Suite) {
  std::ifstream in(Suite / "MANIFEST.tsv");
  std::vector<ManifestRow> rows;
  std::string line;
  std::getline(in, line);  // column names
  while (std::getline(in, line)) {
    const auto cells = Split(line, '\t');
    if (cells.size() < 8) continue;
    ManifestRow row{cells[0], cells[1], std::atoi(cells[5].c_str()), std::atoi(cells[6].c_str()), {}};
    // "html/a.png|html/b.png", possibly followed by a note in brackets.
    for (const auto& reference : Split(cells[7].substr(0, cells[7].find(' ')), '|'))
      if (reference.ends_with(".png")) row.References.push_back(reference);
    rows.push_back(row);
  }
  return rows;
}

struct Outcome {
  bool Loaded = false;
  std::string Error;
  double Seconds = 0;
};

Outcome Read(const fs::path& File, TBitmap32& Into) {
  Outcome outcome;
  const auto start = std::chrono::steady_clock::now();
  try {
    Into.ReadPictureFile(File.string());
    outcome.Loaded = true;
  } catch (const Exception& e) {
    outcome.Error = e.Message();
  }
  outcome.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return outcome;
}

// Empty when Bitmap shows Reference; else what differs first. Colours must
// agree within Tolerance per channel wherever the reference is not fully
// transparent; alpha is checked against ExpectedAlpha (or, when that is
// negative, against the reference's own alpha).
std::string Compare(const TBitmap32& Bitmap, const QImage& Reference, int Tolerance, int ExpectedAlpha) {
  const QImage ref = Reference.convertToFormat(QImage::Format_ARGB32);
  if (ref.width() != Bitmap.Width() || ref.height() != Bitmap.Height())
    return "size " + std::to_string(Bitmap.Width()) + "x" + std::to_string(Bitmap.Height()) +
           ", reference " + std::to_string(ref.width()) + "x" + std::to_string(ref.height());
  for (int y = 0; y < ref.height(); ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(ref.constScanLine(y));
    for (int x = 0; x < ref.width(); ++x) {
      const uint32_t want = row[x], got = *Bitmap.PixelAddress(x, y);
      const int wantAlpha = ExpectedAlpha >= 0 ? ExpectedAlpha : int(want >> 24);
      bool same = int(got >> 24) == wantAlpha;
      for (int shift = 0; shift < 24 && (want >> 24) != 0; shift += 8)
        same = same && std::abs(int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF)) <= Tolerance;
      if (!same) {
        char text[96];
        std::snprintf(text, sizeof text, "pixel (%d, %d) is %08X, reference %08X", x, y, got, want);
        return text;
      }
    }
  }
  return {};
}

long PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

class Corpus : public ::testing::Test {
protected:
  void SetUp() override {
    if (!fs::is_directory(corpusDir))
      GTEST_SKIP() << "The picture corpus is missing: no folder " << corpusDir
                   << " (expected as ../shared/corpus beside the checkout).";
  }
};

TEST_F(Corpus, BmpSuiteMeetsItsManifest) {
  const fs::path suite = corpusDir / "bmpsuite-2.8";
  ASSERT_TRUE(fs::exists(suite / "MANIFEST.tsv")) << suite;
  std::set<std::string> listed;
  for (const ManifestRow& row : ReadManifest(suite)) {
    SCOPED_TRACE(row.File);
    listed.insert(row.File);
    TBitmap32 b;
    const Outcome outcome = Read(suite / row.File, b);
    EXPECT_LT(outcome.Seconds, 5.0) << "reading took too long";
    const bool fourthByteIsAlpha = row.File == "g/rgb32.bmp" || row.File == "g/rgb32bfdef.bmp";
    // Channels of other than 8 bits are stretched to 0..255 by rounding;
    // the references may truncate or replicate bits instead.
    const bool bitFields = row.Compression == 3 || row.Compression == 6;
    const int tolerance = row.Bits == 16 || (row.Class == "questionable" && bitFields) ? 1 : 0;
    std::string mismatch = "no reference";
    if (outcome.Loaded)
      for (const auto& reference : row.References) {
        const int alpha = row.Bits < 32 ? 255 : fourthByteIsAlpha ? 0 : -1;
        mismatch = Compare(b, QImage(QString::fromStdString((suite / reference).string())), tolerance, alpha);
        if (mismatch.empty()) break;
      }
    if (row.Class == "good") {
      EXPECT_TRUE(outcome.Loaded) << outcome.Error;
      EXPECT_TRUE(!outcome.Loaded || mismatch.empty()) << mismatch;
    } else if (row.Class == "questionable" || row.Class == "related-format") {
      // The reader does not apply colour profiles; this file swaps two
      // channels and relies on its profile to swap them back.
      if (row.File != "q/rgb24prof2.bmp") {
        EXPECT_TRUE(!outcome.Loaded || mismatch.empty()) << mismatch;
      }
      EXPECT_TRUE(outcome.Loaded || !outcome.Error.empty());
    } else {
      // Bad files: a clear error, or a decode that did no harm.
      EXPECT_TRUE(outcome.Loaded || !outcome.Error.empty());
    }
    if (!outcome.Loaded) std::cout << "  " << row.File << ": " << outcome.Error << "\n";
  }
  // Files the manifest does not list must at least not harm the reader.
  for (const char* group : {"g", "q", "b", "x"})
    for (const auto& entry : fs::directory_iterator(suite / group)) {
      const std::string name = std::string(group) + "/" + entry.path().filename().string();
      if (listed.count(name) != 0) continue;
      TBitmap32 b;
      EXPECT_LT(Read(entry.path(), b).Seconds, 5.0) << name;
    }
  EXPECT_LT(PeakMegabytes(), 256) << "no file may make the reader allocate for a size it cannot hold";
}

std::vector<uint8_t> ReadBytes(const fs::path& File) {
  std::ifstream in(File, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A binary PNM (P5 grey or P6 colour) as TColor32 pixels.
bool ReadPnm(const fs::path& File, int& Width, int& Height, std::vector<uint32_t>& Pixels) {
  const auto bytes = ReadBytes(File);
  std::string magic;
  int maxValue = 0;
  std::istringstream header(std::string(bytes.begin(), bytes.begin() + std::min<size_t>(bytes.size(), 64)));
  header >> magic >> Width >> Height >> maxValue;
  const size_t start = size_t(header.tellg()) + 1;
  const int channels = magic == "P6" ? 3 : magic == "P5" ? 1 : 0;
  if (channels == 0 || maxValue != 255 || bytes.size() < start + size_t(Width) * Height * channels) return false;
  Pixels.resize(size_t(Width) * Height);
  for (size_t i = 0; i < Pixels.size(); ++i) {
    const uint8_t* p = &bytes[start + i * channels];
    Pixels[i] = channels == 3 ? 0xFF000000u | p[0] << 16 | p[1] << 8 | p[2] : 0xFF000000u | p[0] * 0x010101u;
  }
  return true;
}

TEST_F(Corpus, JpegTestImagesMatchTheFloatReference) {
  const fs::path images = corpusDir / "jpeg" / "testimages";
  const fs::path references = corpusDir / "jpeg" / "reference-float";
  ASSERT_TRUE(fs::is_directory(images)) << images;
  int checked = 0;
  for (const auto& entry : fs::recursive_directory_iterator(images)) {
    if (entry.path().extension() != ".jpg") continue;
    const std::string stem = entry.path().stem().string();
    SCOPED_TRACE(stem);
    TBitmap32 b;
    const Outcome outcome = Read(entry.path(), b);
    EXPECT_LT(outcome.Seconds, 5.0);
    if (stem.ends_with("12")) {
      // 12-bit samples: an 8-bit decoder refuses them with its error.
      EXPECT_FALSE(outcome.Loaded);
      EXPECT_EQ(outcome.Error.rfind("JPEG-Fehler #", 0), 0u) << outcome.Error;
      continue;
    }
    ASSERT_TRUE(outcome.Loaded) << outcome.Error;
    int width = 0, height = 0;
    std::vector<uint32_t> reference;
    ASSERT_TRUE(ReadPnm(references / (stem + ".pnm"), width, height, reference)) << "no reference";
    ASSERT_EQ(b.Width(), width);
    ASSERT_EQ(b.Height(), height);
    const std::vector<uint32_t> got(b.PixelData(), b.PixelData() + reference.size());
    if (stem != "testimggray") {
      EXPECT_TRUE(got == reference) << "differs from the reference decode";
    } else {
      // Greys are quantised to 236 levels with dithering: close to the
      // unquantised reference, never more than 236 levels.
      std::set<uint32_t> levels(got.begin(), got.end());
      EXPECT_LE(levels.size(), 236u);
      long total = 0;
      int worst = 0;
      for (size_t i = 0; i < got.size(); ++i) {
        const int d = std::abs(int(got[i] & 0xFF) - int(reference[i] & 0xFF));
        total += d;
        worst = std::max(worst, d);
        EXPECT_EQ(got[i] & 0xFFFFFF, (got[i] & 0xFF) * 0x010101u);
      }
      EXPECT_LE(double(total) / double(got.size()), 1.0);
      EXPECT_LE(worst, 8);
    }
    ++checked;
  }
  EXPECT_EQ(checked, 6) << "every 8-bit test image has a reference";
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc > 1) corpusDir = argv[1];
  return RUN_ALL_TESTS();
}
