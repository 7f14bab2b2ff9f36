#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace movara::play {

// The most a request's head (its request line and header fields) may take,
// and its target within it.
inline constexpr std::size_t kMaxRequestHead = 16 * 1024;
inline constexpr std::size_t kMaxRequestTarget = 8 * 1024;

// A request as far as a server of files needs it.
struct THttpRequest {
  std::string Method;
  std::string Target;
  // Field names in lower case; a repeated field keeps its first value.
  std::map<std::string, std::string> Fields;
  // Whether the connection stays open after the answer (HTTP/1.1 unless
  // "Connection: close"; HTTP/1.0 only with "Connection: keep-alive").
  bool KeepAlive = false;

  std::string Field(const std::string& lowerName) const;
};

// A request head that cannot be served, and the status that says why.
struct THeadError {
  int Status = 400;
};

// A field value without the spaces and tabs HTTP allows around it and
// around the items of its lists.
std::string_view TrimmedBlanks(std::string_view text);

// Where the head in `bytes` ends (just past its empty line); none while it
// is incomplete.
std::optional<std::size_t> HeadEnd(std::string_view bytes);

// Parses a complete head (up to and including its empty line). A malformed
// head is 400, a target longer than kMaxRequestTarget 414, a version other
// than HTTP/1.0 or 1.1 505.
std::optional<THttpRequest> ParseRequestHead(std::string_view head, THeadError& error);

}  // namespace movara::play
