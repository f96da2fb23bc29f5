// Layout data of the four windows.
#include "game/WindowLayouts.h"

#include "platform/SysColors.h"

namespace ukh::game {

using platform::TControlKind;
using platform::TControlLayout;
using platform::TFontSpec;
using platform::TWindowFrame;
using platform::TWindowLayout;

namespace {

constexpr platform::TColorValue SysColor(int32_t index) {
  return 0xFF000000u | uint32_t(index);
}
constexpr platform::TColorValue cYellow = 0x0000FFFF;  // 0x00BBGGRR

const TFontSpec cWindowFont{"MS Sans Serif", 11, SysColor(platform::COLOR_WINDOWTEXT)};
const TFontSpec cSystemFont{"System", 11, SysColor(platform::COLOR_WINDOWTEXT)};
const TFontSpec cReadoutFont{"Terminal", 24, cYellow};
const TFontSpec cNoticeFont{"Arial Narrow", 24, SysColor(platform::COLOR_WINDOWTEXT)};

TWindowLayout Window(const char* name, const char* caption, int w, int h, TWindowFrame frame,
                     bool visible) {
  TWindowLayout l;
  l.Name = name;
  l.Caption = caption;
  l.ClientWidth = w;
  l.ClientHeight = h;
  l.Frame = frame;
  l.Visible = visible;
  l.Font = cWindowFont;
  l.Color = SysColor(platform::COLOR_BTNFACE);
  return l;
}

TControlLayout Control(TControlKind kind, const char* name, int left, int top, int width,
                       int height, const char* caption, const TFontSpec& font, int tabOrder = -1) {
  TControlLayout c;
  c.Kind = kind;
  c.Name = name;
  c.Left = left;
  c.Top = top;
  c.Width = width;
  c.Height = height;
  c.Caption = caption;
  c.Font = font;
  c.TabOrder = tabOrder;
  return c;
}

TControlLayout Readout(const char* name, int left, int width, const char* caption, int tabOrder,
                       bool border) {
  TControlLayout c = Control(TControlKind::ckStaticText, name, left, 8, width, 25, caption,
                             cReadoutFont, tabOrder);
  c.HasBackground = true;
  c.Background = SysColor(platform::COLOR_WINDOWTEXT);
  c.SunkenBorder = border;
  return c;
}

TControlLayout Picture(const char* name, int left, int top, int width, int height,
                       const char* file) {
  TControlLayout c =
      Control(TControlKind::ckPicture, name, left, top, width, height, "", cWindowFont);
  c.PictureFile = file;
  return c;
}

}  // namespace

TWindowLayout Form1Layout() {
  using K = TControlKind;
  TWindowLayout l = Window("TForm1", "Ухабица", 640, 480, TWindowFrame::wfDialog, true);
  l.Controls = {
      Control(K::ckLabel, "Label1", 8, 8, 57, 17, "Скорость:", cWindowFont),
      Control(K::ckLabel, "Label2", 104, 16, 24, 13, "км/ч", cWindowFont),
      Control(K::ckLabel, "Label3", 144, 8, 40, 13, "Бензин:", cWindowFont),
      Control(K::ckLabel, "Label4", 264, 16, 6, 13, "л", cWindowFont),
      Control(K::ckLabel, "Label5", 296, 8, 38, 13, "Ящики:", cWindowFont),
      Control(K::ckButton, "Button1", 567, 8, 65, 25, "Выход", cSystemFont, 0),
      Control(K::ckGLView, "GLWorldViewer1", 8, 40, 624, 432, "", cWindowFont, 1),
      Readout("SpeedText", 72, 25, "60", 2, true),
      Readout("OilText", 200, 57, "2,0", 3, true),
      Readout("BoxText", 352, 25, "10", 4, false),
      Control(K::ckButton, "Button2", 496, 8, 65, 26, "ПАУЗА",
              {"System", 11, SysColor(platform::COLOR_GRADIENTACTIVECAPTION)}, 5),
      Control(K::ckButton, "Button3", 424, 8, 65, 25, "СТАРТ", cSystemFont, 6),
  };
  return l;
}

TWindowLayout Form2Layout() {
  using K = TControlKind;
  TWindowLayout l = Window("TForm2", "Главное меню", 300, 300, TWindowFrame::wfDialog, true);
  l.Controls = {
      Picture("Image1", 152, 8, 137, 137, "menu_image1.png"),
      Picture("Image2", 152, 144, 137, 145, "menu_image2.bmp"),
      Picture("Image3", 26, 49, 100, 200, "menu_image3.png"),
      Control(K::ckButton, "Button1", 8, 264, 137, 25, "В Ы Х О Д", cWindowFont, 0),
      Control(K::ckButton, "Button3", 8, 8, 137, 25, "Н А Ч А Т Ь", cSystemFont, 1),
  };
  return l;
}

TWindowLayout Form3Layout() {
  TWindowLayout l = Window("TForm3", "Загрузка...", 143, 46, TWindowFrame::wfNone, true);
  l.Controls = {
      Control(TControlKind::ckLabel, "Label1", 8, 8, 123, 29, "ЗАГРУЗКА. . .", cNoticeFont)};
  return l;
}

TWindowLayout Form4Layout() {
  using K = TControlKind;
  TWindowLayout l = Window("TForm4", "ПОЗДРАВЛЯЕМ", 278, 116, TWindowFrame::wfDialog, false);
  l.Controls = {
      Control(K::ckStaticText, "StaticText1", 72, 16, 134, 33, "Вы выиграли !", cNoticeFont, 0),
      Control(K::ckButton, "Button1", 8, 64, 129, 33, "OK", cWindowFont, 1),
      Control(K::ckButton, "Button2", 144, 64, 129, 33, "Cancel", cWindowFont, 2),
  };
  return l;
}

}  // namespace ukh::game
