// Sound synthesis and the WAV encoder.
#include "tools/assetgen/Sound.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "tools/assetgen/DetMath.h"
#include "tools/assetgen/Random.h"

namespace ukh::assetgen {

std::vector<std::uint8_t> EncodeWav16Mono(const std::vector<std::int16_t>& samples, int rate) {
  const std::uint64_t dataBytes = std::uint64_t(samples.size()) * 2;
  if (dataBytes > 0xFFFFFFFFull - 36) throw std::length_error("WAV data longer than 4 GiB");
  std::vector<std::uint8_t> out;
  out.reserve(44 + dataBytes);
  auto tag = [&](const char* s) {
    for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(s[i]));
  };
  auto u16 = [&](std::uint32_t v) {
    out.push_back(std::uint8_t(v)), out.push_back(std::uint8_t(v >> 8));
  };
  auto u32 = [&](std::uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
  tag("RIFF");
  u32(std::uint32_t(36 + dataBytes));
  tag("WAVE");
  tag("fmt ");
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(std::uint32_t(rate));
  u32(std::uint32_t(rate) * 2);  // bytes per second
  u16(2);                        // block align
  u16(16);                       // bits per sample
  tag("data");
  u32(std::uint32_t(dataBytes));
  for (std::int16_t s : samples) u16(std::uint16_t(s));
  return out;
}

namespace {

double NoteHz(int midi) {
  return 440.0 * DetExp2((midi - 69) / 12.0);
}

// A buffer of mixed samples; with `wrap` writes past the end continue at the start.
class TMix {
 public:
  TMix(std::size_t length, bool wrap) : FBuf(length, 0.0), FWrap(wrap) {}
  void Add(std::size_t i, double v) {
    if (i >= FBuf.size()) {
      if (!FWrap) return;
      i %= FBuf.size();
    }
    FBuf[i] += v;
  }
  std::size_t Size() const { return FBuf.size(); }
  // Scaled so the loudest sample reaches `peak` of full scale.
  std::vector<std::int16_t> Quantise(double peak) const {
    double max = 1e-9;
    for (double v : FBuf) max = std::max(max, std::fabs(v));
    std::vector<std::int16_t> out(FBuf.size());
    for (std::size_t i = 0; i < FBuf.size(); ++i)
      out[i] = std::int16_t(DetRound(FBuf[i] / max * peak * 32767));
    return out;
  }

 private:
  std::vector<double> FBuf;
  bool FWrap;
};

// Linear attack, exponential decay, and a linear release that ends exactly at `length`.
double Envelope(double t, double length, double attack, double decay, double release) {
  if (t < 0 || t >= length) return 0;
  double e = t < attack ? t / attack : DetExp(-(t - attack) / decay);
  if (t > length - release) e *= (length - t) / release;
  return e;
}

// A plucked, bell-like tone: a few harmonics, the higher ones dying faster.
void Pluck(TMix& mix, std::size_t start, double seconds, int midi, double gain) {
  const double f = NoteHz(midi);
  const std::size_t n = std::size_t(seconds * kSampleRate);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = double(i) / kSampleRate;
    const double env = Envelope(t, seconds, 0.004, 0.35, 0.02);
    const double w = kTwoPi * f * t;
    const double v = DetSin(w) + 0.45 * DetSin(2 * w) * DetExp(-t * 6) +
                     0.2 * DetSin(3 * w) * DetExp(-t * 10) + 0.08 * DetSin(5 * w) * DetExp(-t * 16);
    mix.Add(start + i, gain * env * v);
  }
}

// A round bass: fundamental with a touch of odd harmonics.
void Bass(TMix& mix, std::size_t start, double seconds, int midi, double gain) {
  const double f = NoteHz(midi);
  const std::size_t n = std::size_t(seconds * kSampleRate);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = double(i) / kSampleRate;
    const double env = Envelope(t, seconds, 0.006, 0.5, 0.03);
    const double w = kTwoPi * f * t;
    mix.Add(start + i, gain * env * (DetSin(w) + 0.3 * DetSin(3 * w) + 0.1 * DetSin(5 * w)));
  }
}

// Kick: a sine whose pitch falls from 130 Hz towards 48 Hz.
void Kick(TMix& mix, std::size_t start, double gain) {
  const double seconds = 0.3;
  const std::size_t n = std::size_t(seconds * kSampleRate);
  double phase = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = double(i) / kSampleRate;
    const double f = 48 + 82 * DetExp(-t * 30);
    phase += kTwoPi * f / kSampleRate;
    mix.Add(start + i, gain * Envelope(t, seconds, 0.002, 0.09, 0.05) * DetSin(phase));
  }
}

