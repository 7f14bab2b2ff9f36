#include "animation/AnimationReader.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "animation/ApngReader.h"
#include "animation/PngChunks.h"
#include "animation/WebPReader.h"
#include "base/FileStream.h"
#include "base/MemoryStream.h"

namespace movara::animation {

TAnimationKind KindOf(const std::uint8_t* head, std::size_t size) {
  if (size >= 6 && (std::memcmp(head, "GIF87a", 6) == 0 || std::memcmp(head, "GIF89a", 6) == 0)) {
    return TAnimationKind::Gif;
  }
  if (size >= kPngSignature.size() && std::equal(kPngSignature.begin(), kPngSignature.end(), head)) {
    return TAnimationKind::Png;
  }
  if (size >= 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WEBP", 4) == 0) {
    return TAnimationKind::WebP;
  }
  return TAnimationKind::Unknown;
}

TAnimationKind KindOfFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  char head[12] = {};
  in.read(head, sizeof head);
  return KindOf(reinterpret_cast<const std::uint8_t*>(head), static_cast<std::size_t>(in.gcount()));
}

std::unique_ptr<TAnimationReader> OpenAnimation(const std::filesystem::path& file) {
  try {
    switch (KindOfFile(file)) {
      case TAnimationKind::Png:
        return std::make_unique<TApngReader>(std::make_unique<TFileStream>(file, TFileStream::Mode::Read));
      case TAnimationKind::WebP: return std::make_unique<TWebPReader>(ReadFileBytes(file));
      default: break;
    }
  } catch (const StreamError& e) {
    throw AnimationError(e.what());
  }
  throw AnimationError("not a PNG or WebP file");
}

std::unique_ptr<TAnimationReader> OpenAnimation(std::vector<std::uint8_t> bytes) {
  switch (KindOf(bytes.data(), bytes.size())) {
    case TAnimationKind::Png: return std::make_unique<TApngReader>(std::make_unique<TMemoryStream>(std::move(bytes)));
    case TAnimationKind::WebP: return std::make_unique<TWebPReader>(std::move(bytes));
    default: throw AnimationError("not a PNG or WebP file");
  }
}

}  // namespace movara::animation
