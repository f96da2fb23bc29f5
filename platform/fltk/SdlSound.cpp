// Sound on SDL2_mixer.
#include "platform/fltk/SdlSound.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>

namespace ukh::platform {

namespace fs = std::filesystem;

namespace {
fs::path ExecutableDir() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : exe.parent_path();
}
}  // namespace

std::string TSdlSound::ResolveSoundFile(const std::string& name) {
  if (name.empty()) return {};
  fs::path file(name);
  if (!file.has_extension()) file += ".wav";
  std::error_code ec;
  if (fs::is_regular_file(file, ec)) return file.string();
  if (file.is_relative()) {
    fs::path beside = ExecutableDir() / file;
    if (!ExecutableDir().empty() && fs::is_regular_file(beside, ec)) return beside.string();
  }
  return {};
}

namespace {
// Whether a sound server or a sound card could be there; without either, SDL's ALSA attempt
// only fills stderr with the library's complaints.
bool AudioDeviceLikely() {
  std::error_code ec;
  if (fs::exists("/dev/snd", ec)) return true;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (!runtime) return false;
  return fs::exists(fs::path(runtime) / "pulse" / "native", ec) ||
         fs::exists(fs::path(runtime) / "pipewire-0", ec);
}
}  // namespace

bool TSdlSound::EnsureAudio() {
  if (FTried) return FOpen;
  FTried = true;
  if (!std::getenv("SDL_AUDIODRIVER") && !AudioDeviceLikely()) {
    std::fputs("No sound device; playing silently on SDL's dummy driver\n", stderr);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
  }
  auto open = [] {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048) == 0) return true;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  };
  FOpen = open();
  if (!FOpen) {
    std::fprintf(stderr, "No sound device (%s); playing silently on SDL's dummy driver\n",
                 SDL_GetError());
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    FOpen = open();
    if (!FOpen) std::fprintf(stderr, "No sound at all: %s\n", SDL_GetError());
  }
  return FOpen;
}

std::string TSdlSound::DriverName() const {
  const char* name = FOpen ? SDL_GetCurrentAudioDriver() : nullptr;
  return name ? name : "";
}

void TSdlSound::Play(const std::string& name, bool looped) {
  Stop();
  if (!EnsureAudio()) return;
  std::string file = ResolveSoundFile(name);
  if (file.empty()) {
    static std::set<std::string> reported;
    if (reported.insert(name).second)
      std::fprintf(stderr, "Sound \"%s\" not found; nothing plays\n", name.c_str());
    return;
  }
  FChunk = Mix_LoadWAV(file.c_str());
  if (!FChunk) {
    std::fprintf(stderr, "Sound \"%s\" cannot be read: %s\n", file.c_str(), Mix_GetError());
    return;
  }
  Mix_PlayChannel(-1, FChunk, looped ? -1 : 0);
}

void TSdlSound::Stop() {
  if (!FOpen) return;
  Mix_HaltChannel(-1);
  if (FChunk) Mix_FreeChunk(FChunk);
  FChunk = nullptr;
}

bool TSdlSound::IsPlaying() const {
  return FOpen && Mix_Playing(-1) > 0;
}

TSdlSound::~TSdlSound() {
  Stop();
  if (FOpen) {
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
}

}  // namespace ukh::platform
