#include "swf/builder/JPEGData.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

// jpeglib.h needs FILE declared first.
#include <jpeglib.h>

#include "swf/builder/FlashImage.h"

namespace movara::swf {

TJPEGInfo ScanJPEG(std::span<const std::uint8_t> data) {
  TJPEGInfo info;
  if (data.size() < 2 || data[0] != 0xFF || data[1] != 0xD8) return info;
  info.Valid = true;
  std::size_t at = 2;
  while (at < data.size() && data[at] == 0xFF) {
    if (at + 1 >= data.size()) break;
    const std::uint8_t m = data[at + 1];
    at += 2;
    if (m == 0xFF) {
      --at;  // fill byte: the next 0xFF starts the marker
      continue;
    }
    if (m == 0x01 || (m >= 0xD0 && m <= 0xD7)) continue;
    const bool frame = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
    if (frame) {
      if (data.size() - at < 7) break;
      info.Height = static_cast<std::uint16_t>(data[at + 3] << 8 | data[at + 4]);
      info.Width = static_cast<std::uint16_t>(data[at + 5] << 8 | data[at + 6]);
      info.Progressive = m == 0xC2 || m == 0xC6 || m == 0xCA || m == 0xCE;
      break;
    }
    if (data.size() - at < 2) break;
    const std::size_t length = static_cast<std::size_t>(data[at] << 8 | data[at + 1]);
    if (length < 2 || data.size() - at < length) break;
    at += length;
  }
  return info;
}

namespace {

struct TJPEGError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

[[noreturn]] void OnJPEGError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<TJPEGError*>(cinfo->err)->jump, 1);
}

// The libjpeg calls, kept free of objects with destructors because an error
// leaves them by longjmp. Returns false when the stream cannot be handled.
bool Transcode(const std::uint8_t* in, std::size_t inSize, unsigned char** out, unsigned long* outSize,
               std::uint16_t* width, std::uint16_t* height) {
  jpeg_decompress_struct dinfo;
  jpeg_compress_struct cinfo;
  TJPEGError err;
  JSAMPLE* volatile row = nullptr;
  dinfo.err = jpeg_std_error(&err.mgr);
  cinfo.err = &err.mgr;
  err.mgr.error_exit = OnJPEGError;
  jpeg_create_decompress(&dinfo);
  jpeg_create_compress(&cinfo);
  if (setjmp(err.jump)) {
    std::free(row);
    jpeg_destroy_decompress(&dinfo);
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_mem_src(&dinfo, in, static_cast<unsigned long>(inSize));
  jpeg_read_header(&dinfo, TRUE);
  dinfo.out_color_space = dinfo.jpeg_color_space == JCS_GRAYSCALE ? JCS_GRAYSCALE : JCS_RGB;
  if (dinfo.image_width == 0 || dinfo.image_height == 0 || dinfo.image_width > 65535 || dinfo.image_height > 65535) {
    jpeg_destroy_decompress(&dinfo);
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_start_decompress(&dinfo);
  *width = static_cast<std::uint16_t>(dinfo.output_width);
  *height = static_cast<std::uint16_t>(dinfo.output_height);
  jpeg_mem_dest(&cinfo, out, outSize);
  cinfo.image_width = dinfo.output_width;
  cinfo.image_height = dinfo.output_height;
  cinfo.input_components = dinfo.output_components;
  cinfo.in_color_space = dinfo.out_color_space;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  row = static_cast<JSAMPLE*>(std::malloc(static_cast<std::size_t>(dinfo.output_width) * dinfo.output_components));
  if (row == nullptr) std::longjmp(err.jump, 1);
  while (dinfo.output_scanline < dinfo.output_height) {
    JSAMPROW rows[1] = {row};
    jpeg_read_scanlines(&dinfo, rows, 1);
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_finish_decompress(&dinfo);
  std::free(row);
  jpeg_destroy_decompress(&dinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

std::vector<std::uint8_t> ReencodeBaseline(std::span<const std::uint8_t> data, std::uint16_t& width,
                                           std::uint16_t& height) {
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  const bool ok = Transcode(data.data(), data.size(), &out, &outSize, &width, &height);
  std::vector<std::uint8_t> bytes;
  if (ok) bytes.assign(out, out + outSize);
  std::free(out);
  if (!ok) throw FlashImageError("the JPEG data cannot be decoded");
  return bytes;
}

}  // namespace movara::swf
