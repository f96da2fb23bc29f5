// The process-wide current platform.
#include "platform/Platform.h"

#include "engine/base/Exception.h"

namespace ukh::platform {

namespace {
IPlatform* gCurrent = nullptr;
}

IPlatform& CurrentPlatform() {
  if (!gCurrent) throw Exception("No platform is set");
  return *gCurrent;
}

bool HasCurrentPlatform() {
  return gCurrent != nullptr;
}

TCurrentPlatform::TCurrentPlatform(IPlatform& platform) : FPrevious(gCurrent) {
  gCurrent = &platform;
}

TCurrentPlatform::~TCurrentPlatform() {
  gCurrent = FPrevious;
}

}  // namespace ukh::platform
