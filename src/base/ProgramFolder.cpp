#include "base/ProgramFolder.h"

#include <system_error>

namespace movara {

std::filesystem::path ProgramFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::current_path() : exe.parent_path();
}

std::filesystem::path InstalledDataFolder(const std::filesystem::path& programFolder) {
  return programFolder.parent_path() / "share" / "movara";
}

}  // namespace movara
