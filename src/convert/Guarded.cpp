#include "convert/Guarded.h"

#include <unistd.h>

#include <filesystem>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>

namespace movara::convert {

namespace {

// Why the movie's name cannot be made in its folder, checked before the
// file is read; empty when it can.
std::string NameProblem(const std::filesystem::path& movie) {
  const std::string name = movie.filename().string();
  const std::filesystem::path folder = movie.has_parent_path() ? movie.parent_path() : ".";
  const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  const std::size_t most = limit > 0 ? static_cast<std::size_t>(limit) : 255;
  if (name.size() <= most) return {};
  return "the name " + name + " is longer than the folder allows (" + std::to_string(name.size()) +
         " bytes, at most " + std::to_string(most) + ")";
}


}  // namespace

TConvertOutcome ConvertGuarded(const TConvertOptions& options, IConvertProgress* progress,
                               TConvertOutcome (*convert)(const TConvertOptions&, IConvertProgress*)) {
  const unsigned fps = options.Timing.FramesPerSecond;
  if (fps < kMinFrameRate || fps > kMaxFrameRate) throw std::invalid_argument("frame rate out of range");
  TConvertOutcome early;
  early.Movie = options.Movie;
  std::error_code ec;
  if (options.Overwrite == TOverwrite::Keep && std::filesystem::exists(options.Movie, ec)) return early;
  early.Reason = NameProblem(options.Movie);
  if (!early.Reason.empty()) {
    early.Code = crWriteError;
    return early;
  }
  early.Code = crLoadError;
  try {
    return convert(options, progress);
  } catch (const std::bad_alloc&) {
    early.Reason = "out of memory";
  } catch (const std::length_error& e) {
    early.Reason = e.what();
  }
  return early;
}

}  // namespace movara::convert
