#pragma once

#include <string>
#include <string_view>

namespace movara::run {

// A byte string as a JSON string, quotes included. Valid UTF-8 stays as it
// is, apart from the escapes JSON needs (quote, backslash, control
// characters). A byte that is not part of valid UTF-8 (a file name in
// another encoding, a cut sequence) is written as the lone surrogate
// \udc80 to \udcff of its value, as Python's "surrogateescape" reads names,
// so any name round-trips: os.fsencode(json.loads(line)["input"]) in Python
// gives its bytes back. Valid UTF-8 never encodes a surrogate, so no name
// reads back as another.
std::string JsonString(std::string_view bytes);

}  // namespace movara::run
