#pragma once

#include <cstdint>
#include <string>

#include "swf/builder/FlashMovie.h"

namespace movara::convert {

// A transparent button over the whole screen that opens the URL in a new
// window when released, above every frame picture.
void AddLinkButton(swf::TFlashMovie& movie, const std::string& url, std::int32_t width, std::int32_t height,
                   std::uint16_t depth);

}  // namespace movara::convert
