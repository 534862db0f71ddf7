#include "app/mix_tool.h"

#include "app/combination.h"
#include "app/formula_catalogue.h"
#include "app/pane_files.h"
#include "app/safe_write.h"
#include "app/weightmap.h"
#include "platform/exceptions.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <map>
#include <optional>
#include <ostream>
#include <string_view>

#ifndef QUORVANE_VERSION
#define QUORVANE_VERSION "unknown"
#endif

namespace {

constexpr const char* kProgram = "quorvane-mix";

constexpr const char* kHelp =
    "Usage:\n"
    "  quorvane-mix mix A B (--formula N | --formula all | --weightmap FILE) -o OUT\n"
    "      Blend texture B over texture A through a weightmap, as the window does, and\n"
    "      write the combined texture as a 32-bit BMP. The weightmap is formula N (1..24)\n"
    "      or a picture drawn into 256 x 256. With --formula all, OUT is a folder that\n"
    "      receives one file per formula, 01.bmp to 24.bmp.\n"
    "  quorvane-mix convert IN OUT [--size WxH] [--filter F]\n"
    "      Read any picture the program reads and write it as a 32-bit BMP, optionally\n"
    "      scaled to W x H with filter F: nearest (default), draft, linear, cosine,\n"
    "      spline, lanczos or mitchell.\n"
    "  quorvane-mix formulas\n"
    "      List the 24 formulas as the formula box shows them.\n"
    "  quorvane-mix --help | --version\n"
    "\n"
    "Exit status: 0 on success, 1 when a file cannot be read or written, 2 for a bad\n"
    "command line. Output files are replaced only once they are complete.\n";

// A bad command line; the message is one line.
struct UsageError {
  std::string Message;
};

// A file that could not be read or written.
struct FileError {
  std::string FileName;
  std::string Message;
};

// The command line after the command word: positional words in order, and
// options with their values (--name value or --name=value).
struct ParsedArguments {
  std::vector<std::string> Positional;
  std::map<std::string, std::string> Options;
};

ParsedArguments Parse(const std::vector<std::string>& Words, size_t First,
                      const std::map<std::string, std::string>& Aliases) {
  ParsedArguments parsed;
  for (size_t i = First; i < Words.size(); ++i) {
    std::string word = Words[i];
    if (word.size() < 2 || word[0] != '-') {
      parsed.Positional.push_back(word);
      continue;
    }
    std::optional<std::string> value;
    if (const size_t eq = word.find('='); eq != std::string::npos && word.starts_with("--")) {
      value = word.substr(eq + 1);
      word.resize(eq);
    }
    const auto alias = Aliases.find(word);
    if (alias == Aliases.end()) throw UsageError{"unknown option \"" + word + "\""};
    if (!value) {
      if (i + 1 >= Words.size()) throw UsageError{"option \"" + word + "\" needs a value"};
      value = Words[++i];
    }
    if (!parsed.Options.emplace(alias->second, *value).second)
      throw UsageError{"option \"" + word + "\" given twice"};
  }
  return parsed;
}

std::optional<int32_t> ParseInt(std::string_view Text) {
  int32_t value = 0;
  const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), value);
  if (error != std::errc() || end != Text.data() + Text.size()) return std::nullopt;
  return value;
}

std::string OneLine(std::string Text) {
  for (char& c : Text)
    if (c == '\n' || c == '\r') c = ' ';
  return Text;
}

void ReadPicture(TBitmap32& Bitmap, const std::string& FileName) {
  try {
    Bitmap.ReadPictureFile(FileName);
  } catch (const Exception& e) {
    throw FileError{FileName, e.Message()};
  }
}

void LoadWeightmap(TBitmap32& Weightmap, const std::string& FileName) {
  try {
    LoadPictureIntoPane(Weightmap, FileName);
  } catch (const Exception& e) {
    throw FileError{FileName, e.Message()};
  }
}

void WritePicture(TBitmap32& Bitmap, const std::string& FileName) {
  try {
    WritePictureFileSafely(Bitmap, FileName);
  } catch (const Exception& e) {
    throw FileError{FileName, e.Message()};
  }
}

// The window's textures and weightmap, as its start-up leaves them.
struct Mixer {
  TBitmap32 TexA, TexB, Weightmap, Comb;
  TMixBitmaps Bitmaps{&TexA, &TexB, &Weightmap, &Comb};

  Mixer(const std::string& FileA, const std::string& FileB) {
    ReadPicture(TexA, FileA);
    ReadPicture(TexB, FileB);
    Weightmap.SetDimensions(256, 256);
  }

  TBitmap32& Mix(int32_t Formula) {
    RenderWeightmap(Weightmap, FormulaEntry(Formula));
    Recombine(Bitmaps);
    return Comb;
  }

  TBitmap32& Mix(const std::string& WeightmapFile) {
    LoadWeightmap(Weightmap, WeightmapFile);
    Recombine(Bitmaps);
    return Comb;
  }
};

int32_t FormulaNumber(const std::string& Text) {
  const auto n = ParseInt(Text);
  if (!n || *n < 1 || *n > FormulaCount)
    throw UsageError{"formula must be a number from 1 to 24 or \"all\", not \"" + Text + "\""};
  return *n;
}

