#include "base/PartialFile.h"

#include <fcntl.h>
#include <linux/limits.h>
#include <stdio.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <random>
#include <string>
#include <system_error>

namespace movara {

namespace {

// The temporary files alive, in fixed slots a signal handler can read
// without taking a lock or allocating: a slot's path is complete before it
// is marked in use.
constexpr std::size_t kSlots = 512;
constexpr std::size_t kNoSlot = kSlots;
struct TSlot {
  std::atomic<int> State{0};  // 0 free, 1 being filled, 2 in use
  char Path[PATH_MAX] = {};
};
std::array<TSlot, kSlots> slots;

std::size_t Register(const std::filesystem::path& path) {
  const std::string& text = path.native();
  if (text.size() >= PATH_MAX) return kNoSlot;
  for (std::size_t i = 0; i < kSlots; ++i) {
    int expected = 0;
    if (!slots[i].State.compare_exchange_strong(expected, 1)) continue;
    std::memcpy(slots[i].Path, text.c_str(), text.size() + 1);
    slots[i].State.store(2);
    return i;
  }
  return kNoSlot;
}

void Unregister(std::size_t slot) {
  if (slot != kNoSlot) slots[slot].State.store(0);
}

// ".movara-" and six random letters or digits: short, so that the target's
// own name may be as long as the folder allows.
std::filesystem::path RandomName() {
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
  std::string name = ".movara-";
  for (int i = 0; i < 6; ++i) name += kChars[pick(random)];
  return name + ".partial";
}

// Creates a new file of that name exclusively (O_EXCL); false when one
// exists. The mode leaves the permissions to the umask, as for any file.
bool CreateExclusively(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == EEXIST) return false;
    throw std::filesystem::filesystem_error("cannot create", path, std::error_code(errno, std::generic_category()));
  }
  ::close(fd);
  return true;
}

// Renames without replacing; false when the target exists. Falls back to a
// hard link and an unlink where the file system has no such rename.
bool RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  int err = errno;
  if (err == EINVAL || err == ENOSYS || err == ENOTSUP) {
    if (::link(from.c_str(), to.c_str()) == 0) {
      ::unlink(from.c_str());
      return true;
    }
    err = errno;
  }
  if (err == EEXIST) return false;
  throw std::filesystem::filesystem_error("cannot rename", from, to, std::error_code(err, std::generic_category()));
}

}  // namespace

TPartialFile::TPartialFile(std::filesystem::path target) : target_(std::move(target)), slot_(kNoSlot) {
  const std::filesystem::path folder = target_.parent_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    path_ = folder / RandomName();
    if (!CreateExclusively(path_)) continue;
    slot_ = Register(path_);
    return;
  }
  throw std::filesystem::filesystem_error("cannot find a free temporary name in", folder,
                                          std::make_error_code(std::errc::file_exists));
}

TPartialFile::~TPartialFile() {
  if (!done_) ::unlink(path_.c_str());
  Unregister(slot_);
}

bool TPartialFile::Commit(bool replace) {
  bool renamed = true;
  if (replace) {
    std::filesystem::rename(path_, target_);
  } else {
    renamed = RenameNoReplace(path_, target_);
  }
  done_ = renamed;
  return renamed;
}

void RemovePartialFiles() noexcept {
  for (auto& slot : slots) {
    if (slot.State.load() == 2) ::unlink(slot.Path);
  }
}

}  // namespace movara
