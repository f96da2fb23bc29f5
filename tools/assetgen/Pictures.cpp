// Procedural drawings of the game's pictures. Every picture is a shader over pixel space,
// rendered with supersampling; noise and scatter come from fixed seeds.
#include "tools/assetgen/Pictures.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/assetgen/DetMath.h"
#include "tools/assetgen/Random.h"

namespace ukh::assetgen {

namespace {

double Frac(double x) {
  return x - std::floor(x);
}

double Length(double x, double y) {
  return std::sqrt(x * x + y * y);
}

// 5 x 7 glyphs for the captions drawn into the pictures.
struct TGlyph {
  char32_t Code;
  const char* Rows[7];
};
constexpr TGlyph kGlyphs[] = {
    {U'У', {"X...X", "X...X", "X...X", ".XXXX", "....X", "....X", "XXXX."}},
    {U'Х', {"X...X", "X...X", ".X.X.", "..X..", ".X.X.", "X...X", "X...X"}},
    {U'А', {"..X..", ".X.X.", "X...X", "X...X", "XXXXX", "X...X", "X...X"}},
    {U'Б', {"XXXXX", "X....", "X....", "XXXX.", "X...X", "X...X", "XXXX."}},
    {U'И', {"X...X", "X...X", "X..XX", "X.X.X", "XX..X", "X...X", "X...X"}},
    {U'Ц', {"X..X.", "X..X.", "X..X.", "X..X.", "X..X.", "XXXXX", "....X"}},
    {U'9', {".XXX.", "X...X", "X...X", ".XXXX", "....X", "...X.", ".XX.."}},
    {U'5', {"XXXXX", "X....", "XXXX.", "....X", "....X", "X...X", ".XXX."}},
    {U'-', {".....", ".....", ".....", ".XXX.", ".....", ".....", "....."}},
};

bool GlyphBit(char32_t code, int col, int row) {
  for (const TGlyph& g : kGlyphs)
    if (g.Code == code) return g.Rows[row][col] == 'X';
  return false;
}

// Width of a caption in cells: 5 per glyph and 1 between glyphs.
double TextCells(const std::u32string& text) {
  return text.size() * 6.0 - 1;
}

// Whether a point lies on a lit dot of a caption drawn with square dots of `cell` pixels
// from (left, top); `grow` widens every dot by that many pixels.
bool InText(const std::u32string& text, double x, double y, double left, double top, double cell,
            double grow) {
  const double cx = (x - left) / cell, cy = (y - top) / cell;
  if (cy < -1 || cy > 8 || cx < -1 || cx > TextCells(text) + 1) return false;
  // Look at the dot under the point and its neighbours, so grown dots join up.
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      const int col = int(std::floor(cx)) + dx, row = int(std::floor(cy)) + dy;
      if (row < 0 || row > 6 || col < 0) continue;
      const int glyph = col / 6, gc = col % 6;
      if (glyph >= int(text.size()) || gc == 5) continue;
      if (!GlyphBit(text[glyph], gc, row)) continue;
      const double ux = cx - (col + 0.5), uy = cy - (row + 0.5);
      const double half = 0.5 + grow / cell;
      if (std::fabs(ux) <= half && std::fabs(uy) <= half) return true;
    }
  return false;
}

// Wood with its grain along u.
TColor Wood(double u, double v, std::uint64_t seed, double tone) {
  const double n = FractalNoise(u / 90, v / 9, seed, 4);
  const double rings = Frac((v + n * 22 + 5 * DetSin(u / 37 + seed)) / 7.5);
  const double grain = SmoothStep(0.0, 0.55, rings) * SmoothStep(1.0, 0.55, rings);
  const TColor light = Rgb(204, 154, 92), dark = Rgb(136, 88, 44);
  TColor c = Mix(dark, light, 0.3 + 0.7 * grain);
  const double fibre = 0.9 + 0.2 * FractalNoise(u / 5, v / 1.2, seed + 3, 2);
  return Scale(c, fibre * tone);
}

// Darkening towards the edges of a rectangular plank.
double Bevel(double x, double y, double x0, double y0, double x1, double y1, double width) {
  const double d = std::min(std::min(x - x0, x1 - x), std::min(y - y0, y1 - y));
  return 0.62 + 0.38 * SmoothStep(0, width, d);
}

}  // namespace

