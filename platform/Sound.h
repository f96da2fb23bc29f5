// ISound: sounds played by name, asynchronously; one sound plays at a time.
#pragma once

#include <string>

namespace ukh::platform {

class ISound {
 public:
  virtual ~ISound() = default;
  // Stops what plays and starts `name`, once or looped. A name without an extension gets
  // ".wav". A sound that cannot be found plays nothing; no error is raised.
  virtual void Play(const std::string& name, bool looped) = 0;
  // Silences whatever plays.
  virtual void Stop() = 0;
};

}  // namespace ukh::platform
