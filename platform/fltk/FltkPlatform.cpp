// The FLTK platform: message queue and hidden windows, timers, idle hook, clock and keys.
#include "platform/fltk/FltkPlatform.h"

#include <FL/Fl.H>
#include <FL/fl_ask.H>
#include <FL/x.H>

#include <algorithm>
#include <chrono>
#include <ctime>

#include "platform/fltk/VirtualKeys.h"

namespace ukh::platform {

// ---- clock ---------------------------------------------------------------------------------

int64_t TFltkClock::PerformanceCounter() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

uint32_t TFltkClock::TickCount() {
  return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now().time_since_epoch())
                      .count());
}

double TFltkClock::LocalDateTime() {
  auto now = std::chrono::system_clock::now();
  std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  double unixSeconds =
      std::chrono::duration<double>(now.time_since_epoch()).count() + double(local.tm_gmtoff);
  constexpr double kUnixEpochAsDateTime = 25569.0;  // 1970-01-01 in days since 1899-12-30
  return kUnixEpochAsDateTime + unixSeconds / 86400.0;
}

void TFltkMessageBox::ShowMessage(const std::string& text) {
  fl_alert("%s", text.c_str());
}

// ---- message loop --------------------------------------------------------------------------

TFltkMessageLoop::TFltkMessageLoop(IClock& clock, IMessageBox& messageBox)
    : FClock(clock), FMessageBox(messageBox) {}

TFltkMessageLoop::~TFltkMessageLoop() {
  if (FDrainInstalled) Fl::remove_idle(DrainCallback, this);
  if (FIdleInstalled) Fl::remove_idle(IdleCallback, this);
  for (auto& [key, timer] : FTimers) Fl::remove_timeout(TimerCallback, timer.get());
}

uint32_t TFltkMessageLoop::RegisterMessage(const std::string& name) {
  auto [it, added] =
      FRegistered.try_emplace(name, kFirstRegisteredMessage + uint32_t(FRegistered.size()));
  return it->second;
}

TWindowHandle TFltkMessageLoop::CreateMessageWindow(TMessageProc proc) {
  TWindowHandle handle = FNextWindow++;
  FWindows.emplace(handle, std::move(proc));
  return handle;
}

void TFltkMessageLoop::DestroyMessageWindow(TWindowHandle window) {
  FWindows.erase(window);
  for (auto it = FTimers.begin(); it != FTimers.end();) {
    if (it->first.first == window) {
      Fl::remove_timeout(TimerCallback, it->second.get());
      it = FTimers.erase(it);
    } else {
      ++it;
    }
  }
  std::erase_if(FQueue, [window](const TEntry& e) { return e.Message.Window == window; });
  UpdateDrainCallback();
}

void TFltkMessageLoop::PostMessage(TWindowHandle window, uint32_t msg, uintptr_t wParam,
                                   intptr_t lParam) {
  FQueue.push_back({TMessage{window, msg, wParam, lParam, FClock.TickCount()}, FNextSequence++});
  UpdateDrainCallback();
  if (FIdleWaitsForMessage) {
    FIdleWaitsForMessage = false;
    UpdateIdleCallback();
  }
}

void TFltkMessageLoop::UpdateDrainCallback() {
  // An idle callback keeps FLTK's loop from sleeping while messages wait; each pass of the
  // loop runs it once and then reads the X events and repaints.
  bool want = !FQueue.empty();
  if (want && !FDrainInstalled) Fl::add_idle(DrainCallback, this);
  if (!want && FDrainInstalled) Fl::remove_idle(DrainCallback, this);
  FDrainInstalled = want;
}

void TFltkMessageLoop::DrainCallback(void* self) {
  static_cast<TFltkMessageLoop*>(self)->Drain();
}

void TFltkMessageLoop::Drain() {
  const uint64_t last = FNextSequence - 1;
  while (!FQueue.empty() && FQueue.front().Sequence <= last) {
    TMessage message = FQueue.front().Message;
    FQueue.pop_front();
    Deliver(message);
  }
  UpdateDrainCallback();
}

