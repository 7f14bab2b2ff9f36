#pragma once

#include <filesystem>
#include <string>

namespace movara::play {

// The player emulator's entry script; its chunks and WebAssembly builds lie
// beside it.
inline constexpr const char* kPlayerEntry = "ruffle.js";

// The folder of the player's files: "player" beside the program (the build
// tree), or the installed data folder's; empty when neither holds them.
std::filesystem::path FindPlayerFolder(const std::filesystem::path& programFolder);

// What playing a movie says when the player's files are missing: one line,
// with how to get them.
std::string PlayerMissingMessage(const std::filesystem::path& programFolder);

// A movie's page as served: the page's text with the player added at the
// end of its head (a configuration that plays at once, without a splash or
// a click, then the entry script at `playerPath`), so that the emulator
// replaces the page's <object>/<embed> with the movie playing at its size.
std::string PageWithPlayer(const std::string& page, const std::string& playerPath);

}  // namespace movara::play
