// The engine's failure types: every failure is an exception carrying its message text.
#pragma once

#include <stdexcept>
#include <string>

namespace ukh {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// A failed precondition check.
class EAssertionFailed : public Exception {
 public:
  EAssertionFailed() : Exception("Assertion failure") {}
  explicit EAssertionFailed(const std::string& message) : Exception(message) {}
};

// The silent abort: unwinds the caller; whoever shows errors to the user lets it pass unseen.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
};

inline void Assert(bool condition) {
  if (!condition) throw EAssertionFailed();
}
inline void Assert(bool condition, const char* message) {
  if (!condition) throw EAssertionFailed(message);
}

}  // namespace ukh
