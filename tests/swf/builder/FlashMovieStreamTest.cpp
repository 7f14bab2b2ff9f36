// A movie written frame by frame as it is built is the movie BuildBody and
// SaveToStream write, byte for byte.
#include <gtest/gtest.h>

#include <stdexcept>

#include "SoundBytes.h"
#include "base/MemoryStream.h"
#include "swf/builder/FlashMovie.h"
#include "swf/core/ControlTags.h"

namespace movara::swf {
namespace {

constexpr std::uint16_t kFrames = 7;

imaging::TBitmap Picture(int frame) {
  imaging::TBitmap picture(30, 20, frame % 2 == 0 ? imaging::TPixelFormat::pf24bit : imaging::TPixelFormat::pf32bit);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) {
      picture.SetPixelARGB(x, y, imaging::MakeARGB(static_cast<std::uint8_t>(255 - frame), static_cast<std::uint8_t>(x * 8),
                                                   static_cast<std::uint8_t>(y * 12), static_cast<std::uint8_t>(frame * 30)));
    }
  return picture;
}

// Frames of pictures, labels, a pending object, a frame of several, a
// sprite, a link button and a stream sound: what writes ahead of frames.
void Compose(TFlashMovie& movie) {
  TFlashButton& button = movie.AddButton(false, true);
  TFlashShape& hit = movie.AddRectangle(0, 0, 29, 19);
  button.AddRecord(hit, bsUp | bsHitTest, 1);
  button.OnRelease().GetUrl("http://example.com/", "_blank");
  movie.PlaceObject(button, 40);
  for (int k = 0; k < 4; ++k) {
    TFlashImage& image = movie.AddImage(Picture(k));
    TFlashShape& shape = movie.AddRectangle(0, 0, 30, 20);
    shape.SetImageFill(image, 1, 1.0, 1.0);
    if (k > 0) movie.RemoveObject(static_cast<std::uint16_t>(2 * k - 2), &shape);
    movie.PlaceObject(shape, static_cast<std::uint16_t>(2 * k)).SetTranslate(k, k);
    if (k == 1) movie.FrameLabel = "second";
    if (k == 2) movie.PendingFrameObject = std::make_unique<TSWFRemoveObject2>(40);
    movie.ShowFrame(k == 3 ? 3 : 1);
  }
  TFlashSprite& sprite = movie.AddSprite();
  sprite.PlaceObject(hit, 1);
  sprite.ShowFrame(2);
  movie.PlaceObject(sprite, 30);
  movie.ShowFrame();
}

void Prepare(TFlashMovie& movie, bool compressed, unsigned threads) {
  movie.SetVersion(5);
  movie.SetCompressed(compressed);
  movie.BackgroundColor() = TSWFRGB{10, 20, 30};
  movie.CompactImages = true;
  if (threads != 1) movie.SetCompressionThreads(threads);
  movie.StreamSound().LoadFile(test::SoundData("tone-22050-s16-mono.wav"));
}

std::vector<std::uint8_t> Built(bool compressed, unsigned threads) {
  TFlashMovie movie(0, 0, 30, 20, 24, true);
  Prepare(movie, compressed, threads);
  Compose(movie);
  movie.BuildBody();
  TMemoryStream out;
  movie.SaveToStream(out);
  return out.Bytes();
}

// Streamed after a few bytes of something else, which stay as they are.
std::vector<std::uint8_t> Streamed(bool compressed, unsigned threads) {
  TFlashMovie movie(0, 0, 30, 20, 24, true);
  Prepare(movie, compressed, threads);
  TMemoryStream out;
  out.Write("abc", 3);
  movie.BeginStream(out, kFrames);
  Compose(movie);
  movie.EndStream();
  EXPECT_EQ(movie.FrameCount, kFrames);
  EXPECT_EQ(out.Position(), out.Size());
  std::vector<std::uint8_t> bytes = out.Bytes();
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 3), "abc");
  bytes.erase(bytes.begin(), bytes.begin() + 3);
  return bytes;
}

TEST(FlashMovieStream, WritesTheBytesOfTheMovieBuiltWhole) {
  for (const bool compressed : {false, true}) {
    for (const unsigned threads : {1u, 2u}) {
      SCOPED_TRACE(testing::Message() << "compressed " << compressed << ", threads " << threads);
      const std::vector<std::uint8_t> whole = Built(compressed, threads);
      EXPECT_EQ(Streamed(compressed, threads), whole);
      EXPECT_EQ(whole[0], compressed ? 'C' : 'F');
    }
  }
}

TEST(FlashMovieStream, FramesGoOutAsTheyAreClosed) {
  TFlashMovie movie(0, 0, 30, 20, 24, true);
  TMemoryStream out;
  movie.BeginStream(out, 2);
  const std::uint64_t header = out.Size();
  TFlashImage& image = movie.AddImage(Picture(0));
  TFlashShape& shape = movie.AddRectangle(0, 0, 30, 20);
  shape.SetImageFill(image, 1, 1.0, 1.0);
  movie.PlaceObject(shape, 1);
  EXPECT_EQ(out.Size(), header) << "nothing of an open frame is written";
  movie.ShowFrame();
  EXPECT_GT(out.Size(), header + 30 * 20 / 8) << "the closed frame is written, picture and all";
  EXPECT_FALSE(image.Data()) << "its picture is not held once written";
  movie.InsertMode = true;
  movie.InsertIndex = 0;
  EXPECT_THROW(movie.RemoveObject(1, nullptr), std::logic_error);
  movie.InsertMode = false;
  movie.ShowFrame();
  movie.EndStream();
  EXPECT_FALSE(movie.Streaming());
}

TEST(FlashMovieStream, CompressedMovieKeepsItsDeclaredFrameCount) {
  TFlashMovie movie(0, 0, 30, 20, 24, true);
  movie.SetCompressed(true);
  TMemoryStream out;
  movie.BeginStream(out, 3);
  movie.ShowFrame(2);
  EXPECT_THROW(movie.EndStream(), std::logic_error);
}

}  // namespace
}  // namespace movara::swf
