// The preview with the GIFs that could stall a window: a 4000 x 4000 screen,
// thousands of frames. For each it prints the time the UI thread spends in
// ShowPreView (load, placement, start of the painter), the time until the
// first picture reaches the pane, the painter's time per picture, the frames
// kept within the preview's limits and the peak memory of the process.
//
//   bench/preview_bench

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "GifBuilder.h"
#include "base/FileStream.h"
#include "form/Preview.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); }

// Peak resident memory in MiB since the last reset.
double PeakMiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0;
}
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// A pane of the design's size that counts the pictures it is given.
class CountingPane final : public movara::form::IPreviewView, public movara::imaging::IGIFDrawTarget {
 public:
  std::atomic<int> Pictures{0};
  TPoint PaneClientSize() const override { return {197, 149}; }
  void SetPictureBounds(int, int, int width, int height) override { size_ = {width, height}; }
  bool PaneScrollBarsVisible() const override { return size_.X > 197 || size_.Y > 149; }
  void SetHandCursor(bool) override {}
  TPoint PaneScrollPosition() const override { return {}; }
  void SetPaneScrollPosition(TPoint) override {}
  movara::imaging::IGIFDrawTarget& PictureTarget() override { return *this; }
  void ClearPicture() override {}
  void Present(std::shared_ptr<const movara::imaging::TBitmap>) override { ++Pictures; }

 private:
  TPoint size_;
};

// Frames of one colour each with a square of another that moves.
movara::test::Bytes Animation(int width, int height, int frames) {
  movara::test::GifBuilder b;
  b.Header(width, height, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}).Loop(0);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height);
  const int side = std::max(1, std::min(width, height) / 4);
  for (int k = 0; k < frames; ++k) {
    std::fill(pixels.begin(), pixels.end(), static_cast<std::uint8_t>(1 + k % 3));
    const int left = (k * 7) % std::max(1, width - side);
    for (int y = 0; y < side; ++y) std::fill_n(&pixels[static_cast<std::size_t>(y) * width + left], side, 0);
    b.Gce(1, 2);
    b.Frame(movara::test::MakeFrame(0, 0, width, height, pixels));
  }
  return b.Trailer().Build();
}

void Measure(const char* name, int width, int height, int frames) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() / (std::string("preview-bench-") + name + ".gif");
  movara::WriteFileBytes(file, Animation(width, height, frames));
  ResetPeak();
  CountingPane pane;
  movara::form::TPreviewPane preview(pane);
  const auto start = Clock::now();
  preview.ShowPreView(file);
  const double onUiThread = Since(start);
  while (pane.Pictures == 0 && Since(start) < 60000) std::this_thread::yield();
  const double firstPicture = Since(start);
  const auto counting = Clock::now();
  const int before = pane.Pictures;
  std::this_thread::sleep_for(std::chrono::seconds(2));
  const int drawn = pane.Pictures - before;
  const std::size_t kept = preview.Image() != nullptr ? preview.Image()->Frames().size() : 0;
  preview.ShowPreView({});
  std::printf("%-22s %6zu/%-6d %12.1f %14.1f %14.1f %10.0f\n", name, kept, frames, onUiThread, firstPicture,
              drawn > 0 ? Since(counting) / drawn : 0.0, PeakMiB());
  std::filesystem::remove(file);
}

}  // namespace

int main() {
  std::printf("%-22s %13s %12s %14s %14s %10s\n", "GIF", "frames kept", "UI ms", "1st picture ms", "ms/picture",
              "peak MiB");
  Measure("4000x4000, 6 frames", 4000, 4000, 6);
  Measure("200x200, 3000 frames", 200, 200, 3000);
  Measure("20x20, 12000 frames", 20, 20, 12000);
  return 0;
}
