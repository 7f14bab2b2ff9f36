#pragma once

#include <cstdint>

namespace movara::swf {

// The tag codes this library reads and writes.
enum TagCode : std::uint16_t {
  tagEnd = 0,
  tagShowFrame = 1,
  tagDefineShape = 2,
  tagRemoveObject = 5,
  tagDefineBits = 6,
  tagDefineButton = 7,
  tagJPEGTables = 8,
  tagSetBackgroundColor = 9,
  tagDoAction = 12,
  tagDefineSound = 14,
  tagStartSound = 15,
  tagDefineButtonSound = 17,
  tagSoundStreamHead = 18,
  tagSoundStreamBlock = 19,
  tagDefineBitsLossless = 20,
  tagDefineBitsJPEG2 = 21,
  tagDefineShape2 = 22,
  tagProtect = 24,
  tagPlaceObject2 = 26,
  tagRemoveObject2 = 28,
  tagDefineShape3 = 32,
  tagDefineButton2 = 34,
  tagDefineBitsJPEG3 = 35,
  tagDefineBitsLossless2 = 36,
  tagDefineSprite = 39,
  tagFrameLabel = 43,
  tagSoundStreamHead2 = 45,
  tagDoInitAction = 59,
  tagDefineVideoStream = 60,
  tagVideoFrame = 61,
};

}  // namespace movara::swf
