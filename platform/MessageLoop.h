// IMessageLoop: the application's message loop, hidden message windows, posted messages and
// one-shot timers, the idle hook and the error report.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

namespace ukh::platform {

// Handle of a hidden message window; 0 is none.
using TWindowHandle = uint32_t;

// The timer message a window receives for each elapsed timer (its WParam is the timer id).
inline constexpr uint32_t WM_TIMER = 0x0113;
// Registered messages are numbered from here on, as on the desktop this program came from.
inline constexpr uint32_t kFirstRegisteredMessage = 0xC000;

struct TMessage {
  TWindowHandle Window = 0;
  uint32_t Msg = 0;
  uintptr_t WParam = 0;
  intptr_t LParam = 0;
  // The clock's TickCount when the message entered the queue.
  uint32_t Time = 0;
};

using TMessageProc = std::function<void(const TMessage&)>;

class IMessageLoop {
 public:
  virtual ~IMessageLoop() = default;

  // The same name always gives the same message number.
  virtual uint32_t RegisterMessage(const std::string& name) = 0;

  // A window that is never shown and only receives messages; `proc` handles every one.
  virtual TWindowHandle CreateMessageWindow(TMessageProc proc) = 0;
  // Messages still queued for the window are dropped; its timers stop.
  virtual void DestroyMessageWindow(TWindowHandle window) = 0;

  // Queues a message. Posted messages reach their window in the order they were posted,
  // after the input and paints that were already pending.
  virtual void PostMessage(TWindowHandle window, uint32_t msg, uintptr_t wParam = 0,
                           intptr_t lParam = 0) = 0;

  // Starts (or restarts) timer `id` of a window; it sends WM_TIMER every `milliseconds`
  // until stopped. Returns the id, or 0 when no timer could be made.
  virtual uint32_t StartTimer(TWindowHandle window, uint32_t id, uint32_t milliseconds) = 0;
  virtual void StopTimer(TWindowHandle window, uint32_t id) = 0;

  // Serves everything pending (input, paints, posted messages, due timers) and returns
  // without waiting for more.
  virtual void ProcessMessages() = 0;

  // Called whenever the loop has nothing else to do; the handler returns whether it wants to
  // be called again at once (true) or only after the next message (false). Empty clears it.
  virtual void SetIdleHandler(std::function<bool()> handler) = 0;

  // Runs the loop until Terminate.
  virtual void Run() = 0;
  virtual void Terminate() = 0;
  virtual bool Terminated() const = 0;

  // The application's error report: shows the error's message and lets the program go on.
  // An error escaping a message procedure or the idle handler comes here too.
  virtual void ReportError(const std::exception& error) = 0;
};

}  // namespace ukh::platform
