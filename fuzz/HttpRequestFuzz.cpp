// Feeds arbitrary bytes, as a local client may send them, to the player
// server's request reader: where the head ends, the head parsed, and its
// Range field (or the whole input as one) chosen against files of a few
// sizes. A chosen part must lie within its file, and a parsed head must keep
// its target within the limit.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "play/ByteRange.h"
#include "play/HttpRequest.h"

namespace {

void CheckRange(const std::string& field, std::uint64_t size) {
  const movara::play::TByteRange range = movara::play::ChooseRange(field, size);
  if (range.Is == movara::play::TByteRange::Kind::Part && (range.Length == 0 || range.First >= size ||
                                                             range.Length > size - range.First)) {
    std::abort();
  }
  if (range.Is == movara::play::TByteRange::Kind::Whole && range.Length != size) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string range(input);
  if (const auto end = movara::play::HeadEnd(input)) {
    if (*end > input.size()) std::abort();
    movara::play::THeadError error;
    const auto request = movara::play::ParseRequestHead(input.substr(0, *end), error);
    if (request) {
      if (request->Target.size() > movara::play::kMaxRequestTarget) std::abort();
      range = request->Field("range");
    }
  }
  for (const std::uint64_t fileSize : {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{size}, UINT64_MAX}) {
    CheckRange(range, fileSize);
  }
  return 0;
}
