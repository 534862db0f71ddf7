#include "platform/jpeg_decoder.h"

#include "platform/graphic_errors.h"
#include "platform/memory_block.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>
#include <string>

#include <jpeglib.h>

// The library reports a fatal error by calling error_exit, which must not
// return. It jumps back to the setjmp of the small run functions below,
// whose locals have no destructors; they destroy the decompressor and
// return a code, and the C++ callers raise the exception from there.

namespace {

constexpr int kNoError = 0;
constexpr int kTooLarge = -1;
constexpr int kTooManyScans = -3;
constexpr int kOtherSize = -4;

// Limits against files that claim far more than they hold: the decoded
// picture may have at most 2^26 pixels, and at most 4096 per byte of file
// (real files hold a pixel in well under a bit).
constexpr uint64_t kMaxPixels = uint64_t(1) << 26;
constexpr uint64_t kMaxPixelsPerByte = 4096;
constexpr long kMaxDecoderMemory = 512L << 20;
constexpr int kMaxScans = 1000;

struct TErrorManager {
  jpeg_error_mgr Library;  // first, so the library's pointer is ours too
  std::jmp_buf Jump;
  int Code;
};

struct TScanLimit {
  jpeg_progress_mgr Library;
};

extern "C" void ExitOnError(j_common_ptr Info) {
  auto* errors = reinterpret_cast<TErrorManager*>(Info->err);
  errors->Code = errors->Code == kTooManyScans ? kTooManyScans : Info->err->msg_code;
  if (errors->Code == kNoError) errors->Code = 1;
  std::longjmp(errors->Jump, 1);
}

extern "C" void IgnoreMessage(j_common_ptr, int) {}
extern "C" void IgnoreOutput(j_common_ptr) {}

extern "C" void LimitScans(j_common_ptr Info) {
  auto* decompress = reinterpret_cast<j_decompress_ptr>(Info);
  if (decompress->input_scan_number > kMaxScans) {
    reinterpret_cast<TErrorManager*>(Info->err)->Code = kTooManyScans;
    Info->err->error_exit(Info);
  }
}

// Plain data shared with the run functions: nothing here has a destructor.
struct TJob {
  const uint8_t* Data;
  size_t Size;
  bool HeaderOnly;
  bool Quantize;
  int32_t Width;
  int32_t Height;
  J_COLOR_SPACE ColorSpace;
  bool AdobeInverted;
  bool Indexed;
  uint32_t* Target;  // the caller's TargetWidth x TargetHeight pixels
  int32_t TargetWidth;
  int32_t TargetHeight;
  uint32_t Palette[256];
  int PaletteSize;
};

uint32_t Bgrx(uint32_t R, uint32_t G, uint32_t B) { return 0xFF000000u | R << 16 | G << 8 | B; }

void StoreCmykRow(const JSAMPLE* In, uint32_t* Out, int32_t Width, bool Inverted) {
  for (int32_t x = 0; x < Width; ++x, In += 4) {
    uint32_t c = In[0], m = In[1], y = In[2], k = In[3];
    if (!Inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    // Here each value is 255 minus the ink amount.
    Out[x] = Bgrx((c * k + 127) / 255, (m * k + 127) / 255, (y * k + 127) / 255);
  }
}

void Configure(jpeg_decompress_struct& Info, TJob& Job) {
  Info.scale_num = 1;
  Info.scale_denom = 1;
  Info.dct_method = JDCT_FLOAT;
  Info.do_block_smoothing = TRUE;
  Info.buffered_image = FALSE;
  const bool cmyk = Info.jpeg_color_space == JCS_CMYK || Info.jpeg_color_space == JCS_YCCK;
  if (cmyk) {
    Info.out_color_space = JCS_CMYK;
  } else if (Info.out_color_space == JCS_GRAYSCALE || Job.Quantize) {
    Info.quantize_colors = TRUE;
    Info.desired_number_of_colors = 236;
  } else {
    // The library's RGB output, delivered as blue, green, red and a filler
    // byte of 255, so that rows land in 32-bit pixels without a second pass.
    Info.out_color_space = JCS_EXT_BGRX;
  }
  Job.Indexed = Info.quantize_colors == TRUE;
  Job.AdobeInverted = Info.saw_Adobe_marker == TRUE;
}

int RunDecoder(TJob* Job, jpeg_decompress_struct* Info, TErrorManager* Errors, TScanLimit* Scans) {
  Info->err = jpeg_std_error(&Errors->Library);
  Errors->Library.error_exit = ExitOnError;
  Errors->Library.emit_message = IgnoreMessage;
  Errors->Library.output_message = IgnoreOutput;
  Errors->Code = kNoError;
  if (setjmp(Errors->Jump)) {
    jpeg_destroy_decompress(Info);
    return Errors->Code;
  }
  jpeg_create_decompress(Info);
  Info->mem->max_memory_to_use = kMaxDecoderMemory;
  Scans->Library.progress_monitor = LimitScans;
  Info->progress = &Scans->Library;
  jpeg_mem_src(Info, Job->Data, static_cast<unsigned long>(Job->Size));
  jpeg_read_header(Info, TRUE);
  Job->Width = int32_t(Info->image_width);
  Job->Height = int32_t(Info->image_height);
  Job->ColorSpace = Info->jpeg_color_space;
  const uint64_t pixels = uint64_t(Info->image_width) * Info->image_height;
  if (pixels > kMaxPixels || pixels > Job->Size * kMaxPixelsPerByte) {
    jpeg_destroy_decompress(Info);
    return kTooLarge;
  }
  if (Job->HeaderOnly) {
    jpeg_destroy_decompress(Info);
    return kNoError;
  }
  Configure(*Info, *Job);
  jpeg_start_decompress(Info);
  const int32_t width = int32_t(Info->output_width);
  if (width != Job->TargetWidth || int32_t(Info->output_height) != Job->TargetHeight) {
    jpeg_destroy_decompress(Info);
    return kOtherSize;
  }
  const bool direct = Info->out_color_space == JCS_EXT_BGRX && !Job->Indexed;
  JSAMPARRAY row = direct ? nullptr
                          : (*Info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(Info), JPOOL_IMAGE,
                                                       JDIMENSION(width * Info->output_components), 1);
  while (Info->output_scanline < Info->output_height) {
    const JDIMENSION y = Info->output_scanline;
    uint32_t* out = Job->Target + size_t(y) * size_t(width);
    if (direct) {
      JSAMPROW target = reinterpret_cast<JSAMPROW>(out);
      jpeg_read_scanlines(Info, &target, 1);
      continue;
    }
    jpeg_read_scanlines(Info, row, 1);
    if (Job->Indexed) {
      for (int32_t x = 0; x < width; ++x) out[x] = row[0][x];  // indices, mapped below
    } else {
      StoreCmykRow(row[0], out, width, Job->AdobeInverted);
    }
  }
  if (Job->Indexed) {
    Job->PaletteSize = Info->actual_number_of_colors;
    const bool grey = Info->out_color_components == 1;
    for (int i = 0; i < Job->PaletteSize; ++i) {
      const uint32_t r = Info->colormap[0][i];
      Job->Palette[i] = grey ? Bgrx(r, r, r) : Bgrx(r, Info->colormap[1][i], Info->colormap[2][i]);
    }
  }
  jpeg_finish_decompress(Info);
  jpeg_destroy_decompress(Info);
  return kNoError;
}

// Indexed decodes leave palette indices in the pixels; here they become
// the colours of the decoder's colour map.
void ResolveIndices(const TJob& Job) {
  const size_t count = size_t(Job.Width) * size_t(Job.Height);
  for (size_t i = 0; i < count; ++i) Job.Target[i] = Job.Palette[Job.Target[i]];
}

[[noreturn]] void RaiseFor(int Code) {
  switch (Code) {
    case kTooLarge: throw EJPEG("The JPEG picture is too large for its file");
    case kTooManyScans: throw EJPEG("The JPEG file has too many scans");
    case kOtherSize: throw EJPEG("The JPEG file changed its picture size");
    default: {
      char text[32];
      std::snprintf(text, sizeof text, "JPEG-Fehler #%d", Code);
      throw EJPEG(text);
    }
  }
}

TJob MakeJob(const uint8_t* Data, size_t Size, bool HeaderOnly, bool Quantize) {
  TJob job{};
  job.Target = nullptr;
  job.Data = Data;
  job.Size = Size;
  job.HeaderOnly = HeaderOnly;
  job.Quantize = Quantize;
  return job;
}

// Decodes into the caller's pixels; on an error they are left all zero,
// since a failed decode draws nothing, not the rows it had reached.
TJob DecodeInto(const uint8_t* Data, size_t Size, bool Quantize, uint32_t* Target, int32_t Width,
                int32_t Height) {
  TJob job = MakeJob(Data, Size, false, Quantize);
  job.Target = Target;
  job.TargetWidth = Width;
  job.TargetHeight = Height;
  jpeg_decompress_struct info{};
  TErrorManager errors{};
  TScanLimit scans{};
  const int code = RunDecoder(&job, &info, &errors, &scans);
  if (code != kNoError) {
    std::fill_n(Target, size_t(Width) * size_t(Height), 0u);
    RaiseFor(code);
  }
  if (job.Indexed) ResolveIndices(job);
  return job;
}

}  // namespace

TJpegHeader ReadJpegHeader(const uint8_t* Data, size_t Size) {
  TJob job = MakeJob(Data, Size, true, false);
  jpeg_decompress_struct info{};
  TErrorManager errors{};
  TScanLimit scans{};
  const int code = RunDecoder(&job, &info, &errors, &scans);
  if (code != kNoError) RaiseFor(code);
  return {job.Width, job.Height, job.ColorSpace == JCS_GRAYSCALE};
}

void DecodeJpeg(const uint8_t* Data, size_t Size, bool Quantize, TBitmap& Into) {
  const TJpegHeader header = ReadJpegHeader(Data, Size);
  TBlock<uint32_t> pixels;
  try {
    pixels = AllocateBlock<uint32_t>(size_t(header.Width) * size_t(header.Height));
  } catch (const std::bad_alloc&) {
    throw EJPEG("Not enough memory to decode the JPEG picture");
  }
  const TJob job = DecodeInto(Data, Size, Quantize, pixels.get(), header.Width, header.Height);
  if (job.Indexed)
    Into.TakePixels(job.Width, job.Height, pf8bit, std::move(pixels),
                    std::vector<uint32_t>(job.Palette, job.Palette + job.PaletteSize));
  else
    Into.TakePixels(job.Width, job.Height, pf24bit, std::move(pixels));
}

void DecodeJpegInto(const uint8_t* Data, size_t Size, bool Quantize, uint32_t* Target, int32_t Width,
                    int32_t Height) {
  DecodeInto(Data, Size, Quantize, Target, Width, Height);
}
