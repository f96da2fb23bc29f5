// Geometry of the car and the house.
#include "tools/assetgen/Models.h"

#include "tools/assetgen/MeshBuilder.h"

namespace ukh::assetgen {

namespace {

T3DSMaterial Material(const char* name, TRgb8 diffuse, int shininess, int strength) {
  T3DSMaterial m;
  m.Name = name;
  m.Diffuse = diffuse;
  m.Ambient = {std::uint8_t(diffuse.R * 3 / 5), std::uint8_t(diffuse.G * 3 / 5),
               std::uint8_t(diffuse.B * 3 / 5)};
  const std::uint8_t s = std::uint8_t(80 + strength * 175 / 100);
  m.Specular = {s, s, s};
  m.ShininessPct = shininess;
  m.ShinStrengthPct = strength;
  return m;
}

}  // namespace

T3DSModel BuildCar() {
  T3DSModel model;
  model.Materials = {
      Material("CarPaint", {196, 32, 28}, 60, 70),  Material("CarGlass", {40, 62, 96}, 80, 90),
      Material("Tyre", {28, 28, 30}, 10, 5),        Material("Rim", {196, 198, 206}, 70, 90),
      Material("Bumper", {58, 58, 64}, 30, 30),     Material("Headlight", {255, 248, 208}, 90, 100),
      Material("TailLight", {220, 24, 20}, 60, 60),
  };

  // Lower body: a side profile (Z, Y) with a sloping nose and tail, extruded across the car.
  {
    TMeshBuilder b("Body");
    b.SetMaterial("CarPaint");
    b.AddPrismX({{0, -1.875, -4.875},
                 {0, -1.125, -4.875},
                 {0, -0.8125, -4.5},
                 {0, -0.6875, -1.75},
                 {0, -0.6875, 2.625},
                 {0, -0.8125, 4.625},
                 {0, -1.25, 4.875},
                 {0, -1.875, 4.875}},
                -2.25, 2.25);
    b.SetMaterial("Bumper");
    b.AddBox({-2.3125, -1.8125, -5.0}, {2.3125, -1.375, -4.75});
    b.AddBox({-2.3125, -1.8125, 4.75}, {2.3125, -1.375, 5.0});
    model.Meshes.push_back(b.Take());
  }

  // Cabin: a frustum whose front face is the windscreen; the roof is the car's top at Y = 0.5.
  {
    TMeshBuilder b("Cabin");
    const TVec3 c[8] = {{-2.0, -0.6875, -1.75}, {2.0, -0.6875, -1.75}, {2.0, -0.6875, 2.625},
                        {-2.0, -0.6875, 2.625}, {-1.625, 0.5, -0.5},   {1.625, 0.5, -0.5},
                        {1.625, 0.5, 1.875},    {-1.625, 0.5, 1.875}};
    b.SetMaterial("CarGlass");
    b.AddPolygon({c[0], c[1], c[5], c[4]}, {0, 1, -1});  // windscreen
    b.AddPolygon({c[1], c[2], c[6], c[5]}, {1, 0.3, 0});
    b.AddPolygon({c[2], c[3], c[7], c[6]}, {0, 1, 1});  // rear window
    b.AddPolygon({c[3], c[0], c[4], c[7]}, {-1, 0.3, 0});
    b.SetMaterial("CarPaint");
    b.AddPolygon({c[4], c[5], c[6], c[7]}, {0, 1, 0});  // roof
    b.AddPolygon({c[0], c[1], c[2], c[3]}, {0, -1, 0});
    // Roof rails over the side windows.
    b.AddBox({-1.75, 0.375, -0.375}, {-1.5, 0.5, 1.75});
    b.AddBox({1.5, 0.375, -0.375}, {1.75, 0.5, 1.75});
    model.Meshes.push_back(b.Take());
  }

  // Wheels: radius 0.875 on axles at Y = -1.625, so their lowest points lie at Y = -2.5.
  struct TWheel {
    const char* Name;
    double X, Z;
  };
  for (const TWheel& w : {TWheel{"WheelFL", -2.15, -3.125}, TWheel{"WheelFR", 2.15, -3.125},
                          TWheel{"WheelRL", -2.15, 3.125}, TWheel{"WheelRR", 2.15, 3.125}}) {
    TMeshBuilder b(w.Name);
    b.AddWheel({w.X, -1.625, w.Z}, 0.875, 0.7, 16, w.X < 0 ? -1 : 1, "Tyre", "Rim");
    model.Meshes.push_back(b.Take());
  }

  // Lamps: headlights on the nose (front, -Z), tail lights on the back.
  {
    TMeshBuilder b("Lights");
    b.SetMaterial("Headlight");
    b.AddBox({-1.9375, -1.375, -4.9375}, {-1.1875, -1.125, -4.8125});
    b.AddBox({1.1875, -1.375, -4.9375}, {1.9375, -1.125, -4.8125});
    b.SetMaterial("TailLight");
    b.AddBox({-2.0, -1.375, 4.8125}, {-1.375, -1.125, 4.9375});
    b.AddBox({1.375, -1.375, 4.8125}, {2.0, -1.125, 4.9375});
    model.Meshes.push_back(b.Take());
  }
  return model;
}

T3DSModel BuildHouse() {
  T3DSModel model;
  model.Materials = {
      Material("Wall", {232, 214, 178}, 10, 10),  Material("Roof", {152, 52, 40}, 20, 20),
      Material("Stone", {122, 120, 114}, 10, 10), Material("Door", {112, 72, 40}, 20, 20),
      Material("Frame", {240, 240, 234}, 30, 30), Material("Glass", {92, 142, 192}, 80, 90),
      Material("Brick", {152, 76, 56}, 10, 10),
  };
  // The ground lies 0.5 world units below the origin: -0.5 / 0.07 in model units.
  const double ground = -0.5 / 0.07;
  const double eave = 22, gableTop = 48, half = 25, overhang = 28.5, roofThickness = 2;
  const double slope = (gableTop - eave) / half;

  {
    TMeshBuilder b("Walls");
    b.SetMaterial("Wall");
    // Cross-section of the house body: rectangle under the gable, closed by the roof line.
    b.AddPrismX({{0, ground, -half},
                 {0, ground, half},
                 {0, eave, half},
                 {0, gableTop, 0},
                 {0, eave, -half}},
                -half, half);
    model.Meshes.push_back(b.Take());
  }
  {
    TMeshBuilder b("Plinth");
    b.SetMaterial("Stone");
    b.AddBox({-half - 0.75, ground, -half - 0.75}, {half + 0.75, ground + 2.5, half + 0.75});
    model.Meshes.push_back(b.Take());
  }
  {
    // Two slabs meeting at the ridge; the ridge's top is the house's top at Y = 50.
    TMeshBuilder b("Roof");
    b.SetMaterial("Roof");
    const double yEdge = gableTop - (overhang * slope);
    for (double side : {-1.0, 1.0}) {
      const double z = side * overhang;
      const TVec3 c[8] = {{-overhang, gableTop, 0},
                          {overhang, gableTop, 0},
                          {overhang, yEdge, z},
                          {-overhang, yEdge, z},
                          {-overhang, gableTop + roofThickness, 0},
                          {overhang, gableTop + roofThickness, 0},
                          {overhang, yEdge + roofThickness, z},
                          {-overhang, yEdge + roofThickness, z}};
      b.AddHexahedron(c);
    }
    model.Meshes.push_back(b.Take());
  }
  {
    TMeshBuilder b("Chimney");
    b.SetMaterial("Brick");
    b.AddBox({11, 30, -15}, {17, 46, -9});
    b.SetMaterial("Stone");
    b.AddBox({10.5, 46, -15.5}, {17.5, 47, -8.5});
    model.Meshes.push_back(b.Take());
  }
  {
    TMeshBuilder b("Door");
    const double floor = ground + 2.5;
    b.SetMaterial("Frame");
    b.AddBox({-5, floor, half}, {5, floor + 18, half + 0.5});
    b.SetMaterial("Door");
    b.AddBox({-4, floor, half}, {4, floor + 17, half + 0.75});
    b.SetMaterial("Brick");
    b.AddBox({2.25, floor + 7.5, half + 0.75}, {3.25, floor + 8.5, half + 1.25});  // handle
    model.Meshes.push_back(b.Take());
  }
  {
    // Windows: a glass pane with a frame and a cross, on the long walls and the gables.
    TMeshBuilder b("Windows");
    auto windowOnZ = [&](double cx, double cy, double zWall, double out) {
      const double w = 4.5, h = 5.5, t = 0.75, zIn = zWall, zF = zWall + out * 0.9,
                   zG = zWall + out * 0.4;
      auto box = [&](double x0, double y0, double x1, double y1, double za, double zb) {
        b.AddBox({x0, y0, std::min(za, zb)}, {x1, y1, std::max(za, zb)});
      };
      b.SetMaterial("Glass");
      box(cx - w, cy - h, cx + w, cy + h, zIn, zG);
      b.SetMaterial("Frame");
      box(cx - w - t, cy - h - t, cx + w + t, cy - h, zIn, zF);
      box(cx - w - t, cy + h, cx + w + t, cy + h + t, zIn, zF);
      box(cx - w - t, cy - h, cx - w, cy + h, zIn, zF);
      box(cx + w, cy - h, cx + w + t, cy + h, zIn, zF);
      box(cx - t / 2, cy - h, cx + t / 2, cy + h, zIn, zF);
      box(cx - w, cy - t / 2, cx + w, cy + t / 2, zIn, zF);
    };
    auto windowOnX = [&](double cz, double cy, double xWall, double out) {
      const double w = 4.0, h = 4.0, t = 0.75, xF = xWall + out * 0.9, xG = xWall + out * 0.4;
      auto box = [&](double z0, double y0, double z1, double y1, double xa, double xb) {
        b.AddBox({std::min(xa, xb), y0, z0}, {std::max(xa, xb), y1, z1});
      };
      b.SetMaterial("Glass");
      box(cz - w, cy - h, cz + w, cy + h, xWall, xG);
      b.SetMaterial("Frame");
      box(cz - w - t, cy - h - t, cz + w + t, cy - h, xWall, xF);
      box(cz - w - t, cy + h, cz + w + t, cy + h + t, xWall, xF);
      box(cz - w - t, cy - h, cz - w, cy + h, xWall, xF);
      box(cz + w, cy - h, cz + w + t, cy + h, xWall, xF);
      box(cz - t / 2, cy - h, cz + t / 2, cy + h, xWall, xF);
      box(cz - w, cy - t / 2, cz + w, cy + t / 2, xWall, xF);
    };
    windowOnZ(-14, 10, half, 1);
    windowOnZ(14, 10, half, 1);
    windowOnZ(-14, 10, -half, -1);
    windowOnZ(14, 10, -half, -1);
    windowOnX(0, 28, half, 1);
    windowOnX(0, 28, -half, -1);
    model.Meshes.push_back(b.Take());
  }
  return model;
}

}  // namespace ukh::assetgen
