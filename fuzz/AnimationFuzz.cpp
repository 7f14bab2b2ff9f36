// Feeds arbitrary bytes to the animated PNG and WebP readers and composes
// every frame. A file they cannot read must end in an AnimationError and
// nothing else.
#include <cstdint>
#include <vector>

#include "animation/AnimationReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace movara::animation;
  try {
    const auto reader = OpenAnimation(std::vector<std::uint8_t>(data, data + size));
    // Reads the last row of each frame, which must exist.
    volatile std::uint8_t alpha = 0;
    while (const auto* frame = reader->NextFrame()) alpha = frame->ScanLine(frame->Height() - 1)[3];
    (void)alpha;
  } catch (const AnimationError&) {
  }
  return 0;
}
