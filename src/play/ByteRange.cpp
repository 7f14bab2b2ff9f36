// Range requests (RFC 9110, section 14): "bytes=" and a list of ranges,
// "first-last", "first-" or "-suffix".
#include "play/ByteRange.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>
#include <vector>

#include "play/HttpRequest.h"

namespace movara::play {

namespace {

// A decimal number of at most 19 digits (beyond any file); none otherwise.
std::optional<std::uint64_t> Number(std::string_view digits) {
  if (digits.empty() || digits.size() > 19) return std::nullopt;
  std::uint64_t n = 0;
  for (const char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    n = n * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return n;
}

// One range of the list against the file; none when its syntax is invalid.
std::optional<TByteRange> OneRange(std::string_view part, std::uint64_t size) {
  const std::size_t dash = part.find('-');
  if (dash == std::string_view::npos) return std::nullopt;
  const std::string_view from = TrimmedBlanks(part.substr(0, dash)), to = TrimmedBlanks(part.substr(dash + 1));
  TByteRange range{TByteRange::Kind::Unsatisfiable, 0, 0};
  if (from.empty()) {
    const auto suffix = Number(to);
    if (!suffix) return std::nullopt;
    if (*suffix == 0 || size == 0) return range;
    range.Length = std::min(*suffix, size);
    range.First = size - range.Length;
  } else {
    const auto first = Number(from);
    const auto last = to.empty() ? std::optional<std::uint64_t>(UINT64_MAX) : Number(to);
    if (!first || !last || *last < *first) return std::nullopt;
    if (*first >= size) return range;
    range.First = *first;
    range.Length = std::min(*last, size - 1) - *first + 1;
  }
  range.Is = TByteRange::Kind::Part;
  return range;
}

std::vector<std::string_view> Split(std::string_view list) {
  std::vector<std::string_view> parts;
  for (std::size_t at = 0; at <= list.size();) {
    const std::size_t comma = std::min(list.find(',', at), list.size());
    parts.push_back(TrimmedBlanks(list.substr(at, comma - at)));
    at = comma + 1;
  }
  return parts;
}

}  // namespace

TByteRange ChooseRange(const std::string& field, std::uint64_t size) {
  const TByteRange whole{TByteRange::Kind::Whole, 0, size};
  std::string_view value = TrimmedBlanks(field);
  constexpr std::string_view kUnit = "bytes=";
  if (value.size() < kUnit.size() ||
      !std::equal(kUnit.begin(), kUnit.end(), value.begin(),
                  [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); })) {
    return whole;
  }
  std::vector<TByteRange> ranges;
  for (const std::string_view part : Split(value.substr(kUnit.size()))) {
    if (part.empty()) continue;
    const auto range = OneRange(part, size);
    if (!range) return whole;
    ranges.push_back(*range);
  }
  const auto satisfiable = std::count_if(ranges.begin(), ranges.end(),
                                         [](const TByteRange& r) { return r.Is == TByteRange::Kind::Part; });
  if (ranges.empty()) return whole;
  if (satisfiable == 0) return {TByteRange::Kind::Unsatisfiable, 0, 0};
  return ranges.size() == 1 ? ranges.front() : whole;
}

}  // namespace movara::play
