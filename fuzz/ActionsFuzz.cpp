// Feeds arbitrary bytes to the action list reader, then writes what it read
// again: markers re-inserted by the reader must find their referrers.
#include <cstdint>
#include <exception>
#include <span>

#include "base/MemoryStream.h"
#include "swf/core/ActionList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace movara;
  try {
    const swf::TSWFActionList list = swf::TSWFActionList::Read(std::span<const std::uint8_t>(data, size));
    TMemoryStream out;
    swf::TBitsEngine be(out);
    list.Clone().WriteActions(be);
  } catch (const std::exception&) {
  }
  return 0;
}
