// The two WAV files: valid 16-bit PCM, lengths, and a loop that joins without a click.
#include <cmath>
#include <string>

#include "tests/assets/AssetFile.h"

namespace ukh::assets_test {
namespace {

struct TWav {
  int Rate = 0;
  std::vector<std::int16_t> Samples;
};

TWav ReadWav(const std::string& name) {
  const std::vector<std::uint8_t> d = ReadAsset(name);
  TWav w;
  EXPECT_GE(d.size(), 44u);
  if (d.size() < 44) return w;
  EXPECT_EQ(std::string(d.begin(), d.begin() + 4), "RIFF");
  EXPECT_EQ(Le32(d, 4), d.size() - 8);
  EXPECT_EQ(std::string(d.begin() + 8, d.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(Le32(d, 16), 16u);
  EXPECT_EQ(Le16(d, 20), 1);   // PCM
  EXPECT_EQ(Le16(d, 22), 1);   // mono
  EXPECT_EQ(Le16(d, 34), 16);  // bits
  EXPECT_EQ(Le32(d, 28), Le32(d, 24) * 2);
  EXPECT_EQ(Le16(d, 32), 2);
  EXPECT_EQ(std::string(d.begin() + 36, d.begin() + 40), "data");
  const std::uint32_t bytes = Le32(d, 40);
  EXPECT_EQ(bytes, d.size() - 44);
  w.Rate = int(Le32(d, 24));
  for (std::size_t i = 44; i + 1 < d.size(); i += 2) w.Samples.push_back(std::int16_t(Le16(d, i)));
  return w;
}

double Rms(const std::vector<std::int16_t>& s) {
  double sum = 0;
  for (std::int16_t v : s) sum += double(v) * v;
  return s.empty() ? 0 : std::sqrt(sum / s.size());
}

TEST(SoundFilesTest, MenuJingleIsShortAndStartsAndEndsSilent) {
  const TWav w = ReadWav("Menu.wav");
  ASSERT_GT(w.Rate, 0);
  const double seconds = double(w.Samples.size()) / w.Rate;
  EXPECT_GE(seconds, 1.0);
  EXPECT_LE(seconds, 2.0);
  EXPECT_GT(Rms(w.Samples), 1000);
  EXPECT_LE(std::abs(w.Samples.front()), 64);
  EXPECT_LE(std::abs(w.Samples.back()), 64);
}

TEST(SoundFilesTest, TrackLoopsWithoutAClick) {
  const TWav w = ReadWav("Track01.wav");
  ASSERT_GT(w.Rate, 0);
  ASSERT_GT(w.Samples.size(), std::size_t(w.Rate) * 8);
  EXPECT_GT(Rms(w.Samples), 1000);  // music, not silence
  // Played looped, the last sample is followed by the first: that step must be as small as
  // a quiet passage's, about 0.2% of full scale.
  const int jump = std::abs(int(w.Samples.back()) - int(w.Samples.front()));
  EXPECT_LE(jump, 64);
  // Nor may the level jump just around the join: compare the slopes on both sides.
  const std::size_t n = w.Samples.size();
  const int before = int(w.Samples[n - 1]) - int(w.Samples[n - 2]);
  const int after = int(w.Samples[1]) - int(w.Samples[0]);
  EXPECT_LE(std::abs(before - after), 256);
}

}  // namespace
}  // namespace ukh::assets_test
