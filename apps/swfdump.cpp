// swfdump: reads a movie with the project's own tag readers and prints its
// header and one line per tag. Exit status 1 when the file does not read.
//
//   swfdump FILE.swf
#include <cstdio>
#include <exception>
#include <map>

#include "base/FileStream.h"
#include "swf/core/TagCodes.h"
#include "swf/core/TagReader.h"

int main(int argc, char** argv) {
  using namespace movara;
  if (argc != 2) {
    std::fputs("usage: swfdump FILE.swf\n", stderr);
    return 2;
  }
  static const std::map<int, const char*> kNames = {
      {swf::tagEnd, "End"}, {swf::tagShowFrame, "ShowFrame"}, {swf::tagDefineShape, "DefineShape"},
      {swf::tagRemoveObject, "RemoveObject"}, {swf::tagDefineBits, "DefineBits"}, {swf::tagDefineButton, "DefineButton"},
      {swf::tagSetBackgroundColor, "SetBackgroundColor"}, {swf::tagDoAction, "DoAction"},
      {swf::tagDefineSound, "DefineSound"}, {swf::tagStartSound, "StartSound"},
      {swf::tagDefineButtonSound, "DefineButtonSound"}, {swf::tagSoundStreamHead, "SoundStreamHead"},
      {swf::tagDefineBitsLossless, "DefineBitsLossless"}, {swf::tagDefineBitsJPEG2, "DefineBitsJPEG2"},
      {swf::tagDefineShape2, "DefineShape2"}, {swf::tagProtect, "Protect"}, {swf::tagPlaceObject2, "PlaceObject2"},
      {swf::tagRemoveObject2, "RemoveObject2"}, {swf::tagDefineShape3, "DefineShape3"},
      {swf::tagDefineButton2, "DefineButton2"}, {swf::tagDefineBitsJPEG3, "DefineBitsJPEG3"},
      {swf::tagDefineBitsLossless2, "DefineBitsLossless2"}, {swf::tagFrameLabel, "FrameLabel"},
      {swf::tagSoundStreamHead2, "SoundStreamHead2"}, {swf::tagDoInitAction, "DoInitAction"},
      {swf::tagVideoFrame, "VideoFrame"}};
  try {
    const swf::TSWFFile file = swf::ReadSWFFile(ReadFileBytes(argv[1]));
    const auto& h = file.Header;
    std::printf("%.3s version %d, %u bytes, frame %d..%d x %d..%d twips, %.2f fps, %u frames\n", h.Signature, h.Version,
                h.FileLength, h.FrameRect.Left, h.FrameRect.Right, h.FrameRect.Top, h.FrameRect.Bottom, h.FrameRate / 256.0,
                h.FrameCount);
    for (const auto& tag : file.Tags) {
      const auto name = kNames.find(tag->TagCode);
      std::printf("%-20s code %3d, %u bytes\n", name != kNames.end() ? name->second : "(unknown)", tag->TagCode,
                  tag->BodySize);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "swfdump: %s: %s\n", argv[1], e.what());
    return 1;
  }
  return 0;
}
