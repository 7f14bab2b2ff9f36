#include <gtest/gtest.h>

#include "SoundBytes.h"
#include "base/FileStream.h"
#include "base/MemoryStream.h"
#include "media/AudioFile.h"
#include "media/MPEGAudio.h"

namespace movara::media {
namespace {

using test::Bytes;
using test::Chunk;
using test::Concat;
using test::FormatBody;
using test::Mp3Frame44;
using test::MpegFrame;
using test::Repeat;
using test::Riff;

TAudioFileInfo Read(const Bytes& bytes) {
  TMemoryViewStream stream(bytes);
  return ReadAudioStream(stream);
}

std::string ErrorOf(const Bytes& bytes) {
  try {
    Read(bytes);
  } catch (const AudioFileError& e) {
    return e.what();
  }
  return "no error";
}

// Figures of the checked-in files as ffprobe reports them (see the README
// beside them): sample rate, channels, bits, samples (PCM: duration_ts;
// MPEG: packets x samples per frame), MPEG packets, the first audio byte and
// the end of the last frame, and ffprobe's duration.
struct RealFile {
  const char* name;
  std::uint16_t formatTag;
  std::uint32_t rate;
  std::uint16_t channels;
  std::uint16_t bits;
  std::uint64_t samples;
  std::size_t frames;
  std::uint64_t dataStart;
  std::uint64_t dataEnd;
  double duration;
};

const RealFile kRealFiles[] = {
    {"tone-11025-u8-mono.wav", 1, 11025, 1, 8, 5512, 0, 44, 5556, 0.499955},
    {"tone-22050-s16-mono.wav", 1, 22050, 1, 16, 5512, 0, 44, 11068, 0.249977},
    {"tone-22050-u8-stereo.wav", 1, 22050, 2, 8, 2205, 0, 44, 4454, 0.1},
    {"tone-44100-s16-stereo.wav", 1, 44100, 2, 16, 2205, 0, 44, 8864, 0.05},
    {"tone-11025-s16-extensible.wav", 1, 11025, 1, 16, 2205, 0, 102, 4512, 0.2},
    {"tone-48000-s16-mono.wav", 1, 48000, 1, 16, 960, 0, 44, 1964, 0.02},
    {"tone-22050-s24-mono.wav", 1, 22050, 1, 24, 441, 0, 80, 1403, 0.02},
    {"tone-22050-mp3-in.wav", 85, 22050, 1, 16, 14 * 576, 14, 104, 1567, 0.350113},
    {"tone-44100-cbr-stereo-id3.mp3", 85, 44100, 2, 16, 13 * 1152, 13, 556, 5989, 0.339592},
    {"tone-22050-vbr-mono-id3.mp3", 85, 22050, 1, 16, 22 * 576, 22, 310, 3591, 0.574694},
    {"tone-48000-cbr-mono.mp3", 85, 48000, 1, 16, 22 * 1152, 22, 0, 2112, 0.528},
    {"tone-32000-cbr-mono.mp3", 85, 32000, 1, 16, 15 * 1152, 15, 0, 2160, 0.54},
    {"tone-24000-cbr-mono.mp3", 85, 24000, 1, 16, 23 * 576, 23, 0, 2208, 0.552},
    {"tone-16000-cbr-mono.mp3", 85, 16000, 1, 16, 16 * 576, 16, 0, 2304, 0.576},
    {"tone-12000-cbr-mono.mp3", 85, 12000, 1, 16, 13 * 576, 13, 0, 2496, 0.624},
    {"tone-11025-cbr-mono.mp3", 85, 11025, 1, 16, 12 * 576, 12, 0, 2507, 0.62675},
    {"tone-8000-cbr-mono.mp3", 85, 8000, 1, 16, 9 * 576, 9, 0, 2592, 0.648},
    {"tone-44100-layer2.mp2", 80, 44100, 1, 16, 20 * 1152, 20, 0, 4179, 0.522375},
};

TEST(AudioReader, RealFilesAgreeWithFfprobe) {
  for (const RealFile& f : kRealFiles) {
    SCOPED_TRACE(f.name);
    const TAudioFileInfo info = ReadAudioFile(test::SoundData(f.name));
    EXPECT_EQ(info.FormatTag, f.formatTag);
    EXPECT_EQ(info.SampleRate, f.rate);
    EXPECT_EQ(info.Channels, f.channels);
    EXPECT_EQ(info.BitsPerSample, f.bits);
    EXPECT_EQ(info.SampleCount, f.samples);
    EXPECT_EQ(info.Frames.size(), f.frames);
    EXPECT_EQ(info.DataStart, f.dataStart);
    EXPECT_EQ(info.DataStart + info.DataSize, f.dataEnd);
    // ffprobe estimates some MPEG durations from the bit rate: within a frame.
    const double frameTime = info.IsMPEG() ? double(info.SamplesPerMPEGFrame) / f.rate : 1.0 / f.rate;
    EXPECT_NEAR(info.Duration, f.duration, frameTime);
    if (info.IsMPEG()) {
      // The frames lie end to end from the data's start to its end.
      std::uint64_t at = info.DataStart;
      for (const TMPEGFrame& frame : info.Frames) {
        EXPECT_EQ(frame.Offset, at);
        at += frame.Size;
      }
      EXPECT_EQ(at, f.dataEnd);
    }
  }
}

TEST(AudioReader, OtherWavEncodingsAreReportedAsTheyAre) {
  EXPECT_EQ(ReadAudioFile(test::SoundData("tone-22050-msadpcm.wav")).FormatTag, 2);
  EXPECT_EQ(ReadAudioFile(test::SoundData("tone-22050-alaw.wav")).FormatTag, 6);
  const TAudioFileInfo f32 = ReadAudioFile(test::SoundData("tone-22050-f32-mono.wav"));
  EXPECT_EQ(f32.FormatTag, 3);
  EXPECT_EQ(f32.BitsPerSample, 32);
}

TEST(AudioReader, MpegHeaderTables) {
  struct Case {
    std::uint8_t b1, b2, b3;
    std::uint8_t version, layer;
    std::uint32_t bitRate, rate;
    std::uint16_t samples;
    std::uint32_t size;
  };
  const Case cases[] = {
      {0xFB, 0x90, 0x44, 10, 3, 128000, 44100, 1152, 417},  // MPEG-1 layer III
      {0xFB, 0x92, 0x44, 10, 3, 128000, 44100, 1152, 418},  // padded
      {0xFB, 0x94, 0xC4, 10, 3, 128000, 48000, 1152, 384},
      {0xFB, 0xE8, 0xC4, 10, 3, 320000, 32000, 1152, 1440},
      {0xF3, 0x80, 0xC4, 20, 3, 64000, 22050, 576, 208},    // MPEG-2 layer III
      {0xE3, 0x10, 0xC4, 25, 3, 8000, 11025, 576, 52},      // MPEG-2.5 layer III
      {0xE3, 0x18, 0xC4, 25, 3, 8000, 8000, 576, 72},
      {0xFD, 0x80, 0xC4, 10, 2, 128000, 44100, 1152, 417},  // MPEG-1 layer II
      {0xFF, 0x90, 0xC4, 10, 1, 288000, 44100, 384, 312},   // MPEG-1 layer I
      {0xFF, 0x92, 0xC4, 10, 1, 288000, 44100, 384, 316},   // layer I pads by a 4-byte slot
      {0xF7, 0x90, 0xC4, 20, 1, 144000, 22050, 384, 312},   // MPEG-2 layer I
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << int(c.b1) << " " << int(c.b2));
    const std::uint8_t bytes[4] = {0xFF, c.b1, c.b2, c.b3};
    TMPEGHeader h;
    ASSERT_EQ(DecodeMPEGHeader(bytes, h), TMPEGHeaderKind::Valid);
    EXPECT_EQ(h.Version, c.version);
    EXPECT_EQ(h.Layer, c.layer);
    EXPECT_EQ(h.BitRate, c.bitRate);
    EXPECT_EQ(h.SampleRate, c.rate);
    EXPECT_EQ(h.SamplesPerFrame, c.samples);
    EXPECT_EQ(h.FrameSize, c.size);
  }
  TMPEGHeader h;
  const std::uint8_t freeFormat[4] = {0xFF, 0xFB, 0x00, 0x44};
  EXPECT_EQ(DecodeMPEGHeader(freeFormat, h), TMPEGHeaderKind::FreeFormat);
  for (const auto& bad : {std::array<std::uint8_t, 4>{0xFF, 0xEB, 0x90, 0x44},    // reserved version
                          std::array<std::uint8_t, 4>{0xFF, 0xF9, 0x90, 0x44},    // reserved layer
                          std::array<std::uint8_t, 4>{0xFF, 0xFB, 0xF0, 0x44},    // bit-rate index 15
                          std::array<std::uint8_t, 4>{0xFF, 0xFB, 0x9C, 0x44},    // sample-rate index 3
                          std::array<std::uint8_t, 4>{0xFF, 0xFB, 0x90, 0x46},    // reserved emphasis
                          std::array<std::uint8_t, 4>{0xFE, 0xFB, 0x90, 0x44}}) {  // no sync
    EXPECT_EQ(DecodeMPEGHeader(bad.data(), h), TMPEGHeaderKind::Invalid);
  }
}

TEST(AudioReader, Mp3FramesOfDifferentSizesAreEachRecorded) {
  const Bytes file = Concat({Mp3Frame44(), Mp3Frame44(true), Mp3Frame44(), Mp3Frame44(true), Mp3Frame44(true)});
  const TAudioFileInfo info = Read(file);
  ASSERT_EQ(info.Frames.size(), 5u);
  EXPECT_EQ(info.Frames[1], (TMPEGFrame{417, 418}));
  EXPECT_EQ(info.Frames[4], (TMPEGFrame{417 * 2 + 418 * 2, 418}));
  EXPECT_EQ(info.DataSize, file.size());
  EXPECT_EQ(info.SampleCount, 5u * 1152);
  EXPECT_EQ(info.MPEGFrameSize, 417);
}

Bytes Id3v2(std::uint32_t bodySize, bool footer) {
  Bytes b = {'I', 'D', '3', 4, 0, static_cast<std::uint8_t>(footer ? 0x10 : 0)};
  for (int shift : {21, 14, 7, 0}) b.push_back(static_cast<std::uint8_t>((bodySize >> shift) & 0x7F));
  b.resize(b.size() + bodySize, 0);
  if (footer) b.insert(b.end(), {'3', 'D', 'I', 4, 0, 0x10, 0, 0, 0, 0});
  return b;
}

Bytes Id3v1() {
  Bytes b(128, ' ');
  b[0] = 'T', b[1] = 'A', b[2] = 'G';
  return b;
}

Bytes ApeTag(bool withHeader) {
  Bytes items(20, 'x');
  Bytes footer = {'A', 'P', 'E', 'T', 'A', 'G', 'E', 'X'};
  test::PutLE(footer, 2000, 4);
  test::PutLE(footer, static_cast<std::uint32_t>(items.size() + 32), 4);
  test::PutLE(footer, 1, 4);
  test::PutLE(footer, withHeader ? 0x80000000u : 0, 4);
  footer.resize(32, 0);
  Bytes header = footer;
  return withHeader ? Concat({header, items, footer}) : Concat({items, footer});
}

TEST(AudioReader, Mp3TagsAreKeptOutOfTheData) {
  const Bytes frames = Repeat(Mp3Frame44(), 3);
  // An ID3v2 tag with a footer: 10 + 300 + 10 bytes, its size syncsafe (300
  // is 0x02 0x2C), then a second tag right after it.
  const Bytes tagged = Concat({Id3v2(300, true), Id3v2(5, false), frames, ApeTag(true), Id3v1()});
  const TAudioFileInfo info = Read(tagged);
  EXPECT_EQ(info.DataStart, 320u + 15u);
  EXPECT_EQ(info.DataSize, frames.size());
  EXPECT_EQ(info.Frames.size(), 3u);
  // A tag whose body would decode as frames is still passed over: an ID3v1
  // tag whose text is frame headers, and an APE tag after an ID3v1 tag.
  Bytes fake = Id3v1();
  std::copy_n(Mp3Frame44().begin(), 4, fake.begin() + 3);
  EXPECT_EQ(Read(Concat({frames, fake})).DataSize, frames.size());
  EXPECT_EQ(Read(Concat({frames, Id3v1(), ApeTag(false)})).DataSize, frames.size());
}

TEST(AudioReader, LeadingJunkUpToTheFirstRunOfFrames) {
  const Bytes frames = Repeat(Mp3Frame44(), 4);
  // Junk with a lone frame header in it: a sync word that no frame follows.
  Bytes junk(700, 0x55);
  std::copy_n(Mp3Frame44().begin(), 4, junk.begin() + 100);
  const TAudioFileInfo info = Read(Concat({junk, frames}));
  EXPECT_EQ(info.DataStart, junk.size());
  EXPECT_EQ(info.Frames.size(), 4u);
}

TEST(AudioReader, TheStreamEndsWhereFramesStopFollowing) {
  const Bytes frames = Repeat(Mp3Frame44(), 3);
  // A truncated last frame and trailing junk are not audio.
  Bytes cut = Concat({frames, Mp3Frame44()});
  cut.resize(cut.size() - 10);
  EXPECT_EQ(Read(cut).Frames.size(), 3u);
  EXPECT_EQ(Read(Concat({frames, Bytes(50, 0x11)})).DataSize, frames.size());
  // A frame of another sample rate starts another stream.
  EXPECT_EQ(Read(Concat({frames, MpegFrame(0xFB, 0x94, 0x44, 384), frames})).Frames.size(), 3u);
}

// The Xing or Info tag follows the side information, whose size depends on
// the version and the channels.
TEST(AudioReader, XingFrameIsNotAudio) {
  struct Case {
    const char* name;
    Bytes frame;
    std::size_t side;
  };
  const Case cases[] = {
      {"MPEG-1 stereo", Mp3Frame44(), 32},
      {"MPEG-1 mono", MpegFrame(0xFB, 0x90, 0xC4, 417), 17},
      {"MPEG-2 stereo", MpegFrame(0xF3, 0x80, 0x44, 208), 17},
      {"MPEG-2 mono", MpegFrame(0xF3, 0x80, 0xC4, 208), 9},
  };
  for (const Case& c : cases) {
    for (const char* tag : {"Xing", "Info"}) {
      SCOPED_TRACE(std::string(c.name) + " " + tag);
      Bytes info = c.frame;
      std::memcpy(info.data() + 4 + c.side, tag, 4);
      const TAudioFileInfo read = Read(Concat({info, Repeat(c.frame, 3)}));
      EXPECT_EQ(read.DataStart, c.frame.size());
      EXPECT_EQ(read.Frames.size(), 3u);
    }
  }
}

TEST(AudioReader, LayerOneAndTwoFiles) {
  const TAudioFileInfo one = Read(Repeat(MpegFrame(0xFF, 0x90, 0xC4, 312), 3));
  EXPECT_EQ(one.MPEGLayer, 1);
  EXPECT_EQ(one.SamplesPerMPEGFrame, 384);
  EXPECT_EQ(one.FormatTag, kWaveFormatMPEG);
  EXPECT_EQ(one.SampleCount, 3u * 384);
}

TEST(AudioReader, WavChunksInAnyOrder) {
  const Bytes samples = {1, 2, 3, 4, 5, 6, 7};
  // An odd-sized unknown chunk (padded), the data before the format, and a
  // second data chunk that is not taken.
  const Bytes file = Riff({Chunk("LIST", {'a', 'b', 'c'}), Chunk("data", samples),
                           Chunk("fmt ", FormatBody(1, 1, 11025, 16)), Chunk("data", {9, 9})});
  const TAudioFileInfo info = Read(file);
  EXPECT_EQ(info.DataStart, 12u + 12u + 8u);
  // Seven bytes hold three 16-bit samples; the odd byte is not played.
  EXPECT_EQ(info.DataSize, 6u);
  EXPECT_EQ(info.SampleCount, 3u);
  EXPECT_NEAR(info.Duration, 3.0 / 11025, 1e-12);
}

TEST(AudioReader, HostileWavFiles) {
  const Bytes fmt = Chunk("fmt ", FormatBody(1, 1, 11025, 8));
  const Bytes data = Chunk("data", {1, 2, 3, 4});
  const struct {
    const char* what;
    Bytes file;
    const char* error;
  } cases[] = {
      {"empty", {}, "not a WAV or MP3 file"},
      {"text", Bytes(200, 'a'), "not a WAV or MP3 file"},
      {"RIFF alone", {'R', 'I', 'F', 'F'}, "not a RIFF/WAVE file"},
      {"RIFF of another kind", Concat({{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}}), "not a RIFF/WAVE file"},
      {"RIFF size past the end", Concat({{'R', 'I', 'F', 'F', 0xFF, 0xFF, 0, 0, 'W', 'A', 'V', 'E'}, fmt, data}),
       "WAV file shorter than its RIFF header says"},
      {"data size past the end", Riff({fmt, Chunk("data", {1, 2}, 0x7FFFFFF0)}),
       "WAV chunk \"data\" runs past the end of the file"},
      {"no format", Riff({data}), "WAV file without a format chunk"},
      {"no data", Riff({fmt}), "WAV file without a data chunk"},
      {"short format", Riff({Chunk("fmt ", {1, 0, 1, 0}), data}), "WAV format chunk too short"},
      {"no channels", Riff({Chunk("fmt ", FormatBody(1, 0, 11025, 8)), data}), "WAV format with no channels"},
      {"rate 0", Riff({Chunk("fmt ", FormatBody(1, 1, 0, 8)), data}), "WAV format with a sample rate of 0"},
      {"0 bits", Riff({Chunk("fmt ", FormatBody(1, 1, 11025, 0)), data}), "WAV PCM data with 0 bits per sample"},
      {"extensible without sub-format", Riff({Chunk("fmt ", FormatBody(0xFFFE, 1, 11025, 16)), data}),
       "WAV extensible format without a known sub-format"},
      {"MPEG tag over PCM bytes", Riff({Chunk("fmt ", FormatBody(85, 1, 22050, 0)), data}),
       "no MPEG audio frames found"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ErrorOf(c.file), c.error);
  }
}

TEST(AudioReader, HostileMp3Files) {
  Bytes notSyncsafe = Id3v2(0, false);
  notSyncsafe[9] = 0x80;
  EXPECT_EQ(ErrorOf(Concat({notSyncsafe, Mp3Frame44()})), "ID3v2 tag with a malformed size");
  Bytes pastEnd = Id3v2(0, false);
  pastEnd[6] = 0x7F;
  EXPECT_EQ(ErrorOf(Concat({pastEnd, Mp3Frame44()})), "ID3v2 tag runs past the end of the file");
  EXPECT_EQ(ErrorOf(Id3v2(100, false)), "no MPEG audio frames found");
  Bytes ape = ApeTag(false);
  ape[ape.size() - 20] = 0xFF, ape[ape.size() - 19] = 0xFF;
  EXPECT_EQ(ErrorOf(Concat({Repeat(Mp3Frame44(), 3), ape})), "APE tag with a size past its file");
  // Free format: the frame size is not in the header.
  EXPECT_EQ(ErrorOf(Repeat(MpegFrame(0xFB, 0x00, 0x44, 400), 4)),
            "free-format MPEG audio (no bit rate in the frame headers) is not supported");
  // A Xing frame and nothing after it.
  Bytes xing = Mp3Frame44();
  std::memcpy(xing.data() + 36, "Xing", 4);
  EXPECT_EQ(ErrorOf(xing), "the MPEG audio holds no frames after its header frame");
}

// A file cut at every length reads or fails with the readers' own error.
void CutEverywhere(const Bytes& file) {
  for (std::size_t n = 0; n <= file.size(); ++n) {
    const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
    try {
      const TAudioFileInfo info = Read(cut);
      EXPECT_LE(info.DataStart + info.DataSize, n);
      EXPECT_LE(info.Frames.size(), n / 24);
    } catch (const AudioFileError&) {
    }
  }
}

TEST(AudioReader, CutAtEveryLength) {
  CutEverywhere(ReadFileBytes(test::SoundData("tone-22050-mp3-in.wav")));
  CutEverywhere(ReadFileBytes(test::SoundData("tone-22050-vbr-mono-id3.mp3")));
  CutEverywhere(ReadFileBytes(test::SoundData("tone-11025-s16-extensible.wav")));
}

}  // namespace
}  // namespace movara::media
