#pragma once

// Reads PNG reference frames as RGBA through libpng (tests only).

#include <png.h>

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "RgbaImage.h"

namespace movara::test {


inline RgbaImage ReadPng(const std::filesystem::path& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) throw std::runtime_error("cannot read " + path.string());
  image.format = PNG_FORMAT_RGBA;
  RgbaImage out;
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  out.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    throw std::runtime_error("cannot decode " + path.string());
  }
  return out;
}

inline void WritePng(const std::filesystem::path& path, const RgbaImage& img) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(img.width);
  image.height = static_cast<png_uint_32>(img.height);
  image.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&image, path.c_str(), 0, img.rgba.data(), 0, nullptr)) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

}  // namespace movara::test
