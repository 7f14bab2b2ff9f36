// Request heads as RFC 9112 writes them: a request line, then header fields
// each on a line of its own, then an empty line.
#include "play/HttpRequest.h"

#include <algorithm>
#include <cctype>

namespace movara::play {

namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

// A field name is a token: no separators, spaces or controls.
bool IsToken(std::string_view name) {
  static constexpr std::string_view kSeparators = "()<>@,;:\\\"/[]?={} \t";
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b > 32 && b < 127 && kSeparators.find(c) == std::string_view::npos;
  });
}

// "METHOD TARGET VERSION": false when it is not three tokens.
bool ParseRequestLine(std::string_view line, THttpRequest& request, std::string& version) {
  const std::size_t first = line.find(' ');
  const std::size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
  if (second == std::string_view::npos || line.find(' ', second + 1) != std::string_view::npos) return false;
  request.Method = line.substr(0, first);
  request.Target = line.substr(first + 1, second - first - 1);
  version = line.substr(second + 1);
  return IsToken(request.Method) && !request.Target.empty();
}

// "Name: value"; false for a line that is not one (an obsolete folded line
// included, which RFC 9112 lets a server refuse).
bool ParseField(std::string_view line, THttpRequest& request) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos || !IsToken(line.substr(0, colon))) return false;
  const std::string_view value = TrimmedBlanks(line.substr(colon + 1));
  if (std::any_of(value.begin(), value.end(), [](char c) { return c == '\0' || c == '\r' || c == '\n'; })) return false;
  request.Fields.emplace(Lower(line.substr(0, colon)), std::string(value));
  return true;
}

}  // namespace

std::string_view TrimmedBlanks(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::string THttpRequest::Field(const std::string& lowerName) const {
  const auto found = Fields.find(lowerName);
  return found == Fields.end() ? std::string() : found->second;
}

std::optional<std::size_t> HeadEnd(std::string_view bytes) {
  const std::size_t end = bytes.find("\r\n\r\n");
  if (end == std::string_view::npos) return std::nullopt;
  return end + 4;
}

std::optional<THttpRequest> ParseRequestHead(std::string_view head, THeadError& error) {
  THttpRequest request;
  std::string version;
  error.Status = 400;
  std::size_t at = head.find("\r\n");
  if (at == std::string_view::npos || !ParseRequestLine(head.substr(0, at), request, version)) return std::nullopt;
  if (request.Target.size() > kMaxRequestTarget) {
    error.Status = 414;
    return std::nullopt;
  }
  if (version != "HTTP/1.1" && version != "HTTP/1.0") {
    error.Status = version.starts_with("HTTP/") ? 505 : 400;
    return std::nullopt;
  }
  for (at += 2; at + 2 < head.size();) {
    const std::size_t end = head.find("\r\n", at);
    if (!ParseField(head.substr(at, end - at), request)) return std::nullopt;
    at = end + 2;
  }
  const std::string connection = Lower(request.Field("connection"));
  request.KeepAlive = version == "HTTP/1.1" ? connection != "close" : connection == "keep-alive";
  return request;
}

}  // namespace movara::play
