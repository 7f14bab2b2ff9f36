// The player server: the movies played, their pages and the player's files,
// looked up by the request's path below a random prefix.
#include "play/PlayerServer.h"

#include <sys/random.h>

#include <cctype>
#include <cerrno>
#include <deque>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>

#include "base/Stream.h"
#include "play/HttpServer.h"
#include "play/PlayerFiles.h"

namespace movara::play {

namespace {

constexpr const char* kHost = "127.0.0.1";
// The folder of the player's files below the prefix, and the entry script
// as a page in a play's folder reaches it.
constexpr const char* kPlayerPath = "player/";
constexpr const char* kPlayerFromPage = "../player/";

// 128 bits from the system's random source, as 32 hexadecimal digits.
std::string RandomPrefix() {
  unsigned char bits[16];
  for (std::size_t got = 0; got < sizeof bits;) {
    const ssize_t n = getrandom(bits + got, sizeof bits - got, 0);
    if (n < 0 && errno != EINTR) throw PlayerServerError("the system's random source cannot be read");
    if (n > 0) got += static_cast<std::size_t>(n);
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  for (const unsigned char b : bits) text += {kHex[b >> 4], kHex[b & 15]};
  return text;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A path segment with its percent escapes decoded; nothing when an escape
// is malformed or the name could reach outside the segment (a slash or a
// NUL, however written).
std::optional<std::string> DecodeSegment(const std::string& raw) {
  std::string name;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '%') {
      name += raw[i];
      continue;
    }
    if (raw.size() - i < 3 || HexValue(raw[i + 1]) < 0 || HexValue(raw[i + 2]) < 0) return std::nullopt;
    name += static_cast<char>(HexValue(raw[i + 1]) * 16 + HexValue(raw[i + 2]));
    i += 2;
  }
  if (name.empty() || name.find_first_of(std::string("/\0", 2)) != std::string::npos) return std::nullopt;
  return name;
}

std::string TypeOfPlayerFile(const std::string& name) {
  return name.ends_with(".wasm") ? "application/wasm" : "text/javascript";
}

// The player's files by name: the scripts and WebAssembly builds of the
// folder, not their source maps.
std::set<std::string> PlayerFileNames(const std::filesystem::path& folder) {
  std::set<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const auto ext = entry.path().extension();
    if ((ext == ".js" || ext == ".wasm") && entry.is_regular_file(ec)) names.insert(entry.path().filename().string());
  }
  if (!names.contains(kPlayerEntry)) {
    throw PlayerServerError("the player's files are missing in " + folder.string());
  }
  return names;
}

// A movie played and its page, in the folder named by the play's number.
struct TPlay {
  std::string Number;
  std::string MovieName;
  std::string PageName;
  std::shared_ptr<const TOpenFile> Movie;
  std::shared_ptr<const std::string> Page;
};

const THttpServer::TFields kFields = {
    {"X-Content-Type-Options", "nosniff"},
    {"Cache-Control", "no-store"},
    // A movie's links must not carry the prefix to the sites they open.
    {"Referrer-Policy", "no-referrer"},
};

}  // namespace

std::string EncodePathSegment(const std::string& name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : name) {
    const auto b = static_cast<unsigned char>(c);
    if (std::isalnum(b) || c == '-' || c == '.' || c == '_' || c == '~') {
      out += c;
    } else {
      out += {'%', kHex[b >> 4], kHex[b & 15]};
    }
  }
  return out;
}

std::string PageNameOf(const std::string& movieName) {
  const std::string page = std::filesystem::path(movieName).replace_extension(".html").string();
  return page == movieName ? movieName + ".html" : page;
}

struct TPlayerServer::TState {
  std::string Prefix = RandomPrefix();
  std::filesystem::path PlayerFolder;
  std::set<std::string> PlayerFiles;
  std::mutex Mutex;
  std::deque<TPlay> Plays;  // guarded by Mutex, the latest last
  std::size_t Played = 0;   // guarded by Mutex
  std::unique_ptr<THttpServer> Server;

