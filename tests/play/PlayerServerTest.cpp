// The player server over real HTTP requests on 127.0.0.1.
#include <gtest/gtest.h>
#include <httplib.h>


#include "TempDir.h"
#include "play/HtmlPage.h"
#include "play/PlayerServer.h"

namespace movara::play {
namespace {

using test::Bytes;
using test::TempDir;

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A movie in a folder with another file, and a player folder with an entry
// script, a WebAssembly build and a source map.
struct ServerFixture {
  TempDir dir;
  std::filesystem::path movie = dir.Write("clip.swf", Bytes{'F', 'W', 'S', 6, 1, 2, 3});
  std::filesystem::path other = dir.Write("secret.txt", Bytes{'s'});
  std::filesystem::path player = [&] {
    std::filesystem::create_directories(dir.path / "player");
    dir.Write("player/ruffle.js", Bytes{'/', '/', 'j', 's'});
    dir.Write("player/core.ruffle.0a1b.js", Bytes{'/', '/'});
    dir.Write("player/0a1b.wasm", Bytes{0, 'a', 's', 'm'});
    dir.Write("player/ruffle.js.map", Bytes{'{', '}'});
    return dir.path / "player";
  }();
  TPlayerServer server{player};
  std::string page = server.Play(movie, BuildTestPage("clip.swf", "10", "20", false, 7));
  httplib::Client client{"127.0.0.1", Port()};

  ServerFixture() { client.set_url_encode(false); }
  int Port() const { return std::stoi(server.Origin().substr(server.Origin().rfind(':') + 1)); }
  httplib::Result Get(const std::string& target, const std::string& host = "") {
    httplib::Headers headers;
    headers.emplace("Host", host.empty() ? server.Origin().substr(7) : host);
    return client.Get(target, headers);
  }
};

TEST(PlayerServer, PageUrlIsOnLoopbackUnderARandomPrefix) {
  ServerFixture fx;
  const std::string prefix = fx.server.Prefix();
  ASSERT_EQ(prefix.size(), 33u);
  EXPECT_EQ(prefix.find_first_not_of("0123456789abcdef", 1), std::string::npos);
  EXPECT_EQ(fx.page, fx.server.Origin() + prefix + "/1/clip.html");
  EXPECT_TRUE(fx.server.Origin().starts_with("http://127.0.0.1:"));
  ServerFixture other;
  EXPECT_NE(other.server.Prefix(), prefix);
}

TEST(PlayerServer, ServesThePageWithThePlayerTheMovieAndThePlayersFiles) {
  ServerFixture fx;
  const std::string p = fx.server.Prefix();
  const struct {
    std::string target;
    std::string type;
    std::string body;
  } cases[] = {
      {p + "/1/clip.swf", "application/x-shockwave-flash", Text(ReadFileBytes(fx.movie))},
      {p + "/1/clip.swf?x=1", "application/x-shockwave-flash", Text(ReadFileBytes(fx.movie))},
      {p + "/player/ruffle.js", "text/javascript", "//js"},
      {p + "/player/core.ruffle.0a1b.js", "text/javascript", "//"},
      {p + "/player/0a1b.wasm", "application/wasm", std::string("\0asm", 4)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    const auto r = fx.Get(c.target);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200);
    EXPECT_EQ(r->get_header_value("Content-Type"), c.type);
    EXPECT_EQ(r->body, c.body);
  }
  const auto page = fx.Get(p + "/1/clip.html");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->get_header_value("Content-Type"), "text/html");
  const std::string onDisk = BuildTestPage("clip.swf", "10", "20", false, 7);
  const std::size_t head = onDisk.find("</head>");
  const std::size_t added = page->body.size() - onDisk.size();
  EXPECT_EQ(page->body.substr(0, head), onDisk.substr(0, head));
  EXPECT_EQ(page->body.substr(head + added), onDisk.substr(head));
  const std::string player = page->body.substr(head, added);
  EXPECT_NE(player.find("autoplay: \"on\", splashScreen: false"), std::string::npos) << player;
  EXPECT_TRUE(player.ends_with("<script src=\"../player/ruffle.js\"></script>\r\n")) << player;
}

TEST(PlayerServer, RefusesEverythingElse) {
  ServerFixture fx;
  const std::string p = fx.server.Prefix();
  const std::string own = fx.server.Origin().substr(7);
  const struct {
    const char* why;
    std::string target;
    std::string host;
  } cases[] = {
      {"no prefix", "/1/clip.swf", own},
      {"no prefix, player", "/player/ruffle.js", own},
      {"the prefix alone", p + "/", own},
      {"no play", p + "/clip.swf", own},
      {"a play never made", p + "/2/clip.swf", own},
      {"a play's folder", p + "/1/", own},
      {"a wrong prefix", "/0123456789abcdef0123456789abcdef/1/clip.swf", own},
      {"the prefix in upper case", "/" + [&] { std::string u = p.substr(1); for (auto& c : u) c = static_cast<char>(std::toupper(c)); return u; }() + "/1/clip.swf", own},
      {"dot-dot out of the prefix", p + "/../" + p.substr(1) + "/1/clip.swf", own},
      {"dot-dot out of the player", p + "/player/../1/clip.swf", own},
      {"dot-dot to the folder", p + "/1/../secret.txt", own},
      {"an encoded slash", p + "/player%2Fruffle.js", own},
      {"an encoded slash up", p + "/1/..%2Fsecret.txt", own},
      {"an encoded backslash", p + "/1/..%5Csecret.txt", own},
      {"an encoded NUL", p + "/1/clip.swf%00.html", own},
      {"a malformed escape", p + "/1/clip%2.swf", own},
      {"another file of the folder", p + "/1/secret.txt", own},
      {"the player folder", p + "/player/", own},
      {"a source map", p + "/player/ruffle.js.map", own},
      {"an encoded player name", p + "/player/ruffle%2Ejs", own},
      {"another host", p + "/1/clip.swf", "evil.example:" + std::to_string(fx.Port())},
      {"localhost", p + "/1/clip.swf", "localhost:" + std::to_string(fx.Port())},
      {"another port", p + "/1/clip.swf", "127.0.0.1:1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    const auto r = fx.Get(c.target, c.host);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 404);
    EXPECT_EQ(r->body, "Not Found\n");
  }
  const auto post = fx.client.Post(p + "/1/clip.swf", httplib::Headers{{"Host", own}}, "x", "text/plain");
  ASSERT_TRUE(post);
  EXPECT_EQ(post->status, 404);
}

TEST(PlayerServer, EveryResponseKeepsItsTypeItsCacheAndItsReferrer) {
  ServerFixture fx;
  for (const std::string& target : {fx.server.Prefix() + "/1/clip.swf", fx.server.Prefix() + "/1/clip.html",
                                    fx.server.Prefix() + "/player/0a1b.wasm", std::string("/clip.swf")}) {
    SCOPED_TRACE(target);
    const auto r = fx.Get(target);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->get_header_value("X-Content-Type-Options"), "nosniff");
    EXPECT_EQ(r->get_header_value("Cache-Control"), "no-store");
    EXPECT_EQ(r->get_header_value("Referrer-Policy"), "no-referrer");
  }
}

// Every name a file system allows comes back by the address the server
// gives: beyond ASCII, markup, a backslash, spaces at either end, a C1
// control; a movie named like a page gets a page of another name.
TEST(PlayerServer, EveryNameComesBackByItsEncodedUrl) {
  ServerFixture fx;
  EXPECT_EQ(EncodePathSegment("a b#?/%\\.swf"), "a%20b%23%3F%2F%25%5C.swf");
  int play = 1;
  for (const std::string name : {"动画 #1 & ?.swf", "a\\b.swf", " x.swf ", "\xC2\x80.swf", "x.html", "<b>.swf"}) {
    SCOPED_TRACE(name);
    const auto movie = fx.dir.Write(name, Bytes{'C', 'W', 'S'});
    const std::string page = fx.server.Play(movie, BuildTestPage(name, "1", "1", false, 3));
    const std::string folder = fx.server.Prefix() + "/" + std::to_string(++play) + "/";
    EXPECT_EQ(page, fx.server.Origin() + folder + EncodePathSegment(PageNameOf(name)));
    const auto r = fx.Get(folder + EncodePathSegment(name));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200);
    EXPECT_EQ(r->body, "CWS");
    const auto p = fx.Get(page.substr(fx.server.Origin().size()));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->get_header_value("Content-Type"), "text/html");
  }
  EXPECT_EQ(PageNameOf("x.html"), "x.html.html");
  EXPECT_EQ(PageNameOf("x.swf"), "x.html");
  EXPECT_EQ(PageNameOf("x"), "x.html");
}

