// IPlatform: the services one program receives from its platform, handed as one object to the
// game, the cadencer and the tools.
//
// Code that takes an IPlatform& gets it injected. A few engine services are specified as free
// functions with no object to carry it (KeyHeld) or as process-wide module state bound to the
// one message loop (the cadencer's ASAP handler); for those there is one process-wide current
// platform, set by the program's entry or by a test for its own duration (TCurrentPlatform).
#pragma once

#include "platform/Clock.h"
#include "platform/Keyboard.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "platform/Sound.h"

namespace ukh::platform {

class IPlatform {
 public:
  virtual ~IPlatform() = default;
  virtual IClock& Clock() = 0;
  virtual IMessageLoop& Loop() = 0;
  virtual IKeyboard& Keyboard() = 0;
  virtual ISound& Sound() = 0;
  virtual IMessageBox& MessageBox() = 0;
};

// The process-wide current platform; throws ukh::Exception "No platform is set" when none is.
IPlatform& CurrentPlatform();
bool HasCurrentPlatform();

// Makes a platform current for the guard's lifetime and restores the previous one after.
class TCurrentPlatform {
 public:
  explicit TCurrentPlatform(IPlatform& platform);
  ~TCurrentPlatform();
  TCurrentPlatform(const TCurrentPlatform&) = delete;
  TCurrentPlatform& operator=(const TCurrentPlatform&) = delete;

 private:
  IPlatform* FPrevious;
};

}  // namespace ukh::platform
