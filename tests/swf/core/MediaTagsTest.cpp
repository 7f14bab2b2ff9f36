// Bitmap, sound, video and button tags.
#include <gtest/gtest.h>

#include "TagCases.h"
#include "swf/core/BitmapTags.h"
#include "swf/core/ButtonTags.h"
#include "swf/core/SoundTags.h"

namespace movara::swf {
namespace {

using test::Bytes;
using test::TagCase;

Bytes Seq(std::size_t n, std::uint8_t from = 1) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(from + i);
  return b;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

std::vector<TagCase> BitmapCases() {
  return {
      {"lossless 2x2 32-bit always takes the long header",
       [] {
         auto t = std::make_unique<TSWFDefineBitsLossless>();
         t->CharacterId = 1;
         t->Width = 2, t->Height = 2;
         t->Data = MakeDataBlock(Seq(20));
         return t;
       },
       Concat({{0x3F, 0x05, 27, 0, 0, 0, 0x01, 0x00, 0x05, 0x02, 0x00, 0x02, 0x00}, Seq(20)})},
      {"lossless2 colour-mapped with 256 entries",
       [] {
         auto t = std::make_unique<TSWFDefineBitsLossless2>();
         t->CharacterId = 7;
         t->BitmapFormat = TSWFDefineBitsLossless::kColorMapped8;
         t->ColorTableSize = 255;
         t->Width = 1, t->Height = 1;
         t->Data = MakeDataBlock(Seq(3));
         return t;
       },
       Concat({{0x3F, 0x09, 11, 0, 0, 0, 0x07, 0x00, 0x03, 0x01, 0x00, 0x01, 0x00, 0xFF}, Seq(3)})},
      {"JPEG2 with no data keeps both markers",
       [] {
         auto t = std::make_unique<TSWFDefineBitsJPEG2>();
         t->CharacterId = 1;
         return t;
       },
       {0x46, 0x05, 0x01, 0x00, 0xFF, 0xD8, 0xFF, 0xD9}},
      {"DefineBits",
       [] {
         auto t = std::make_unique<TSWFDefineBits>();
         t->CharacterId = 2;
         t->Data = MakeDataBlock({0xAA, 0xBB});
         return t;
       },
       {0x88, 0x01, 0x02, 0x00, 0xFF, 0xD8, 0xAA, 0xBB, 0xFF, 0xD9}},
      {"JPEG3 alpha offset is the JPEG data plus 4",
       [] {
         auto t = std::make_unique<TSWFDefineBitsJPEG3>();
         t->CharacterId = 3;
         t->Data = MakeDataBlock(Seq(5));
         t->AlphaData = MakeDataBlock({0x78, 0x9C});
         return t;
       },
       Concat({{0xD1, 0x08, 0x03, 0x00, 9, 0, 0, 0, 0xFF, 0xD8}, Seq(5), {0xFF, 0xD9, 0x78, 0x9C}})},
  };
}

std::vector<TagCase> SoundCases() {
  return {
      {"StartSound without options",
       [] {
         auto t = std::make_unique<TSWFStartSound>();
         t->SoundId = 5;
         return t;
       },
       {0xC3, 0x03, 0x05, 0x00, 0x00}},
      {"StartSound looping 3 times",
       [] {
         auto t = std::make_unique<TSWFStartSound>();
         t->SoundId = 5;
         t->SetLoopCount(3);
         return t;
       },
       {0xC5, 0x03, 0x05, 0x00, 0x04, 0x03, 0x00}},
      {"StartSound with points and an envelope",
       [] {
         auto t = std::make_unique<TSWFStartSound>();
         t->SoundId = 1;
         t->SyncStop = true;
         t->SetInPoint(2);
         t->SetOutPoint(9);
         t->HasEnvelope = true;
         t->Envelope.push_back({100, 1, 2});
         return t;
       },
       {0xD4, 0x03, 0x01, 0x00, 0x2B, 2, 0, 0, 0, 9, 0, 0, 0, 1, 100, 0, 0, 0, 1, 0, 2, 0}},
      {"MP3 stream head is six bytes",
       [] {
         auto t = std::make_unique<TSWFSoundStreamHead2>();
         t->PlaybackRate = 3, t->PlaybackSize = true, t->PlaybackType = true;
         t->StreamFormat = 2, t->StreamRate = 3, t->StreamSize = true, t->StreamType = true;
         t->SampleCount = 1152;
         t->LatencySeek = 7;
         return t;
       },
       {0x46, 0x0B, 0x0F, 0x2F, 0x80, 0x04, 0x07, 0x00}},
      {"other stream heads are four",
       [] {
         auto t = std::make_unique<TSWFSoundStreamHead>();
         t->StreamFormat = 3;
         t->SampleCount = 10;
         return t;
       },
       {0x84, 0x04, 0x00, 0x30, 0x0A, 0x00}},
      {"MP3 DefineSound carries SeekSamples",
       [] {
         auto t = std::make_unique<TSWFDefineSound>();
         t->SoundId = 2;
         t->SoundFormat = 2;
         t->SoundRate = 3;
         t->SoundSize = true;
         t->SoundType = true;
         t->SampleCount = 1000;
         t->SeekSamples = 576;
         t->Data = MakeDataBlock({0xFF, 0xFB});
         return t;
       },
       {0x8B, 0x03, 0x02, 0x00, 0x2F, 0xE8, 0x03, 0x00, 0x00, 0x40, 0x02, 0xFF, 0xFB}},
      {"video stream always takes the long header",
       [] {
         auto t = std::make_unique<TSWFDefineVideoStream>();
         t->CharacterId = 1;
         t->NumFrames = 3;
         t->Width = 64, t->Height = 48;
         return t;
       },
       {0x3F, 0x0F, 10, 0, 0, 0, 0x01, 0x00, 0x03, 0x00, 0x40, 0x00, 0x30, 0x00, 0x00, 0x02}},
      {"video stream deblocking and smoothing share a byte",
       [] {
         auto t = std::make_unique<TSWFDefineVideoStream>();
         t->CharacterId = 7;
         t->NumFrames = 300;
         t->Width = 320, t->Height = 240;
         t->Deblocking = 5;
         t->Smoothing = true;
         t->CodecId = TSWFDefineVideoStream::kCodecVP6;
         return t;
       },
       {0x3F, 0x0F, 10, 0, 0, 0, 0x07, 0x00, 0x2C, 0x01, 0x40, 0x01, 0xF0, 0x00, 0x0B, 0x04}},
      {"video frame",
       [] {
         auto t = std::make_unique<TSWFVideoFrame>();
         t->StreamId = 1;
         t->FrameNum = 2;
         t->Data = MakeDataBlock({9});
         return t;
       },
       {0x45, 0x0F, 0x01, 0x00, 0x02, 0x00, 0x09}},
  };
}

std::vector<TagCase> ButtonCases() {
  return {
      {"DefineButton2 without actions has action offset 0",
       [] {
         auto b = std::make_unique<TSWFDefineButton2>();
         b->ButtonId = 1;
         b->AddRecord(1, 1, bsUp | bsHitTest);
         return b;
       },
       {0x8D, 0x08, 0x01, 0x00, 0x00, 0x00, 0x00, 0x09, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00}},
      {"DefineButton2 with a release handler",
       [] {
         auto b = std::make_unique<TSWFDefineButton2>();
         b->ButtonId = 1;
         b->AddRecord(1, 1, bsUp | bsHitTest);
         b->AddCondAction(bcOverDownToOverUp).Actions.Add<TSWFActionStop>();
         return b;
       },
       {0x93, 0x08, 0x01, 0x00, 0x00, 0x0A, 0x00, 0x09, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08,
        0x00, 0x07, 0x00}},
      {"DefineButton2 with two condition lists sizes all but the last",
       [] {
         auto b = std::make_unique<TSWFDefineButton2>();
         b->ButtonId = 2;
         b->TrackAsMenu = true;
         b->AddRecord(3, 2, bsOver | bsHitTest);
         b->AddCondAction(bcIdleToOverUp).Actions.Add<TSWFActionPlay>();
         auto& key = b->AddCondAction(bcOverDownToIdle);
         key.KeyCode = 13;
         return b;
       },
       {0x98, 0x08, 0x02, 0x00, 0x01, 0x0A, 0x00, 0x0A, 0x03, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x06, 0x00, 0x01,
        0x00, 0x06, 0x00, 0x00, 0x00, 0x00, 0x1B, 0x00}},
      {"DefineButton with a plain action list",
       [] {
         auto b = std::make_unique<TSWFDefineButton>();
         b->ButtonId = 4;
         b->AddRecord(1, 1, bsDown);
         b->Actions.Add<TSWFActionGotoFrame>(1);
         return b;
       },
       {0xCF, 0x01, 0x04, 0x00, 0x04, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x81, 0x02, 0x00, 0x01, 0x00, 0x00}},
      {"DefineButtonSound with only the roll-over sound",
       [] {
         auto b = std::make_unique<TSWFDefineButtonSound>();
         b->ButtonId = 1;
         b->Sound(TSWFDefineButtonSound::IdleToOverUp).SoundId = 9;
         b->Sound(TSWFDefineButtonSound::OverDownToOverUp);  // no sound id: written as 0
         return b;
       },
       {0x4B, 0x04, 0x01, 0x00, 0x00, 0x00, 0x09, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
  };
}

TEST(MediaTags, TablesOfBytes) {
  for (const auto& table : {BitmapCases(), SoundCases(), ButtonCases()}) {
    for (const auto& c : table) {
      test::CheckTagCase(c);
      test::CheckTruncationsThrow(c);
    }
  }
}

TEST(MediaTags, RecordStatesAndVersions) {
  TSWFButtonRecord r;
  r.States = bsOver | bsHitTest;
  const Bytes bytes = test::Written([&](TBitsEngine& be) { r.WriteToStream(be); });
  EXPECT_EQ(bytes[0], 0x0A);
  EXPECT_EQ(TSWFDefineBitsLossless().MinVersion(), 2);
  EXPECT_EQ(TSWFDefineBitsLossless2().MinVersion(), 3);
  EXPECT_EQ(TSWFDefineBitsJPEG3().MinVersion(), 3);
  TSWFDefineSound sound;
  sound.SoundFormat = 2;
  EXPECT_EQ(sound.MinVersion(), 4);
  sound.SoundFormat = 6;
  EXPECT_EQ(sound.MinVersion(), 6);
  TSWFSoundStreamHead2 head;
  EXPECT_EQ(head.MinVersion(), 3);
  TSWFDefineVideoStream video;
  EXPECT_EQ(video.MinVersion(), 6);
  video.CodecId = TSWFDefineVideoStream::kCodecScreenVideo;
  EXPECT_EQ(video.MinVersion(), 7);
  video.CodecId = TSWFDefineVideoStream::kCodecVP6Alpha;
  EXPECT_EQ(video.MinVersion(), 8);
  TSWFDefineButton button;
  button.Actions.Add<TSWFActionStrictEquals>();
  EXPECT_EQ(button.MinVersion(), 6);
  TSWFStartSound start;
  start.SetLoopCount(2);
  start.SetLoopCount(0);
  EXPECT_FALSE(start.HasLoops());
  start.HasEnvelope = true;
  EXPECT_EQ(test::Written([&](TBitsEngine& be) { start.WriteTagBody(be); }), (Bytes{0x00, 0x00, 0x00}));
}

TEST(MediaTags, DataCallbacksWriteInPlaceOfStoredData) {
  TSWFDefineBitsLossless t;
  t.Data = MakeDataBlock({1, 2, 3});
  int calls = 0;
  const TSWFDataObject* writer = nullptr;
  t.OnDataWrite = [&](TSWFDataObject& tag, TBitsEngine& be) {
    writer = &tag;
    ++calls;
    be.WriteByte(0xEE);
  };
  const Bytes bytes = test::Written([&](TBitsEngine& be) { t.WriteTagBody(be); });
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(writer, &t);
  EXPECT_EQ(bytes.back(), 0xEE);
  EXPECT_EQ(bytes.size(), 8u);
  // A copy keeps the callback; a copy of a stored block shares it.
  TSWFDefineBitsLossless copy;
  copy.AssignFrom(t);
  test::Written([&](TBitsEngine& be) { copy.WriteTagBody(be); });
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(writer, &copy);
}

TEST(MediaTags, JpegMarkersAreRequiredOnRead) {
  TSWFDefineBitsJPEG2 t;
  EXPECT_THROW(ReadTagBody(t, Bytes{0x01, 0x00, 0x12, 0x34}), SWFFormatError);
  EXPECT_THROW(ReadTagBody(t, Bytes{0x01, 0x00, 0xFF, 0xD8, 0x12}), SWFFormatError);
  // An extra end/start pair before the data is skipped word by word.
  ReadTagBody(t, Bytes{0x01, 0x00, 0xFF, 0xD9, 0xFF, 0xD8, 0x42, 0xFF, 0xD9});
  EXPECT_EQ(*t.Data, (Bytes{0x42}));
  TSWFDefineBitsJPEG3 j3;
  EXPECT_THROW(ReadTagBody(j3, Bytes{0x01, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xD8, 0xFF, 0xD9}), SWFFormatError);
}

TEST(MediaTags, RandomButtonsRoundTrip) {
  for (int round = 0; round < 200; ++round) {
    TSWFDefineButton2 b;
    b.ButtonId = static_cast<std::uint16_t>(test::RandomInt(1, 65535));
    b.TrackAsMenu = test::RandomInt(0, 1) != 0;
    for (int i = test::RandomInt(1, 4); i > 0; --i) {
      auto& r = b.AddRecord(static_cast<std::uint16_t>(test::RandomInt(1, 65535)),
                            static_cast<std::uint16_t>(test::RandomInt(1, 65535)),
                            static_cast<std::uint8_t>(test::RandomInt(1, 15)));
      if (test::RandomInt(0, 1)) r.Matrix().SetTranslate(test::RandomInt(-9999, 9999), test::RandomInt(-9999, 9999));
      if (test::RandomInt(0, 1)) r.ColorTransform().SetAddR(test::RandomInt(-255, 255));
    }
    for (int i = test::RandomInt(0, 3); i > 0; --i) {
      auto& c = b.AddCondAction(static_cast<std::uint16_t>(test::RandomInt(1, 0x1FF)));
      c.KeyCode = static_cast<std::uint8_t>(test::RandomInt(0, 127));
      for (int k = test::RandomInt(0, 3); k > 0; --k) c.Actions.Add<TSWFActionGetUrl>("http://a/" + std::to_string(k), "_blank");
    }
    const Bytes bytes = test::WriteTag(b);
    auto back = test::ReadOneTag(bytes, 6);
    ASSERT_EQ(test::WriteTag(*back), bytes) << "round " << round;
    const auto& copy = dynamic_cast<TSWFDefineButton2&>(*back);
    ASSERT_EQ(copy.Actions.size(), b.Actions.size());
    for (std::size_t i = 0; i < b.Actions.size(); ++i) {
      EXPECT_EQ(copy.Actions[i]->Conditions, b.Actions[i]->Conditions);
      EXPECT_EQ(copy.Actions[i]->KeyCode, b.Actions[i]->KeyCode);
    }
    for (std::size_t i = 0; i < b.Records.size(); ++i) EXPECT_EQ(copy.Records[i]->States, b.Records[i]->States);
  }
}

}  // namespace
}  // namespace movara::swf
