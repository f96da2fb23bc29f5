// Counted activation of contexts and the context factory.
#include "engine/gl/GLContext.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/gl/GLLog.h"

namespace ukh {

namespace {
TGLContext* gCurrentContext = nullptr;
uint64_t gLastSerial = 0;
TGLContextFactory gFactory;
// Every live context, so a context that comes back to its predecessor knows it still exists.
std::vector<TGLContext*> gContexts;

bool Alive(TGLContext* c) {
  return std::find(gContexts.begin(), gContexts.end(), c) != gContexts.end();
}
}  // namespace

TGLContext::TGLContext()
    : FGLStates(std::make_unique<TGLStateCache>()),
      FTransformation(std::make_unique<TGLTransformation>()) {
  FGLStates->SetTransformation(FTransformation.get());
  gContexts.push_back(this);
}

TGLContext::~TGLContext() {
  std::erase(gContexts, this);
  if (gCurrentContext == this) {
    gCurrentContext = nullptr;
    gl::SetCurrentFeatures(nullptr);
  }
}

TGLContext* TGLContext::CurrentGLContext() {
  return gCurrentContext;
}

void TGLContext::SetPixelFormat(const TGLPixelFormatRequest& request) {
  if (Active()) throw EGLContextError("Cannot alter an active context");
  FPixelFormat = request;
}

void TGLContext::CreateContext(intptr_t nativeHandle) {
  if (Active()) throw EGLContextError("Cannot alter an active context");
  DoCreateContext(nativeHandle);
  FSerial = ++gLastSerial;
  // A new GL context starts from GL's initial state, and so do its mirrors.
  FGLStates = std::make_unique<TGLStateCache>();
  FTransformation = std::make_unique<TGLTransformation>();
  FGLStates->SetTransformation(FTransformation.get());
  FFeaturesRead = false;
}

void TGLContext::DestroyContext() {
  if (Active() && gCurrentContext == this) {
    FActivationCount = 1;
    Deactivate();
  }
  FActivationCount = 0;
  if (!IsValid()) return;
  try {
    DoDestroyContext();
  } catch (const EPlatformContextError&) {
    GLLogError("Delete context failed");
  }
}

bool TGLContext::ShareLists(TGLContext& other) {
  if (&other == this) return false;
  return DoShareLists(other);
}

void TGLContext::Activate() {
  if (FActivationCount > 0) {
    Assert(gCurrentContext == this, "vCurrentGLContext <> Self");
    ++FActivationCount;
    return;
  }
  if (!IsValid()) throw EGLContextError("Context not created");
  try {
    DoActivate();
  } catch (const EPlatformContextError& e) {
    char text[64];
    std::snprintf(text, sizeof text, "Context activation failed: %X, ", unsigned(e.Code));
    GLLogError(text + std::string(e.what()));
    throw EAbort();
  }
  FPrevious = gCurrentContext;
  gCurrentContext = this;
  ++FActivationCount;
  if (!FFeaturesRead) {
    FFeatures = gl::ReadGLFeatures();
    FFeaturesRead = true;
  }
  gl::SetCurrentFeatures(&FFeatures);
}

void TGLContext::Deactivate() {
  // Checked before the current-context assertion, which an inactive context would fail too.
  if (FActivationCount <= 0) throw EGLContextError("Unbalanced context activations");
  Assert(gCurrentContext == this, "vCurrentGLContext <> Self");
  if (--FActivationCount > 0) return;
  TGLContext* previous = FPrevious;
  FPrevious = nullptr;
  gCurrentContext = nullptr;
  gl::SetCurrentFeatures(nullptr);
  if (!IsValid()) throw EGLContextError("Context not created");
  try {
    if (previous && Alive(previous) && previous->Active() && previous->IsValid()) {
      previous->DoActivate();
      gCurrentContext = previous;
      gl::SetCurrentFeatures(&previous->FFeatures);
    } else {
      DoDeactivate();
    }
  } catch (const EPlatformContextError&) {
    GLLogError("Context deactivation failed");
    throw EAbort();
  }
}

void TGLContext::SwapBuffers() {
  if (!IsValid()) throw EGLContextError("Context not created");
  DoSwapBuffers();
}

void SetGLContextFactory(TGLContextFactory factory) {
  gFactory = std::move(factory);
}

std::unique_ptr<TGLContext> NewGLContext() {
  return gFactory ? gFactory() : nullptr;
}

}  // namespace ukh
