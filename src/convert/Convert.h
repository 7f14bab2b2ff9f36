#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace movara::convert {

// Movie frame rates a conversion accepts, and the usual one.
inline constexpr unsigned kDefaultFrameRate = 24;
inline constexpr unsigned kMinFrameRate = 1;
inline constexpr unsigned kMaxFrameRate = 120;

// A movie's character ids, depths and frame count are 16-bit: a GIF whose
// pictures (two ids each, the link button two more) or whose movie frames
// go beyond this is refused before anything is written.
inline constexpr std::uint64_t kMaxMovieField = 0xFFFF;

// Result codes of one conversion.
enum TConvertResult : int { crOk = 0, crLoadError = 1, crWriteError = 6 };

// What a conversion does with a movie that already exists.
enum class TOverwrite { Replace, Keep };

// The movie's clock.
struct TMovieTiming {
  // Movie frames per second, from 1 to 120. Each GIF frame starts at the
  // movie frame nearest to its time on the GIF's clock.
  unsigned FramesPerSecond = kDefaultFrameRate;
  // Plays the file's loop count as browsers do: a GIF without a loop
  // extension once, then it stays on the last frame; an animated PNG's or
  // WebP's count of plays (0 for ever). Off, the movie loops for ever.
  bool GifLoop = false;
};

// One conversion's choices, named.
struct TConvertOptions {
  // The file to convert: a GIF, or (through ConvertFile) a PNG or WebP.
  std::filesystem::path Gif;
  std::filesystem::path Movie;
  // Empty: no link button. Otherwise the movie opens it in a new window
  // when clicked.
  std::string Url;
  TOverwrite Overwrite = TOverwrite::Replace;
  // Threads that compress the movie's pictures beside the conversion: 0 one
  // per core, 1 none (the conversion compresses them itself).
  unsigned CompressionThreads = 0;
  // Pictures of at most 256 distinct pixel values as 8-bit colour-mapped
  // bitmaps: the same pictures, smaller and faster to make. Off, every
  // picture is a 24-bit or 32-bit bitmap.
  bool Compact = false;
  // A compressed ("CWS") movie instead of an uncompressed ("FWS") one.
  bool Compress = false;
  TMovieTiming Timing;
  // Bytes of decoded frames a conversion holds at most: a GIF whose frames
  // need more is read twice instead, once for what the optimisations must
  // know of every frame and once to make the pictures, holding a few frames
  // at a time. 0 always reads twice.
  std::size_t HeldFrameBytes = std::size_t{16} << 20;
};

struct TConvertOutcome {
  int Code = crOk;
  std::filesystem::path Movie;
  // False when the movie was kept (TOverwrite::Keep) or not written.
  bool Written = false;
  // Why the conversion failed: the GIF reader's message or the write error.
  std::string Reason;
  // Whether the movie was made from a second reading of the GIF, holding a
  // few frames at a time (its frames did not fit in HeldFrameBytes and the
  // first reading's facts sufficed), rather than from the whole image.
  bool ReadTwice = false;
  // The GIF's screen and whether its first frame is transparent (what the
  // HTML test page needs).
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  bool FirstFrameTransparent = false;
};

// Told how far a conversion is. Called on the converting thread.
class IConvertProgress {
 public:
  virtual ~IConvertProgress() = default;
  // `done` of `total` frames made into pictures; called once with done 0
  // when the GIF is loaded, then after every frame.
  virtual void FramesDone(std::size_t done, std::size_t total) = 0;
};

// Converts one GIF into a movie. Uses no shared state, so conversions of
// different files may run on different threads at once. Failures to read
// the GIF or to write the movie come back as codes, and so does a GIF that
// needs more memory than there is or more than a movie's fields hold
// (crLoadError, "out of memory" or the limit as the reason); a frame
// rate out of range is thrown.
TConvertOutcome ConvertGif(const TConvertOptions& options, IConvertProgress* progress = nullptr);

// Converts an animated or still PNG or WebP into a movie, with the GIF's
// promises: every frame's picture exact (partial alpha included), every
// frame at its time, the plays under TMovieTiming::GifLoop. Holds the
// reader's canvases, the canvas before and one picture at a time. A file
// that cannot be read comes back as crLoadError with the reader's reason.
TConvertOutcome ConvertAnimation(const TConvertOptions& options, IConvertProgress* progress = nullptr);

// Converts any file the converter takes, by its content: PNG and WebP files
// as animations, everything else as a GIF (whose reader names what is
// wrong with a file that is none).
TConvertOutcome ConvertFile(const TConvertOptions& options, IConvertProgress* progress = nullptr);

}  // namespace movara::convert
