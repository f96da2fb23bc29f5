// The log's sink switch and its stderr fallback.
#include "engine/gl/GLLog.h"

#include <cstdio>

namespace ukh {

namespace {
TGLLogSink* gSink = nullptr;

const char* LevelName(TLogLevel level) {
  switch (level) {
    case TLogLevel::lkFatalError:
      return "fatal";
    case TLogLevel::lkError:
      return "error";
    case TLogLevel::lkWarning:
      return "warning";
    case TLogLevel::lkInfo:
      return "info";
  }
  return "?";
}
}  // namespace

TGLLogSink* SetGLLogSink(TGLLogSink* sink) {
  TGLLogSink* previous = gSink;
  gSink = sink;
  return previous;
}

void GLLog(TLogLevel level, const std::string& message) {
  if (gSink) {
    gSink->Write(level, message);
    return;
  }
  if (level != TLogLevel::lkInfo)
    std::fprintf(stderr, "ukh %s: %s\n", LevelName(level), message.c_str());
}

}  // namespace ukh
