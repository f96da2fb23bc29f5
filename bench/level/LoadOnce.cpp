// Loads the built-in level with its assets once and exits: 0 when everything loaded, 1 with
// the error on stderr otherwise. Timed from spawn to exit by bench_level.
#include <exception>
#include <iostream>

#include "bench/level/LevelLoading.h"

int main() {
  try {
    ukh::bench::TLoadedLevel level(true);
    if (!level.Created) {
      for (const auto& m : level.Platform.MessageBox().Shown) std::cerr << m << "\n";
      return 1;
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}
