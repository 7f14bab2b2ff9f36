#pragma once

#include <cstdint>
#include <functional>
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

// Answers requests on 127.0.0.1, on a port the system picks, from one
// thread that waits on every connection at once, so that slow or idle
// clients keep no other request waiting. A request's head must arrive
// whole within a few seconds, an idle connection is closed after two, and
// when the connections reach their limit the one idle longest makes room.
// Every answer, errors included, carries `fields`. The server stops at
// once when it goes, whatever its clients do.
class THttpServer {
 public:
  using THandler = std::function<THttpAnswer(const THttpRequest&)>;
  using TFields = std::vector<std::pair<std::string, std::string>>;

  // Throws std::system_error when it cannot listen.
  THttpServer(THandler handler, TFields fields);
  ~THttpServer();
  THttpServer(const THttpServer&) = delete;
  THttpServer& operator=(const THttpServer&) = delete;

  int Port() const;

 private:
  struct TState;
  std::unique_ptr<TState> state_;
};

}  // namespace movara::play
