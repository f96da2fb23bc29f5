// IClock: the time sources of the run-time library — the high-resolution performance counter,
// the millisecond tick count that stamps messages, and the local date and time.
#pragma once

#include <cstdint>

namespace ukh::platform {

class IClock {
 public:
  virtual ~IClock() = default;

  // Counts of the high-resolution counter and how many of them make a second; a frequency
  // of 0 means the platform has no such counter.
  virtual int64_t PerformanceCounter() = 0;
  virtual int64_t PerformanceFrequency() = 0;
  // Milliseconds since an arbitrary start, wrapping at 2^32 like every message time stamp.
  virtual uint32_t TickCount() = 0;
  // The local date and time in days since 1899-12-30 (the date-time serial of the run-time
  // library), fractional part the time of day.
  virtual double LocalDateTime() = 0;
};

}  // namespace ukh::platform
