#pragma once

#include <stdexcept>

namespace movara::media {

// The base of the media readers' errors: a caller that takes sound or video
// from a file catches this one type.
class MediaError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace movara::media
