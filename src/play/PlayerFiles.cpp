#include "play/PlayerFiles.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "base/ProgramFolder.h"

namespace movara::play {

namespace {

std::filesystem::path InstalledPlayerFolder(const std::filesystem::path& programFolder) {
  return InstalledDataFolder(programFolder) / "player";
}

// The emulator's own configuration object, read by its entry script: play
// at once, no splash screen, no overlay asking for a click to unmute, links
// opened as the movie asks. The renderer is chosen when the player reads it,
// once the page's movie element is there: the WebGL renderer draws the
// movie's bitmaps one to one and shows partially transparent pixels as they
// are (the canvas renderer takes their premultiplied colours for straight
// ones and shows them darker), but draws the stage and each bitmap as a GPU
// texture; a stage larger than the largest texture (a GIF of 1 x 65535
// pixels), or a browser without WebGL, gets the canvas renderer, which takes
// any size.
constexpr const char* kPlayerConfig =
    "<script>window.RufflePlayer = window.RufflePlayer || {}; window.RufflePlayer.config = {"
    "autoplay: \"on\", splashScreen: false, unmuteOverlay: \"hidden\", openUrlMode: \"allow\", "
    "warnOnUnsupportedContent: false};\r\n"
    "(function () { var most = -1;"
    "Object.defineProperty(window.RufflePlayer.config, \"preferredRenderer\", {enumerable: true, get: function () {"
    "var e = document.querySelector(\"embed[width], object[width]\"), r = window.devicePixelRatio || 1;"
    "var w = e ? parseInt(e.getAttribute(\"width\"), 10) * r : 0, h = e ? parseInt(e.getAttribute(\"height\"), 10) * r : 0;"
    "if (most < 0) { most = 0; try { var gl = document.createElement(\"canvas\").getContext(\"webgl\");"
    "most = gl ? gl.getParameter(gl.MAX_TEXTURE_SIZE) : 0; } catch (x) {} }"
    "return w > 0 && h > 0 && w <= most && h <= most ? \"webgl\" : \"canvas\"; }}); })();</script>";

}  // namespace

std::filesystem::path FindPlayerFolder(const std::filesystem::path& programFolder) {
  std::error_code ec;
  for (const auto& folder : {programFolder / "player", InstalledPlayerFolder(programFolder)}) {
    if (std::filesystem::is_regular_file(folder / kPlayerEntry, ec)) return folder;
  }
  return {};
}

std::string PlayerMissingMessage(const std::filesystem::path& programFolder) {
  return "The player's files are missing (looked in " + (programFolder / "player").string() + " and " +
         InstalledPlayerFolder(programFolder).string() +
         "): run scripts/setup and build again, or reinstall Movara, to play movies.";
}

std::string PageWithPlayer(const std::string& page, const std::string& playerPath) {
  const std::string player = kPlayerConfig + ("\r\n<script src=\"" + playerPath + "\"></script>\r\n");
  std::string lower = page;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  // Before the end of the head, so that the page's character set stays the
  // first thing in it; at the very start of a page without one.
  const std::size_t at = lower.find("</head>");
  std::string served = page;
  served.insert(at == std::string::npos ? 0 : at, player);
  return served;
}

}  // namespace movara::play
