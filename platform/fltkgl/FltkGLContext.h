// TFltkGLContext: the engine's face of the GLX context that FLTK makes on an Fl_Gl_Window.
// FLTK owns the making-current (it caches the current context), so activation goes through
// the window and deactivation leaves the context current; the swap is left to FLTK while it
// is drawing the window, since it swaps itself right after draw().
#pragma once

#include "engine/gl/GLContext.h"

class Fl_Gl_Window;

namespace ukh::platform {

class TFltkGLContext : public TGLContext {
 public:
  TFltkGLContext() = default;
  ~TFltkGLContext() override;

  bool IsValid() const override;
  Fl_Gl_Window* Window() const { return FWindow; }
  // Set by the window around its draw(): FLTK swaps then, so our swap must not.
  void SetInsideDraw(bool on) { FInsideDraw = on; }

 protected:
  // `nativeHandle` is the Fl_Gl_Window*, which must be shown.
  void DoCreateContext(intptr_t nativeHandle) override;
  bool DoShareLists(TGLContext& other) override;
  void DoDestroyContext() override;
  void DoActivate() override;
  void DoDeactivate() override;
  void DoSwapBuffers() override;

 private:
  Fl_Gl_Window* FWindow = nullptr;
  bool FInsideDraw = false;
};

}  // namespace ukh::platform
