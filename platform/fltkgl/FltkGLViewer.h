// TFltkGLViewer: the Fl_Gl_Window that hosts a TGLWorldViewer inside an FLTK window. Showing
// the window makes the context, draw() is the viewer's paint, resize() its size message and
// hiding destroys the context first; an invalidation from the buffer becomes redraw(), which
// FLTK folds into one draw however many arrive before the next pass of its loop.
#pragma once

#include <FL/Fl_Gl_Window.H>

#include <cstdint>

#include "engine/render/GLWorldViewer.h"

namespace ukh::platform {

class TFltkGLContext;

class TFltkGLViewer : public Fl_Gl_Window, public IGLViewerHost {
 public:
  // `viewer` is not owned and must outlive the window.
  TFltkGLViewer(int x, int y, int w, int h, TGLWorldViewer& viewer);
  ~TFltkGLViewer() override;
  TFltkGLViewer(const TFltkGLViewer&) = delete;
  TFltkGLViewer& operator=(const TFltkGLViewer&) = delete;

  TGLWorldViewer& Viewer() { return FViewer; }
  int32_t DrawCount() const { return FDrawCount; }

  // Fl_Gl_Window
  void show() override;
  void hide() override;
  void resize(int x, int y, int w, int h) override;
  void draw() override;

  // IGLViewerHost
  intptr_t NativeHandle() override {
    return reinterpret_cast<intptr_t>(static_cast<Fl_Gl_Window*>(this));
  }
  std::unique_ptr<TGLContext> NewContext() override;
  void Invalidate() override { redraw(); }
  void RecreateWindow() override;

 private:
  // FLTK's mode bits for the buffer's pixel-format settings.
  int ModeFromBuffer();

  TGLWorldViewer& FViewer;
  TFltkGLContext* FContext = nullptr;  // owned by the buffer
  int32_t FDrawCount = 0;
};

}  // namespace ukh::platform
