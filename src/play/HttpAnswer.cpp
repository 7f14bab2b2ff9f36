// Answers as RFC 9110 and 9112 write them: a status line, header fields,
// and the body or the range of it asked for.
#include "play/HttpAnswer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/Stream.h"
#include "play/ByteRange.h"

namespace movara::play {

namespace {

const char* ReasonPhrase(int status) {
  switch (status) {
    case 200: return "OK";
    case 206: return "Partial Content";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 414: return "URI Too Long";
    case 416: return "Range Not Satisfiable";
    case 431: return "Request Header Fields Too Large";
    case 505: return "HTTP Version Not Supported";
    default: return "Error";
  }
}

}  // namespace

THttpAnswer StatusAnswer(int status) {
  return {status, "text/plain", std::make_shared<const std::string>(std::string(ReasonPhrase(status)) + "\n"), nullptr};
}

TOpenFile::TOpenFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)), size_(0) {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    const std::string why = fd_ < 0 ? std::strerror(errno) : "not a regular file";
    if (fd_ >= 0) ::close(fd_);
    throw StreamError("cannot open " + path + ": " + why);
  }
  size_ = static_cast<std::uint64_t>(st.st_size);
}

TOpenFile::~TOpenFile() { ::close(fd_); }

TAnswerHead MakeAnswerHead(const THttpRequest* request, THttpAnswer& answer, const THttpFields& fields) {
  const std::uint64_t size = answer.File ? answer.File->Size() : answer.Text ? answer.Text->size() : 0;
  TByteRange range{TByteRange::Kind::Whole, 0, size};
  if (request != nullptr && request->Method == "GET" && answer.Status == 200 && request->Field("if-range").empty()) {
    range = ChooseRange(request->Field("range"), size);
  }
  TAnswerHead head;
  // A request with a body is not read on: its connection ends with the answer.
  const bool body = !request || !request->Field("content-length").empty() || !request->Field("transfer-encoding").empty();
  head.Close = request == nullptr || !request->KeepAlive || body;
  if (range.Is == TByteRange::Kind::Unsatisfiable) answer = StatusAnswer(416);
  if (range.Is == TByteRange::Kind::Part) answer.Status = 206;
  const std::uint64_t length = answer.Status == 416 ? answer.Text->size() : range.Length;
  std::string& text = head.Text;
  text = "HTTP/1.1 " + std::to_string(answer.Status) + " " + ReasonPhrase(answer.Status) + "\r\n";
  for (const auto& [name, value] : fields) text += name + ": " + value + "\r\n";
  text += "Content-Type: " + answer.Type + "\r\nContent-Length: " + std::to_string(length) + "\r\n";
  if (range.Is == TByteRange::Kind::Part) {
    text += "Content-Range: bytes " + std::to_string(range.First) + "-" + std::to_string(range.First + length - 1) +
            "/" + std::to_string(size) + "\r\n";
  }
  if (range.Is == TByteRange::Kind::Unsatisfiable) text += "Content-Range: bytes */" + std::to_string(size) + "\r\n";
  if (answer.File) text += "Accept-Ranges: bytes\r\n";
  text += std::string("Connection: ") + (head.Close ? "close" : "keep-alive") + "\r\n\r\n";
  head.BodyAt = range.Is == TByteRange::Kind::Part ? range.First : 0;
  head.BodyLength = request != nullptr && request->Method == "HEAD" ? 0 : length;
  return head;
}

}  // namespace movara::play
