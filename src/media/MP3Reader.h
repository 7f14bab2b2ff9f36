#pragma once

#include "media/AudioFile.h"
#include "media/ByteWindow.h"

namespace movara::media {

// An MP3 file: ID3v2 tags at the start are passed over by their size, ID3v1
// and APE tags at the end are kept out of the data, and the MPEG audio
// frames in between are found and listed.
TAudioFileInfo ReadMP3(TByteWindow& window);

}  // namespace movara::media
