#pragma once

// A scratch folder with a converter around it: the main window's logic on a
// fake view, an in-memory settings store and a program folder of its own.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>

#include "Compose.h"
#include "FakeView.h"
#include "GifBuilder.h"
#include "MiniPlayer.h"
#include "app/MainForm.h"
#include "app/MovieTime.h"
#include "app/PlayerFiles.h"
#include "base/FileStream.h"
#include "base/MemoryStream.h"

namespace movara::test {

struct ConverterFixture {
  std::filesystem::path Root;
  std::filesystem::path ProgramDir;
  std::filesystem::path OutDir;
  FakeView View;
  app::TMemorySettingsStore Settings;
  std::unique_ptr<app::TfrmMain> Form;

  ConverterFixture() {
    static int fixtures = 0;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // The process id keeps test runs of other trees on the machine apart.
    Root = std::filesystem::temp_directory_path() /
           ("movara-app-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name() + "-" +
            std::to_string(++fixtures));
    std::filesystem::remove_all(Root);
    ProgramDir = Root / "program";
    OutDir = Root / "out";
    std::filesystem::create_directories(ProgramDir);
    std::filesystem::create_directories(OutDir);
    // Never the user's own pictures or home folder.
    View.Pictures = Root / "pictures";
    std::filesystem::create_directories(View.Pictures);
    Form = std::make_unique<app::TfrmMain>(View, Settings, ProgramDir);
    Form->OutputFolder = OutDir;
  }
  ~ConverterFixture() { std::filesystem::remove_all(Root); }

  // A stand-in for the player's files beside the program, so that a single
  // conversion can serve its page.
  void GivePlayer() const {
    std::filesystem::create_directories(ProgramDir / "player");
    WriteFileBytes(ProgramDir / "player" / app::kPlayerEntry, Bytes{'/', '/'});
  }

  std::filesystem::path WriteGif(const std::string& name, const Bytes& bytes, const std::filesystem::path& dir = {}) {
    const auto folder = dir.empty() ? Root : dir;
    std::filesystem::create_directories(folder);
    WriteFileBytes(folder / name, bytes);
    return folder / name;
  }

  // Converts one file as the Start button does in single-file mode.
  int Convert(const std::filesystem::path& gif) {
    View.Single = true;
    View.Selected = {gif};
    return Form->ConvertNow(gif, "");
  }

  std::filesystem::path MovieOf(const std::filesystem::path& gif, const std::filesystem::path& dir = {}) const {
    std::filesystem::path movie = (dir.empty() ? OutDir : dir) / gif.filename();
    movie.replace_extension(".swf");
    return movie;
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
  const app::TFrameSchedule schedule = app::ScheduleFrames(app::GifDurations(gif), app::kDefaultFrameRate);
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
