// Top-level windows and their controls, built from a stored layout: what the game's four
// windows need from the toolkit (show, hide, captions, button clicks, a child for the 3D view).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ukh::platform {

enum class TControlKind : uint8_t { ckLabel, ckStaticText, ckButton, ckPicture, ckGLView };
enum class TWindowFrame : uint8_t { wfDialog, wfNone };

// A colour as the layout stores it: 0x00BBGGRR, or 0xFF0000nn for system colour nn (resolved
// to RGB at each use, see SysColors.h).
using TColorValue = uint32_t;

struct TFontSpec {
  std::string Name;    // as the layout names it ("MS Sans Serif", "Terminal", ...)
  int32_t Height = 0;  // character height in pixels
  TColorValue Color = 0;
};

struct TControlLayout {
  TControlKind Kind = TControlKind::ckLabel;
  std::string Name;
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  std::string Caption;
  TFontSpec Font;
  bool HasBackground = false;  // otherwise the window face shows through
  TColorValue Background = 0;
  bool SunkenBorder = false;
  int32_t TabOrder = -1;    // -1: not a tab stop
  std::string PictureFile;  // pictures: the file the control shows, stretched to fit
};

struct TWindowLayout {
  std::string Name;
  std::string Caption;
  int32_t ClientWidth = 0, ClientHeight = 0;
  TWindowFrame Frame = TWindowFrame::wfDialog;
  bool Visible = true;  // shown as soon as it is created
  TFontSpec Font;
  TColorValue Color = 0;
  std::vector<TControlLayout> Controls;  // in creation order
};

class IControl {
 public:
  virtual ~IControl() = default;
  virtual const std::string& Name() const = 0;
  virtual const std::string& Caption() const = 0;
  // Repaints the control.
  virtual void SetCaption(const std::string& caption) = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
  // Fired for a click on a button, between two frames of the cadencer.
  std::function<void()> OnClick;
};

class IWindow {
 public:
  virtual ~IWindow() = default;
  virtual const std::string& Name() const = 0;
  // Not modal; hiding keeps the window and its state.
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual bool Visible() const = 0;
  virtual const std::string& Caption() const = 0;
  // The control of that name; throws ukh::Exception naming the window and the control when
  // there is none.
  virtual IControl& Control(const std::string& name) = 0;
};

class IWindowSystem {
 public:
  virtual ~IWindowSystem() = default;
  virtual void SetApplicationTitle(const std::string& title) = 0;
  // Builds a window from its layout; the window system owns it until it ends. The first
  // window created is the application's main window.
  virtual IWindow& CreateWindow(const TWindowLayout& layout) = 0;
  // Ends the process at once through the run-time library's orderly exit.
  [[noreturn]] virtual void Exit(int status) = 0;
};

}  // namespace ukh::platform
