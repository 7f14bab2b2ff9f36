#include "play/PlayerServer.h"

#include <httplib.h>
#include <sys/random.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <thread>

#include "base/FileStream.h"
#include "play/PlayerFiles.h"

namespace movara::play {

namespace {

constexpr const char* kHost = "127.0.0.1";
// The folder of the player's files below the prefix.
constexpr const char* kPlayerPath = "player/";
// Seconds an idle browser connection is kept: the server waits for them
// when it stops.
constexpr time_t kKeepAliveSeconds = 1;

// A file as served: its bytes, shared with the responses that send them,
// and its type.
struct TServedFile {
  std::shared_ptr<const std::string> Body;
  std::string Type;
};

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
// is malformed or the name could reach outside the segment (a separator or
// a NUL, however written).
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
  if (name.empty() || name.find_first_of(std::string("/\\\0", 3)) != std::string::npos) return std::nullopt;
  return name;
}

std::string TypeOfPlayerFile(const std::filesystem::path& file) {
  return file.extension() == ".wasm" ? "application/wasm" : "text/javascript";
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

std::shared_ptr<const std::string> ReadWhole(const std::filesystem::path& file) {
  const std::vector<std::uint8_t> bytes = ReadFileBytes(file);
  return std::make_shared<const std::string>(bytes.begin(), bytes.end());
}

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

struct TPlayerServer::TState {
  httplib::Server Server;
  std::thread Listener;
  std::atomic<bool> Ended = false;
  int Port = 0;
  std::string Prefix;
  std::filesystem::path PlayerFolder;
  std::set<std::string> PlayerFiles;
  std::mutex Mutex;
  std::map<std::string, TServedFile> Movies;  // guarded by Mutex

  // What a request's target names: a file of a movie played or of the
  // player; nothing for anything else.
  std::optional<TServedFile> Lookup(const std::string& target) {
    const std::string path = target.substr(0, target.find('?'));
    const std::string root = "/" + Prefix + "/";
    if (!path.starts_with(root)) return std::nullopt;
    const std::string rest = path.substr(root.size());
    if (rest.starts_with(kPlayerPath)) {
      const std::string name = rest.substr(std::string(kPlayerPath).size());
      if (!PlayerFiles.contains(name)) return std::nullopt;
      try {
        return TServedFile{ReadWhole(PlayerFolder / name), TypeOfPlayerFile(name)};
      } catch (const StreamError&) {
        return std::nullopt;
      }
    }
    const auto name = DecodeSegment(rest);
    if (!name) return std::nullopt;
    const std::lock_guard lock(Mutex);
    const auto found = Movies.find(*name);
    if (found == Movies.end()) return std::nullopt;
    return found->second;
  }

  void Respond(const httplib::Request& req, httplib::Response& res) {
    res.set_header("X-Content-Type-Options", "nosniff");
    res.set_header("Cache-Control", "no-store");
    // A movie's links must not carry the prefix to the sites they open.
    res.set_header("Referrer-Policy", "no-referrer");
    const bool ownHost = req.get_header_value("Host") == kHost + (":" + std::to_string(Port));
    const bool reads = req.method == "GET" || req.method == "HEAD";
    const auto file = ownHost && reads ? Lookup(req.target) : std::nullopt;
    if (!file) {
      res.status = 404;
      res.set_content("Not Found\n", "text/plain");
      return;
    }
    res.status = 200;
    const auto body = file->Body;
    res.set_content_provider(body->size(), file->Type,
                             [body](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                               return sink.write(body->data() + offset, length);
                             });
  }
};

TPlayerServer::TPlayerServer(const std::filesystem::path& playerFolder) : state_(std::make_unique<TState>()) {
  TState& s = *state_;
  s.PlayerFolder = playerFolder;
  s.PlayerFiles = PlayerFileNames(playerFolder);
  s.Prefix = RandomPrefix();
  s.Server.set_keep_alive_timeout(kKeepAliveSeconds);
  s.Server.set_pre_routing_handler([&s](const httplib::Request& req, httplib::Response& res) {
    s.Respond(req, res);
    return httplib::Server::HandlerResponse::Handled;
  });
  s.Port = s.Server.bind_to_any_port(kHost);
  if (s.Port <= 0) throw PlayerServerError(std::string("cannot listen on ") + kHost);
  s.Listener = std::thread([&s] {
    s.Server.listen_after_bind();
    s.Ended = true;
  });
  // Stopping works only once the server runs: wait for it to.
  while (!s.Server.is_running() && !s.Ended) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TPlayerServer::~TPlayerServer() {
  state_->Server.stop();
  state_->Listener.join();
}

std::string TPlayerServer::Play(const std::filesystem::path& movie, const std::string& page) {
  const std::string movieName = movie.filename().string();
  const std::string pageName = movie.stem().string() + ".html";
  TServedFile movieFile{ReadWhole(movie), "application/x-shockwave-flash"};
  TServedFile pageFile{std::make_shared<const std::string>(PageWithPlayer(page, kPlayerPath + std::string(kPlayerEntry))),
                       "text/html"};
  {
    const std::lock_guard lock(state_->Mutex);
    state_->Movies[movieName] = std::move(movieFile);
    state_->Movies[pageName] = std::move(pageFile);
  }
  return Origin() + Prefix() + "/" + EncodePathSegment(pageName);
}

std::string TPlayerServer::Origin() const { return std::string("http://") + kHost + ":" + std::to_string(state_->Port); }

std::string TPlayerServer::Prefix() const { return "/" + state_->Prefix; }

}  // namespace movara::play
