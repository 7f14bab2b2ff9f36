#include "base/PartialFile.h"

#include <fcntl.h>
#include <linux/limits.h>
#include <stdio.h>
#include <time.h>
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
// without taking a lock or allocating. A slot is filled, then marked as
// being created while its file is made, then as made. The cleanup first
// closes the registry, then waits a moment for each slot being filled or
// created: a file is created only after its slot is marked and the registry
// is seen open, so that none appears after the cleanup.
constexpr std::size_t kSlots = 512;
constexpr std::size_t kNoSlot = kSlots;
enum : int { kFree = 0, kFilling = 1, kCreating = 2, kMade = 3 };
struct TSlot {
  std::atomic<int> State{kFree};
  char Path[PATH_MAX] = {};
};
std::array<TSlot, kSlots> slots;
std::atomic<bool> closed{false};

std::size_t Register(const std::filesystem::path& path) {
  const std::string& text = path.native();
  if (text.size() >= PATH_MAX) return kNoSlot;
  for (std::size_t i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (!slots[i].State.compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(slots[i].Path, text.c_str(), text.size() + 1);
    slots[i].State.store(kCreating);
    return i;
  }
  return kNoSlot;
}

void MarkMade(std::size_t slot) {
  if (slot != kNoSlot) slots[slot].State.store(kMade);
}

void Unregister(std::size_t slot) {
  if (slot != kNoSlot) slots[slot].State.store(kFree);
}

// Waits up to 100 ms for a slot being filled or a file being created: the
// thread doing it may be the one the signal interrupted, which will not go
// on.
void AwaitCreation(const TSlot& slot) noexcept {
  for (int i = 0; i < 100 && (slot.State.load() == kFilling || slot.State.load() == kCreating); ++i) {
    const timespec pause{0, 1000000};
    ::nanosleep(&pause, nullptr);
  }
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

// Creates a new file of that name exclusively (O_EXCL) and opens it for
// writing; -1 when one exists. The mode leaves the permissions to the
// umask, as for any file.
int CreateExclusively(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0 && errno != EEXIST) {
    throw std::filesystem::filesystem_error("cannot create", path, std::error_code(errno, std::generic_category()));
  }
  return fd;
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
    slot_ = Register(path_);
    if (closed.load()) {
      // The process is ending on a signal: no file may appear any more.
      Unregister(slot_);
      throw std::filesystem::filesystem_error("the program is ending", path_,
                                              std::make_error_code(std::errc::operation_canceled));
    }
    int fd = -1;
    try {
      fd = CreateExclusively(path_);
    } catch (...) {
      Unregister(slot_);
      throw;
    }
    if (fd < 0) {
      Unregister(slot_);
      continue;
    }
    MarkMade(slot_);
    try {
      stream_ = std::make_unique<TFileStream>(fd, target_);
    } catch (...) {
      // The destructor does not run for a constructor that throws: the
      // file made (its descriptor closed by the stream) and its slot go here.
      ::unlink(path_.c_str());
      Unregister(slot_);
      throw;
    }
    return;
  }
  throw std::filesystem::filesystem_error("cannot find a free temporary name in", folder,
                                          std::make_error_code(std::errc::file_exists));
}

TPartialFile::~TPartialFile() {
  stream_.reset();
  if (!done_) ::unlink(path_.c_str());
  Unregister(slot_);
}

bool TPartialFile::Commit(bool replace) {
  stream_->Close();
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
  closed.store(true);
  for (auto& slot : slots) {
    AwaitCreation(slot);
    const int state = slot.State.load();
    if (state == kCreating || state == kMade) ::unlink(slot.Path);
  }
}

}  // namespace movara
