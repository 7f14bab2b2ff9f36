// The loopback HTTP server over raw connections: ranges answered within the
// file, heads that never end, idle and slow clients, malformed requests,
// and a stop that waits for no client.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "RawHttp.h"
#include "TempDir.h"
#include "play/HttpServer.h"

namespace movara::play {
namespace {

using namespace std::chrono_literals;
using test::RawConnection;
using test::SplitAnswer;

// A server of one file of 2989 bytes ("/file") and one text ("/text").
struct HttpFixture {
  test::TempDir dir;
  std::string content = [] {
    std::string c(2989, '\0');
    for (std::size_t i = 0; i < c.size(); ++i) c[i] = static_cast<char>('a' + i % 26);
    return c;
  }();
  std::shared_ptr<const TOpenFile> file = std::make_shared<const TOpenFile>(
      dir.Write("file.swf", test::Bytes(content.begin(), content.end())).string());
  std::unique_ptr<THttpServer> server = std::make_unique<THttpServer>(
      [this](const THttpRequest& r) {
        if (r.Target == "/file") return THttpAnswer{200, "application/x-shockwave-flash", nullptr, file};
        if (r.Target == "/text") return THttpAnswer{200, "text/plain", std::make_shared<const std::string>(content), nullptr};
        return THttpAnswer{404, "text/plain", std::make_shared<const std::string>("Not Found\n"), nullptr};
      },
      THttpServer::TFields{{"X-Content-Type-Options", "nosniff"}});

  test::RawAnswer Ask(const std::string& request) const {
    RawConnection c(server->Port());
    c.Send(request);
    return SplitAnswer(c.ReadUntilClosed(5s));
  }
  static std::string Get(const std::string& target, const std::string& fields = "") {
    return "GET " + target + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n" + fields + "\r\n";
  }
};

TEST(HttpServer, RangesAreAnsweredWithinTheFile) {
  HttpFixture fx;
  const struct {
    const char* range;
    int status;
    const char* contentRange;
    std::size_t first, length;
  } cases[] = {
      {"bytes=0-99", 206, "bytes 0-99/2989", 0, 100},
      {"bytes=0-99999", 206, "bytes 0-2988/2989", 0, 2989},
      {"bytes=2900-", 206, "bytes 2900-2988/2989", 2900, 89},
      {"bytes=-100", 206, "bytes 2889-2988/2989", 2889, 100},
      {"bytes=-99999", 206, "bytes 0-2988/2989", 0, 2989},
      {"bytes=99999-", 416, "bytes */2989", 0, 0},
      {"bytes=2989-3000", 416, "bytes */2989", 0, 0},
      {"bytes=-0", 416, "bytes */2989", 0, 0},
      {"bytes=99999999999999999999-", 200, "", 0, 2989},
      {"bytes=5-2", 200, "", 0, 2989},
      {"bytes=0-1,5-6", 200, "", 0, 2989},
      {"items=0-5", 200, "", 0, 2989},
      {"bytes=", 200, "", 0, 2989},
  };
  for (const std::string target : {"/file", "/text"}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(target + " " + c.range);
      const auto answer = fx.Ask(HttpFixture::Get(target, std::string("Range: ") + c.range + "\r\n"));
      EXPECT_EQ(answer.Status(), c.status);
      EXPECT_EQ(answer.Field("Content-Range"), c.contentRange);
      EXPECT_EQ(answer.Field("X-Content-Type-Options"), "nosniff");
      if (c.status == 416) continue;
      EXPECT_EQ(answer.Field("Content-Length"), std::to_string(c.length));
      EXPECT_EQ(answer.Body, fx.content.substr(c.first, c.length)) << "never a byte beyond the range";
    }
  }
  const auto head = fx.Ask("HEAD /file HTTP/1.1\r\nHost: x\r\nRange: bytes=0-9\r\nConnection: close\r\n\r\n");
  EXPECT_EQ(head.Status(), 200) << "a range applies to GET only";
  EXPECT_EQ(head.Field("Content-Length"), "2989");
  EXPECT_EQ(head.Body, "");
}

TEST(HttpServer, MalformedRequestsGetTheirStatusWithEveryField) {
  HttpFixture fx;
  const struct {
    std::string request;
    int status;
  } cases[] = {
      {"GARBAGE\r\n\r\n", 400},
      {"GET /file HTTP/1.1\r\nno colon here\r\n\r\n", 400},
      {"GET /file HTTP/1.1\r\n folded: line\r\n\r\n", 400},
      {"GET /" + std::string(9000, 'a') + " HTTP/1.1\r\n\r\n", 414},
      {"GET /file HTTP/1.1\r\nX: " + std::string(20000, 'a') + "\r\n\r\n", 431},
      {"GET /file HTTP/2.0\r\n\r\n", 505},
      {"GET /nothing HTTP/1.1\r\nConnection: close\r\n\r\n", 404},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.request.substr(0, 40));
    const auto answer = fx.Ask(c.request);
    EXPECT_EQ(answer.Status(), c.status);
    EXPECT_EQ(answer.Field("X-Content-Type-Options"), "nosniff");
    EXPECT_EQ(answer.Field("Content-Length"), std::to_string(answer.Body.size()));
  }
}

