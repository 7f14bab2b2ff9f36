#include "run/FileList.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace movara::run {

namespace {

// Every byte of an open descriptor; false with errno set when a read fails.
bool ReadAll(int fd, std::string& bytes) {
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
}

}  // namespace

std::vector<std::string> SplitFileList(std::string_view bytes, TListSeparator separator) {
  const char end = separator == TListSeparator::Nul ? '\0' : '\n';
  if (separator == TListSeparator::Newline && bytes.find('\0') != std::string_view::npos) {
    throw std::invalid_argument("holds a NUL byte: a list of names ended by NUL bytes needs --null");
  }
  std::vector<std::string> names;
  while (!bytes.empty()) {
    const std::size_t at = bytes.find(end);
    const std::string_view name = bytes.substr(0, at);
    if (!name.empty()) names.emplace_back(name);
    if (at == std::string_view::npos) break;
    bytes.remove_prefix(at + 1);
  }
  return names;
}

std::vector<std::string> ReadFileList(const std::filesystem::path& source, TListSeparator separator) {
  const bool standardInput = source == "-";
  const std::string shown = standardInput ? std::string("standard input") : source.string();
  const int fd = standardInput ? STDIN_FILENO : ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  std::string bytes;
  const bool read = fd >= 0 && ReadAll(fd, bytes);
  const int error = errno;
  if (fd >= 0 && !standardInput) ::close(fd);
  if (!read) throw std::runtime_error("cannot read the list " + shown + ": " + std::strerror(error));
  try {
    return SplitFileList(bytes, separator);
  } catch (const std::invalid_argument& e) {
    throw std::invalid_argument("the list " + shown + " " + e.what());
  }
}

}  // namespace movara::run
