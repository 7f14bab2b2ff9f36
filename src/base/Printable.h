#pragma once

#include <string>
#include <string_view>

namespace movara {

// A text as a terminal may show it: control characters (a newline, an
// escape that would move the cursor or clear the screen) written as "\n",
// "\r", "\t" or "\xHH"; every other byte as it is.
std::string Printable(std::string_view text);

}  // namespace movara
