#pragma once

#include "media/AudioFile.h"
#include "media/ByteWindow.h"

namespace movara::media {

// A RIFF/WAVE file: chunks in any order (odd sizes padded, unknown chunks
// skipped), the format of "fmt " (an extensible format resolved to its
// sub-format), and the "data" chunk as PCM samples or MPEG audio frames.
TAudioFileInfo ReadWAV(TByteWindow& window);

}  // namespace movara::media