// Hats and snares: noise, differenced for a brighter sound.
void Noise(TMix& mix, TRandom& rng, std::size_t start, double seconds, double decay, double bright,
           double gain) {
  const std::size_t n = std::size_t(seconds * kSampleRate);
  double prev = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = double(i) / kSampleRate;
    const double w = rng.Uniform(-1, 1);
    const double v = w - bright * prev;
    prev = w;
    mix.Add(start + i, gain * Envelope(t, seconds, 0.001, decay, 0.01) * v);
  }
}

}  // namespace

std::vector<std::int16_t> SynthMenuJingle() {
  const double seconds = 1.6;
  TMix mix(std::size_t(seconds * kSampleRate), false);
  const int notes[] = {72, 76, 79, 84};  // C major, rising
  for (int i = 0; i < 4; ++i) Pluck(mix, std::size_t(i * 0.11 * kSampleRate), 0.5, notes[i], 0.5);
  for (int midi : {84, 88, 91, 60}) Pluck(mix, std::size_t(0.46 * kSampleRate), 1.12, midi, 0.4);
  Bass(mix, std::size_t(0.46 * kSampleRate), 1.1, 48, 0.5);
  return mix.Quantise(0.8);
}

std::vector<std::int16_t> SynthTrack() {
  // Sixteenth notes of a whole number of samples, so every bar and the loop are exact.
  constexpr std::size_t kStep = 2756;  // ~120 beats per minute at 22050 Hz
  constexpr int kSteps = 8 * 16;
  const double step = double(kStep) / kSampleRate;
  TMix mix(kStep * kSteps, true);
  TRandom rng(0x0CAB1CA);

  // C - Am - F - G, two bars each.
  const int roots[4] = {36, 45, 41, 43};
  for (int bar = 0; bar < 8; ++bar) {
    const int root = roots[bar / 2];
    const int pattern[8] = {0, 0, 12, 0, 7, 0, 12, 7};
    for (int e = 0; e < 8; ++e)
      Bass(mix, (bar * 16 + e * 2) * kStep, step * 1.8, root + pattern[e], 0.55);
    for (int beat = 0; beat < 4; ++beat) {
      Kick(mix, (bar * 16 + beat * 4) * kStep, 0.9);
      Noise(mix, rng, (bar * 16 + beat * 4 + 2) * kStep, 0.06, 0.018, 0.9, 0.16);
      if (beat % 2 == 1) Noise(mix, rng, (bar * 16 + beat * 4) * kStep, 0.16, 0.05, 0.3, 0.3);
    }
  }

  // The melody: (step, length in steps, note); 0 marks the end.
  struct TNote {
    int Step, Len, Midi;
  };
  const TNote melody[] = {
      // bar 1-2, C
      {0, 2, 76},
      {2, 2, 79},
      {4, 2, 84},
      {6, 2, 79},
      {8, 2, 76},
      {10, 2, 74},
      {12, 2, 72},
      {14, 2, 74},
      {16, 4, 76},
      {20, 4, 79},
      {24, 2, 76},
      {26, 2, 74},
      {28, 4, 72},
      // bar 3-4, Am
      {32, 2, 69},
      {34, 2, 72},
      {36, 2, 76},
      {38, 2, 81},
      {40, 2, 79},
      {42, 2, 76},
      {44, 2, 72},
      {46, 2, 76},
      {48, 4, 81},
      {52, 2, 79},
      {54, 2, 76},
      {56, 2, 74},
      {58, 2, 72},
      {60, 4, 69},
      // bar 5-6, F
      {64, 2, 77},
      {66, 2, 81},
      {68, 2, 84},
      {70, 2, 81},
      {72, 2, 77},
      {74, 2, 76},
      {76, 2, 74},
      {78, 2, 76},
      {80, 4, 77},
      {84, 4, 81},
      {88, 2, 84},
      {90, 2, 81},
      {92, 4, 77},
      // bar 7-8, G
      {96, 2, 79},
      {98, 2, 83},
      {100, 2, 86},
      {102, 2, 83},
      {104, 2, 79},
      {106, 2, 77},
      {108, 2, 76},
      {110, 2, 74},
      {112, 4, 74},
      {116, 4, 79},
      {120, 4, 71},
      {0, 0, 0},
  };
  for (const TNote* n = melody; n->Len; ++n)
    Pluck(mix, n->Step * kStep, n->Len * step * 0.95, n->Midi, 0.42);
  return mix.Quantise(0.8);
}

}  // namespace ukh::assetgen
