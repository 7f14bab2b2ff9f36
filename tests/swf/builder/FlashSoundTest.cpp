#include <gtest/gtest.h>

#include <filesystem>

#include "SoundBytes.h"
#include "TagCases.h"
#include "TempDir.h"
#include "base/FileStream.h"
#include "swf/builder/FlashMovie.h"
#include "swf/core/ButtonTags.h"
#include "swf/core/ControlTags.h"

namespace movara::swf {
namespace {

using test::Bytes;
using test::Concat;
using test::Mp3Frame44;

using test::TempDir;

// Bytes 0, 1, 2, ... as sound data, so that every block shows where it came from.
Bytes Ramp(std::size_t n) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 7);
  return b;
}

std::unique_ptr<TFlashSound> Load(const std::filesystem::path& file) {
  auto sound = std::make_unique<TFlashSound>(nullptr, std::filesystem::path());
  sound->LoadFile(file);
  return sound;
}

std::string LoadError(const std::filesystem::path& file) {
  try {
    Load(file);
  } catch (const std::exception& e) {
    const std::string text = e.what();
    return text.substr(text.find("\": ") + 3);
  }
  return "no error";
}

struct Block {
  std::uint16_t code = 0;
  bool longForm = false;
  Bytes body;
};

// The stream blocks the sound writes for `count` frames after a head for
// this frame rate (an empty entry where a call writes nothing); `end` takes
// the cursor after them.
std::vector<Block> Stream(const TFlashSound& sound, double frameRate, int count, TSoundStreamCursor* end = nullptr) {
  TSWFSoundStreamHead2 head;
  TSoundStreamCursor at = sound.FillStreamHead(head, frameRate);
  std::vector<Block> blocks;
  for (int i = 0; i < count; ++i) {
    const Bytes bytes = test::Written([&](TBitsEngine& be) { sound.WriteStreamBlock(be, at); });
    Block block;
    if (!bytes.empty()) {
      TMemoryViewStream stream(bytes);
      TBitsEngine be(stream);
      const TTagHeader h = ReadTagHeader(be);
      block.code = h.Code, block.longForm = h.LongForm;
      block.body.assign(bytes.end() - h.Length, bytes.end());
      EXPECT_EQ(bytes.size(), (h.LongForm ? 6u : 2u) + h.Length);
    }
    blocks.push_back(block);
  }
  if (end != nullptr) *end = at;
  return blocks;
}

Bytes Slice(const Bytes& b, std::size_t from, std::size_t n) {
  return Bytes(b.begin() + static_cast<std::ptrdiff_t>(from), b.begin() + static_cast<std::ptrdiff_t>(from + n));
}

