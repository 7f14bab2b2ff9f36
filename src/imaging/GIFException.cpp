#include "imaging/GIFException.h"

#include <array>
#include <utility>

namespace movara::imaging {

std::string_view GIFMessageGloss(std::string_view message) {
  using namespace gifmsg;
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 24> kGlosses = {{
      {kPrematureEnd, "the data ends early"},
      {kBadSignature, "not a GIF file: invalid signature"},
      {kUnknownBlock, "unknown block type"},
      {kBadExtension, "invalid extension"},
      {kUnknownExtension, "unknown extension type"},
      {kExtensionMismatch, "internal error: extension does not match its table"},
      {kBadAppBlockSize, "unsupported application extension block size"},
      {kBadData, "invalid GIF data"},
      {kBadSize, "image exceeds the logical screen"},
      {kBitUnderrun, "decoder ran out of bits"},
      {kBadTable, "invalid LZW decoder table entry"},
      {kBadTrailer, "invalid trailer"},
      {kBadColorIndex, "invalid colour index"},
      {kEmptyColorMap, "colour table is empty"},
      {kColorMapOverflow, "colour table overflow"},
      {kNoColorMap, "no global or local colour table"},
      {kBadPixelCoord, "invalid pixel coordinate"},
      {kEmptyImage, "image is empty"},
      {kOutOfMemory, "image too large: out of memory for its pixels"},
      {kLoading, "loading"},
      {kRendering, "rendering"},
      {kOptimizing, "optimising"},
      {kBadReduction, "invalid reduction method"},
      {kColorNotInMap, "colour not in the colour table"},
  }};
  for (const auto& [text, gloss] : kGlosses) {
    if (text == message) return gloss;
  }
  return {};
}

}  // namespace movara::imaging
