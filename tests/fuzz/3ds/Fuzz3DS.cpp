// libFuzzer target over the 3DS reader: load the input, then request every record.
#include <cstddef>
#include <cstdint>

#include "engine/mesh/File3DS.h"
#include "tests/mesh/DecodeAll3DS.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ukh::TFile3DS f;
  try {
    f.LoadFromMemory(data, size, "fuzz.3ds");
    ukh::test3ds::DecodeAll(f);
  } catch (const ukh::E3DSError&) {
    // Rejecting bad input is the expected outcome.
  }
  return 0;
}
