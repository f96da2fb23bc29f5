// The engine's log: fatal, error, warning and info entries for conditions that do not stop
// the program. Entries go to one replaceable sink; without one they are written to stderr.
#pragma once

#include <string>
#include <vector>

namespace ukh {

enum class TLogLevel { lkFatalError, lkError, lkWarning, lkInfo };

class TGLLogSink {
 public:
  virtual ~TGLLogSink() = default;
  virtual void Write(TLogLevel level, const std::string& message) = 0;
};

// Installs `sink` (not owned; nullptr restores stderr) and returns the previous one.
TGLLogSink* SetGLLogSink(TGLLogSink* sink);

void GLLog(TLogLevel level, const std::string& message);
inline void GLLogFatal(const std::string& m) {
  GLLog(TLogLevel::lkFatalError, m);
}
inline void GLLogError(const std::string& m) {
  GLLog(TLogLevel::lkError, m);
}
inline void GLLogWarning(const std::string& m) {
  GLLog(TLogLevel::lkWarning, m);
}
inline void GLLogInfo(const std::string& m) {
  GLLog(TLogLevel::lkInfo, m);
}

// Keeps every entry written while it lives, in order; restores the previous sink when it
// goes. Meant for tests.
class TGLLogCapture : public TGLLogSink {
 public:
  struct TEntry {
    TLogLevel Level;
    std::string Message;
  };
  TGLLogCapture() : FPrevious(SetGLLogSink(this)) {}
  ~TGLLogCapture() override { SetGLLogSink(FPrevious); }
  TGLLogCapture(const TGLLogCapture&) = delete;
  TGLLogCapture& operator=(const TGLLogCapture&) = delete;

  void Write(TLogLevel level, const std::string& message) override {
    Entries.push_back({level, message});
  }
  std::vector<TEntry> Entries;

 private:
  TGLLogSink* FPrevious;
};

}  // namespace ukh
