#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "play/HttpRequest.h"

namespace movara::play {

// An open file whose descriptor answers may share.
class TOpenFile {
 public:
  // Opens a file for reading; throws StreamError when it cannot.
  explicit TOpenFile(const std::string& path);
  ~TOpenFile();
  TOpenFile(const TOpenFile&) = delete;
  TOpenFile& operator=(const TOpenFile&) = delete;
  int Descriptor() const { return fd_; }
  // Its size when it was opened.
  std::uint64_t Size() const { return size_; }

 private:
  int fd_;
  std::uint64_t size_;
};

// An answer: its status, its type and its body, from memory or from an
// open file. A 200 answer of a GET takes a Range field into account.
struct THttpAnswer {
  int Status = 200;
  std::string Type;
  std::shared_ptr<const std::string> Text;
  std::shared_ptr<const TOpenFile> File;
};

// The fields every answer of a server carries.
using THttpFields = std::vector<std::pair<std::string, std::string>>;

// The answer of a status without a file: its reason phrase as plain text.
THttpAnswer StatusAnswer(int status);

// An answer's head and the part of its body that follows it: a 200 answer
// of a GET becomes 206 for one range of a Range field (unless If-Range
// asks otherwise), or 416 when nothing of the range lies in the body; a
// HEAD gets the head alone. Without a request (one that could not be
// read) or when the request has a body, the connection closes after it.
struct TAnswerHead {
  std::string Text;
  std::uint64_t BodyAt = 0;
  std::uint64_t BodyLength = 0;
  bool Close = true;
};
TAnswerHead MakeAnswerHead(const THttpRequest* request, THttpAnswer& answer, const THttpFields& fields);

}  // namespace movara::play
