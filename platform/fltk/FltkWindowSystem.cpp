// The game's windows and controls on FLTK.
#include "platform/fltk/FltkWindowSystem.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Image.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "engine/base/Exception.h"
#include "platform/Picture.h"
#include "platform/SysColors.h"

namespace ukh::platform {

namespace fs = std::filesystem;

namespace {

Fl_Color ToFl(TColorValue value) {
  const TRGB8 c = ColorToRGB(value);
  return fl_rgb_color(c.R, c.G, c.B);
}

// Faces registered with FLTK by fontconfig name, one slot each; the leading character is
// FLTK's style mark (' ' regular, 'B' bold).
int FontFace(const char* xftName) {
  static std::map<std::string, int> faces;
  static int next = FL_FREE_FONT;
  auto it = faces.find(xftName);
  if (it != faces.end()) return it->second;
  Fl::set_font(Fl_Font(next), xftName);
  faces[xftName] = next;
  return next++;
}

// Labels and static text: the caption drawn from the top-left corner as the original desktop
// does, without FLTK's inner padding, over the window face or the control's own background.
class TTextBox : public Fl_Box {
 public:
  TTextBox(const TControlLayout& c, TFltkFont font, bool clip)
      : Fl_Box(c.Left, c.Top, c.Width, c.Height), FFont(font), FClip(clip) {
    if (c.HasBackground) {
      box(c.SunkenBorder ? FL_THIN_DOWN_BOX : FL_FLAT_BOX);
      color(ToFl(c.Background));
    } else {
      box(FL_NO_BOX);
    }
    FColor = ToFl(c.Font.Color);
  }
  void SetText(const std::string& text) {
    FText = text;
    // Text may reach past an unclipped label: repaint what lies under it as well.
    if (!FClip && parent()) parent()->redraw();
    redraw();
  }

 protected:
  void draw() override {
    draw_box();
    const int dx = Fl::box_dx(box()), dy = Fl::box_dy(box());
    fl_font(Fl_Font(FFont.Face), FFont.Size);
    fl_color(FColor);
    if (FClip) fl_push_clip(x() + dx, y() + dy, w() - Fl::box_dw(box()), h() - Fl::box_dh(box()));
    // One line from the top-left corner: the ascent puts the glyph tops at the edge.
    fl_draw(FText.c_str(), x() + dx, y() + dy + fl_height() - fl_descent());
    if (FClip) fl_pop_clip();
  }

 private:
  TFltkFont FFont;
  bool FClip;
  Fl_Color FColor;
  std::string FText;
};

// A picture control: the file's pixels over the window face, stretched to the control.
class TPictureBox : public Fl_Box {
 public:
  TPictureBox(const TControlLayout& c, const std::string& file, Fl_Color face)
      : Fl_Box(c.Left, c.Top, c.Width, c.Height) {
    box(FL_NO_BOX);
    try {
      Build(LoadPicture(file), face);
    } catch (const std::exception& e) {
      // Decorative only: the window goes on without it.
      std::fprintf(stderr, "ukhabitsa: picture %s not shown: %s\n", c.Name.c_str(), e.what());
    }
  }
  bool Loaded() const { return FImage != nullptr; }

 protected:
  void draw() override {
    if (FImage) FImage->draw(x(), y());
  }

