// Converts arbitrary bytes as a GIF twice: from the whole image, and reading
// the file twice while holding a few frames. Either may refuse the file; when
// both convert, their movies must be the same bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "convert/Convert.h"

namespace {

std::vector<char> ReadAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace movara::convert;
  const auto dir = std::filesystem::temp_directory_path() / ("movara-convert-fuzz-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  TConvertOptions options;
  options.Gif = dir / "in.gif";
  options.CompressionThreads = 1;
  std::ofstream(options.Gif, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  options.Movie = dir / "whole.swf";
  const int whole = ConvertGif(options).Code;
  options.Movie = dir / "twice.swf";
  options.HeldFrameBytes = 0;
  const int twice = ConvertGif(options).Code;
  if (whole != twice || (whole == crOk && ReadAll(dir / "whole.swf") != ReadAll(dir / "twice.swf"))) std::abort();
  std::filesystem::remove_all(dir);
  return 0;
}
