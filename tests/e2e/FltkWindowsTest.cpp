// The FLTK window system in this process under a private Xvfb: windows built from the game's
// layouts (sizes, places, frames, the way out only through a button), tab order, clicks, and
// the read-outs of the whole application on its first driving frame.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "game/Application.h"
#include "game/WindowLayouts.h"
#include "platform/NumberText.h"
#include "platform/xvfb/XvfbServer.h"
// FLTK's headers bring X11's macros (None, Status): after everything else.
#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include "platform/fltk/FltkPlatform.h"
#include "platform/fltk/FltkWindowSystem.h"
#include "platform/fltkgl/FltkGLViewer.h"

// Under LeakSanitizer: what the font library, D-Bus (reached through SDL) and the GL driver
// keep until exit is theirs, not a leak of ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libdbus-1.so\nleak:swrast_dri.so\n";
}

namespace ukh::test {
namespace {

using platform::TControlKind;
using platform::TControlLayout;
using platform::TFltkWindowSystem;
using platform::TWindowLayout;

class FltkWindows : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (platform::TXvfbServer::Available()) Server = new platform::TXvfbServer();
  }
  static void TearDownTestSuite() {
    delete Server;
    Server = nullptr;
  }
  void SetUp() override {
    if (!Server) GTEST_SKIP() << "Xvfb is not installed (scripts/deps.sh --test installs it)";
  }
  static inline platform::TXvfbServer* Server = nullptr;
};

TEST_F(FltkWindows, LayoutsBecomeCentredWindowsOfTheirSizeWithEveryControlInPlace) {
  TFltkWindowSystem windows;
  struct TCase {
    TWindowLayout Layout;
    bool Framed;
  };
  const TCase cases[] = {{game::Form1Layout(), true},
                         {game::Form2Layout(), true},
                         {game::Form3Layout(), false},
                         {game::Form4Layout(), true}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Layout.Name);
    platform::IWindow& w = windows.CreateWindow(c.Layout);
    Fl_Window& native = windows.NativeWindow(w);
    EXPECT_EQ(w.Visible(), c.Layout.Visible);
    if (!c.Layout.Visible) w.Show();
    Fl::check();
    EXPECT_TRUE(native.shown());
    EXPECT_EQ(native.w(), c.Layout.ClientWidth);
    EXPECT_EQ(native.h(), c.Layout.ClientHeight);
    EXPECT_EQ(native.x(), (Fl::w() - c.Layout.ClientWidth) / 2);
    EXPECT_EQ(native.y(), (Fl::h() - c.Layout.ClientHeight) / 2);
    EXPECT_EQ(native.border() != 0, c.Framed);
    EXPECT_STREQ(native.label(), c.Layout.Caption.c_str());
    for (const TControlLayout& cl : c.Layout.Controls) {
      SCOPED_TRACE(cl.Name);
      platform::IControl& control = w.Control(cl.Name);
      Fl_Widget& widget = TFltkWindowSystem::NativeControl(control);
      EXPECT_EQ(widget.parent(), &native);
      EXPECT_EQ(widget.x(), cl.Left);
      EXPECT_EQ(widget.y(), cl.Top);
      EXPECT_EQ(widget.w(), cl.Width);
      EXPECT_EQ(widget.h(), cl.Height);
      EXPECT_EQ(control.Caption(), cl.Caption);
      if (cl.Kind == TControlKind::ckButton) {
        EXPECT_STREQ(widget.label(), cl.Caption.c_str());
      }
    }
    // A close request from the window manager and Escape both reach the window's callback:
    // neither takes the window away.
    native.do_callback();
    Fl::check();
    EXPECT_TRUE(w.Visible());
    EXPECT_TRUE(native.shown());
    w.Hide();
    EXPECT_FALSE(w.Visible());
  }
  EXPECT_EQ(windows.MainWindow()->Name(), "TForm1");
  EXPECT_THROW(windows.MainWindow()->Control("Button9"), Exception);
}