 private:
  // Area-averaged resampling, alpha composited over the face colour first.
  void Build(const TRGBAImage& src, Fl_Color face) {
    const int dw = w(), dh = h();
    if (src.Width <= 0 || src.Height <= 0 || dw <= 0 || dh <= 0) return;
    uint8_t fr, fg, fb;
    Fl::get_color(face, fr, fg, fb);
    FPixels.assign(size_t(dw) * dh * 3, 0);
    for (int y = 0; y < dh; ++y) {
      const int y0 = int(int64_t(y) * src.Height / dh);
      const int y1 = std::max(y0 + 1, int(int64_t(y + 1) * src.Height / dh));
      for (int x = 0; x < dw; ++x) {
        const int x0 = int(int64_t(x) * src.Width / dw);
        const int x1 = std::max(x0 + 1, int(int64_t(x + 1) * src.Width / dw));
        double r = 0, g = 0, b = 0;
        for (int sy = y0; sy < y1; ++sy)
          for (int sx = x0; sx < x1; ++sx) {
            const uint8_t* p = &src.Pixels[(size_t(sy) * src.Width + sx) * 4];
            const double a = p[3] / 255.0;
            r += p[0] * a + fr * (1 - a);
            g += p[1] * a + fg * (1 - a);
            b += p[2] * a + fb * (1 - a);
          }
        const double n = double(y1 - y0) * (x1 - x0);
        uint8_t* d = &FPixels[(size_t(y) * dw + x) * 3];
        d[0] = uint8_t(r / n + 0.5);
        d[1] = uint8_t(g / n + 0.5);
        d[2] = uint8_t(b / n + 0.5);
      }
    }
    FImage = std::make_unique<Fl_RGB_Image>(FPixels.data(), dw, dh, 3);
  }

  std::vector<uint8_t> FPixels;
  std::unique_ptr<Fl_RGB_Image> FImage;
};

}  // namespace

// Close enough on Linux, from the fonts Debian ships (fonts-urw-base35, fonts-dejavu-core);
// fontconfig falls back to a sans face where one is missing:
//   "MS Sans Serif" 11 px -> Nimbus Sans 11 (a Helvetica face of the same narrow build)
//   "System" 11 px        -> Nimbus Sans Bold 11 (the desktop's System font is a bold sans)
//   "Terminal" 24 px      -> DejaVu Sans Mono Bold 19 (11.4-pixel cells, near Terminal's 12 at
//                            that height, so two digits fill the 25-pixel read-outs)
//   "Arial Narrow" 24 px  -> Nimbus Sans Narrow 24 (metric twin of Arial Narrow)
// Any other name maps to the window font at its own height.
TFltkFont MapFont(const std::string& name, int height) {
  if (name == "System") return {FontFace("BNimbus Sans"), height};
  if (name == "Terminal") return {FontFace("BDejaVu Sans Mono"), height * 4 / 5};
  if (name == "Arial Narrow") return {FontFace(" Nimbus Sans Narrow"), height};
  return {FontFace(" Nimbus Sans"), height};
}

// ---- windows and controls ----

class TFltkControl : public IControl {
 public:
  TFltkControl(const TControlLayout& layout, Fl_Widget* widget, TTextBox* text)
      : FName(layout.Name), FWidget(widget), FText(text) {
    SetCaption(layout.Caption);
  }
  const std::string& Name() const override { return FName; }
  const std::string& Caption() const override { return FCaption; }
  void SetCaption(const std::string& caption) override {
    if (caption == FCaption && !FCaption.empty()) return;
    FCaption = caption;
    if (FText) {
      FText->SetText(caption);
    } else if (dynamic_cast<Fl_Button*>(FWidget)) {
      FWidget->copy_label(caption.c_str());
      FWidget->redraw();
    }
  }
  bool Visible() const override { return FWidget->visible() != 0; }
  void SetVisible(bool visible) override {
    if (visible)
      FWidget->show();
    else
      FWidget->hide();
  }
  Fl_Widget& Widget() const { return *FWidget; }