TImage DrawCrate() {
  constexpr double kSize = 256, kFrame = 30;
  return Render(256, 256, 3, [&](double x, double y) -> TColor {
    const double lo = kFrame, hi = kSize - kFrame;
    // Nails on the frame corners and the brace ends.
    for (double nx : {kFrame / 2, kSize - kFrame / 2})
      for (double ny : {kFrame / 2, kSize - kFrame / 2}) {
        const double d = Length(x - nx, y - ny);
        if (d < 4) return Mix(Rgb(120, 120, 126), Rgb(40, 40, 44), d / 4);
      }
    if (y < lo || y >= hi) {  // top and bottom boards
      const double y0 = y < lo ? 0 : hi, y1 = y < lo ? lo : kSize;
      return Scale(Wood(x, y, 11 + (y < lo ? 0 : 1), 0.86), Bevel(x, y, 0, y0, kSize, y1, 4));
    }
    if (x < lo || x >= hi) {  // side boards, grain running down
      const double x0 = x < lo ? 0 : hi, x1 = x < lo ? lo : kSize;
      return Scale(Wood(y, x, 13 + (x < lo ? 0 : 1), 0.86), Bevel(x, y, x0, lo, x1, hi, 4));
    }
    // Diagonal brace from the bottom left to the top right of the inner square.
    const double s = 0.70710678118654752;
    const double along = ((x - lo) + (hi - y)) * s, across = ((x - lo) - (hi - y)) * s;
    const double braceHalf = 17;
    if (std::fabs(across) < braceHalf) {
      const double edge = braceHalf - std::fabs(across);
      return Scale(Wood(along, across + 40, 17, 0.95), 0.62 + 0.38 * SmoothStep(0, 4, edge));
    }
    // Four horizontal planks with dark gaps between them.
    const double plank = (hi - lo) / 4;
    const int i = std::min(3, int((y - lo) / plank));
    const double py0 = lo + i * plank, py1 = py0 + plank;
    if (y - py0 < 1.5 || py1 - y < 1.5) return Rgb(46, 30, 16);
    // A shadow cast by the brace onto the planks below it.
    const double shade = across > 0 ? 1.0 : 0.78 + 0.22 * SmoothStep(0, 8, -across - braceHalf);
    return Scale(Wood(x, y + i * 31, 20 + i, 1.0), Bevel(x, y, lo, py0, hi, py1, 3) * shade);
  });
}

TImage DrawCanister() {
  const std::u32string label = U"АИ-95";
  return Render(256, 256, 3, [&](double x, double y) -> TColor {
    TColor metal = Rgb(192, 30, 24);
    metal = Scale(metal, 0.9 + 0.16 * FractalNoise(x / 3, y / 60, 41, 3));
    // Pressed ribs near the top and the bottom.
    for (double ry : {26.0, 40.0, 216.0, 230.0}) {
      const double d = y - ry;
      if (d > -3 && d < 0) metal = Scale(metal, 1.25 - 0.1 * (d + 3));
      if (d >= 0 && d < 2) metal = Scale(metal, 0.55);
    }
    if (y < 84 || y >= 172) return metal;
    if (y < 87 || y >= 169) return Rgb(24, 20, 18);
    TColor band = Scale(Rgb(244, 202, 36), 0.94 + 0.08 * FractalNoise(x / 4, y / 4, 43, 2));
    const TColor ink = Rgb(26, 22, 20);
    // The label twice round the canister, a fuel drop between each pair.
    const double cell = 3.2, width = TextCells(label) * cell, top = 128 - 3.5 * cell;
    for (double cx : {64.0, 192.0})
      if (InText(label, x, y, cx - width / 2, top, cell, 0.15)) return ink;
    for (double dx0 : {0.0, 128.0, 256.0}) {
      const double dx = x - dx0, dy = y - 128;
      const bool bulb = Length(dx, dy - 6) < 11;
      const bool tip = dy < 6 && dy > -22 && std::fabs(dx) < (dy + 22) * 11 / 28;
      if (bulb || tip) {
        const bool shine = Length(dx + 4, dy - 3) < 3;
        return shine ? band : ink;
      }
    }
    return band;
  });
}

