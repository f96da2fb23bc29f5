// TFltkPlatform: the platform on FLTK 1.3 under X11, with SDL2_mixer for sound.
//
// Posted messages wait in a queue of our own that an FLTK idle callback drains, one batch per
// pass of FLTK's loop; each pass also reads the X events and repaints, so pending input and
// paints are served between two batches (and so between two cadencer ticks). Timers are FLTK
// timeouts; the key state is FLTK's global one (XQueryKeymap); the clock is steady_clock.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/Platform.h"
#include "platform/fltk/SdlSound.h"

namespace ukh::platform {

class TFltkClock : public IClock {
 public:
  int64_t PerformanceCounter() override;
  int64_t PerformanceFrequency() override { return 1'000'000'000; }
  uint32_t TickCount() override;
  double LocalDateTime() override;
};

class TFltkMessageBox : public IMessageBox {
 public:
  void ShowMessage(const std::string& text) override;
};

class TFltkMessageLoop : public IMessageLoop {
 public:
  TFltkMessageLoop(IClock& clock, IMessageBox& messageBox);
  ~TFltkMessageLoop() override;
  TFltkMessageLoop(const TFltkMessageLoop&) = delete;
  TFltkMessageLoop& operator=(const TFltkMessageLoop&) = delete;

  uint32_t RegisterMessage(const std::string& name) override;
  TWindowHandle CreateMessageWindow(TMessageProc proc) override;
  void DestroyMessageWindow(TWindowHandle window) override;
  void PostMessage(TWindowHandle window, uint32_t msg, uintptr_t wParam = 0,
                   intptr_t lParam = 0) override;
  uint32_t StartTimer(TWindowHandle window, uint32_t id, uint32_t milliseconds) override;
  void StopTimer(TWindowHandle window, uint32_t id) override;
  // FLTK's check (input, paints, due timeouts), then the posted messages queued before.
  void ProcessMessages() override;
  // An idle handler returning false is called again after the next posted message.
  void SetIdleHandler(std::function<bool()> handler) override;
  void Run() override;
  void Terminate() override;
  bool Terminated() const override { return FTerminated; }
  void ReportError(const std::exception& error) override;

  size_t QueuedCount() const { return FQueue.size(); }

 private:
  struct TEntry {
    TMessage Message;
    uint64_t Sequence;
  };
  struct TTimer {
    TFltkMessageLoop* Loop;
    TWindowHandle Window;
    uint32_t Id;
    double Seconds;
  };
  static void DrainCallback(void* self);
  static void IdleCallback(void* self);
  static void TimerCallback(void* timer);
  void Drain();
  void Deliver(const TMessage& message);
  void UpdateDrainCallback();
  void UpdateIdleCallback();

  IClock& FClock;
  IMessageBox& FMessageBox;
  std::map<std::string, uint32_t> FRegistered;
  std::map<TWindowHandle, TMessageProc> FWindows;
  TWindowHandle FNextWindow = 1;
  std::deque<TEntry> FQueue;
  uint64_t FNextSequence = 1;
  bool FDrainInstalled = false;
  std::map<std::pair<TWindowHandle, uint32_t>, std::unique_ptr<TTimer>> FTimers;
  std::function<bool()> FIdle;
  bool FIdleInstalled = false;
  bool FIdleWaitsForMessage = false;
  bool FTerminated = false;
};

class TFltkKeyboard : public IKeyboard {
 public:
  // Opens the display on first use; reads 0 for every key when there is none.
  int16_t GetAsyncKeyState(int32_t virtualKey) override;
};

class TFltkPlatform : public IPlatform {
 public:
  TFltkPlatform();
  ~TFltkPlatform() override;
  TFltkPlatform(const TFltkPlatform&) = delete;
  TFltkPlatform& operator=(const TFltkPlatform&) = delete;

  TFltkClock& Clock() override { return FClock; }
  TFltkMessageLoop& Loop() override { return FLoop; }
  TFltkKeyboard& Keyboard() override { return FKeyboard; }
  TSdlSound& Sound() override { return FSound; }
  TFltkMessageBox& MessageBox() override { return FMessageBox; }

 private:
  TFltkClock FClock;
  TFltkMessageBox FMessageBox;
  TFltkMessageLoop FLoop{FClock, FMessageBox};
  TFltkKeyboard FKeyboard;
  TSdlSound FSound;
};

}  // namespace ukh::platform