 private:
  std::string FName, FCaption;
  Fl_Widget* FWidget;  // owned by the window
  TTextBox* FText;
};

class TNativeWindow : public Fl_Double_Window {
 public:
  TNativeWindow(const TWindowLayout& layout)
      : Fl_Double_Window(layout.ClientWidth, layout.ClientHeight), FFrame(layout.Frame) {
    copy_label(layout.Caption.c_str());
    color(ToFl(layout.Color));
    if (FFrame == TWindowFrame::wfNone) border(0);
    // A fixed client size: neither the user nor a window manager resizes it.
    size_range(layout.ClientWidth, layout.ClientHeight, layout.ClientWidth, layout.ClientHeight);
    // Closing from the window manager and Escape both land here; the menu's exit is the only
    // way out, so neither hides the window.
    callback([](Fl_Widget*, void*) {});
  }
  // The arrow keys steer the car (polled from the key state), so they never move the focus
  // between controls: that would also bring this window above the others.
  int handle(int event) override {
    if ((event == FL_KEYBOARD || event == FL_KEYUP || event == FL_SHORTCUT) &&
        (Fl::event_key() == FL_Up || Fl::event_key() == FL_Down || Fl::event_key() == FL_Left ||
         Fl::event_key() == FL_Right))
      return 1;
    return Fl_Double_Window::handle(event);
  }
  void show() override {
    if (!shown()) position((Fl::w() - w()) / 2, (Fl::h() - h()) / 2);
    Fl_Double_Window::show();
    if (FFrame == TWindowFrame::wfDialog) DropTitleBarButtons();
  }

 private:
  // Motif hints: a title and a border, and moving as the only window function, which takes
  // the close, minimise and maximise buttons and the window menu away.
  void DropTitleBarButtons() {
    if (!fl_display || !fl_xid(this)) return;
    struct {
      unsigned long flags, functions, decorations;
      long inputMode;
      unsigned long state;
    } hints{1 | 2, 4, 2 | 8, 0, 0};
    Atom atom = XInternAtom(fl_display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(fl_display, fl_xid(this), atom, atom, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&hints), 5);
  }

  TWindowFrame FFrame;
};

class TFltkWindow : public IWindow {
 public:
  TFltkWindow(const TWindowLayout& layout, const TFltkWindowSystem::TGLViewFactory& glView,
              const TFltkWindowSystem::TFileResolver& resolve)
      : FName(layout.Name), FCaption(layout.Caption), FWindow(layout) {
    const Fl_Color face = FWindow.color();
    for (const TControlLayout& c : layout.Controls) {
      Fl_Widget* widget = nullptr;
      TTextBox* text = nullptr;
      const TFltkFont font = MapFont(c.Font.Name, c.Font.Height);
      switch (c.Kind) {
        case TControlKind::ckLabel:
          widget = text = new TTextBox(c, FitFont(c, font), false);
          break;
        case TControlKind::ckStaticText:
          // Read-outs keep their font and clip what does not fit (they never grow); a
          // background-less static text is sized to its caption like a label.
          widget = text = new TTextBox(c, c.HasBackground ? font : FitFont(c, font), true);
          break;
        case TControlKind::ckButton: {
          auto* b = new Fl_Button(c.Left, c.Top, c.Width, c.Height);
          b->labelfont(Fl_Font(font.Face));
          b->labelsize(font.Size);
          b->labelcolor(ToFl(c.Font.Color));
          b->color(face);
          widget = b;
          break;
        }
        case TControlKind::ckPicture:
          widget = new TPictureBox(c, resolve(c.PictureFile), face);
          break;
        case TControlKind::ckGLView:
          if (glView) widget = glView(c);
          if (!widget) {
            auto* box = new Fl_Box(FL_FLAT_BOX, c.Left, c.Top, c.Width, c.Height, nullptr);
            box->color(ToFl(clBackground));
            widget = box;
          } else if (!widget->parent()) {
            FWindow.add(widget);
          }
          break;
      }
      FControls.push_back(std::make_unique<TFltkControl>(c, widget, text));
      widget->callback(
          [](Fl_Widget*, void* control) {
            auto* self = static_cast<TFltkControl*>(control);
            if (self->OnClick) self->OnClick();
          },
          FControls.back().get());
      FTabOrders.push_back(c.TabOrder);
    }
    FWindow.end();
    ApplyTabOrder();
    if (layout.Visible) Show();
  }

  const std::string& Name() const override { return FName; }
  void Show() override { FWindow.show(); }
  void Hide() override { FWindow.hide(); }
  bool Visible() const override { return FWindow.visible() != 0; }
  const std::string& Caption() const override { return FCaption; }
  IControl& Control(const std::string& name) override {
    for (auto& c : FControls)
      if (c->Name() == name) return *c;
    throw Exception("Window " + FName + " has no control " + name);
  }
  Fl_Window& Native() { return FWindow; }

