// TFltkWindowSystem: the game's top-level windows and controls on FLTK 1.3, built from their
// stored layouts. Windows are centred on the screen by us (there may be no window manager),
// ignore close requests and Escape, and carry no title-bar buttons where a window manager
// honours the Motif hints. The 3D view's child window comes from a factory the program
// supplies, since this layer knows nothing of the renderer.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Windows.h"

class Fl_Widget;
class Fl_Window;

namespace ukh::platform {

class TFltkWindow;

class TFltkWindowSystem : public IWindowSystem {
 public:
  // Makes the child widget for a ckGLView control at the control's place; the window adds it.
  using TGLViewFactory = std::function<Fl_Widget*(const TControlLayout& control)>;
  // Where a picture control's file is read from; by default the working directory, then
  // beside the executable.
  using TFileResolver = std::function<std::string(const std::string& name)>;

  explicit TFltkWindowSystem(TGLViewFactory glViewFactory = {});
  ~TFltkWindowSystem() override;
  TFltkWindowSystem(const TFltkWindowSystem&) = delete;
  TFltkWindowSystem& operator=(const TFltkWindowSystem&) = delete;

  // Also the caption of the toolkit's message boxes, as the application title is on the
  // original desktop.
  void SetApplicationTitle(const std::string& title) override;
  const std::string& ApplicationTitle() const { return FTitle; }
  IWindow& CreateWindow(const TWindowLayout& layout) override;
  [[noreturn]] void Exit(int status) override;

  void SetFileResolver(TFileResolver resolver) { FResolver = std::move(resolver); }
  // The first window created, or null.
  IWindow* MainWindow() const;
  IWindow* Find(const std::string& name) const;
  // The FLTK window behind one of ours (tests look at its geometry and widgets).
  Fl_Window& NativeWindow(IWindow& window) const;
  // The FLTK widget behind a control of one of our windows.
  static Fl_Widget& NativeControl(IControl& control);

  // The working directory, then beside the executable; the bare name when neither has it.
  static std::string DefaultResolve(const std::string& name);

 private:
  TGLViewFactory FGLViewFactory;
  TFileResolver FResolver;
  std::string FTitle;
  std::vector<std::unique_ptr<TFltkWindow>> FWindows;
};

// The FLTK font and size that stand for a layout's font name and character height.
struct TFltkFont {
  int Face = 0;  // Fl_Font
  int Size = 0;
};
TFltkFont MapFont(const std::string& name, int height);

}  // namespace ukh::platform
