#include <cstdio>

// The headless converter. The conversion job is still being built; until it
// lands this program only tells so.
int main() {
  std::fputs("movara-cli: GIF conversion is not available yet in this build.\n", stderr);
  return 2;
}