TEST(FlashSound, RateCodes) {
  struct Case {
    const char* file;
    std::uint8_t code;
  } cases[] = {
      {"tone-44100-s16-stereo.wav", 3}, {"tone-22050-s16-mono.wav", 2}, {"tone-11025-u8-mono.wav", 1},
      // MP3 data plays at its frames' rate; the code names its MPEG family.
      {"tone-44100-cbr-stereo-id3.mp3", 3}, {"tone-48000-cbr-mono.mp3", 3}, {"tone-32000-cbr-mono.mp3", 3},
      {"tone-22050-vbr-mono-id3.mp3", 2}, {"tone-24000-cbr-mono.mp3", 2}, {"tone-16000-cbr-mono.mp3", 2},
      {"tone-12000-cbr-mono.mp3", 1}, {"tone-11025-cbr-mono.mp3", 1}, {"tone-8000-cbr-mono.mp3", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(Load(test::SoundData(c.file))->RateCode(), c.code);
  }
  TempDir dir;
  for (std::uint32_t rate : {5512u, 5513u}) {
    EXPECT_EQ(Load(dir.Write("low.wav", test::PcmWav(rate, 1, 8, Ramp(100))))->RateCode(), 0);
  }
}

TEST(FlashSound, UncompressedRatesWithoutACodeAreRefused) {
  EXPECT_EQ(LoadError(test::SoundData("tone-48000-s16-mono.wav")),
            "sample rate 48000 Hz not supported (only 5512, 11025, 22050 and 44100 Hz)");
  TempDir dir;
  for (std::uint32_t rate : {8000u, 16000u, 32000u, 96000u}) {
    SCOPED_TRACE(rate);
    EXPECT_EQ(LoadError(dir.Write("r.wav", test::PcmWav(rate, 1, 16, Ramp(100)))),
              "sample rate " + std::to_string(rate) + " Hz not supported (only 5512, 11025, 22050 and 44100 Hz)");
  }
}

TEST(FlashSound, EncodingsAMovieCannotCarryAreRefused) {
  EXPECT_EQ(LoadError(test::SoundData("tone-22050-msadpcm.wav")), "WAV encoding Microsoft ADPCM not supported");
  EXPECT_EQ(LoadError(test::SoundData("tone-22050-f32-mono.wav")), "WAV encoding floating point not supported");
  EXPECT_EQ(LoadError(test::SoundData("tone-22050-alaw.wav")), "WAV encoding A-law not supported");
  EXPECT_EQ(LoadError(test::SoundData("tone-22050-s24-mono.wav")),
            "PCM with 24 bits per sample not supported (only 8 and 16)");
  EXPECT_EQ(LoadError(test::SoundData("tone-44100-layer2.mp2")),
            "MPEG audio layer 2 not supported (only layer III, MP3)");
  TempDir dir;
  EXPECT_EQ(LoadError(dir.Write("l1.mp3", test::Repeat(test::MpegFrame(0xFF, 0x90, 0xC4, 312), 3))),
            "MPEG audio layer 1 not supported (only layer III, MP3)");
  EXPECT_EQ(LoadError(dir.Write("3ch.wav", test::PcmWav(22050, 3, 16, Ramp(60)))), "3 channels not supported");
  EXPECT_EQ(LoadError(dir.Write("32.wav", test::PcmWav(22050, 1, 32, Ramp(60)))),
            "PCM with 32 bits per sample not supported (only 8 and 16)");
  EXPECT_EQ(LoadError(dir.Write("empty.wav", test::PcmWav(22050, 1, 16, {}))), "the file holds no sound");
  // A refused file leaves the sound as it was.
  auto sound = Load(test::SoundData("tone-11025-u8-mono.wav"));
  EXPECT_THROW(sound->LoadFile(test::SoundData("tone-48000-s16-mono.wav")), FlashSoundError);
  EXPECT_EQ(sound->SampleRate(), 11025);
  EXPECT_TRUE(sound->HasFile());
}

TEST(FlashSound, FormatFromTheFile) {
  auto wav = Load(test::SoundData("tone-22050-u8-stereo.wav"));
  EXPECT_EQ(wav->SoundFormat(), TFlashSound::kFormatUncompressed);
  EXPECT_TRUE(wav->IsStereo());
  EXPECT_FALSE(wav->Is16Bit());
  EXPECT_EQ(wav->SampleCount(), 2205u);
  EXPECT_EQ(wav->DataStart(), 44u);
  EXPECT_EQ(wav->DataSize(), 4410u);
  EXPECT_EQ(wav->MinVersion(), 1);
  auto mp3 = Load(test::SoundData("tone-44100-cbr-stereo-id3.mp3"));
  EXPECT_EQ(mp3->SoundFormat(), TFlashSound::kFormatMP3);
  EXPECT_TRUE(mp3->Is16Bit());
  EXPECT_EQ(mp3->SamplesPerMPEGFrame(), 1152);
  EXPECT_EQ(mp3->MPEGFrameCount(), 13u);
  EXPECT_EQ(mp3->MinVersion(), 4);
  EXPECT_NEAR(mp3->Duration(), 13 * 1152 / 44100.0, 1e-9);
}

TEST(FlashSound, BlocksOf1837BytesAt12Fps) {
  TempDir dir;
  const Bytes data = Ramp(4000);
  auto sound = Load(dir.Write("a.wav", test::PcmWav(22050, 1, 8, data)));
  TSoundStreamCursor at;
  const auto blocks = Stream(*sound, 12, 4, &at);
  EXPECT_EQ(at.SamplesPerBlock, 1837u);
  EXPECT_EQ(at.BlockSize, 1837u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(blocks[i].code, tagSoundStreamBlock);
    EXPECT_TRUE(blocks[i].longForm);
    EXPECT_EQ(blocks[i].body.size(), 1837u);
  }
  EXPECT_EQ(blocks[0].body, Slice(data, 0, 1837));
  EXPECT_EQ(blocks[1].body, Slice(data, 1837, 1837));
  // The data ends inside the third block: silence pads it (128, the middle
  // of unsigned 8-bit samples), and nothing follows.
  EXPECT_EQ(blocks[2].body, Concat({Slice(data, 3674, 326), Bytes(1837 - 326, 0x80)}));
  EXPECT_EQ(blocks[3].code, 0);
  // 16-bit samples are signed: zero bytes.
  auto wide = Load(dir.Write("b.wav", test::PcmWav(22050, 1, 16, data)));
  const auto wideBlocks = Stream(*wide, 12, 3, &at);
  EXPECT_EQ(at.BlockSize, 3672u);
  EXPECT_EQ(wideBlocks[1].body, Concat({Slice(data, 3672, 328), Bytes(3672 - 328, 0)}));
  EXPECT_EQ(wideBlocks[2].code, 0);
}

TEST(FlashSound, LoopingStreamsGoOnFromTheStart) {
  TempDir dir;
  const Bytes data = Ramp(1000);
  auto sound = Load(dir.Write("a.wav", test::PcmWav(11025, 1, 8, data)));
  sound->Loop = true;
  // 11025 Hz at 24 fps: 459-byte blocks.
  const auto blocks = Stream(*sound, 24, 3);
  EXPECT_EQ(blocks[2].body, Concat({Slice(data, 918, 82), Slice(data, 0, 377)}));
  // A block longer than the whole data repeats it.
  auto tiny = Load(dir.Write("b.wav", test::PcmWav(11025, 1, 8, {1, 2, 3})));
  tiny->Loop = true;
  EXPECT_EQ(Stream(*tiny, 1000, 1)[0].body, (Bytes{1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2}));
}

TEST(FlashSound, FrameRatesAStreamCannotFollow) {
  auto sound = Load(test::SoundData("tone-11025-u8-mono.wav"));
  TSWFSoundStreamHead2 head;
  EXPECT_THROW(sound->FillStreamHead(head, 0), FlashSoundError);
  EXPECT_THROW(sound->FillStreamHead(head, 20000), FlashSoundError);
  EXPECT_THROW(sound->FillStreamHead(head, 0.1), FlashSoundError);
  // A sound without a file streams nothing at any rate.
  TFlashSound none(nullptr, std::filesystem::path());
  TSoundStreamCursor at = none.FillStreamHead(head, 24);
  EXPECT_TRUE(test::Written([&](TBitsEngine& be) { none.WriteStreamBlock(be, at); }).empty());
}

TEST(FlashSound, UncompressedBlockSizes) {
  TempDir dir;
  struct Case {
    std::uint32_t rate;
    std::uint16_t channels, bits;
    double fps;
    std::uint32_t size;
    bool longForm;
  } cases[] = {
      {22050, 2, 16, 24, 918 * 4 - 4, true},
      {22050, 1, 16, 24, 918 * 2 - 2, true},
      {22050, 2, 8, 24, 918 * 2 - 2, true},
      {11025, 1, 8, 24, 459, true},
      {5512, 1, 8, 120, 45, false},  // under 63 bytes: the short form
  };
  for (const Case& c : cases) {
    auto sound = Load(dir.Write("s.wav", test::PcmWav(c.rate, c.channels, c.bits, Ramp(8000))));
    TSoundStreamCursor at;
    const auto blocks = Stream(*sound, c.fps, 1, &at);
    EXPECT_EQ(at.BlockSize, c.size);
    EXPECT_EQ(blocks[0].body.size(), c.size);
    EXPECT_EQ(blocks[0].longForm, c.longForm);
  }
}

// Frames of 417 and 418 bytes in an irregular order, each frame's bytes
// after its header telling its index.
Bytes Mp3Frames(int count) {
  Bytes file;
  for (int i = 0; i < count; ++i) {
    Bytes f = Mp3Frame44(i % 3 == 1 || i % 7 == 0);
    std::fill(f.begin() + 4, f.end(), static_cast<std::uint8_t>(i));
    file.insert(file.end(), f.begin(), f.end());
  }
  return file;
}

// The MPEG frames in a block body after its sample count and seek.
std::vector<int> FramesIn(const Bytes& body) {
  std::vector<int> frames;
  for (std::size_t at = 4; at < body.size();) {
    EXPECT_EQ(body[at], 0xFF);
    frames.push_back(body[at + 4]);
    at += (body[at + 2] & 0x02) != 0 ? 418 : 417;
  }
  return frames;
}

TEST(FlashSound, Mp3BlocksOfWholeFramesFollowTheMovieFrames) {
  TempDir dir;
  auto sound = Load(dir.Write("a.mp3", Mp3Frames(60)));
  TSoundStreamCursor at;
  const auto blocks = Stream(*sound, 24, 30, &at);
  EXPECT_EQ(at.SamplesPerBlock, 1837u);
  // The first blocks: 1, 2, 1 and 2 frames, the seek being the samples the
  // frames written so far are ahead of the movie frames.
  const std::uint16_t counts[] = {1152, 2304, 1152, 2304};
  const std::uint16_t seeks[] = {0, 685, 218, 903};
  for (int i = 0; i < 4; ++i) {
    TMemoryViewStream s(blocks[i].body);
    TBitsEngine be(s);
    EXPECT_EQ(be.ReadWord(), counts[i]);
    EXPECT_EQ(be.ReadWord(), seeks[i]);
  }
  std::uint64_t written = 0;
  int next = 0;
  for (std::size_t k = 0; k < blocks.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_TRUE(blocks[k].longForm);
    const std::vector<int> frames = FramesIn(blocks[k].body);
    // Whole frames in file order, however their sizes differ.
    for (int f : frames) EXPECT_EQ(f, next++);
    written += frames.size() * 1152;
    EXPECT_EQ(blocks[k].body[0] | (blocks[k].body[1] << 8), frames.size() * 1152);
    const auto movie = static_cast<std::int64_t>((k + 1) * 1837);
    EXPECT_LE(std::llabs(movie - static_cast<std::int64_t>(written)), 1152);
  }
  EXPECT_EQ(at.SamplesWritten, written);
}

TEST(FlashSound, Mp3BlocksFromTheCursor) {
  // Blocks of 1837 samples (22050 Hz at 12 fps) over frames of 1152.
  struct Case {
    std::int64_t seek;
    std::size_t next, frames;
    bool loop;
    std::uint32_t blocks;
    std::uint64_t written;
    // The block: frames, declared seek, next frame, next seek (frames -1: none).
    int outFrames;
    std::int64_t outSeek;
    std::size_t outNext;
    std::int64_t nextSeek;
  } cases[] = {
      {0, 0, 60, false, 0, 0, 1, 0, 1, 685},            // the first block: one frame
      {685, 1, 60, false, 1, 1152, 2, 685, 3, 218},     // behind by 685: two frames
      {-934, 3, 60, false, 2, 4608, 0, -934, 3, 903},   // ahead by 934: none this time
      {3000, 0, 60, false, 0, 0, 0, 0, 0, 1837},        // a seek beyond a frame empties the block
      {1152, 0, 60, false, 0, 0, 2, 1152, 2, -467},     // a seek of exactly one frame is kept
      {903, 4, 5, false, 3, 4608, 1, 903, 5, 1588},     // the last frame, not two
      {903, 4, 5, true, 3, 4608, 2, 903, 1, 436},       // looping: on from the first frame
      {1588, 5, 5, false, 4, 5760, -1, 0, 0, 0},        // ended: nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seek);
    TSoundStreamCursor at;
    at.SamplesPerBlock = 1837, at.Seek = c.seek, at.NextFrame = c.next, at.Blocks = c.blocks, at.SamplesWritten = c.written;
    const auto block = NextMP3Block(at, 1152, c.frames, c.loop);
    ASSERT_EQ(block.has_value(), c.outFrames >= 0);
    if (!block) continue;
    EXPECT_EQ(static_cast<int>(block->Frames), c.outFrames);
    EXPECT_EQ(block->Seek, c.outSeek);
    EXPECT_EQ(block->Next.NextFrame, c.outNext);
    EXPECT_EQ(block->Next.Blocks, c.blocks + 1);
    EXPECT_EQ(block->Next.SamplesWritten, c.written + 1152u * block->Frames);
    EXPECT_EQ(block->Next.Seek, c.nextSeek);
  }
}

TEST(FlashSound, Mp3StreamEndsWithItsLastFrameOrLoops) {
  TempDir dir;
  const auto file = dir.Write("a.mp3", Mp3Frames(5));
  auto once = Load(file);
  const auto blocks = Stream(*once, 24, 6);
  std::vector<int> frames;
  for (const Block& b : blocks) {
    if (b.code != 0) {
      const auto in = FramesIn(b.body);
      frames.insert(frames.end(), in.begin(), in.end());
    }
  }
  EXPECT_EQ(frames, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(blocks[5].code, 0);

  auto looping = Load(file);
  looping->Loop = true;
  frames.clear();
  for (const Block& b : Stream(*looping, 24, 6)) {
    const auto in = FramesIn(b.body);
    frames.insert(frames.end(), in.begin(), in.end());
  }
  EXPECT_EQ(frames, (std::vector<int>{0, 1, 2, 3, 4, 0, 1, 2, 3}));
}

TEST(FlashSound, LargeSeekEmptiesTheFirstBlock) {
  TempDir dir;
  auto sound = Load(dir.Write("a.mp3", Mp3Frames(10)));
  sound->SeekSamples = 3000;
  TSoundStreamCursor at;
  const auto blocks = Stream(*sound, 24, 1, &at);
  EXPECT_EQ(blocks[0].code, tagSoundStreamBlock);
  EXPECT_EQ(blocks[0].body, Bytes(4, 0));
  EXPECT_FALSE(blocks[0].longForm);
  EXPECT_EQ(at.SamplesWritten, 0u);
}

TEST(FlashSound, StreamedMovie) {
  auto movie = TFlashMovie(0, 0, 100, 100, 12, true);
  movie.SetVersion(1);
  movie.BackgroundColor();
  TFlashSound& stream = movie.StreamSound();
  EXPECT_TRUE(stream.Loop);
  EXPECT_TRUE(movie.HasStreamSound());
  stream.LoadFile(test::SoundData("tone-22050-s16-mono.wav"));
  stream.Loop = false;
  stream.StartFrame = 1;
  movie.PlaceObject(movie.AddRectangle(0, 0, 10, 10), 1);
  movie.ShowFrame(4);
  movie.BuildBody();
  const Bytes first = movie.Body.Bytes();
  TSWFFile file;
  {
    TMemoryStream whole;
    movie.SaveToStream(whole);
    file = ReadSWFFile(whole.Bytes());
  }
  std::vector<std::uint16_t> codes;
  for (const auto& t : file.Tags) codes.push_back(t->TagCode);
  EXPECT_EQ(codes, (std::vector<std::uint16_t>{tagSetBackgroundColor, tagSoundStreamHead2, tagDefineShape2,
                                               tagPlaceObject2, tagShowFrame, tagSoundStreamBlock, tagShowFrame,
                                               tagSoundStreamBlock, tagShowFrame, tagSoundStreamBlock, tagShowFrame, tagEnd}));
  const auto& head = dynamic_cast<const TSWFSoundStreamHead2&>(*file.Tags[1]);
  EXPECT_EQ(head.StreamFormat, TFlashSound::kFormatUncompressedLE);
  EXPECT_EQ(head.StreamRate, 2);
  EXPECT_TRUE(head.StreamSize);
  EXPECT_FALSE(head.StreamType);
  EXPECT_EQ(head.SampleCount, 1837);
  // The stream head needs version 3.
  EXPECT_EQ(file.Header.Version, 3);
  // Every tag read back writes the same bytes again.
  TMemoryStream again;
  TBitsEngine be(again);
  for (const auto& t : file.Tags) t->WriteToStream(be);
  EXPECT_EQ(again.Bytes(), first);
  // Building again streams the sound from its start again.
  movie.BuildBody();
  EXPECT_EQ(movie.Body.Bytes(), first);
}

TEST(FlashSound, EventSoundsInFramesAndOnButtons) {
  auto movie = TFlashMovie(0, 0, 100, 100, 24, true);
  movie.SetVersion(6);
  TFlashSound& sound = movie.AddSound(test::SoundData("tone-44100-cbr-stereo-id3.mp3"));
  EXPECT_EQ(sound.CharacterId(), 1);
  movie.StartSound(sound).SetLoopCount(3);
  TFlashButton& button = movie.AddButton(false, true);
  button.AddRecord(movie.AddRectangle(0, 0, 10, 10), 15, 1);
  button.SetSound(TSWFDefineButtonSound::OverUpToOverDown, sound);
  movie.ShowFrame(1);
  EXPECT_THROW(movie.AddSound(test::SoundData("no-such-file.wav")), StreamError);
  EXPECT_THROW(movie.AddSound(test::SoundData("tone-48000-s16-mono.wav")), FlashSoundError);
  EXPECT_EQ(movie.NextCharacterId(), 4);
  movie.BuildBody();
  TSWFFile file;
  {
    TMemoryStream whole;
    movie.SaveToStream(whole);
    file = ReadSWFFile(whole.Bytes());
  }
  const auto& define = dynamic_cast<const TSWFDefineSound&>(*file.Tags[0]);
  EXPECT_EQ(define.SoundId, 1);
  EXPECT_EQ(define.SoundFormat, 2);
  EXPECT_EQ(define.SoundRate, 3);
  EXPECT_TRUE(define.SoundSize);
  EXPECT_TRUE(define.SoundType);
  EXPECT_EQ(define.SampleCount, 13u * 1152);
  const Bytes mp3 = ReadFileBytes(test::SoundData("tone-44100-cbr-stereo-id3.mp3"));
  EXPECT_EQ(Bytes(define.DataBytes().begin(), define.DataBytes().end()), Slice(mp3, 556, 5989 - 556));
  const auto& start = dynamic_cast<const TSWFStartSound&>(*file.Tags[1]);
  EXPECT_EQ(start.SoundId, 1);
  EXPECT_EQ(start.LoopCount(), 3);
  // The button's rectangle, made after it, is defined ahead of it.
  EXPECT_EQ(file.Tags[2]->TagCode, tagDefineShape2);
  EXPECT_EQ(file.Tags[3]->TagCode, tagDefineButton2);
  const auto& buttonSound = dynamic_cast<const TSWFDefineButtonSound&>(*file.Tags[4]);
  EXPECT_EQ(buttonSound.ButtonId, 2);
  ASSERT_NE(buttonSound.SoundIfAny(TSWFDefineButtonSound::OverUpToOverDown), nullptr);
  EXPECT_EQ(buttonSound.SoundIfAny(TSWFDefineButtonSound::OverUpToOverDown)->SoundId, 1);
  // Every tag read back writes the same bytes again.
  TMemoryStream again;
  TBitsEngine be(again);
  for (const auto& t : file.Tags) t->WriteToStream(be);
  EXPECT_EQ(again.Bytes(), movie.Body.Bytes());
}

TEST(FlashSound, UncompressedEventSound) {
  TempDir dir;
  const Bytes data = Ramp(300);
  TFlashSound sound(nullptr, dir.Write("a.wav", test::PcmWav(11025, 2, 16, data)));
  sound.SetCharacterId(7);
  auto define = test::ReadOneTag(test::Written([&](TBitsEngine& be) { sound.WriteToStream(be); }), 6);
  const auto& tag = dynamic_cast<const TSWFDefineSound&>(*define);
  EXPECT_EQ(tag.SoundId, 7);
  EXPECT_EQ(tag.SoundFormat, 0);
  EXPECT_EQ(tag.SoundRate, 1);
  EXPECT_EQ(tag.SampleCount, 75u);
  EXPECT_EQ(Bytes(tag.DataBytes().begin(), tag.DataBytes().end()), data);
}

TEST(FlashSound, ACopyStreamsTheSameData) {
  TempDir dir;
  auto sound = Load(dir.Write("a.mp3", Mp3Frames(8)));
  sound->Loop = true;
  sound->SetCharacterId(3);
  TFlashSound copy(nullptr, std::filesystem::path());
  copy.AssignFrom(*sound);
  EXPECT_EQ(copy.CharacterId(), 3);
  EXPECT_TRUE(copy.Loop);
  const auto a = Stream(*sound, 24, 8);
  const auto b = Stream(copy, 24, 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(a[i].body, b[i].body);
}

}  // namespace
}  // namespace movara::swf
