#pragma once

// A scratch folder with the main window's logic around it: a fake view, an
// in-memory settings store and a program folder of its own.

#include <filesystem>
#include <memory>

#include "ConvertTestSupport.h"
#include "FakeView.h"
#include "form/MainForm.h"
#include "play/PlayerFiles.h"

namespace movara::test {

struct ConverterFixture : ConvertFixture {
  std::filesystem::path ProgramDir;
  FakeView View;
  form::TMemorySettingsStore Settings;
  std::unique_ptr<form::TfrmMain> Form;

  ConverterFixture() {
    ProgramDir = Root / "program";
    std::filesystem::create_directories(ProgramDir);
    // Never the user's own pictures or home folder.
    View.Pictures = Root / "pictures";
    std::filesystem::create_directories(View.Pictures);
    Form = std::make_unique<form::TfrmMain>(View, Settings, ProgramDir);
    Form->OutputFolder = OutDir;
  }

  // A stand-in for the player's files beside the program, so that a single
  // conversion can serve its page.
  void GivePlayer() const {
    std::filesystem::create_directories(ProgramDir / "player");
    WriteFileBytes(ProgramDir / "player" / play::kPlayerEntry, Bytes{'/', '/'});
  }

  // Converts one file as the Start button does in single-file mode.
  int Convert(const std::filesystem::path& gif) {
    View.Single = true;
    View.Selected = {gif};
    return Form->ConvertNow(gif, "");
  }
};

}  // namespace movara::test
