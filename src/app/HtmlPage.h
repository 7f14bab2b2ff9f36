#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace movara::app {

// The HTML test page of a movie, as written to disk.
std::string BuildTestPage(const std::string& movieName, const std::string& width, const std::string& height,
                          bool transparent, std::uintmax_t movieSize);
// A name as HTML text: "&", "<", ">" and """ as entities, every character
// beyond ASCII as a numeric character reference (malformed UTF-8 as U+FFFD).
std::string EscapeHtml(const std::string& text);
// Writes the test page beside a movie (its name with ".html"); the page's
// path. Throws StreamError when it cannot be written.
std::filesystem::path WriteTestPage(const std::filesystem::path& movie, const std::string& width,
                                    const std::string& height, bool transparent);

}  // namespace movara::app
