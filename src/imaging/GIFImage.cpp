#include "imaging/GIFImage.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "base/FileStream.h"
#include "base/MemoryStream.h"
#include "imaging/GIFException.h"
#include "imaging/GIFPainter.h"
#include "imaging/GIFStreamReader.h"

namespace movara::imaging {

namespace {

bool StartsWithGIF(const std::uint8_t* b) {
  return std::toupper(b[0]) == 'G' && std::toupper(b[1]) == 'I' && std::toupper(b[2]) == 'F';
}

}  // namespace

void TGIFHeader::Clear() {
  Width = Height = 0;
  Packed = BackgroundColorIndex = AspectRatio = 0;
  ColorMap.Clear();
}

void TGIFHeader::LoadFromStream(TGIFStreamReader& reader) {
  const std::uint64_t start = reader.Position();
  std::uint8_t signature[6];
  // A file too short to hold a signature is no GIF, not a GIF cut short.
  if (reader.ReadSome(signature, 6) != 6) throw GIFException(gifmsg::kBadSignature);
  if (!StartsWithGIF(signature)) {
    // Some files carry a few bytes before the signature.
    reader.Seek(start);
    reader.Skip(4);
    if (reader.ReadSome(signature, 6) != 6 || !StartsWithGIF(signature)) throw GIFException(gifmsg::kBadSignature);
  }
  std::uint8_t d[7];
  reader.ReadExact(d, 7);
  Width = static_cast<std::uint16_t>(d[0] | (d[1] << 8));
  Height = static_cast<std::uint16_t>(d[2] | (d[3] << 8));
  Packed = d[4];
  BackgroundColorIndex = d[5];
  AspectRatio = d[6];
  if ((Packed & 0x80) != 0) {
    ColorMap.LoadFromStream(reader, 2 << (Packed & 7));
  } else {
    ColorMap.Clear();
  }
  ColorMap.Optimized = (Packed & 0x08) != 0;
}

void TGIFTrailer::LoadFromStream(TGIFStreamReader& reader) {
  std::uint8_t b;
  if (reader.ReadByte(b) && b != 0x3B) image_->Warning(gifmsg::kBadTrailer);
}

TGIFImage::TGIFImage() : header_(this) {
  header_.ColorMap.OnChange = [this] { palette_.reset(); };
}

TGIFImage::~TGIFImage() { StopPainters(); }

void TGIFImage::Warning(const std::string& message) {
  if (WarningHandler) WarningHandler(*this, 1, message);
}

bool TGIFImage::Progress(int stage, int percent, const std::string& message) {
  return !ProgressHandler || ProgressHandler(*this, stage, percent, message);
}

void TGIFImage::ChargeUnfilledPixels(std::uint64_t pixels) {
  unfilledPixels_ += pixels;
  if (unfilledPixels_ > kMaxUnfilledPixels) throw GIFException(gifmsg::kOutOfMemory);
}

void TGIFImage::Clear() {
  StopPainters();
  frames_.clear();
  header_.Clear();
  palette_.reset();
  unfilledPixels_ = 0;
}

void TGIFImage::LoadFile(const std::filesystem::path& path) {
  // Read through a buffer rather than whole: the file need not be in
  // memory beside its decoded frames.
  TFileStream file(path, TFileStream::Mode::Read);
  LoadFromStream(file);
}

void TGIFImage::LoadFromStream(TStream& stream) {
  Progress(0, 0, gifmsg::kLoading);
  Clear();
  const std::uint64_t start = stream.Position();
  TGIFStreamReader reader(stream);
  try {
    header_.LoadFromStream(reader);
    if (LoadFrames(reader)) TGIFTrailer(this).LoadFromStream(reader);
  } catch (...) {
    stream.Seek(start);
    Progress(2, 0, gifmsg::kLoading);
    throw;
  }
  Progress(2, 100, gifmsg::kLoading);
}

bool TGIFImage::LoadFrames(TGIFStreamReader& reader) {
  const auto nextBlock = [&reader](std::uint8_t& b) {
    do {
      if (!reader.ReadByte(b)) return false;
    } while (b == 0);
    return true;
  };
  std::uint8_t b;
  if (!nextBlock(b)) return true;
  while (b != 0x3B) {
    reader.Back(1);
    if (b != 0x21 && b != 0x2C) {
      Warning(gifmsg::kUnknownBlock);
      return true;
    }
    auto frame = std::make_unique<TGIFSubImage>(this);
    frame->LoadFromStream(reader);
    frames_.push_back(std::move(frame));
    if (FrameHandler) FrameHandler(*frames_.back());
    const std::uint64_t size = std::max<std::uint64_t>(reader.Size(), 1);
    if (!Progress(1, static_cast<int>(reader.Position() * 100 / size), gifmsg::kLoading)) return false;
    if (!nextBlock(b)) return true;
  }
  reader.Back(1);
  return true;
}

void TGIFImage::AssignFrom(const TGIFImage& source) {
  if (&source == this) return;
  Clear();
  header_.Width = source.header_.Width;
  header_.Height = source.header_.Height;
  header_.Packed = source.header_.Packed;
  header_.BackgroundColorIndex = source.header_.BackgroundColorIndex;
  header_.AspectRatio = source.header_.AspectRatio;
  header_.ColorMap.Assign(source.header_.ColorMap.Colors());
  header_.ColorMap.Optimized = source.header_.ColorMap.Optimized;
  for (const auto& frame : source.frames_) {
    auto copy = std::make_unique<TGIFSubImage>(this);
    copy->AssignFrom(*frame);
    frames_.push_back(std::move(copy));
  }
}

TPalette TGIFImage::Palette() {
  if (palette_) return *palette_;
  if (header_.ColorMap.Count() > 0) {
    palette_ = TPalette{header_.ColorMap.Colors()};
    return *palette_;
  }
  if (frames_.empty()) return {};
  if (buildingPalette_) throw GIFException(gifmsg::kNoColorMap);
  buildingPalette_ = true;
  try {
    TPalette p = frames_.front()->Palette();
    buildingPalette_ = false;
    return p;
  } catch (...) {
    buildingPalette_ = false;
    throw;
  }
}

void TGIFImage::Draw(IGIFDrawTarget& target) { Draw(target, SteadyClock()); }

void TGIFImage::Draw(IGIFDrawTarget& target, IPainterClock& clock) {
  if (drawing_ || frames_.empty()) return;
  if (frames_.size() == 1 || (DrawOptions & doAnimate) == 0) {
    target.Present(StillPicture(*this));
    return;
  }
  if (HasPainter(&target)) return;
  StopPainters();
  auto painter = std::make_unique<TGIFPainter>(*this, target, clock);
  if (painter->Threaded()) {
    TGIFPainter& started = *painter;
    RegisterPainter(&target, [owned = std::shared_ptr<TGIFPainter>(std::move(painter))] { owned->Stop(); });
    started.Start();
    return;
  }
  // Inside Draw the painter handles the application's events while it
  // waits; they may clear or destroy this image, whose stop then tells us.
  bool stoppedByImage = false;
  drawing_ = true;
  const int id = RegisterPainter(&target, [&stoppedByImage, p = painter.get()] {
    stoppedByImage = true;
    p->Stop();
  });
  painter->Run();
  if (stoppedByImage) return;
  drawing_ = false;
  UnregisterPainter(id);
}

int TGIFImage::RegisterPainter(const IGIFDrawTarget* target, std::function<void()> stop) {
  std::lock_guard lock(paintersMutex_);
  painters_.push_back({nextPainterId_, target, std::move(stop)});
  return nextPainterId_++;
}

void TGIFImage::UnregisterPainter(int id) {
  std::vector<TPainterEntry> gone;
  {
    std::lock_guard lock(paintersMutex_);
    const auto it = std::stable_partition(painters_.begin(), painters_.end(),
                                          [id](const TPainterEntry& p) { return p.Id != id; });
    std::move(it, painters_.end(), std::back_inserter(gone));
    painters_.erase(it, painters_.end());
  }
}

bool TGIFImage::HasPainter(const IGIFDrawTarget* target) {
  std::lock_guard lock(paintersMutex_);
  return std::any_of(painters_.begin(), painters_.end(), [target](const TPainterEntry& p) { return p.Target == target; });
}

std::size_t TGIFImage::PainterCount() {
  std::lock_guard lock(paintersMutex_);
  return painters_.size();
}

void TGIFImage::StopPainters() {
  // Signalled outside the lock, and the registrations (which may own their
  // painters, whose destruction waits for the thread) released there too.
  std::vector<TPainterEntry> painters;
  {
    std::lock_guard lock(paintersMutex_);
    painters.swap(painters_);
  }
  for (auto& p : painters) p.Stop();
  drawing_ = false;
}

}  // namespace movara::imaging
