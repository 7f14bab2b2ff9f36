#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace movara::run {

// The extensions (lower case) of the files a folder run takes: GIFs unless
// asked for more, so that a folder of icons does not fill with movies
// unasked; and those of animated or still PNG and WebP files.
inline const std::vector<std::string> kGifExtensions = {".gif"};
inline const std::vector<std::string> kPngExtensions = {".png", ".apng"};
inline const std::vector<std::string> kWebPExtensions = {".webp"};

// The extensions of the GIF files, and of the PNG and WebP files too when
// `pngAndWebP`: what the window's file-type box shows and converts.
std::vector<std::string> ConvertedExtensions(bool pngAndWebP);

// Whether a file name ends in ".gif", in any case.
bool HasGifExtension(const std::filesystem::path& file);
// Whether a file name ends in one of `extensions`, in any case.
bool HasExtension(const std::filesystem::path& file, const std::vector<std::string>& extensions);
// The GIF files of a folder (not of its subfolders), sorted by name.
// Throws std::filesystem::filesystem_error when the folder cannot be read.
std::vector<std::filesystem::path> GifFilesIn(const std::filesystem::path& folder);
// The files of a folder with one of `extensions`, sorted by name; throws
// like GifFilesIn.
std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder,
                                           const std::vector<std::string>& extensions);
// The names of a folder's subfolders, sorted. Throws like GifFilesIn.
std::vector<std::string> SubfolderNamesIn(const std::filesystem::path& folder);

}  // namespace movara::run
