// Frames decoded by libpng: the frame's data wrapped in a PNG stream of its
// own (signature, header of the frame's size, palette, transparency, one
// image data chunk, end) that libpng reads from memory.
#include "animation/PngDecode.h"

#include <png.h>

#include <cstdio>
#include <cstring>

#include "animation/AnimationReader.h"
#include "animation/PngChunks.h"

namespace movara::animation {

namespace {

// A chunk holds at most 2^31 - 1 bytes; the data is split below that.
constexpr std::size_t kDataChunk = std::size_t{1} << 30;

struct TPngSource {
  const std::uint8_t* Data;
  std::size_t Size;
  std::size_t Position;
};

struct TPngFailure {
  char Message[200];
};

void ReadBytes(png_structp png, png_bytep out, png_size_t count) {
  auto* source = static_cast<TPngSource*>(png_get_io_ptr(png));
  if (count > source->Size - source->Position) png_error(png, "the data ends early");
  std::memcpy(out, source->Data + source->Position, count);
  source->Position += count;
}

void OnError(png_structp png, png_const_charp message) {
  auto* failure = static_cast<TPngFailure*>(png_get_error_ptr(png));
  std::snprintf(failure->Message, sizeof failure->Message, "%s", message);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// libpng leaves by longjmp on an error: nothing with a destructor lives in
// this function's frame between setjmp and the calls that may jump.
bool DecodeRows(TPngSource& source, png_bytep* rows, std::size_t rowBytes, TPngFailure& failure) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &failure, OnError, OnWarning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
    return false;
  }
  png_set_read_fn(png, &source, ReadBytes);
  png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
  png_read_info(png, info);
  png_set_expand(png);
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  png_set_bgr(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != rowBytes) png_error(png, "unexpected row size");
  png_read_image(png, rows);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

}  // namespace

unsigned PngBitsPerPixel(std::uint8_t colorType, std::uint8_t bitDepth) {
  const bool low = bitDepth == 1 || bitDepth == 2 || bitDepth == 4;
  const bool wide = bitDepth == 8 || bitDepth == 16;
  switch (colorType) {
    case 0: return low || wide ? bitDepth : 0;
    case 3: return low || bitDepth == 8 ? bitDepth : 0;
    case 2: return wide ? 3u * bitDepth : 0;
    case 4: return wide ? 2u * bitDepth : 0;
    case 6: return wide ? 4u * bitDepth : 0;
    default: return 0;
  }
}

imaging::TBitmap DecodePngFrame(const TPngHeader& header, std::uint32_t width, std::uint32_t height,
                                const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> png(kPngSignature.begin(), kPngSignature.end());
  std::array<std::uint8_t, 13> ihdr = header.Ihdr;
  for (int i = 0; i < 4; ++i) {
    ihdr[i] = static_cast<std::uint8_t>(width >> (24 - 8 * i));
    ihdr[4 + i] = static_cast<std::uint8_t>(height >> (24 - 8 * i));
  }
  png.reserve(data.size() + 1024);
  AppendChunk(png, "IHDR", ihdr.data(), ihdr.size());
  if (!header.Palette.empty()) AppendChunk(png, "PLTE", header.Palette.data(), header.Palette.size());
  if (!header.Transparency.empty()) AppendChunk(png, "tRNS", header.Transparency.data(), header.Transparency.size());
  for (std::size_t at = 0; at < data.size(); at += kDataChunk) {
    AppendChunk(png, "IDAT", data.data() + at, std::min(kDataChunk, data.size() - at));
  }
  AppendChunk(png, "IEND", nullptr, 0);

  imaging::TBitmap frame(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height),
                         imaging::TPixelFormat::pf32bit);
  std::vector<png_bytep> rows(height);
  for (std::uint32_t y = 0; y < height; ++y) rows[y] = frame.ScanLine(static_cast<std::int32_t>(y));
  TPngSource source{png.data(), png.size(), 0};
  TPngFailure failure{};
  if (!DecodeRows(source, rows.data(), frame.Stride(), failure)) {
    Refuse(failure.Message[0] != '\0' ? failure.Message : "out of memory");
  }
  return frame;
}

}  // namespace movara::animation
