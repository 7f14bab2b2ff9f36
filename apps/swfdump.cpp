// swfdump: reads a movie with the project's own tag readers and prints its
// header and one line per tag; with --fields every tag's fields too, as the
// structural goldens hold them. Exit status 1 when the file does not read.
//
//   swfdump [--fields] FILE.swf
#include <cstdio>
#include <cstring>
#include <exception>

#include "base/FileStream.h"
#include "base/Printable.h"
#include "swf/core/TagDump.h"
#include "swf/core/TagReader.h"

int main(int argc, char** argv) {
  using namespace movara;
  const bool fields = argc == 3 && std::strcmp(argv[1], "--fields") == 0;
  if (argc != 2 && !fields) {
    std::fputs("usage: swfdump [--fields] FILE.swf\n", stderr);
    return 2;
  }
  const char* path = argv[argc - 1];
  try {
    const auto bytes = ReadFileBytes(path);
    if (fields) {
      std::fputs(swf::DumpMovie(bytes).c_str(), stdout);
      return 0;
    }
    const swf::TSWFFile file = swf::ReadSWFFile(bytes);
    const auto& h = file.Header;
    std::printf("%.3s version %d, %u bytes, frame %d..%d x %d..%d twips, %.2f fps, %u frames\n", h.Signature, h.Version,
                h.FileLength, h.FrameRect.Left, h.FrameRect.Right, h.FrameRect.Top, h.FrameRect.Bottom, h.FrameRate / 256.0,
                h.FrameCount);
    for (const auto& tag : file.Tags) {
      std::printf("%-20s code %3d, %u bytes\n", swf::TagName(tag->TagCode), tag->TagCode, tag->BodySize);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "swfdump: %s: %s\n", Printable(path).c_str(), Printable(e.what()).c_str());
    return 1;
  }
  return 0;
}
