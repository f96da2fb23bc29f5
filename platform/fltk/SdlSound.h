// TSdlSound: named sounds on SDL2_mixer, one playing at a time.
//
// A name is looked for in the working directory, then beside the executable; a name without
// an extension gets ".wav". The audio device is opened on the first request; when there is
// none, SDL's dummy driver is used so the program runs silently (said once on stderr).
#pragma once

#include <string>

#include "platform/Sound.h"

struct Mix_Chunk;

namespace ukh::platform {

class TSdlSound : public ISound {
 public:
  TSdlSound() = default;
  ~TSdlSound() override;
  TSdlSound(const TSdlSound&) = delete;
  TSdlSound& operator=(const TSdlSound&) = delete;

  void Play(const std::string& name, bool looped) override;
  void Stop() override;

  bool IsPlaying() const;
  // The file a name resolves to, or empty when neither place has it.
  static std::string ResolveSoundFile(const std::string& name);
  // Whether audio came up, and on which driver ("dummy" without a device).
  bool AudioOpen() const { return FOpen; }
  std::string DriverName() const;

 private:
  bool EnsureAudio();

  bool FTried = false;
  bool FOpen = false;
  Mix_Chunk* FChunk = nullptr;
};

}  // namespace ukh::platform
