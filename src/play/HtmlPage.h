#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace movara::play {

// The HTML test page of a movie, as written to disk.
std::string BuildTestPage(const std::string& movieName, const std::string& width, const std::string& height,
                          bool transparent, std::uintmax_t movieSize);
// A name as HTML text: "&", "<", ">" and """ as entities, every character
// beyond ASCII as a numeric character reference (malformed UTF-8 as U+FFFD).
std::string EscapeHtml(const std::string& text);
// A file name as a relative link: "#", "?", "%", spaces at either end,
// control characters (C1 included) and bytes that are not UTF-8
// percent-encoded, every other byte as it is.
std::string EncodeLink(const std::string& name);
// Writes the test page beside a movie (its name with ".html") under a
// temporary name, then renames it; the page's path, or none when a page
// that exists is kept (`replace` false). Throws StreamError or
// std::filesystem::filesystem_error when it cannot be written.
std::optional<std::filesystem::path> WriteTestPage(const std::filesystem::path& movie, const std::string& width,
                                                   const std::string& height, bool transparent, bool replace = true);

}  // namespace movara::play
