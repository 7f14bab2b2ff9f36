// Feeds arbitrary bytes to the BMP reader and counts the colours of what
// loads. Unsupported data must end in a BMPError and nothing else.
#include <cstdint>
#include <span>

#include "base/MemoryStream.h"
#include "imaging/BMPReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace movara;
  imaging::TBMPReader reader;
  TMemoryViewStream stream(std::span<const std::uint8_t>(data, size));
  try {
    reader.LoadFromStream(stream);
    reader.UsedColors();
  } catch (const imaging::BMPError&) {
  }
  return 0;
}
