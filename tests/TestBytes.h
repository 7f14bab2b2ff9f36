#pragma once

#include <functional>

#include "Bytes.h"
#include "base/MemoryStream.h"
#include "swf/core/BitsEngine.h"

namespace movara::test {

// Runs a writer on a fresh engine over memory and returns what it wrote.
inline Bytes Written(const std::function<void(swf::TBitsEngine&)>& write) {
  TMemoryStream stream;
  swf::TBitsEngine be(stream);
  write(be);
  return stream.Bytes();
}

}  // namespace movara::test
