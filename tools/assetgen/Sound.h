// The game's two sounds, synthesised: "Menu.wav", a short jingle, and "Track01.wav", a tune
// that loops without a click. Both 16-bit mono PCM.
#pragma once

#include <cstdint>
#include <vector>

namespace ukh::assetgen {

inline constexpr int kSampleRate = 22050;

// A RIFF/WAVE file holding 16-bit mono PCM.
std::vector<std::uint8_t> EncodeWav16Mono(const std::vector<std::int16_t>& samples, int rate);

// About 1.6 s: a rising arpeggio and a ringing chord, silent at both ends.
std::vector<std::int16_t> SynthMenuJingle();
// Eight bars with drums, bass and a melody, rendered round a circular buffer so that the
// tails of the last notes continue at the start: the end joins the start seamlessly.
std::vector<std::int16_t> SynthTrack();

}  // namespace ukh::assetgen