TEST(HttpServer, KeptConnectionsAnswerEveryPipelinedRequest) {
  HttpFixture fx;
  RawConnection c(fx.server->Port());
  c.Send("GET /text HTTP/1.1\r\nHost: x\r\nRange: bytes=0-2\r\n\r\nGET /text HTTP/1.1\r\nHost: x\r\nRange: bytes=3-5\r\n"
         "Connection: close\r\n\r\n");
  const std::string both = c.ReadUntilClosed(5s);
  const auto first = SplitAnswer(both);
  EXPECT_EQ(first.Field("Connection"), "keep-alive");
  EXPECT_EQ(first.Body.substr(0, 3), "abc");
  const auto second = SplitAnswer(first.Body.substr(3));
  EXPECT_EQ(second.Status(), 206);
  EXPECT_EQ(second.Body, "def");

  // Heads sent together by the thousand are answered one after the other.
  RawConnection many(fx.server->Port());
  std::string heads;
  for (int i = 0; i < 2000; ++i) heads += "GET /text HTTP/1.1\r\n\r\n";
  many.Send(heads + "GET /text HTTP/1.1\r\nConnection: close\r\n\r\n");
  const std::string answers = many.ReadUntilClosed(20s);
  std::size_t count = 0;
  for (std::size_t at = answers.find("HTTP/1.1 200"); at != std::string::npos; at = answers.find("HTTP/1.1 200", at + 1)) {
    ++count;
  }
  EXPECT_EQ(count, 2001u);
}

// Idle connections and heads that trickle in byte by byte take no turn
// from a request that arrives whole, and the server stops at once with
// them connected.
TEST(HttpServer, SlowAndIdleClientsKeepNoRequestWaiting) {
  // The clients and the server share this process's descriptors: room for
  // both, as far as the hard limit allows.
  rlimit limit{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
  limit.rlim_cur = std::max<rlim_t>(limit.rlim_cur, std::min<rlim_t>(limit.rlim_max, 4096));
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limit), 0);
  HttpFixture fx;
  std::vector<std::unique_ptr<RawConnection>> idle, slow;
  for (int i = 0; i < 500; ++i) idle.push_back(std::make_unique<RawConnection>(fx.server->Port()));
  for (int i = 0; i < 16; ++i) {
    slow.push_back(std::make_unique<RawConnection>(fx.server->Port()));
    slow.back()->Send("G");
  }
  const auto start = std::chrono::steady_clock::now();
  const auto answer = fx.Ask(HttpFixture::Get("/text"));
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(answer.Status(), 200);
  EXPECT_LT(waited, 1s);
  // A head must arrive whole within its deadline, however it trickles.
  const auto trickleStart = std::chrono::steady_clock::now();
  bool closed = false;
  while (!closed && std::chrono::steady_clock::now() - trickleStart < 10s) {
    slow[0]->Send("E");
    closed = slow[0]->Closed(500ms);
  }
  EXPECT_TRUE(closed);
  EXPECT_LT(std::chrono::steady_clock::now() - trickleStart, 7s);
  const auto stopStart = std::chrono::steady_clock::now();
  fx.server.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - stopStart, 1s);
}

}  // namespace
}  // namespace movara::play