TImage DrawHouseWall() {
  // The houses repeat this picture, so the bricks and the noise both tile every 256 pixels.
  return Render(256, 256, 3, [](double x, double y) -> TColor {
    constexpr double kBrickW = 64, kRow = 32, kMortar = 4;
    const int row = int(y / kRow);
    const double shift = (row % 2) ? kBrickW / 2 : 0;
    const double bx = Frac((x + shift) / kBrickW) * kBrickW, by = y - row * kRow;
    const int col = int(std::floor((x + shift) / kBrickW)) % 4;
    const TColor mortar =
        Scale(Rgb(214, 206, 190), 0.88 + 0.14 * FractalNoise(x / 2, y / 2, 51, 2, 128));
    if (bx < kMortar || by < kMortar) return mortar;
    // Each brick its own shade; speckle and soft edges on top.
    const double tint = LatticeValue(col, row % 8, 53);
    TColor brick = Mix(Rgb(150, 62, 42), Rgb(188, 98, 66), tint);
    brick = Scale(brick, 0.84 + 0.24 * FractalNoise(x / 8, y / 8, 55, 3, 32));
    const double edge =
        std::min(std::min(bx - kMortar, kBrickW - bx), std::min(by - kMortar, kRow - by));
    return Scale(brick, 0.8 + 0.2 * SmoothStep(0, 3, edge));
  });
}

TImage DrawGrass() {
  return Render(756, 512, 2, [](double x, double y) -> TColor {
    const double patches = FractalNoise(x / 140, y / 140, 61, 5);
    const double tufts = FractalNoise(x / 14, y / 14, 62, 3);
    const double blades = FractalNoise(x / 1.3, y / 6, 63, 2);
    TColor c = Mix(Rgb(46, 92, 28), Rgb(110, 162, 56), 0.15 + 0.55 * patches + 0.3 * tufts);
    // Dry, yellowish patches where the big noise peaks.
    c = Mix(c, Rgb(150, 152, 72), 0.6 * SmoothStep(0.62, 0.78, patches));
    c = Scale(c, 0.8 + 0.4 * blades);
    // Scattered flowers: at most one per 24-pixel cell.
    const double cell = 24;
    const std::int64_t cx = std::int64_t(std::floor(x / cell)),
                       cy = std::int64_t(std::floor(y / cell));
    if (LatticeValue(cx, cy, 64) < 0.16) {
      const double fx = (cx + 0.2 + 0.6 * LatticeValue(cx, cy, 65)) * cell;
      const double fy = (cy + 0.2 + 0.6 * LatticeValue(cx, cy, 66)) * cell;
      const double d = Length(x - fx, y - fy);
      if (d < 1.8) {
        const TColor petal =
            LatticeValue(cx, cy, 67) < 0.5 ? Rgb(250, 236, 90) : Rgb(248, 248, 240);
        return d < 0.7 ? Rgb(230, 150, 40) : petal;
      }
    }
    return c;
  });
}

TImage DrawBoxPlaceholder() {
  return Render(756, 512, 1, [](double x, double y) -> TColor {
    // Corrugated cardboard with a band of packing tape.
    TColor c = Rgb(192, 150, 100);
    c = Scale(c, 0.92 + 0.1 * FractalNoise(x / 30, y / 30, 71, 4));
    c = Scale(c, 0.97 + 0.03 * DetSin(x * 0.9));
    if (y > 226 && y < 286) {
      c = Mix(c, Rgb(176, 128, 66), 0.75);
      if (y < 229 || y > 283) c = Scale(c, 0.8);
    }
    // "This way up": two arrows.
    for (double ax : {160.0, 596.0}) {
      const double dx = std::fabs(x - ax), dy = y - 100;
      if ((dy > 0 && dy < 60 && dx < 12) || (dy > -40 && dy <= 0 && dx < (dy + 40) * 0.8))
        return Rgb(60, 40, 24);
    }
    return c;
  });
}