void EnsureFolder(const std::string& Folder) {
  if (mkdir(Folder.c_str(), 0777) == 0 || errno == EEXIST) {
    struct stat info {};
    if (stat(Folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return;
    throw FileError{Folder, "Not a folder"};
  }
  throw FileError{Folder, std::string("Cannot create folder: ") + std::strerror(errno)};
}

std::string FormulaFileName(const std::string& Folder, int32_t Formula) {
  const char digits[] = {char('0' + Formula / 10), char('0' + Formula % 10), '\0'};
  return Folder + "/" + digits + ".bmp";
}

int RunMix(const std::vector<std::string>& Words) {
  const ParsedArguments args = Parse(
      Words, 1,
      {{"--formula", "formula"}, {"--weightmap", "weightmap"}, {"-o", "output"},
       {"--output", "output"}});
  if (args.Positional.size() != 2)
    throw UsageError{"mix needs two textures, A and B"};
  const auto option = [&](const char* Name) -> const std::string* {
    const auto found = args.Options.find(Name);
    return found == args.Options.end() ? nullptr : &found->second;
  };
  const std::string* formula = option("formula");
  const std::string* weightmap = option("weightmap");
  const std::string* output = option("output");
  if ((formula == nullptr) == (weightmap == nullptr))
    throw UsageError{"mix needs either --formula or --weightmap"};
  if (output == nullptr) throw UsageError{"mix needs an output: -o OUT"};
  const bool all = formula != nullptr && *formula == "all";
  const int32_t number = formula != nullptr && !all ? FormulaNumber(*formula) : 0;

  BuildCosTab();
  Mixer mixer(args.Positional[0], args.Positional[1]);
  if (weightmap != nullptr) {
    WritePicture(mixer.Mix(*weightmap), *output);
  } else if (all) {
    EnsureFolder(*output);
    for (int32_t n = 1; n <= FormulaCount; ++n)
      WritePicture(mixer.Mix(n), FormulaFileName(*output, n));
  } else {
    WritePicture(mixer.Mix(number), *output);
  }
  return 0;
}

const std::map<std::string, TStretchFilter>& FilterNames() {
  static const std::map<std::string, TStretchFilter> names = {
      {"nearest", sfNearest}, {"draft", sfDraft},     {"linear", sfLinear},
      {"cosine", sfCosine},   {"spline", sfSpline},   {"lanczos", sfLanczos},
      {"mitchell", sfMitchell},
  };
  return names;
}

int RunConvert(const std::vector<std::string>& Words) {
  const ParsedArguments args =
      Parse(Words, 1, {{"--size", "size"}, {"--filter", "filter"}});
  if (args.Positional.size() != 2) throw UsageError{"convert needs an input and an output file"};

  TStretchFilter filter = sfNearest;
  if (const auto found = args.Options.find("filter"); found != args.Options.end()) {
    const auto name = FilterNames().find(found->second);
    if (name == FilterNames().end())
      throw UsageError{"unknown filter \"" + found->second + "\""};
    filter = name->second;
  }
  std::optional<std::pair<int32_t, int32_t>> size;
  if (const auto found = args.Options.find("size"); found != args.Options.end()) {
    const std::string& text = found->second;
    const size_t x = text.find_first_of("xX");
    const auto w = x == std::string::npos ? std::nullopt : ParseInt(std::string_view(text).substr(0, x));
    const auto h = x == std::string::npos ? std::nullopt : ParseInt(std::string_view(text).substr(x + 1));
    if (!w || !h || *w < 1 || *h < 1 || *w > 65536 || *h > 65536)
      throw UsageError{"size must be WxH with W and H from 1 to 65536, not \"" + text + "\""};
    size = std::pair{*w, *h};
  }

  TBitmap32 picture;
  ReadPicture(picture, args.Positional[0]);
  if (!size) {
    WritePicture(picture, args.Positional[1]);
    return 0;
  }
  TBitmap32 scaled;
  try {
    scaled.SetDimensions(size->first, size->second);
  } catch (const Exception& e) {
    throw FileError{args.Positional[1], e.Message()};
  }
  picture.SetDrawMode(dmOpaque);
  picture.SetStretchFilter(filter);
  picture.DrawInto(&scaled, scaled.FullRect());
  WritePicture(scaled, args.Positional[1]);
  return 0;
}

int RunFormulas(const std::vector<std::string>& Words, std::ostream& Out) {
  if (Words.size() > 1) throw UsageError{"formulas takes no arguments"};
  for (int32_t n = 1; n <= FormulaCount; ++n) Out << FormulaText(n) << '\n';
  return 0;
}

}  // namespace

int RunMixTool(const std::vector<std::string>& Arguments, std::ostream& Out, std::ostream& Err) {
  try {
    if (Arguments.empty()) throw UsageError{"no command given"};
    const std::string& command = Arguments[0];
    if (command == "--help" || command == "-h") {
      Out << kHelp;
      return 0;
    }
    if (command == "--version") {
      Out << kProgram << ' ' << QUORVANE_VERSION << '\n';
      return 0;
    }
    if (command == "mix") return RunMix(Arguments);
    if (command == "convert") return RunConvert(Arguments);
    if (command == "formulas") return RunFormulas(Arguments, Out);
    throw UsageError{"unknown command \"" + command + "\""};
  } catch (const UsageError& e) {
    Err << kProgram << ": " << e.Message << " (see " << kProgram << " --help)\n";
    return kExitUsageError;
  } catch (const FileError& e) {
    Err << kProgram << ": " << e.FileName << ": " << OneLine(e.Message) << '\n';
    return kExitFileError;
  } catch (const std::exception& e) {
    // Anything else that stopped the work, such as memory for a huge picture.
    Err << kProgram << ": " << OneLine(e.what()) << '\n';
    return kExitFileError;
  }
}
