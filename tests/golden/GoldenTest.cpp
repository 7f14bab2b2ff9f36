// The whole-movie goldens: each recipe's movie, dumped, equals its checked-in
// text. A difference names the first line that differs; if the change is
// meant, rebuild the goldens with the golden-rebuild target and review them.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "GoldenMovies.h"

namespace movara::test {
namespace {

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The first line where two texts differ, both versions shown.
std::string FirstDifference(const std::string& want, const std::string& got) {
  std::istringstream a(want), b(got);
  std::string la, lb;
  for (int line = 1;; ++line) {
    const bool ha = static_cast<bool>(std::getline(a, la)), hb = static_cast<bool>(std::getline(b, lb));
    if (!ha && !hb) return "";
    if (!ha || !hb || la != lb) {
      return "line " + std::to_string(line) + ":\n  golden: " + (ha ? la : "(end)") + "\n  now:    " + (hb ? lb : "(end)");
    }
  }
}

TEST(GoldenMovies, EveryRecipeDumpsAsItsGolden) {
  const std::filesystem::path scratch = std::filesystem::temp_directory_path() / "movara-golden-tests";
  const auto recipes = GoldenRecipes();
  EXPECT_GE(recipes.size(), 12u);
  for (const auto& recipe : recipes) {
    SCOPED_TRACE(recipe.Name);
    const auto file = std::filesystem::path(MOVARA_GOLDEN_DIR) / (recipe.Name + ".txt");
    ASSERT_TRUE(std::filesystem::exists(file)) << file << " is missing: build the golden-rebuild target";
    const std::string want = ReadText(file);
    const std::string got = GoldenText(recipe, scratch);
    EXPECT_EQ(FirstDifference(want, got), "") << "rebuild with the golden-rebuild target only if the change is meant";
    bool readTwice = false;
    EXPECT_EQ(FirstDifference(want, GoldenText(recipe, scratch, 0, &readTwice)), "") << "read twice";
    // Made from the whole image instead, the movie would be the same: only
    // the memory bound would be lost. A single picture is always held.
    EXPECT_EQ(readTwice, PictureCount(recipe.Gif()) > 1) << "the first reading's facts suffice";
  }
  std::filesystem::remove_all(scratch);
}

// Every golden file has its recipe: none is left behind by a renamed one.
TEST(GoldenMovies, NoGoldenWithoutARecipe) {
  std::set<std::string> names;
  for (const auto& recipe : GoldenRecipes()) names.insert(recipe.Name + ".txt");
  for (const auto& e : std::filesystem::directory_iterator(MOVARA_GOLDEN_DIR)) {
    if (e.path().extension() == ".txt") {
      EXPECT_EQ(names.count(e.path().filename().string()), 1u) << e.path();
    }
  }
}

}  // namespace
}  // namespace movara::test
