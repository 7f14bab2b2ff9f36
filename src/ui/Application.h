#pragma once

#include <string>
#include <vector>

namespace movara::ui {

// Whether the window could be shown: a display (X or Wayland) or a Qt
// platform chosen in the environment.
bool HaveDisplay();

// Shows the main window and runs until it is closed; the exit status.
int RunWindow(int& argc, char** argv, const std::vector<std::string>& args);

}  // namespace movara::ui
