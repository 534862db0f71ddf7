#pragma once

// Builds metafiles record by record for the tests: enhanced metafiles with
// a frame and a reference device of 96 pixels per inch, and Windows
// metafiles with or without a placeable header.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mf {

inline void Put16(std::vector<uint8_t>& Out, uint32_t V) {
  Out.push_back(uint8_t(V));
  Out.push_back(uint8_t(V >> 8));
}
inline void Put32(std::vector<uint8_t>& Out, uint32_t V) {
  for (int i = 0; i < 4; ++i) Out.push_back(uint8_t(V >> (8 * i)));
}

class EmfWriter {
public:
  // Each value of Fields is one 32-bit field after the type and size.
  EmfWriter& Add(uint32_t Type, const std::vector<int32_t>& Fields = {}) {
    Put32(records_, Type);
    Put32(records_, uint32_t(8 + 4 * Fields.size()));
    for (int32_t f : Fields) Put32(records_, uint32_t(f));
    ++count_;
    return *this;
  }
  // A record with a size of the test's choosing, whatever it holds.
  EmfWriter& AddRaw(uint32_t Type, uint32_t Size, const std::vector<int32_t>& Fields = {}) {
    Put32(records_, Type);
    Put32(records_, Size);
    for (int32_t f : Fields) Put32(records_, uint32_t(f));
    ++count_;
    return *this;
  }

  // Frame in hundredths of a millimetre; the reference device has 96
  // pixels per inch (960 pixels on 254 millimetres).
  std::vector<uint8_t> Bytes(int32_t FrameRight, int32_t FrameBottom, bool WithEof = true) const {
    std::vector<uint8_t> records = records_;
    if (WithEof) {
      Put32(records, 14);
      Put32(records, 20);
      Put32(records, 0);
      Put32(records, 0x10);
      Put32(records, 20);
    }
    std::vector<uint8_t> out;
    Put32(out, 1);
    Put32(out, 88);
    for (int64_t v : {int64_t(0), int64_t(0), int64_t(FrameRight) * 96 / 2540, int64_t(FrameBottom) * 96 / 2540})
      Put32(out, uint32_t(v));
    for (int32_t v : {0, 0, FrameRight, FrameBottom}) Put32(out, uint32_t(v));
    Put32(out, 0x464D4520);
    Put32(out, 0x10000);
    Put32(out, uint32_t(88 + records.size()));
    Put32(out, count_ + 2);
    Put16(out, Handles);
    Put16(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    for (int32_t v : {960, 960, 254, 254}) Put32(out, uint32_t(v));
    out.insert(out.end(), records.begin(), records.end());
    return out;
  }

  uint16_t Handles = 8;

private:
  std::vector<uint8_t> records_;
  uint32_t count_ = 0;
};

class WmfWriter {
public:
  // Each value of Words is one 16-bit parameter, in the file's order.
  WmfWriter& Add(uint16_t Function, const std::vector<int32_t>& Words = {}) {
    return AddRaw(Function, uint32_t(3 + Words.size()), Words);
  }
  WmfWriter& AddRaw(uint16_t Function, uint32_t SizeInWords, const std::vector<int32_t>& Words = {}) {
    Put32(records_, SizeInWords);
    Put16(records_, Function);
    for (int32_t w : Words) Put16(records_, uint32_t(w));
    return *this;
  }

  std::vector<uint8_t> Plain(bool WithEof = true) const {
    std::vector<uint8_t> records = records_;
    if (WithEof) {
      Put32(records, 3);
      Put16(records, 0);
    }
    std::vector<uint8_t> out;
    Put16(out, 1);
    Put16(out, 9);
    Put16(out, 0x0300);
    Put32(out, uint32_t((18 + records.size()) / 2));
    Put16(out, Objects);
    Put32(out, 0);
    Put16(out, 0);
    out.insert(out.end(), records.begin(), records.end());
    return out;
  }

  std::vector<uint8_t> Placeable(int16_t Left, int16_t Top, int16_t Right, int16_t Bottom,
                                 uint16_t UnitsPerInch) const {
    std::vector<uint8_t> out;
    Put32(out, 0x9AC6CDD7);
    Put16(out, 0);
    for (int16_t v : {Left, Top, Right, Bottom}) Put16(out, uint16_t(v));
    Put16(out, UnitsPerInch);
    Put32(out, 0);
    uint16_t sum = 0;
    for (std::size_t i = 0; i < out.size(); i += 2) sum ^= uint16_t(out[i] | out[i + 1] << 8);
    Put16(out, sum);
    const std::vector<uint8_t> plain = Plain();
    out.insert(out.end(), plain.begin(), plain.end());
    return out;
  }

  uint16_t Objects = 8;

private:
  std::vector<uint8_t> records_;
};

}  // namespace mf
