#pragma once

#include <cstdint>

namespace movara::imaging {

// The two colour packings of the system, kept behind named helpers:
//  - a colour: 0x00BBGGRR, red in the low byte (GIF tables, pixel reads);
//  - an ARGB canvas pixel: 0xAARRGGBB, which in memory is the bytes B, G, R, A
//    of a 32-bit BMP row.
using TColor = std::uint32_t;
using TARGB = std::uint32_t;

constexpr TColor MakeColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return r | (TColor{g} << 8) | (TColor{b} << 16);
}
constexpr std::uint8_t RedOf(TColor c) { return static_cast<std::uint8_t>(c); }
constexpr std::uint8_t GreenOf(TColor c) { return static_cast<std::uint8_t>(c >> 8); }
constexpr std::uint8_t BlueOf(TColor c) { return static_cast<std::uint8_t>(c >> 16); }
// The colour alone: tables may carry a byte above blue, which compares as
// nothing.
constexpr TColor RGBOnly(TColor c) { return c & 0xFFFFFF; }

constexpr TARGB MakeARGB(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return (TARGB{a} << 24) | (TARGB{r} << 16) | (TARGB{g} << 8) | b;
}
constexpr TARGB ColorToARGB(TColor c, std::uint8_t alpha) { return MakeARGB(alpha, RedOf(c), GreenOf(c), BlueOf(c)); }
constexpr std::uint8_t AlphaOfARGB(TARGB p) { return static_cast<std::uint8_t>(p >> 24); }
constexpr TColor ARGBToColor(TARGB p) {
  return MakeColor(static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p));
}

}  // namespace movara::imaging
