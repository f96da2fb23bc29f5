// The WAV encoder's header and sample layout.
#include "tools/assetgen/Sound.h"

#include <gtest/gtest.h>

#include <string>

namespace ukh::assetgen {
namespace {

std::uint32_t Le32(const std::vector<std::uint8_t>& d, std::size_t o) {
  return d[o] | d[o + 1] << 8 | d[o + 2] << 16 | std::uint32_t(d[o + 3]) << 24;
}
std::uint16_t Le16(const std::vector<std::uint8_t>& d, std::size_t o) {
  return std::uint16_t(d[o] | d[o + 1] << 8);
}

TEST(SoundTest, WavHeaderDescribes16BitMonoPcm) {
  const std::vector<std::int16_t> samples = {0, 1, -1, 32767, -32768};
  const std::vector<std::uint8_t> d = EncodeWav16Mono(samples, 22050);
  ASSERT_EQ(d.size(), 44u + 10);
  EXPECT_EQ(std::string(d.begin(), d.begin() + 4), "RIFF");
  EXPECT_EQ(Le32(d, 4), d.size() - 8);
  EXPECT_EQ(std::string(d.begin() + 8, d.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(Le32(d, 16), 16u);
  EXPECT_EQ(Le16(d, 20), 1);  // PCM
  EXPECT_EQ(Le16(d, 22), 1);  // channels
  EXPECT_EQ(Le32(d, 24), 22050u);
  EXPECT_EQ(Le32(d, 28), 44100u);
  EXPECT_EQ(Le16(d, 32), 2);
  EXPECT_EQ(Le16(d, 34), 16);
  EXPECT_EQ(std::string(d.begin() + 36, d.begin() + 40), "data");
  EXPECT_EQ(Le32(d, 40), 10u);
  for (std::size_t i = 0; i < samples.size(); ++i)
    EXPECT_EQ(std::int16_t(Le16(d, 44 + 2 * i)), samples[i]) << i;
}

TEST(SoundTest, EmptySoundIsAValidFile) {
  const std::vector<std::uint8_t> d = EncodeWav16Mono({}, 8000);
  ASSERT_EQ(d.size(), 44u);
  EXPECT_EQ(Le32(d, 4), 36u);
  EXPECT_EQ(Le32(d, 40), 0u);
}

}  // namespace
}  // namespace ukh::assetgen
