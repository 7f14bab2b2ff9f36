// Feeds arbitrary bytes to the SWF tag readers: first as a sequence of framed
// tags, then as a whole movie. Readers may throw; they must not crash, read
// outside the data or allocate without bound. Whatever reads back must also
// write again, and dump (as swfdump --fields does with any movie).
#include <cstdint>
#include <exception>
#include <span>

#include "base/MemoryStream.h"
#include "swf/core/TagDump.h"
#include "swf/core/TagReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace movara;
  const std::span<const std::uint8_t> bytes(data, size);
  if (size == 0) return 0;
  const std::uint8_t version = data[0];
  try {
    TMemoryViewStream stream(bytes.subspan(1));
    swf::TBitsEngine be(stream);
    while (stream.Remaining() > 0) {
      auto tag = swf::ReadTag(be, version);
      swf::DescribeTag(*tag);
      TMemoryStream out;
      swf::TBitsEngine writer(out);
      tag->WriteToStream(writer);
    }
  } catch (const std::exception&) {
  }
  try {
    swf::DumpMovie(bytes);
  } catch (const std::exception&) {
  }
  return 0;
}
