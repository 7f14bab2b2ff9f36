#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "FlvBuilder.h"
#include "SoundBytes.h"
#include "base/FileStream.h"
#include "media/FLVReader.h"

namespace movara::media {
namespace {

using test::FlvBuilder;
using Bytes = std::vector<std::uint8_t>;

const std::filesystem::path kData = std::filesystem::path(MOVARA_TEST_DATA_DIR) / "flv";

std::string LoadError(const Bytes& bytes) {
  TFLVReader reader;
  try {
    reader.LoadFromBytes(bytes);
  } catch (const FLVError& e) {
    return e.what();
  }
  return "(loaded)";
}

// A one-frame H.263 video of 16 x 8 pixels.
FlvBuilder OneFrame() {
  FlvBuilder flv;
  flv.Video(0, 1, kFLVCodecH263, FlvBuilder::H263Picture(16, 8));
  return flv;
}

TEST(FLVReader, RealFilesFromAnEncoder) {
  TFLVReader mp3;
  mp3.LoadFromFile(kData / "colors-h263-mp3.flv");
  EXPECT_EQ(mp3.VideoCodec(), kFLVCodecH263);
  EXPECT_EQ(mp3.Width(), 64);
  EXPECT_EQ(mp3.Height(), 48);
  ASSERT_EQ(mp3.VideoFrames().size(), 12u);
  EXPECT_TRUE(mp3.VideoFrames()[0].KeyFrame);
  EXPECT_EQ(mp3.VideoFrames()[0].Size, 87u);
  EXPECT_EQ(mp3.VideoFrames()[0].Timestamp, 50u);
  EXPECT_DOUBLE_EQ(mp3.FrameRate(), 12);
  ASSERT_TRUE(mp3.HasAudio());
  EXPECT_EQ(mp3.AudioFormat(), (TFLVAudioFormat{kFLVSoundMP3, 2, true, false}));
  EXPECT_EQ(mp3.AudioPackets().size(), 41u);
  // One MPEG-2 layer III frame of 576 samples a packet.
  ASSERT_EQ(mp3.SoundFrames().size(), 41u);
  EXPECT_EQ(mp3.SampleRate(), 22050u);
  for (const auto& f : mp3.SoundFrames()) EXPECT_EQ(f.Samples, 576u);
  EXPECT_EQ(mp3.Payload(mp3.SoundFrames()[0])[0], 0xFF);

  TFLVReader pcm;
  pcm.LoadFromFile(kData / "colors-h263-pcm.flv");
  EXPECT_EQ(pcm.AudioFormat(), (TFLVAudioFormat{kFLVSoundPCM, 0, false, false}));
  std::size_t samples = 0;
  for (const auto& p : pcm.AudioPackets()) samples += p.Size;
  EXPECT_EQ(samples, 5512u);
  EXPECT_EQ(pcm.SampleRate(), 5512u);
  ASSERT_EQ(pcm.SoundFrames().size(), 6u);
  EXPECT_EQ(pcm.SoundFrames()[0].Samples, 1024u);
  EXPECT_FALSE(pcm.VideoFrames()[1].KeyFrame);

  TFLVReader screen;
  screen.LoadFromFile(kData / "colors-screen.flv");
  EXPECT_EQ(screen.VideoCodec(), kFLVCodecScreenVideo);
  EXPECT_EQ(screen.Width(), 64);
  EXPECT_EQ(screen.Height(), 48);
  EXPECT_FALSE(screen.HasAudio());
}

TEST(FLVReader, PictureSizesOfEachCodec) {
  struct Case {
    const char* name;
    std::uint8_t codec;
    Bytes packet;
    std::uint16_t width, height;
  };
  const Case cases[] = {
      {"H.263 size in 8 bits", kFLVCodecH263, FlvBuilder::H263Picture(40, 30), 40, 30},
      {"H.263 size in 16 bits", kFLVCodecH263,
       FlvBuilder::BitPack({{1, 17}, {1, 5}, {0, 8}, {1, 3}, {1000, 16}, {600, 16}}), 1000, 600},
      {"H.263 QCIF by code", kFLVCodecH263, FlvBuilder::BitPack({{1, 17}, {0, 5}, {9, 8}, {3, 3}, {0, 5}}), 176, 144},
      {"Screen Video", kFLVCodecScreenVideo, FlvBuilder::BitPack({{3, 4}, {100, 12}, {3, 4}, {70, 12}}), 100, 70},
      // Adjustment 0x21: two columns and one row fewer than the macroblocks.
      {"VP6 key frame", kFLVCodecVP6, {0x21, 0x00, 0x46, 3, 5, 3, 5}, 78, 47},
      {"VP6 with separate coefficients skips their offset", kFLVCodecVP6, {0x00, 0x01, 0x46, 0, 0, 2, 4, 2, 4},
       64, 32},
      {"VP6 with alpha: adjustment, alpha offset, frame", kFLVCodecVP6Alpha, {0x00, 0, 0, 6, 0x00, 0x46, 1, 1, 1, 1},
       16, 16},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FlvBuilder flv;
    flv.Video(0, 1, c.codec, c.packet);
    TFLVReader reader;
    reader.LoadFromBytes(flv.Build());
    EXPECT_EQ(reader.Width(), c.width);
    EXPECT_EQ(reader.Height(), c.height);
  }
}

TEST(FLVReader, MP3PacketsHoldWholeFrames) {
  Bytes two = test::Mp3Frame44();
  const Bytes padded = test::Mp3Frame44(true);
  two.insert(two.end(), padded.begin(), padded.end());
  TFLVReader reader;
  reader.LoadFromBytes(OneFrame().Audio(0, kFLVSoundMP3, 3, true, true, two).Audio(26, kFLVSoundMP3, 3, true, true, {}).Build());
  ASSERT_EQ(reader.SoundFrames().size(), 2u);
  EXPECT_EQ(reader.SoundFrames()[0].Size, 417u);
  EXPECT_EQ(reader.SoundFrames()[1].Size, 418u);
  EXPECT_EQ(reader.SoundFrames()[1].Samples, 1152u);
  EXPECT_EQ(reader.SampleRate(), 44100u);

  const Bytes cut(two.begin(), two.begin() + 100);
  const auto mp3 = [](const Bytes& packet) {
    return OneFrame().Audio(0, kFLVSoundMP3, 3, true, true, packet).Build();
  };
  EXPECT_EQ(LoadError(mp3({1, 2, 3, 4})), "the audio tag at offset 36 holds no MP3 frame at offset 48");
  EXPECT_EQ(LoadError(mp3(cut)), "the audio tag at offset 36 cuts an MP3 frame short");
  EXPECT_EQ(LoadError(mp3(test::MpegFrame(0xFD, 0x90, 0x44, 417))),
            "the audio tag at offset 36 holds no MP3 frame at offset 48") << "layer II";
  // MPEG-1 layer III at 48000 Hz after one at 44100 Hz.
  EXPECT_EQ(LoadError(OneFrame()
                          .Audio(0, kFLVSoundMP3, 3, true, true, test::Mp3Frame44())
                          .Audio(26, kFLVSoundMP3, 3, true, true, test::MpegFrame(0xFB, 0x94, 0x44, 384))
                          .Build()),
            "the audio tag at offset 469 changes the MP3 sample rate");
}

TEST(FLVReader, SkipsScriptDataAndCommandFrames) {
  FlvBuilder flv;
  flv.Tag(18, 0, {2, 0, 3, 'a', 'b', 'c'});
  flv.Video(0, 5, kFLVCodecH263, {0});
  flv.Video(0, 1, kFLVCodecH263, FlvBuilder::H263Picture(16, 8));
  flv.Video(100, 2, kFLVCodecH263, {1, 2, 3});
  flv.Video(200, 3, kFLVCodecH263, {4});
  TFLVReader reader;
  reader.LoadFromBytes(flv.Build());
  ASSERT_EQ(reader.VideoFrames().size(), 3u);
  EXPECT_EQ(reader.Payload(reader.VideoFrames()[1]).size(), 3u);
  EXPECT_FALSE(reader.VideoFrames()[2].KeyFrame);
  EXPECT_DOUBLE_EQ(reader.FrameRate(), 10);

  TFLVReader single;
  single.LoadFromBytes(OneFrame().Build());
  EXPECT_EQ(single.FrameRate(), 0);
}

// Every hostile file fails with its own message, before anything beyond the
// file is read.
TEST(FLVReader, HostileFilesAndTheirMessages) {
  struct Case {
    const char* name;
    Bytes bytes;
    std::string message;
  };
  std::vector<Case> cases;
  cases.push_back({"empty", {}, "not an FLV file"});
  {
    auto flv = OneFrame();
    flv.Raw()[3] = 2;
    cases.push_back({"version 2", flv.Build(), "FLV version 2 is not known"});
  }
  {
    auto flv = OneFrame();
    flv.Raw()[8] = 200;
    cases.push_back({"first tag beyond the file", flv.Build(), "the header puts the first tag at offset 200, outside the file"});
  }
  {
    auto flv = OneFrame();
    flv.Raw()[12] = 1;
    cases.push_back({"size before the first tag", flv.Build(), "the size before the first tag is not 0"});
  }
  cases.push_back({"tag header cut", OneFrame().Append({9, 0, 0}).Build(),
                   "the tag at offset 36 is cut short in its header"});
  {
    FlvBuilder flv;
    flv.RawTag(9, 0, 5000, {0x12, 0, 0}, 5011);
    cases.push_back({"tag longer than the file", flv.Build(),
                     "the tag at offset 13 declares 5000 bytes, the file ends first"});
  }
  {
    FlvBuilder flv;
    Bytes data{0x12};
    const Bytes picture = FlvBuilder::H263Picture(16, 8);
    data.insert(data.end(), picture.begin(), picture.end());
    flv.RawTag(9, 0, 8, data, 99);
    cases.push_back({"size after a tag lies", flv.Build(),
                     "the tag at offset 13 is 19 bytes long, the size after it says 99"});
  }
  cases.push_back({"encrypted", FlvBuilder().Tag(0x29, 0, {0x12}).Build(), "the tag at offset 13 is encrypted"});
  cases.push_back({"no video", FlvBuilder().Tag(18, 0, {2}).Build(), "the file holds no video frames"});
  cases.push_back({"H.264", FlvBuilder().Video(0, 1, 7, {1, 0, 0, 0}).Build(),
                   "the video is H.264 (codec 7), which a movie cannot carry; it can carry Sorenson H.263, "
                   "Screen Video and VP6"});
  cases.push_back({"AAC", OneFrame().Audio(0, 10, 3, true, true, {0, 0x12}).Build(),
                   "the sound is AAC (format 10), which a movie cannot stream; it can stream MP3 and uncompressed "
                   "sound"});
  cases.push_back({"codec changes", OneFrame().Video(10, 1, kFLVCodecScreenVideo, {0x30, 0x10, 0x30, 0x10}).Build(),
                   "the video tag at offset 36 changes the codec"});
  cases.push_back({"sound format changes",
                   OneFrame().Audio(0, kFLVSoundMP3, 3, true, false, {}).Audio(0, kFLVSoundMP3, 2, true, false, {}).Build(),
                   "the audio tag at offset 52 changes the sound format"});
  cases.push_back({"half a 16-bit sample", OneFrame().Audio(0, kFLVSoundPCMLittleEndian, 1, true, false, {1, 2, 3}).Build(),
                   "the audio tag at offset 36 does not hold whole samples"});
  cases.push_back({"empty video tag", FlvBuilder().Tag(9, 0, {}).Build(), "the video tag at offset 13 is empty"});
  cases.push_back({"empty audio tag", OneFrame().Tag(8, 0, {}).Build(), "the audio tag at offset 36 is empty"});
  cases.push_back({"frame type 0", FlvBuilder().Video(0, 0, kFLVCodecH263, {0}).Build(),
                   "the video tag at offset 13 has the unknown frame type 0"});
  cases.push_back({"no picture", FlvBuilder().Video(0, 1, kFLVCodecVP6, {0x00}).Build(),
                   "the video tag at offset 13 holds no picture"});
  cases.push_back({"alpha beyond the frame", FlvBuilder().Video(0, 1, kFLVCodecVP6Alpha, {0, 0, 0, 9, 0x00}).Build(),
                   "the video tag at offset 13 puts its alpha data beyond its end"});
  cases.push_back({"no H.263 start code", FlvBuilder().Video(0, 1, kFLVCodecH263, {0, 1, 0, 0, 0, 0}).Build(),
                   "the first video frame does not start with an H.263 picture start code"});
  cases.push_back({"H.263 header cut", FlvBuilder().Video(0, 1, kFLVCodecH263, {0, 0, 0x80}).Build(),
                   "the first video frame is too short for its H.263 picture header"});
  cases.push_back({"H.263 reserved size",
                   FlvBuilder().Video(0, 1, kFLVCodecH263, FlvBuilder::BitPack({{1, 17}, {0, 5}, {0, 8}, {7, 3}})).Build(),
                   "the first video frame has a reserved H.263 picture size"});
  cases.push_back({"zero width", FlvBuilder().Video(0, 1, kFLVCodecH263, FlvBuilder::H263Picture(0, 8)).Build(),
                   "the first video frame gives the picture size 0 x 8"});
  cases.push_back({"VP6 inter frame first", FlvBuilder().Video(0, 1, kFLVCodecVP6, {0x00, 0x80, 0x46}).Build(),
                   "the first VP6 frame is not a key frame"});
  cases.push_back({"VP6 header cut", FlvBuilder().Video(0, 1, kFLVCodecVP6, {0x00, 0x00, 0x46, 1}).Build(),
                   "the first video frame is too short for its VP6 picture header"});
  cases.push_back({"VP6 of no macroblocks", FlvBuilder().Video(0, 1, kFLVCodecVP6, {0x00, 0x00, 0x46, 0, 0, 0, 0}).Build(),
                   "the first video frame gives the picture size 0 x 0"});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LoadError(c.bytes), c.message);
  }
}

