// The headless platform's scripted clock, in-process message queue, keys and recorders.
#include "platform/HeadlessPlatform.h"

#include <cmath>

namespace ukh::platform {

int64_t THeadlessClock::PerformanceCounter() {
  if (FFrequency == 0) return 0;
  if (FFrequency == 1'000'000'000) return FNanoseconds;
  return int64_t(double(FNanoseconds) * double(FFrequency) / 1e9);
}

void THeadlessClock::SetTime(double seconds) {
  FNanoseconds = std::llround(seconds * 1e9);
}

void THeadlessClock::Advance(double seconds) {
  FNanoseconds += std::llround(seconds * 1e9);
}

uint32_t THeadlessMessageLoop::RegisterMessage(const std::string& name) {
  auto [it, added] =
      FRegistered.try_emplace(name, kFirstRegisteredMessage + uint32_t(FRegistered.size()));
  return it->second;
}

TWindowHandle THeadlessMessageLoop::CreateMessageWindow(TMessageProc proc) {
  TWindowHandle handle = FNextWindow++;
  FWindows.emplace(handle, std::move(proc));
  return handle;
}

void THeadlessMessageLoop::DestroyMessageWindow(TWindowHandle window) {
  FWindows.erase(window);
  std::erase_if(FTimers, [window](const auto& t) { return t.first.first == window; });
}

void THeadlessMessageLoop::PostMessage(TWindowHandle window, uint32_t msg, uintptr_t wParam,
                                       intptr_t lParam) {
  FQueue.push_back(
      {TMessage{window, msg, wParam, lParam, FClock.TickCount()}, {}, FNextSequence++});
}

void THeadlessMessageLoop::PostInput(std::function<void()> input) {
  FQueue.push_back({TMessage{}, std::move(input), FNextSequence++});
}

uint32_t THeadlessMessageLoop::StartTimer(TWindowHandle window, uint32_t id,
                                          uint32_t milliseconds) {
  if (!FWindows.count(window)) return 0;
  FTimers[{window, id}] = TTimer{milliseconds, FClock.TickCount() + milliseconds};
  return id;
}

void THeadlessMessageLoop::StopTimer(TWindowHandle window, uint32_t id) {
  FTimers.erase({window, id});
}

void THeadlessMessageLoop::Deliver(const TMessage& message) {
  auto it = FWindows.find(message.Window);
  if (it == FWindows.end()) return;  // the window went away while the message waited
  // A copy: the procedure may destroy its own window.
  TMessageProc proc = it->second;
  // As the application object does: an error escaping a handler is reported, the loop goes on.
  try {
    proc(message);
  } catch (const std::exception& error) {
    ReportError(error);
  }
}

void THeadlessMessageLoop::ProcessMessages() {
  // Served by a nested call (from a handler) or not, an entry posted after this call began
  // waits for the next one.
  const uint64_t last = FNextSequence - 1;
  while (!FQueue.empty() && FQueue.front().Sequence <= last) {
    TEntry entry = std::move(FQueue.front());
    FQueue.pop_front();
    if (entry.Input)
      entry.Input();
    else
      Deliver(entry.Message);
  }
  const uint32_t now = FClock.TickCount();
  std::vector<std::pair<TWindowHandle, uint32_t>> due;
  for (auto& [key, timer] : FTimers)
    if (int32_t(now - timer.Due) >= 0) {
      timer.Due = now + timer.Interval;
      due.push_back(key);
    }
  for (auto [window, id] : due)
    if (FTimers.count({window, id})) Deliver(TMessage{window, WM_TIMER, id, 0, now});
}

bool THeadlessMessageLoop::CallIdle() {
  if (!FIdle) return false;
  auto idle = FIdle;  // the handler may replace itself
  try {
    return idle();
  } catch (const std::exception& error) {
    ReportError(error);
    return true;
  }
}

void THeadlessMessageLoop::RunRounds(int maxRounds) {
  for (int round = 0; round < maxRounds && !FTerminated; ++round) {
    ProcessMessages();
    if (FTerminated) break;
    bool moreIdle = FQueue.empty() && CallIdle();
    if (FQueue.empty() && !moreIdle) break;
  }
}

size_t THeadlessMessageLoop::QueuedCount(TWindowHandle window, uint32_t msg) const {
  size_t n = 0;
  for (const TEntry& e : FQueue)
    if (!e.Input && e.Message.Window == window && e.Message.Msg == msg) ++n;
  return n;
}

void THeadlessMessageLoop::ReportError(const std::exception& error) {
  ErrorReports.emplace_back(error.what());
  FMessageBox.ShowMessage(error.what());
}

int16_t THeadlessKeyboard::GetAsyncKeyState(int32_t virtualKey) {
  uint16_t state = FDown.count(virtualKey) ? 0x8000 : 0;
  if (FPressedSince.erase(virtualKey)) state |= 1;
  return int16_t(state);
}

void THeadlessKeyboard::SetKeyDown(int32_t virtualKey, bool down) {
  if (down) {
    FDown.insert(virtualKey);
    FPressedSince.insert(virtualKey);
  } else {
    FDown.erase(virtualKey);
  }
}

void THeadlessSound::Play(const std::string& name, bool looped) {
  Requests.push_back({looped ? TSoundRequest::skPlayLooped : TSoundRequest::skPlayOnce, name});
  Playing = name;
  PlayingLooped = looped;
}

void THeadlessSound::Stop() {
  Requests.push_back({TSoundRequest::skStop, {}});
  Playing.clear();
  PlayingLooped = false;
}

}  // namespace ukh::platform
