#include "platform/colors.h"
#include "platform/exceptions.h"
#include "platform/streams.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(MemoryStream, WritesReadsAndSeeks) {
  TMemoryStream stream;
  const uint32_t values[2] = {0x01020304, 0xA0B0C0D0};
  stream.WriteBuffer(values, sizeof values);
  EXPECT_EQ(stream.Size(), 8);
  EXPECT_EQ(stream.Memory()[0], 0x04);

  stream.SetPosition(4);
  uint32_t read = 0;
  stream.ReadBuffer(&read, 4);
  EXPECT_EQ(read, 0xA0B0C0D0u);
  EXPECT_EQ(stream.Position(), 8);
}

TEST(MemoryStream, ShortReadRaisesAndReportsWhatWasThere) {
  TMemoryStream stream;
  const uint8_t bytes[3] = {1, 2, 3};
  stream.WriteBuffer(bytes, 3);
  stream.SetPosition(0);

  uint8_t buffer[8] = {};
  EXPECT_THROW(stream.ReadBuffer(buffer, 8), EReadError);
  stream.SetPosition(1);
  EXPECT_EQ(stream.Read(buffer, 8), 2);
  EXPECT_EQ(buffer[0], 2);
}

TEST(SystemColors, ClassicTableAndOutOfRange) {
  EXPECT_EQ(GetSysColor(clBtnFace & 0xFF), 0x00C8D0D4u);
  EXPECT_EQ(GetSysColor(clAppWorkSpace & 0xFF), 0x00808080u);
  EXPECT_EQ(GetSysColor(cl3DLight & 0xFF), 0x00C8D0D4u);
  EXPECT_EQ(GetSysColor(-1), 0u);
  EXPECT_EQ(GetSysColor(200), 0u);
}

}  // namespace
