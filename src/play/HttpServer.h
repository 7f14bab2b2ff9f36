#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "play/HttpAnswer.h"
#include "play/HttpRequest.h"

namespace movara::play {

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
  using TFields = THttpFields;

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