void TFltkMessageLoop::Deliver(const TMessage& message) {
  auto it = FWindows.find(message.Window);
  if (it == FWindows.end()) return;
  TMessageProc proc = it->second;  // the procedure may destroy its own window
  // As the application object does: an error escaping a handler is reported, the loop goes on.
  try {
    proc(message);
  } catch (const std::exception& error) {
    ReportError(error);
  }
}

uint32_t TFltkMessageLoop::StartTimer(TWindowHandle window, uint32_t id, uint32_t milliseconds) {
  if (!FWindows.count(window)) return 0;
  StopTimer(window, id);
  auto timer = std::make_unique<TTimer>(TTimer{this, window, id, milliseconds / 1000.0});
  Fl::add_timeout(timer->Seconds, TimerCallback, timer.get());
  FTimers[{window, id}] = std::move(timer);
  return id;
}

void TFltkMessageLoop::StopTimer(TWindowHandle window, uint32_t id) {
  auto it = FTimers.find({window, id});
  if (it == FTimers.end()) return;
  Fl::remove_timeout(TimerCallback, it->second.get());
  FTimers.erase(it);
}

void TFltkMessageLoop::TimerCallback(void* data) {
  TTimer* timer = static_cast<TTimer*>(data);
  TFltkMessageLoop* loop = timer->Loop;
  TMessage message{timer->Window, WM_TIMER, timer->Id, 0, loop->FClock.TickCount()};
  Fl::repeat_timeout(timer->Seconds, TimerCallback, timer);  // before: the handler may stop it
  loop->Deliver(message);
}

void TFltkMessageLoop::ProcessMessages() {
  Fl::check();
  Drain();
}

void TFltkMessageLoop::SetIdleHandler(std::function<bool()> handler) {
  FIdle = std::move(handler);
  FIdleWaitsForMessage = false;
  UpdateIdleCallback();
}

void TFltkMessageLoop::UpdateIdleCallback() {
  bool want = FIdle && !FIdleWaitsForMessage;
  if (want && !FIdleInstalled) Fl::add_idle(IdleCallback, this);
  if (!want && FIdleInstalled) Fl::remove_idle(IdleCallback, this);
  FIdleInstalled = want;
}

void TFltkMessageLoop::IdleCallback(void* self) {
  auto* loop = static_cast<TFltkMessageLoop*>(self);
  auto idle = loop->FIdle;  // the handler may replace itself
  bool more = true;
  try {
    more = !idle || idle();
  } catch (const std::exception& error) {
    loop->ReportError(error);
  }
  if (!more) {
    loop->FIdleWaitsForMessage = true;
    loop->UpdateIdleCallback();
  }
}

void TFltkMessageLoop::Run() {
  while (!FTerminated) Fl::wait(1e20);
}

void TFltkMessageLoop::Terminate() {
  FTerminated = true;
  // Wakes a Run that would otherwise sleep on, with nothing left to wait for.
  Fl::add_timeout(
      0.0, [](void*) {}, nullptr);
}

void TFltkMessageLoop::ReportError(const std::exception& error) {
  FMessageBox.ShowMessage(error.what());
}

// ---- keys ----------------------------------------------------------------------------------

int16_t TFltkKeyboard::GetAsyncKeyState(int32_t virtualKey) {
  if (!fl_display) {
    // fl_open_display() would end the process without a display; open it ourselves.
    static bool failed = false;
    if (failed) return 0;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
      failed = true;
      return 0;
    }
    fl_open_display(display);
  }
  for (int key : FltkKeysOfVirtualKey(virtualKey))
    if (Fl::get_key(key)) return int16_t(0x8000);
  return 0;
}

TFltkPlatform::TFltkPlatform() = default;
TFltkPlatform::~TFltkPlatform() = default;

}  // namespace ukh::platform
