// Writes the whole-movie goldens anew into the folder given: run by the
// golden-rebuild target, never by the tests.
#include <cstdio>
#include <fstream>

#include "GoldenMovies.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_goldens FOLDER\n", stderr);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  const std::filesystem::path scratch = std::filesystem::temp_directory_path() / "movara-make-goldens";
  for (const auto& recipe : movara::test::GoldenRecipes()) {
    std::ofstream(folder / (recipe.Name + ".txt"), std::ios::binary) << movara::test::GoldenText(recipe, scratch);
    std::printf("wrote %s.txt\n", recipe.Name.c_str());
  }
  std::filesystem::remove_all(scratch);
  return 0;
}