  std::string Host() const { return std::string(kHost) + ":" + std::to_string(Server->Port()); }

  std::optional<THttpAnswer> PlayerFile(const std::string& name) const {
    if (!PlayerFiles.contains(name)) return std::nullopt;
    try {
      return THttpAnswer{200, TypeOfPlayerFile(name), nullptr,
                         std::make_shared<const TOpenFile>((PlayerFolder / name).string())};
    } catch (const StreamError&) {
      return std::nullopt;
    }
  }

  std::optional<THttpAnswer> PlayedFile(const std::string& number, const std::string& raw) {
    const auto name = DecodeSegment(raw);
    if (!name) return std::nullopt;
    const std::lock_guard lock(Mutex);
    for (const TPlay& p : Plays) {
      if (p.Number != number) continue;
      if (*name == p.MovieName) return THttpAnswer{200, "application/x-shockwave-flash", nullptr, p.Movie};
      if (*name == p.PageName) return THttpAnswer{200, "text/html", p.Page, nullptr};
    }
    return std::nullopt;
  }

  // What a request's target names: a file of a movie played or of the
  // player; nothing for anything else.
  std::optional<THttpAnswer> Lookup(const std::string& target) {
    const std::string path = target.substr(0, target.find('?'));
    const std::string root = "/" + Prefix + "/";
    if (!path.starts_with(root)) return std::nullopt;
    const std::string rest = path.substr(root.size());
    if (rest.starts_with(kPlayerPath)) return PlayerFile(rest.substr(std::string(kPlayerPath).size()));
    const std::size_t slash = rest.find('/');
    if (slash == std::string::npos) return std::nullopt;
    return PlayedFile(rest.substr(0, slash), rest.substr(slash + 1));
  }

  THttpAnswer Answer(const THttpRequest& request) {
    const bool ownHost = request.Field("host") == Host();
    const bool reads = request.Method == "GET" || request.Method == "HEAD";
    if (auto file = ownHost && reads ? Lookup(request.Target) : std::nullopt) return std::move(*file);
    return THttpAnswer{404, "text/plain", std::make_shared<const std::string>("Not Found\n"), nullptr};
  }
};

TPlayerServer::TPlayerServer(const std::filesystem::path& playerFolder) : state_(std::make_unique<TState>()) {
  TState& s = *state_;
  s.PlayerFolder = playerFolder;
  s.PlayerFiles = PlayerFileNames(playerFolder);
  try {
    s.Server = std::make_unique<THttpServer>([&s](const THttpRequest& r) { return s.Answer(r); }, kFields);
  } catch (const std::system_error& e) {
    throw PlayerServerError(std::string("cannot listen on ") + kHost + ": " + e.what());
  }
}

TPlayerServer::~TPlayerServer() = default;

std::string TPlayerServer::Play(const std::filesystem::path& movie, const std::string& page) {
  TPlay play;
  play.MovieName = movie.filename().string();
  play.PageName = PageNameOf(play.MovieName);
  play.Movie = std::make_shared<const TOpenFile>(movie.string());
  play.Page = std::make_shared<const std::string>(PageWithPlayer(page, kPlayerFromPage + std::string(kPlayerEntry)));
  const std::lock_guard lock(state_->Mutex);
  play.Number = std::to_string(++state_->Played);
  const std::string url = Origin() + Prefix() + "/" + play.Number + "/" + EncodePathSegment(play.PageName);
  state_->Plays.push_back(std::move(play));
  if (state_->Plays.size() > kKeptPlays) state_->Plays.pop_front();
  return url;
}

std::string TPlayerServer::Origin() const { return std::string("http://") + state_->Host(); }

std::string TPlayerServer::Prefix() const { return "/" + state_->Prefix; }

}  // namespace movara::play
