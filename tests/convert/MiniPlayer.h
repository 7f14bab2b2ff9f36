#pragma once

// A small player of the movies the converter writes, built on the project's
// own readers: bitmaps shown through rectangles with a bitmap fill, placed,
// moved and removed by depth. It gives the stage at every frame, so tests can
// compare a movie with the GIF it came from.

#include <cmath>
#include <map>
#include <stdexcept>
#include <vector>

#include "LosslessDecode.h"
#include "Png.h"
#include "swf/core/DisplayListTags.h"
#include "swf/core/ShapeTags.h"
#include "swf/core/TagReader.h"

namespace movara::test {

struct PlayedMovie {
  swf::TSWFFileHeader Header;
  // The stage at each ShowFrame that follows a change of the display list
  // (frames that repeat the one before are not drawn again).
  std::vector<RgbaImage> Frames;
};

inline PlayedMovie PlayMovie(const std::vector<std::uint8_t>& file) {
  const swf::TSWFFile swfFile = swf::ReadSWFFile(file);
  PlayedMovie played;
  played.Header = swfFile.Header;
  const int w = swfFile.Header.FrameRect.Right / 20;
  const int h = swfFile.Header.FrameRect.Bottom / 20;
  std::map<int, RgbaImage> bitmaps;  // premultiplied RGBA
  struct Shape {
    int Bitmap = -1;
    int OffsetX = 0, OffsetY = 0;  // bitmap origin in the shape, pixels
    int Right = 0, Bottom = 0;     // shape bounds, pixels
  };
  std::map<int, Shape> shapes;
  struct Placed {
    int Character = 0;
    int X = 0, Y = 0;
  };
  std::map<int, Placed> stage;
  RgbaImage current{w, h, {}};  // allocated at the first frame
  // Layers placed above everything since the last frame can be drawn over
  // the last picture; any other change redraws the stage.
  bool redraw = false;
  std::vector<int> added;
  const auto draw = [&](RgbaImage& frame, const Placed& placed) {
    const auto shape = shapes.find(placed.Character);
    if (shape == shapes.end() || shape->second.Bitmap < 0) return;  // buttons show nothing
    const RgbaImage& bmp = bitmaps.at(shape->second.Bitmap);
    for (int y = 0; y < std::min(bmp.height, shape->second.Bottom); ++y) {
      const int sy = placed.Y + shape->second.OffsetY + y;
      if (sy < 0 || sy >= h) continue;
      for (int x = 0; x < std::min(bmp.width, shape->second.Right); ++x) {
        const int sx = placed.X + shape->second.OffsetX + x;
        if (sx < 0 || sx >= w) continue;
        const std::uint8_t* src = &bmp.rgba[(static_cast<std::size_t>(y) * bmp.width + x) * 4];
        std::uint8_t* dst = &frame.rgba[(static_cast<std::size_t>(sy) * w + sx) * 4];
        // Premultiplied "over".
        for (int c = 0; c < 4; ++c) dst[c] = static_cast<std::uint8_t>(src[c] + dst[c] * (255 - src[3]) / 255);
      }
    }
  };
  for (const auto& tag : swfFile.Tags) {
    if (const auto* bits = dynamic_cast<const swf::TSWFDefineBitsLossless*>(tag.get())) {
      RgbaImage img = DecodeLossless(*bits);
      bitmaps[bits->CharacterId] = std::move(img);
    } else if (const auto* shape = dynamic_cast<const swf::TSWFDefineShape*>(tag.get())) {
      Shape s;
      s.Right = shape->ShapeBounds.XMax / 20;
      s.Bottom = shape->ShapeBounds.YMax / 20;
      for (const auto& fill : shape->FillStyles) {
        if (const auto* image = dynamic_cast<const swf::TSWFImageFill*>(fill.get())) {
          s.Bitmap = image->BitmapID;
          s.OffsetX = static_cast<int>(std::lround((image->Matrix.TranslateX + 5) / 20.0));
          s.OffsetY = static_cast<int>(std::lround((image->Matrix.TranslateY + 5) / 20.0));
        }
      }
      shapes[shape->ShapeID] = s;
    } else if (const auto* place = dynamic_cast<const swf::TSWFPlaceObject2*>(tag.get())) {
      const bool onTop = place->HasCharacter && !place->Move && (stage.empty() || place->Depth > stage.rbegin()->first);
      if (onTop) {
        added.push_back(place->Depth);
      } else {
        redraw = true;
      }
      Placed& p = stage[place->Depth];
      if (place->HasCharacter) p = Placed{place->CharacterId, 0, 0};
      if (place->HasMatrix) {
        p.X = place->MatrixIfAny()->TranslateX / 20;
        p.Y = place->MatrixIfAny()->TranslateY / 20;
      }
    } else if (const auto* remove = dynamic_cast<const swf::TSWFRemoveObject*>(tag.get())) {
      redraw = stage.erase(remove->Depth) > 0 || redraw;
    } else if (const auto* remove2 = dynamic_cast<const swf::TSWFRemoveObject2*>(tag.get())) {
      redraw = stage.erase(remove2->Depth) > 0 || redraw;
    } else if (tag->TagCode == swf::tagShowFrame && (redraw || !added.empty() || played.Frames.empty())) {
      if (current.rgba.empty()) current.rgba.assign(static_cast<std::size_t>(w) * h * 4, 0);
      if (redraw) {
        std::fill(current.rgba.begin(), current.rgba.end(), 0);
        for (const auto& [depth, placed] : stage) draw(current, placed);
      } else {
        for (const int depth : added) {
          if (stage.count(depth) != 0) draw(current, stage.at(depth));
        }
      }
      redraw = false;
      added.clear();
      played.Frames.push_back(current);
    }
  }
  return played;
}

// Pictures with runs of identical consecutive ones collapsed, and colours
// within one unit counted equal (a black transparent colour is lifted to
// (0, 0, 1)).
inline std::vector<RgbaImage> DistinctPictures(const std::vector<RgbaImage>& frames) {
  const auto near = [](const RgbaImage& a, const RgbaImage& b) {
    if (a.rgba.size() != b.rgba.size()) return false;
    for (std::size_t i = 0; i < a.rgba.size(); ++i) {
      if (std::abs(a.rgba[i] - b.rgba[i]) > 1) return false;
    }
    return true;
  };
  std::vector<RgbaImage> out;
  for (const auto& f : frames) {
    if (out.empty() || !near(out.back(), f)) out.push_back(f);
  }
  return out;
}

// Whether two picture sequences agree, pixel for pixel within one unit.
inline ::testing::AssertionResult SamePictures(const std::vector<RgbaImage>& movie, const std::vector<RgbaImage>& gif) {
  const auto a = DistinctPictures(movie);
  const auto b = DistinctPictures(gif);
  if (a.size() != b.size()) {
    return ::testing::AssertionFailure() << a.size() << " distinct movie pictures, " << b.size() << " GIF pictures";
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].width != b[i].width || a[i].height != b[i].height) return ::testing::AssertionFailure() << "size of picture " << i;
    for (std::size_t p = 0; p < a[i].rgba.size(); ++p) {
      if (std::abs(a[i].rgba[p] - b[i].rgba[p]) > 1) {
        const std::size_t px = p / 4;
        return ::testing::AssertionFailure() << "picture " << i << " differs at x " << px % a[i].width << ", y "
                                             << px / a[i].width << " channel " << p % 4 << ": movie "
                                             << int{a[i].rgba[p]} << ", GIF " << int{b[i].rgba[p]};
      }
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace movara::test