TEST(FLVReader, AtMostTheFramesAMovieCanNumber) {
  FlvBuilder flv = OneFrame();
  for (std::size_t i = 1; i < TFLVReader::kMaxVideoFrames; ++i) flv.Video(0, 2, kFLVCodecH263, {0});
  TFLVReader reader;
  reader.LoadFromBytes(flv.Build());
  EXPECT_EQ(reader.VideoFrames().size(), TFLVReader::kMaxVideoFrames);
  flv.Video(0, 2, kFLVCodecH263, {0});
  EXPECT_EQ(LoadError(flv.Build()), "the video has more than 65535 frames, more than a movie can number");
}

// A file cut anywhere either fails with an FLVError or, cut between tags,
// reads the frames before the cut.
TEST(FLVReader, CutAtEveryOffset) {
  const Bytes whole = ReadFileBytes(kData / "colors-h263-mp3.flv");
  std::size_t loaded = 0;
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    TFLVReader reader;
    try {
      reader.LoadFromBytes(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)));
      ++loaded;
      EXPECT_LT(reader.VideoFrames().size() + reader.AudioPackets().size(), 53u) << "cut at " << cut;
    } catch (const FLVError&) {
    }
  }
  // The cuts just after the trailing size of a tag, from the first video
  // tag (the fourth of 54) to the last but one.
  EXPECT_EQ(loaded, 50u);
}

}  // namespace
}  // namespace movara::media