TEST_F(FltkWindows, ButtonsClickAndHideAndCaptionsChange) {
  TFltkWindowSystem windows;
  platform::IWindow& w = windows.CreateWindow(game::Form1Layout());
  platform::IControl& pause = w.Control("Button2");
  int clicks = 0;
  pause.OnClick = [&clicks] { ++clicks; };
  TFltkWindowSystem::NativeControl(pause).do_callback();
  EXPECT_EQ(clicks, 1);
  pause.SetVisible(false);
  EXPECT_FALSE(pause.Visible());
  EXPECT_FALSE(TFltkWindowSystem::NativeControl(pause).visible());
  pause.SetVisible(true);
  EXPECT_TRUE(TFltkWindowSystem::NativeControl(pause).visible());
  platform::IControl& speed = w.Control("SpeedText");
  speed.SetCaption("95");
  EXPECT_EQ(speed.Caption(), "95");
  // A label or read-out without a click handler ignores its callback.
  TFltkWindowSystem::NativeControl(speed).do_callback();
}

// The arrow keys steer: held down over either window they must not move the focus, which
// would bring the game window back above the win window shown on top of it.
TEST_F(FltkWindows, HeldArrowKeysLeaveTheWinWindowOnTop) {
  if (!platform::ProgramAvailable("xdotool")) GTEST_SKIP() << "xdotool is not installed";
  TFltkWindowSystem windows;
  platform::IWindow& game = windows.CreateWindow(game::Form1Layout());
  platform::IWindow& win = windows.CreateWindow(game::Form4Layout());
  win.Show();
  auto pump = [] {
    for (int i = 0; i < 30; ++i) Fl::wait(0.01);
  };
  auto stackIndex = [&](platform::IWindow& w) {
    XSync(fl_display, False);
    Window root = 0, parent = 0, *children = nullptr;
    unsigned n = 0;
    XQueryTree(fl_display, DefaultRootWindow(fl_display), &root, &parent, &children, &n);
    int index = -1;
    for (unsigned i = 0; i < n; ++i)
      if (children[i] == fl_xid(&windows.NativeWindow(w))) index = int(i);
    if (children) XFree(children);
    return index;
  };
  pump();
  ASSERT_GT(stackIndex(win), stackIndex(game));
  // Over the game window, then over the win window.
  ASSERT_EQ(std::system("xdotool mousemove 250 300 keydown Right sleep 0.3 keyup Right "
                        "keydown Up sleep 0.3 keyup Up mousemove 512 384 keydown Left sleep 0.3 "
                        "keyup Left keydown Down sleep 0.3 keyup Down"),
            0);
  pump();
  EXPECT_GT(stackIndex(win), stackIndex(game)) << "the game window came above the win window";
}

TEST_F(FltkWindows, TabStopsTakeTheirSlotsInTabOrder) {
  TWindowLayout l;
  l.Name = "TTabs";
  l.Caption = "tabs";
  l.ClientWidth = 200;
  l.ClientHeight = 100;
  auto button = [](const char* name, int left, int tab) {
    TControlLayout c;
    c.Kind = TControlKind::ckButton;
    c.Name = name;
    c.Left = left;
    c.Top = 10;
    c.Width = c.Height = 20;
    c.Caption = name;
    c.Font = {"System", 11, 0};
    c.TabOrder = tab;
    return c;
  };
  TControlLayout label;
  label.Name = "Label";
  label.Caption = "label";
  l.Controls = {button("A", 10, 2), label, button("B", 40, 0), button("C", 70, 1)};
  TFltkWindowSystem windows;
  platform::IWindow& w = windows.CreateWindow(l);
  Fl_Window& native = windows.NativeWindow(w);
  auto index = [&](const char* name) {
    return native.find(TFltkWindowSystem::NativeControl(w.Control(name)));
  };
  // The label keeps slot 1; the buttons fill slots 0, 2, 3 in the order B, C, A.
  EXPECT_EQ(index("Label"), 1);
  EXPECT_EQ(index("B"), 0);
  EXPECT_EQ(index("C"), 2);
  EXPECT_EQ(index("A"), 3);
}

