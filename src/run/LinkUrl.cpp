#include "run/LinkUrl.h"

#include <algorithm>
#include <cctype>

namespace movara::run {

namespace {

// A host and port ("localhost:8080/x") spell a scheme too, but are none.
bool IsPort(std::string_view rest) {
  const std::size_t end = std::min(rest.find_first_of("/?#"), rest.size());
  if (end == 0) return false;
  for (std::size_t i = 0; i < end; ++i) {
    if (std::isdigit(static_cast<unsigned char>(rest[i])) == 0) return false;
  }
  return true;
}

bool HasScheme(std::string_view url) {
  const std::size_t colon = url.find(':');
  if (colon == std::string_view::npos || colon == 0) return false;
  if (std::isalpha(static_cast<unsigned char>(url[0])) == 0) return false;
  for (std::size_t i = 1; i < colon; ++i) {
    const auto c = static_cast<unsigned char>(url[i]);
    if (std::isalnum(c) == 0 && c != '+' && c != '-' && c != '.') return false;
  }
  return !IsPort(url.substr(colon + 1));
}

}  // namespace

bool MissesScheme(std::string_view url) {
  if (url.empty() || std::string_view("/.#?").find(url[0]) != std::string_view::npos) return false;
  return !HasScheme(url);
}

std::string WithHttps(std::string_view url) { return "https://" + std::string(url); }

}  // namespace movara::run
