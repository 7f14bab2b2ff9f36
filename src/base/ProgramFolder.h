#pragma once

#include <filesystem>

namespace movara {

// The folder holding the running program (the current folder when the
// system does not tell).
std::filesystem::path ProgramFolder();

}  // namespace movara
