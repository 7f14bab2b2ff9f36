#pragma once

#include <string>
#include <string_view>

namespace movara::run {

// Whether a link's URL looks like a site named without its scheme
// ("www.example.com"): it starts with no scheme ("https:", "mailto:", as
// RFC 3986 spells one) and not as a plainly relative link does ("/", ".",
// "#", "?"). The movie opens such a URL relative to the page that plays it,
// which is legitimate but rarely meant; callers ask or warn, and keep what
// was typed unless told otherwise.
bool MissesScheme(std::string_view url);

// What a URL without a scheme usually means: "https://" before it.
std::string WithHttps(std::string_view url);

}  // namespace movara::run
