#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "convert/Convert.h"
#include "convert/FrameComposer.h"
#include "convert/StreamedOptimiser.h"
#include "imaging/Colors.h"
#include "imaging/GIFImage.h"

namespace movara::convert {

// More pictures over one pixel than this make the stage too deep to show
// quickly: a GIF with more is made of full frames, an animation's layers
// are merged.
inline constexpr int kMaxLayers = 11;

// How a loaded GIF becomes a movie, decided before the movie is made.
struct TMoviePlan {
  // Frames as loaded: the link button lies above them all, at twice this.
  std::size_t LoadedFrames = 0;
  // A GIF without a global table has no background colour: black serves,
  // as it only fills transparent parts of the canvas.
  imaging::TColor Background = 0;
  bool FirstFrameTransparent = false;
  bool Layered = false;
  TLayerPlan Layers;
  // The frames as they become pictures.
  std::vector<TFrameFacts> Frames;
  // The count of the GIF's last loop extension, read before the
  // optimisations, which keep only the first frame's.
  std::optional<std::uint16_t> LoopCount;
};

// Reads the GIF frame by frame and plans its movie: made from a second
// reading (`optimiser` set) when the GIF's pixels did not fit in what a
// conversion holds and the first reading's facts suffice, else from the
// whole image in `gif`, optimised. False with the reader's message when it
// cannot be read.
bool LoadAndPlan(const TConvertOptions& options, std::unique_ptr<imaging::TGIFImage>& gif,
                 std::unique_ptr<TStreamedOptimiser>& optimiser, TMoviePlan& plan, IConvertProgress* progress,
                 std::string& reason);

// Why a plan does not fit a movie's 16-bit fields (kMaxMovieField), or
// empty when it does. Each picture takes two ids (its bitmap and its
// rectangle), the link button two more and the depth above every frame.
std::string LimitProblem(const TMoviePlan& plan, bool link, std::uint64_t movieFrames);

}  // namespace movara::convert
