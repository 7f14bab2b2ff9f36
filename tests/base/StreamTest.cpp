#include <gtest/gtest.h>

#include "TempDir.h"

#include <filesystem>
#include <random>

#include "base/FileStream.h"
#include "base/MemoryStream.h"
#include "base/ZlibStream.h"

namespace movara {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(MemoryStream, WriteSeekOverwriteRead) {
  TMemoryStream s;
  s.Write("abcdef", 6);
  s.Seek(2);
  s.Write("XYZW", 4);
  s.Write("!", 1);
  EXPECT_EQ(s.Size(), 7u);
  s.Seek(0);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 8), 7u);
  EXPECT_STREQ(buf, "abXYZW!");
  EXPECT_EQ(s.Read(buf, 1), 0u);
  EXPECT_THROW(s.Seek(8), StreamError);
}

TEST(MemoryStream, ReadBufferThrowsOnShortData) {
  const Bytes data{1, 2, 3};
  TMemoryViewStream s(data);
  std::uint8_t buf[4];
  EXPECT_THROW(s.ReadBuffer(buf, 4), StreamError);
  TMemoryViewStream t(data);
  t.ReadBuffer(buf, 3);
  EXPECT_EQ(t.Remaining(), 0u);
  EXPECT_THROW(t.Write(buf, 1), StreamError);
}

TEST(FileStream, RoundTripAndClearErrors) {
  const test::TempDir dir;
  const auto path = dir.path / "movara-stream-test.bin";
  WriteFileBytes(path, Bytes{9, 8, 7});
  EXPECT_EQ(ReadFileBytes(path), (Bytes{9, 8, 7}));
  std::filesystem::remove(path);
  try {
    ReadFileBytes(path);
    FAIL() << "reading a missing file must throw";
  } catch (const StreamError& e) {
    EXPECT_NE(std::string(e.what()).find("movara-stream-test.bin"), std::string::npos);
  }
}

TEST(Zlib, DeflatesInTheZlibFormatAndCountsConsumedInput) {
  Bytes data(300000);
  std::mt19937 rng(1);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i % 7 == 0 ? rng() : i);
  TMemoryStream out;
  int notifications = 0;
  {
    TCompressionStream z(out);
    z.OnProgress = [&](TCompressionStream& sender) {
      ++notifications;
      EXPECT_GT(sender.Position(), 0u);
    };
    z.Write(data.data(), 1000);
    EXPECT_EQ(z.Position(), 1000u);
    z.Write(data.data() + 1000, data.size() - 1000);
    z.Finish();
    EXPECT_EQ(z.Position(), data.size());
    EXPECT_THROW(z.Write(data.data(), 1), StreamError);
  }
  const Bytes& packed = out.Bytes();
  ASSERT_GT(packed.size(), 2u);
  EXPECT_EQ(packed[0], 0x78);  // deflate, 32 KiB window
  EXPECT_EQ(packed[1], 0x9C);  // default level
  EXPECT_EQ(ZlibCompress(data), packed);
  EXPECT_EQ(ZlibDecompress(packed, data.size()), data);
  EXPECT_EQ(notifications, static_cast<int>(packed.size() / TCompressionStream::kBufferSize));

  TMemoryViewStream source(packed);
  TDecompressionStream in(source);
  Bytes back(data.size());
  in.ReadBuffer(back.data(), back.size());
  EXPECT_EQ(back, data);
  std::uint8_t extra;
  EXPECT_EQ(in.Read(&extra, 1), 0u);
}

TEST(Zlib, HostileDataIsBounded) {
  const Bytes zeros(1 << 20, 0);
  const Bytes bomb = ZlibCompress(zeros);
  EXPECT_THROW(ZlibDecompress(bomb, 1000), StreamError);
  EXPECT_THROW(ZlibDecompress(std::span(bomb).first(bomb.size() / 2), 1 << 21), StreamError);
  EXPECT_THROW(ZlibDecompress(Bytes{1, 2, 3, 4}, 100), StreamError);
}

}  // namespace
}  // namespace movara
