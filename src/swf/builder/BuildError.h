#pragma once

#include <stdexcept>

namespace movara::swf {

// The base of the movie builder's errors: a file the movie cannot carry.
class FlashBuildError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace movara::swf
