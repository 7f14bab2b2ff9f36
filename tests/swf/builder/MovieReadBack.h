#pragma once

#include <vector>

#include "base/MemoryStream.h"
#include "swf/builder/FlashMovie.h"
#include "swf/core/TagReader.h"

namespace movara::test {

// Builds a movie and reads the saved file back with the tag readers.
inline swf::TSWFFile BuildAndRead(swf::TFlashMovie& movie) {
  movie.BuildBody();
  TMemoryStream file;
  movie.SaveToStream(file);
  return swf::ReadSWFFile(file.Bytes());
}

template <class Tags>
std::vector<std::uint16_t> CodesOf(const Tags& tags) {
  std::vector<std::uint16_t> codes;
  for (const auto& t : tags) codes.push_back(dynamic_cast<const swf::TSWFObject&>(*t).TagCode);
  return codes;
}

}  // namespace movara::test