TImage DrawMenuBadge() {
  constexpr double kCx = 128, kCy = 128, kR = 118, kRing = 10;
  auto roadY = [](double x) { return 178 + 9 * DetSin(x / 17); };
  return Render(256, 256, 4, [&](double x, double y) -> TColor {
    const double r = Length(x - kCx, y - kCy);
    if (r > kR) {
      // Soft shadow under the badge, down and to the right.
      const double rs = Length(x - kCx - 4, y - kCy - 6);
      const double a = 0.38 * (1 - SmoothStep(kR - 4, kR + 10, rs));
      return {0.05, 0.04, 0.1, a};
    }
    if (r > kR - kRing) {
      // Gold ring, lit from the top left, with a thin dark rim on both sides.
      const double light = 0.5 + 0.5 * ((kCx - x) + (kCy - y)) / (r * 1.4142 + 1e-9);
      const double t = (r - (kR - kRing)) / kRing;
      TColor gold = Mix(Rgb(150, 100, 20), Rgb(255, 220, 110), Clamp01(light));
      gold = Scale(gold, 0.8 + 0.4 * DetSin(t * kPi));
      if (t < 0.08 || t > 0.92) gold = Scale(gold, 0.5);
      return gold;
    }
    // The scene inside: sky, sun, hills, the bumpy road and a red car on it.
    TColor c = Mix(Rgb(52, 120, 214), Rgb(196, 228, 250), SmoothStep(20, 150, y));
    const double sun = Length(x - 172, y - 76);
    if (sun < 19) return Mix(Rgb(255, 244, 170), Rgb(255, 214, 90), sun / 19);
    c = Mix(c, Rgb(255, 240, 190), 0.5 * (1 - SmoothStep(19, 45, sun)));
    const double hill = 138 + 11 * DetSin(x / 23 + 1) + 5 * DetSin(x / 9);
    if (y > hill) c = Mix(Rgb(96, 168, 86), Rgb(62, 132, 60), SmoothStep(hill, hill + 40, y));
    const double ry = roadY(x);
    if (y > ry - 11 && y < ry + 11) {
      c = Scale(Rgb(84, 84, 90), 0.92 + 0.12 * ValueNoise(x / 2, y / 2, 81));
      if (std::fabs(y - ry) < 1.4 && Frac(x / 22) < 0.5) c = Rgb(240, 240, 230);
      if (std::fabs(y - ry) > 9.5) c = Rgb(200, 200, 190);
    } else if (y >= ry + 11) {
      c = Scale(Rgb(58, 128, 48), 0.9 + 0.2 * FractalNoise(x / 4, y / 4, 82, 2));
    }
    // The car follows the bumps: its frame is set by where its two wheels touch the road.
    const double w1x = 94, w2x = 130;
    const double w1y = roadY(w1x) - 7, w2y = roadY(w2x) - 7;
    const double ax = w2x - w1x, ay = w2y - w1y, al = Length(ax, ay);
    const double ux = ax / al, uy = ay / al;
    const double mx = (w1x + w2x) / 2, my = (w1y + w2y) / 2;
    const double u = (x - mx) * ux + (y - my) * uy, v = -(x - mx) * uy + (y - my) * ux;
    for (double wu : {-al / 2, al / 2}) {
      const double d = Length(u - wu, v);
      if (d < 7) return d < 2.6 ? Rgb(200, 200, 210) : Rgb(24, 24, 26);
    }
    const bool body = std::fabs(u) < 27 && v > -14 && v < -1 &&
                      !(std::fabs(u) > 23 && v < -10 && Length(std::fabs(u) - 23, v + 10) > 4);
    const bool cabin =
        v >= -25 && v <= -14 && u > -15 + (-14 - v) * 0.5 && u < 11 - (-14 - v) * 0.7;
    if (cabin) {
      const bool window = v > -23 && v < -15 && u > -13 + (-14 - v) * 0.5 &&
                          u < 9 - (-14 - v) * 0.7 && std::fabs(u + 1) > 1.2;
      return window ? Rgb(170, 214, 240) : Rgb(206, 34, 28);
    }
    if (body) {
      if (u < -25 && v > -11 && v < -7) return Rgb(255, 246, 180);  // headlight
      return Mix(Rgb(232, 56, 44), Rgb(160, 20, 16), SmoothStep(-14, -1, v));
    }
    return c;
  });
}

