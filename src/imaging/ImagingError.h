#pragma once

#include <stdexcept>

namespace movara::imaging {

// The base of the imaging library's errors: GIFException for GIF data,
// BMPError for BMP data.
class ImagingError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace movara::imaging