TEST_F(FltkWindows, ReadoutFontFitsTwoDigitsAndNotThree) {
  TFltkWindowSystem windows;
  windows.CreateWindow(game::Form3Layout());  // opens the display
  const platform::TFltkFont f = platform::MapFont("Terminal", 24);
  fl_font(Fl_Font(f.Face), f.Size);
  // Inside the 25-pixel field less its 1-pixel sunken border on each side.
  EXPECT_LE(fl_width("60"), 23);
  EXPECT_GT(fl_width("100"), 23);
}

// The application on FLTK: stored captions until the first frame, then the menu and its
// jingle; after "Н А Ч А Т Ь" (the music) and "СТАРТ" the first driving frame reads 60 km/h,
// 2.00 l and 10 boxes; "Выход" silences the music.
TEST_F(FltkWindows, ReadoutsOnTheFirstDrivingFrame) {
  platform::TFltkPlatform platform;
  platform::TCurrentPlatform current(platform);
  game::TApplication app(platform);
  TFltkWindowSystem windows([&app](const TControlLayout& c) {
    return new platform::TFltkGLViewer(c.Left, c.Top, c.Width, c.Height, app.GLWorldViewer1());
  });
  ASSERT_TRUE(app.Start(windows));
  game::TForm1& form = app.Form1();
  int frames = 0;
  auto step = form.GLCadencer1->OnProgress;
  form.GLCadencer1->OnProgress = [&](TPersistent* s, double dt, double t) {
    step(s, dt, t);
    ++frames;
  };
  auto runFrames = [&](int n) {
    const int target = frames + n;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (frames < target && std::chrono::steady_clock::now() < end)
      Fl::wait(0.01);  // one pass of the loop Run would make
    return frames == target;
  };
  EXPECT_EQ(form.SpeedText().Caption(), "60");
  EXPECT_EQ(form.OilText().Caption(), "2,0");
  EXPECT_EQ(form.BoxText().Caption(), "10");
  EXPECT_TRUE(app.Windows().Loading->Visible());

  EXPECT_FALSE(platform.Sound().IsPlaying());
  ASSERT_TRUE(runFrames(1));
  EXPECT_FALSE(app.Windows().Loading->Visible());
  EXPECT_FALSE(app.Windows().Game->Visible());
  EXPECT_TRUE(app.Windows().Menu->Visible());
  EXPECT_TRUE(platform.Sound().IsPlaying()) << "no Menu.wav on the first frame";

  TFltkWindowSystem::NativeControl(app.Windows().Menu->Control("Button3")).do_callback();
  ASSERT_TRUE(runFrames(1));
  EXPECT_TRUE(app.Windows().Game->Visible());
  EXPECT_EQ(form.SpeedText().Caption(), "0");
  TFltkWindowSystem::NativeControl(form.StartButton()).do_callback();
  ASSERT_TRUE(runFrames(1));
  const std::string comma = platform::UserFormatSettings().DecimalSeparator;
  EXPECT_EQ(form.SpeedText().Caption(), "60");
  EXPECT_EQ(form.OilText().Caption(), "2" + comma + "00");
  EXPECT_EQ(form.BoxText().Caption(), "10");
  EXPECT_TRUE(form.PauseButton().Visible());
  EXPECT_FALSE(form.StartButton().Visible());
  EXPECT_TRUE(platform.Sound().IsPlaying()) << "no Track01 during the game";

  TFltkWindowSystem::NativeControl(form.Windows().Game->Control("Button1")).do_callback();
  EXPECT_TRUE(app.Windows().Menu->Visible());
  EXPECT_FALSE(app.Windows().Game->Visible());
  EXPECT_FALSE(platform.Sound().IsPlaying());
}

}  // namespace
}  // namespace ukh::test
