#pragma once

#include <filesystem>

namespace movara {

// The folder holding the running program (the current folder when the
// system does not tell).
std::filesystem::path ProgramFolder();

// Where an installed program's own files lie: share/movara beside the bin
// folder that holds the program. A program run from its build tree has
// them beside itself instead.
std::filesystem::path InstalledDataFolder(const std::filesystem::path& programFolder);

}  // namespace movara