TImage DrawMenuTitle() {
  const std::u32string title = U"УХАБИЦА";
  const double cell = 4.4, width = TextCells(title) * cell;
  const double left = (211 - width) / 2, top = 11;
  auto roadY = [](double x) { return 74 + 3.5 * DetSin(x / 8); };
  return Render(211, 92, 4, [&](double x, double y) -> TColor {
    TColor c = Mix(Rgb(22, 36, 92), Rgb(84, 30, 104), y / 92);
    if (Frac((x + y) / 14) < 0.5) c = Scale(c, 1.08);
    // Bumpy road along the bottom with a small car bouncing on it.
    const double ry = roadY(x);
    if (std::fabs(y - ry) < 5) {
      c = Rgb(70, 70, 78);
      if (std::fabs(y - ry) < 0.7 && Frac(x / 12) < 0.5) c = Rgb(236, 236, 226);
    }
    const double carX = 160, carY = roadY(carX) - 5;
    if (std::fabs(x - carX) < 12 && y > carY - 8 && y < carY - 2) c = Rgb(220, 40, 32);
    if (std::fabs(x - carX + 1) < 6 && y > carY - 12 && y <= carY - 8) c = Rgb(220, 40, 32);
    if (std::fabs(x - carX + 1) < 4.5 && y > carY - 11 && y <= carY - 8.5) c = Rgb(170, 214, 240);
    for (double wx : {carX - 7, carX + 7})
      if (Length(x - wx, y - (roadY(wx) - 3)) < 3) c = Rgb(20, 20, 22);
    // The title: dark shadow and outline under yellow dots fading to orange.
    if (InText(title, x, y, left, top, cell, 0.2)) {
      return Mix(Rgb(255, 232, 60), Rgb(250, 140, 20), Clamp01((y - top) / (7 * cell)));
    }
    if (InText(title, x, y, left, top, cell, 1.4)) return Rgb(40, 16, 8);
    if (InText(title, x - 2.5, y - 2.5, left, top, cell, 1.0)) return Scale(c, 0.45);
    return c;
  });
}

TImage DrawMenuRoad() {
  constexpr double kHorizon = 78, kH = 200, kCx = 50;
  return Render(100, 200, 4, [&](double x, double y) -> TColor {
    // Car seen from behind, at the bottom.
    if (y > 146 && y < 196) {
      const double dx = x - kCx;
      if (y > 184 && (std::fabs(dx + 13) < 5 || std::fabs(dx - 13) < 5)) return Rgb(22, 22, 24);
      if (y > 160 && y <= 186 && std::fabs(dx) < 19) {
        if (y > 166 && y < 172 && std::fabs(dx) > 11 && std::fabs(dx) < 17)
          return Rgb(255, 40, 30);                                               // tail lights
        if (y > 176 && y < 180 && std::fabs(dx) < 6) return Rgb(236, 236, 220);  // plate
        return Mix(Rgb(226, 52, 40), Rgb(150, 22, 18), (y - 160) / 26);
      }
      if (y > 146 && y <= 160 && std::fabs(dx) < 13 + (y - 146) * 0.4) {
        const bool glass = y > 148 && y < 158 && std::fabs(dx) < 10 + (y - 148) * 0.4;
        return glass ? Rgb(60, 90, 130) : Rgb(206, 40, 30);
      }
    }
    if (y < kHorizon) {
      TColor sky = Mix(Rgb(60, 128, 222), Rgb(200, 230, 252), y / kHorizon);
      const double cloud = FractalNoise(x / 22, y / 9, 91, 4);
      sky = Mix(sky, Rgb(250, 250, 255), SmoothStep(0.55, 0.75, cloud));
      const double hill = 66 + 5 * DetSin(x / 11) + 3 * DetSin(x / 5 + 1);
      if (y > hill) sky = Mix(Rgb(96, 150, 118), Rgb(70, 130, 84), (y - hill) / (kHorizon - hill));
      return sky;
    }
    // Ground in perspective: d is 0 at the horizon and 1 at the bottom; z is the distance.
    const double d = (y - kHorizon) / (kH - kHorizon), z = 1 / (d + 1e-3);
    const double centre = kCx + 5 * d * DetSin(z * 0.9);
    const double halfWidth = 2 + 44 * d;
    const double bump = 0.86 + 0.14 * DetSin(z * 3.1);
    if (std::fabs(x - centre) < halfWidth) {
      TColor road = Scale(Rgb(96, 96, 102), bump);
      if (std::fabs(x - centre) < 0.3 + 1.6 * d && Frac(z * 0.35) < 0.5) road = Rgb(240, 240, 230);
      if (std::fabs(x - centre) > halfWidth * 0.92) road = Rgb(210, 210, 200);
      return road;
    }
    const double stripe = Frac(z * 0.5 + (x - kCx) * 0.002);
    TColor grass = Mix(Rgb(70, 142, 52), Rgb(56, 118, 42), stripe < 0.5 ? 0 : 1);
    return Scale(grass, 0.9 + 0.15 * FractalNoise(x / 3, y / 2, 92, 2) * bump);
  });
}

}  // namespace ukh::assetgen
