// Feeds arbitrary bytes to the GIF reader and renders what loads. The reader
// may refuse the data with a GIFException; nothing else may happen.
#include <cstdint>
#include <span>

#include "base/MemoryStream.h"
#include "imaging/GIFException.h"
#include "imaging/GIFImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace movara;
  imaging::TGIFImage gif;
  TMemoryViewStream stream(std::span<const std::uint8_t>(data, size));
  try {
    gif.LoadFromStream(stream);
  } catch (const imaging::GIFException&) {
  }
  try {
    // Rendering is a plain copy; large frames only slow the search down.
    for (auto& frame : gif.Frames()) {
      if (frame->PixelData().size() <= (1u << 20) && frame->FrameBitmap() != nullptr) frame->Mask();
    }
  } catch (const imaging::GIFException&) {
  }
  return 0;
}
