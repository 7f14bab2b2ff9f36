#pragma once

// A scratch folder to convert in, and what a movie should show of a GIF.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Compose.h"
#include "GifBuilder.h"
#include "MiniPlayer.h"
#include "base/FileStream.h"
#include "base/MemoryStream.h"
#include "convert/Convert.h"
#include "convert/MovieTime.h"

namespace movara::test {

// A folder of the test's own, removed at its end: GIFs go into Root, movies
// into OutDir.
struct ConvertFixture {
  std::filesystem::path Root;
  std::filesystem::path OutDir;

  ConvertFixture() {
    static int fixtures = 0;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // The process id keeps test runs of other trees on the machine apart.
    Root = std::filesystem::temp_directory_path() /
           ("movara-test-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name() + "-" +
            std::to_string(++fixtures));
    std::filesystem::remove_all(Root);
    OutDir = Root / "out";
    std::filesystem::create_directories(OutDir);
  }
  ~ConvertFixture() { std::filesystem::remove_all(Root); }
  ConvertFixture(const ConvertFixture&) = delete;
  ConvertFixture& operator=(const ConvertFixture&) = delete;

  std::filesystem::path WriteGif(const std::string& name, const Bytes& bytes, const std::filesystem::path& dir = {}) {
    const auto folder = dir.empty() ? Root : dir;
    std::filesystem::create_directories(folder);
    WriteFileBytes(folder / name, bytes);
    return folder / name;
  }

  std::filesystem::path MovieOf(const std::filesystem::path& gif, const std::filesystem::path& dir = {}) const {
    std::filesystem::path movie = (dir.empty() ? OutDir : dir) / gif.filename();
    movie.replace_extension(".swf");
    return movie;
  }

  // Converts a GIF with the default options into OutDir.
  convert::TConvertOutcome ConvertToOutDir(const std::filesystem::path& gif) const {
    convert::TConvertOptions options;
    options.Gif = gif;
    options.Movie = MovieOf(gif);
    return convert::ConvertGif(options);
  }

  PlayedMovie Play(const std::filesystem::path& movie) const { return PlayMovie(ReadFileBytes(movie)); }
};

// The GIF's pictures that a movie at 24 frames per second shows: not those
// due within the same movie frame as the next picture, which is composed
// over them.
inline std::vector<RgbaImage> GifPictures(const Bytes& gifBytes) {
  imaging::TGIFImage gif;
  TMemoryViewStream stream(gifBytes);
  gif.LoadFromStream(stream);
  const std::vector<RgbaImage> pictures = ComposeFrames(gif);  // one per frame with pixels
  const convert::TFrameSchedule schedule =
      convert::ScheduleFrames(convert::GifDurations(gif), convert::kDefaultFrameRate);
  std::vector<std::uint64_t> starts;
  for (std::size_t k = 0; k < gif.Frames().size(); ++k) {
    if (!gif.Frames()[k]->IsEmpty()) starts.push_back(schedule.Starts[k]);
  }
  starts.push_back(schedule.End);
  std::vector<RgbaImage> shown;
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    if (starts[i + 1] > starts[i]) shown.push_back(pictures[i]);
  }
  return shown;
}

}  // namespace movara::test