TEST(PlayerServer, ListensOnlyOn127001) {
  ServerFixture fx;
  httplib::Client elsewhere("127.0.0.2", fx.Port());
  elsewhere.set_connection_timeout(std::chrono::seconds(2));
  const auto r = elsewhere.Get(fx.server.Prefix() + "/clip.swf");
  EXPECT_FALSE(r);
}

// Movies of one name from different folders are each served by their own
// address, as they were when played, and the oldest plays go.
TEST(PlayerServer, EachPlayIsServedApartAndOnlyTheLatestAreKept) {
  ServerFixture fx;
  std::filesystem::create_directories(fx.dir.path / "a");
  std::filesystem::create_directories(fx.dir.path / "b");
  const auto a = fx.dir.Write("a/clip.swf", Bytes(1000, 'a'));
  const auto b = fx.dir.Write("b/clip.swf", Bytes(300000, 'b'));
  const std::string first = fx.server.Play(a, "<html><head></head></html>");
  const std::string second = fx.server.Play(b, "<html><head></head></html>");
  // Replaced on disk after it was played: the play keeps what it opened.
  const auto replacement = fx.dir.Write("c.swf", Bytes(5, 'c'));
  std::filesystem::rename(replacement, a);
  const auto movieOf = [&](const std::string& page) {
    return fx.Get(page.substr(fx.server.Origin().size(), page.rfind('/') - fx.server.Origin().size()) + "/clip.swf");
  };
  ASSERT_TRUE(movieOf(first));
  EXPECT_EQ(movieOf(first)->body, std::string(1000, 'a'));
  EXPECT_EQ(movieOf(second)->body, std::string(300000, 'b'));
  for (std::size_t i = 0; i < TPlayerServer::kKeptPlays; ++i) fx.server.Play(b, "<html></html>");
  EXPECT_EQ(movieOf(first)->status, 404);
  EXPECT_EQ(movieOf(second)->status, 404);
  EXPECT_EQ(fx.Get(fx.server.Prefix() + "/1/clip.swf")->status, 404) << "the fixture's own play went too";
}

TEST(PlayerServer, AFolderWithoutThePlayerIsRefused) {
  TempDir dir;
  EXPECT_THROW(TPlayerServer server(dir.path), PlayerServerError);
}

}  // namespace
}  // namespace movara::play
