// Starting and stopping a private Xvfb server.
#include "platform/xvfb/XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "engine/base/Exception.h"

namespace ukh::platform {

bool ProgramAvailable(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/bin:/bin");
  for (std::string dir; std::getline(dirs, dir, ':');)
    if (!dir.empty() && access((std::filesystem::path(dir) / program).c_str(), X_OK) == 0)
      return true;
  return false;
}

bool TXvfbServer::Available() {
  return ProgramAvailable("Xvfb");
}

TXvfbServer::TXvfbServer() {
  int fds[2];
  if (pipe(fds) != 0) throw Exception("Xvfb: cannot make a pipe");
  FPid = fork();
  if (FPid < 0) throw Exception("Xvfb: cannot fork");
  if (FPid == 0) {
    close(fds[0]);
    prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlive the test
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDERR_FILENO);
    std::string fd = std::to_string(fds[1]);
    // -noreset: an X server resets (and forgets held keys) when its last client leaves, as
    // xdotool does after each command when no window is open yet.
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
           "tcp", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  char c = 0;
  while (poll(&p, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (number.empty()) {
    kill(FPid, SIGTERM);
    waitpid(FPid, nullptr, 0);
    FPid = -1;
    throw Exception("Xvfb did not report a display");
  }
  FDisplay = ":" + number;
  setenv("DISPLAY", FDisplay.c_str(), 1);
}

TXvfbServer::~TXvfbServer() {
  if (FPid > 0) {
    kill(FPid, SIGTERM);
    waitpid(FPid, nullptr, 0);
  }
}

}  // namespace ukh::platform
