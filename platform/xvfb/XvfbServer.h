// TXvfbServer: a private X server for tests and benchmarks that need real windows. It asks
// Xvfb for a free display number (-displayfd), so servers started by others at the same time
// never clash, points DISPLAY at it, and stops it again on destruction.
#pragma once

#include <sys/types.h>
#include <string>

namespace ukh::platform {

class TXvfbServer {
 public:
  // Whether an Xvfb program is on the PATH.
  static bool Available();

  // Starts the server and sets DISPLAY; throws ukh::Exception when it does not come up.
  TXvfbServer();
  ~TXvfbServer();
  TXvfbServer(const TXvfbServer&) = delete;
  TXvfbServer& operator=(const TXvfbServer&) = delete;

  const std::string& Display() const { return FDisplay; }

 private:
  pid_t FPid = -1;
  std::string FDisplay;
};

// Whether a program is on the PATH.
bool ProgramAvailable(const std::string& program);

}  // namespace ukh::platform
