#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

namespace movara::play {

// The player server could not start.
class PlayerServerError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Serves movies to the browser on the loopback interface, where the player
// emulator can fetch its WebAssembly (it cannot from a file: page). It
// listens on 127.0.0.1 on a port the system picks, under a path prefix of
// 128 random bits, and serves exactly each movie played, its page with the
// player added, and the player's files; everything else is 404, and so is a
// request whose Host is not the server's own address (a page of another
// site rebound to 127.0.0.1 cannot read it).
class TPlayerServer {
 public:
  // The plays served at once: an older play's movie and page go.
  static constexpr std::size_t kKeptPlays = 8;

  // Starts serving the player's files of `playerFolder` (the entry script,
  // its chunks and WebAssembly builds). Throws PlayerServerError when it
  // cannot listen or read the folder.
  explicit TPlayerServer(const std::filesystem::path& playerFolder);
  ~TPlayerServer();
  TPlayerServer(const TPlayerServer&) = delete;
  TPlayerServer& operator=(const TPlayerServer&) = delete;

  // Serves a movie and its page (the page's text as written to disk) in a
  // folder of the play's own below the prefix, so that movies of one name
  // from different folders are told apart. The movie is opened now and
  // served as it is then (movies are replaced by a rename, which leaves the
  // opened file as it was); throws StreamError when it cannot be opened.
  // Returns the page's URL.
  std::string Play(const std::filesystem::path& movie, const std::string& page);

  // "http://127.0.0.1:PORT".
  std::string Origin() const;
  // The path every file is served under: "/" and 32 hexadecimal digits.
  std::string Prefix() const;

 private:
  struct TState;
  std::unique_ptr<TState> state_;
};

// The name a movie's page is served under: the movie's name with ".html"
// for its last extension, or added when that would be the movie's own name.
std::string PageNameOf(const std::string& movieName);

// A file name as one URL path segment: every byte but letters, digits and
// "-._~" percent-encoded.
std::string EncodePathSegment(const std::string& name);

}  // namespace movara::play
