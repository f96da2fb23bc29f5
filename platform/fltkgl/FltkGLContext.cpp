// The GLX context of an Fl_Gl_Window behind the engine's context interface.
#include "platform/fltkgl/FltkGLContext.h"

#include <FL/Fl_Gl_Window.H>

namespace ukh::platform {

TFltkGLContext::~TFltkGLContext() {
  DestroyContext();
}

bool TFltkGLContext::IsValid() const {
  return FWindow && FWindow->context();
}

void TFltkGLContext::DoCreateContext(intptr_t nativeHandle) {
  auto* window = reinterpret_cast<Fl_Gl_Window*>(nativeHandle);
  if (!window) throw EPlatformContextError(0, "No window to create the context on");
  if (!window->shown()) throw EPlatformContextError(0, "The window is not shown");
  // make_current creates the context on first use.
  window->make_current();
  if (!window->context()) throw EPlatformContextError(0, "FLTK could not create a GL context");
  FWindow = window;
}

bool TFltkGLContext::DoShareLists(TGLContext&) {
  return false;
}

void TFltkGLContext::DoDestroyContext() {
  if (!FWindow) return;
  // FLTK forgets its cached current context together with the context itself.
  FWindow->context(nullptr, 1);
  FWindow = nullptr;
}

void TFltkGLContext::DoActivate() {
  if (!FWindow || !FWindow->shown()) throw EPlatformContextError(0, "The window is not shown");
  FWindow->make_current();
}

void TFltkGLContext::DoDeactivate() {
  // Releasing behind FLTK's back would leave its cache claiming a current context.
}

void TFltkGLContext::DoSwapBuffers() {
  if (!FInsideDraw && FWindow) FWindow->swap_buffers();
}

}  // namespace ukh::platform
