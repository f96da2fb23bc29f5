// The viewer's window on FLTK.
#include "platform/fltkgl/FltkGLViewer.h"

#include <FL/Fl.H>

#include "platform/fltkgl/FltkGLContext.h"

namespace ukh::platform {

TFltkGLViewer::TFltkGLViewer(int x, int y, int w, int h, TGLWorldViewer& viewer)
    : Fl_Gl_Window(x, y, w, h), FViewer(viewer) {
  FViewer.SetHost(this);
  mode(ModeFromBuffer());
  end();
}

TFltkGLViewer::~TFltkGLViewer() {
  FViewer.WindowDestroyed();
  FContext = nullptr;
  if (FViewer.Host() == this) FViewer.SetHost(nullptr);
}

int TFltkGLViewer::ModeFromBuffer() {
  const TGLWorldBuffer& buffer = FViewer.Buffer();
  const TGLContextOptions options = buffer.ContextOptions();
  int m = FL_RGB8 | FL_DEPTH;
  if (options & roDoubleBuffer) m |= FL_DOUBLE;
  if (options & roStencilBuffer) m |= FL_STENCIL;
  if (options & roDestinationAlpha) m |= FL_ALPHA;
  if (options & roStereo) m |= FL_STEREO;
  if (buffer.AccumBufferBits() > 0) m |= FL_ACCUM;
  if (buffer.AntiAliasing() != TGLAntiAliasing::aaDefault &&
      buffer.AntiAliasing() != TGLAntiAliasing::aaNone)
    m |= FL_MULTISAMPLE;
  return m;
}

std::unique_ptr<TGLContext> TFltkGLViewer::NewContext() {
  auto context = std::make_unique<TFltkGLContext>();
  FContext = context.get();
  return context;
}

void TFltkGLViewer::show() {
  const bool wasShown = shown();
  Fl_Gl_Window::show();
  if (!wasShown && shown() && !FViewer.IsRenderingContextAvailable())
    FViewer.WindowCreated(w(), h());
}

void TFltkGLViewer::hide() {
  FViewer.WindowDestroyed();
  FContext = nullptr;
  Fl_Gl_Window::hide();
}

void TFltkGLViewer::resize(int x, int y, int w, int h) {
  Fl_Gl_Window::resize(x, y, w, h);
  FViewer.WindowResized(w, h);
}

void TFltkGLViewer::draw() {
  ++FDrawCount;
  // A window shown with its parent never went through our show().
  if (!FViewer.IsRenderingContextAvailable()) FViewer.WindowCreated(w(), h());
  if (FContext) FContext->SetInsideDraw(true);
  try {
    FViewer.Paint();
  } catch (...) {
    if (FContext) FContext->SetInsideDraw(false);
    throw;
  }
  if (FContext) FContext->SetInsideDraw(false);
}

void TFltkGLViewer::RecreateWindow() {
  const bool wasShown = shown();
  if (wasShown) hide();
  mode(ModeFromBuffer());
  if (wasShown) show();
}

}  // namespace ukh::platform
