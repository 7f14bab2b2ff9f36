#pragma once

#include <stdexcept>

namespace movara::swf {

// The base of the movie builder's errors: a file the movie cannot carry.
class FlashBuildError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Raised while a movie is written: a character used but not defined, one
// defined twice, or one used within its own definition.
class FlashCharacterError : public FlashBuildError {
 public:
  using FlashBuildError::FlashBuildError;
};

}  // namespace movara::swf
