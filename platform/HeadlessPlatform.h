// THeadlessPlatform: the platform for tests of engine and game logic, with no display.
//
// Time stands still until the test moves it; posted messages wait in an in-process queue
// until the test drains it; keys are held by script; sounds, message boxes and error reports
// are recorded instead of shown.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace ukh::platform {

class THeadlessClock : public IClock {
 public:
  int64_t PerformanceCounter() override;
  int64_t PerformanceFrequency() override { return FFrequency; }
  uint32_t TickCount() override { return uint32_t(FNanoseconds / 1'000'000); }
  double LocalDateTime() override { return FDateTimeBase + double(FNanoseconds) / 86400e9; }

  // The scripted time in seconds since the clock's start; the counter and the tick count
  // follow it.
  void SetTime(double seconds);
  void Advance(double seconds);
  void SetNanoseconds(int64_t ns) { FNanoseconds = ns; }
  int64_t Nanoseconds() const { return FNanoseconds; }
  // Counts a second of the performance counter; 0 models a platform without one.
  void SetFrequency(int64_t frequency) { FFrequency = frequency; }
  void SetDateTimeBase(double days) { FDateTimeBase = days; }

 private:
  int64_t FNanoseconds = 0;
  int64_t FFrequency = 1'000'000'000;
  double FDateTimeBase = 46000.0;  // 2025-12-09, midnight
};

class THeadlessMessageBox : public IMessageBox {
 public:
  void ShowMessage(const std::string& text) override { Shown.push_back(text); }
  std::vector<std::string> Shown;
};

class THeadlessMessageLoop : public IMessageLoop {
 public:
  THeadlessMessageLoop(IClock& clock, IMessageBox& messageBox)
      : FClock(clock), FMessageBox(messageBox) {}

  uint32_t RegisterMessage(const std::string& name) override;
  TWindowHandle CreateMessageWindow(TMessageProc proc) override;
  void DestroyMessageWindow(TWindowHandle window) override;
  void PostMessage(TWindowHandle window, uint32_t msg, uintptr_t wParam = 0,
                   intptr_t lParam = 0) override;
  uint32_t StartTimer(TWindowHandle window, uint32_t id, uint32_t milliseconds) override;
  void StopTimer(TWindowHandle window, uint32_t id) override;
  // Serves what was queued when called, in order, then every timer that is due by the
  // clock. What is posted meanwhile waits for the next call.
  void ProcessMessages() override;
  void SetIdleHandler(std::function<bool()> handler) override { FIdle = std::move(handler); }
  // Alternates ProcessMessages and the idle handler until Terminate, or until nothing is
  // queued and the idle handler wants no more calls; at most `maxRounds` rounds.
  void Run() override { RunRounds(1'000'000); }
  void RunRounds(int maxRounds);
  void Terminate() override { FTerminated = true; }
  bool Terminated() const override { return FTerminated; }
  void ReportError(const std::exception& error) override;

  // Queues a stand-in for user input (a click, a paint), served in order with the posted
  // messages.
  void PostInput(std::function<void()> input);
  // One call of the idle handler, as the loop makes when it has nothing else to do; false
  // when there is none.
  bool CallIdle();
  bool HasIdleHandler() const { return bool(FIdle); }

  size_t QueuedCount() const { return FQueue.size(); }
  // Messages queued for `window` with number `msg`.
  size_t QueuedCount(TWindowHandle window, uint32_t msg) const;
  bool TimerActive(TWindowHandle window, uint32_t id) const {
    return FTimers.count({window, id}) != 0;
  }
  size_t WindowCount() const { return FWindows.size(); }
  // Everything ReportError was given, in order.
  std::vector<std::string> ErrorReports;

 private:
  struct TEntry {
    TMessage Message;
    std::function<void()> Input;  // set for a stand-in input event instead of a message
    uint64_t Sequence = 0;
  };
  struct TTimer {
    uint32_t Interval = 0;
    uint32_t Due = 0;
  };
  void Deliver(const TMessage& message);

  IClock& FClock;
  IMessageBox& FMessageBox;
  std::map<std::string, uint32_t> FRegistered;
  std::map<TWindowHandle, TMessageProc> FWindows;
  TWindowHandle FNextWindow = 1;
  std::deque<TEntry> FQueue;
  uint64_t FNextSequence = 1;
  std::map<std::pair<TWindowHandle, uint32_t>, TTimer> FTimers;
  std::function<bool()> FIdle;
  bool FTerminated = false;
};

class THeadlessKeyboard : public IKeyboard {
 public:
  int16_t GetAsyncKeyState(int32_t virtualKey) override;
  void SetKeyDown(int32_t virtualKey, bool down);
  // A press and release that happen between two queries.
  void TapKey(int32_t virtualKey) { FPressedSince.insert(virtualKey); }

 private:
  std::set<int32_t> FDown;
  std::set<int32_t> FPressedSince;
};

struct TSoundRequest {
  enum TKind { skPlayOnce, skPlayLooped, skStop } Kind = skStop;
  std::string Name;
  friend bool operator==(const TSoundRequest&, const TSoundRequest&) = default;
};

class THeadlessSound : public ISound {
 public:
  void Play(const std::string& name, bool looped) override;
  void Stop() override;
  std::vector<TSoundRequest> Requests;
  // What plays now: empty when silent.
  std::string Playing;
  bool PlayingLooped = false;
};

class THeadlessPlatform : public IPlatform {
 public:
  THeadlessPlatform() = default;
  THeadlessPlatform(const THeadlessPlatform&) = delete;
  THeadlessPlatform& operator=(const THeadlessPlatform&) = delete;

  THeadlessClock& Clock() override { return FClock; }
  THeadlessMessageLoop& Loop() override { return FLoop; }
  THeadlessKeyboard& Keyboard() override { return FKeyboard; }
  THeadlessSound& Sound() override { return FSound; }
  THeadlessMessageBox& MessageBox() override { return FMessageBox; }

 private:
  THeadlessClock FClock;
  THeadlessMessageBox FMessageBox;
  THeadlessMessageLoop FLoop{FClock, FMessageBox};
  THeadlessKeyboard FKeyboard;
  THeadlessSound FSound;
};

}  // namespace ukh::platform