 private:
  // A label's stored size is its caption's extent in the original font: a face with wider
  // glyphs steps down (at most a quarter) until the caption fits that width again.
  static TFltkFont FitFont(const TControlLayout& c, TFltkFont font) {
    if (c.Caption.empty() || c.Width <= 0) return font;
    const int smallest = std::max(1, font.Size * 3 / 4);
    while (font.Size > smallest) {
      fl_font(Fl_Font(font.Face), font.Size);
      if (fl_width(c.Caption.c_str()) <= c.Width + 1) break;
      --font.Size;
    }
    return font;
  }

  // FLTK moves the focus in child order: the tab stops take the child slots the tab stops
  // hold, sorted by tab order; everything else keeps its place (and painting order).
  void ApplyTabOrder() {
    const int n = FWindow.children();
    std::vector<Fl_Widget*> order(FWindow.array(), FWindow.array() + n);
    std::vector<int> slots;
    std::vector<std::pair<int, Fl_Widget*>> stops;
    for (size_t i = 0; i < FControls.size(); ++i) {
      if (FTabOrders[i] < 0) continue;
      Fl_Widget* w = &FControls[i]->Widget();
      const int index = FWindow.find(w);
      if (index >= n) continue;
      slots.push_back(index);
      stops.push_back({FTabOrders[i], w});
    }
    std::sort(slots.begin(), slots.end());
    std::stable_sort(stops.begin(), stops.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < stops.size(); ++i) order[slots[i]] = stops[i].second;
    // Front to back: what is before k is settled, so the widget wanted at k is at k or later.
    for (int k = 0; k < n; ++k) FWindow.insert(*order[k], k);
  }

  std::string FName, FCaption;
  TNativeWindow FWindow;
  std::vector<std::unique_ptr<TFltkControl>> FControls;
  std::vector<int> FTabOrders;
};

// ---- the window system ----

TFltkWindowSystem::TFltkWindowSystem(TGLViewFactory glViewFactory)
    : FGLViewFactory(std::move(glViewFactory)), FResolver(&DefaultResolve) {
  Fl::visual(FL_DOUBLE | FL_RGB);
}

TFltkWindowSystem::~TFltkWindowSystem() {
  // Later windows first, as the application frees its forms.
  while (!FWindows.empty()) FWindows.pop_back();
}

void TFltkWindowSystem::SetApplicationTitle(const std::string& title) {
  FTitle = title;
  fl_message_title_default(FTitle.c_str());
}

IWindow& TFltkWindowSystem::CreateWindow(const TWindowLayout& layout) {
  FWindows.push_back(std::make_unique<TFltkWindow>(layout, FGLViewFactory, FResolver));
  return *FWindows.back();
}

void TFltkWindowSystem::Exit(int status) {
  // The run-time library's orderly exit: handlers registered with atexit and static objects'
  // destructors run; no window is asked first.
  std::exit(status);
}

IWindow* TFltkWindowSystem::MainWindow() const {
  return FWindows.empty() ? nullptr : FWindows.front().get();
}

IWindow* TFltkWindowSystem::Find(const std::string& name) const {
  for (auto& w : FWindows)
    if (w->Name() == name) return w.get();
  return nullptr;
}

Fl_Window& TFltkWindowSystem::NativeWindow(IWindow& window) const {
  return static_cast<TFltkWindow&>(window).Native();
}

Fl_Widget& TFltkWindowSystem::NativeControl(IControl& control) {
  return static_cast<TFltkControl&>(control).Widget();
}

std::string TFltkWindowSystem::DefaultResolve(const std::string& name) {
  std::error_code ec;
  if (name.empty() || fs::is_regular_file(name, ec)) return name;
  char exe[4096];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n > 0 && fs::path(name).is_relative()) {
    exe[n] = 0;
    const fs::path beside = fs::path(exe).parent_path() / name;
    if (fs::is_regular_file(beside, ec)) return beside.string();
  }
  return name;
}

}  // namespace ukh::platform
