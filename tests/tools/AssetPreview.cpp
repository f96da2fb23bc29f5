// ukh_asset_preview: turns the generated assets into PNG pictures a person can look at.
// BMPs are re-encoded as PNG; each 3DS model, read back through lib3ds, is drawn by a small
// z-buffered rasteriser from two sides, with back faces culled so mis-wound faces show as
// holes.
//   ukh_asset_preview <asset folder> <output folder>
#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "tools/assetgen/Image.h"

namespace fs = std::filesystem;
using ukh::assetgen::EncodePng;
using ukh::assetgen::TColor;
using ukh::assetgen::TImage;

namespace {

std::vector<std::uint8_t> ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& p, const std::vector<std::uint8_t>& data) {
  std::ofstream out(p, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

std::uint32_t Le32(const std::vector<std::uint8_t>& d, std::size_t o) {
  return d[o] | d[o + 1] << 8 | d[o + 2] << 16 | std::uint32_t(d[o + 3]) << 24;
}

// Only what the generator writes: 24-bit, uncompressed, bottom-up.
bool BmpToImage(const std::vector<std::uint8_t>& d, TImage& out) {
  if (d.size() < 54 || d[0] != 'B' || d[1] != 'M') return false;
  const int w = int(Le32(d, 18)), h = int(Le32(d, 22));
  const std::size_t offset = Le32(d, 10), row = (std::size_t(w) * 3 + 3) & ~std::size_t(3);
  if (w <= 0 || h <= 0 || (d[28] | d[29] << 8) != 24 || offset + row * h > d.size()) return false;
  out = TImage(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint8_t* p = &d[offset + row * (h - 1 - y) + x * 3];
      out.Set(x, y, {p[2] / 255.0, p[1] / 255.0, p[0] / 255.0, 1});
    }
  return true;
}

struct TV3 {
  double X, Y, Z;
};
TV3 Sub(TV3 a, TV3 b) {
  return {a.X - b.X, a.Y - b.Y, a.Z - b.Z};
}
double Dot(TV3 a, TV3 b) {
  return a.X * b.X + a.Y * b.Y + a.Z * b.Z;
}
TV3 Cross(TV3 a, TV3 b) {
  return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}
TV3 Norm(TV3 a) {
  const double l = std::sqrt(Dot(a, a));
  return l > 0 ? TV3{a.X / l, a.Y / l, a.Z / l} : a;
}

// Draws the model into the viewport [x0, x0 + w) x [0, h) of `img`, looking along `dir`.
void DrawModel(Lib3dsFile* file, TImage& img, std::vector<double>& depth, int x0, int w, int h,
               TV3 dir) {
  TV3 lo{1e30, 1e30, 1e30}, hi{-1e30, -1e30, -1e30};
  for (Lib3dsMesh* m = file->meshes; m; m = m->next)
    for (unsigned i = 0; i < m->points; ++i) {
      const float* p = m->pointL[i].pos;
      lo = {std::min(lo.X, double(p[0])), std::min(lo.Y, double(p[1])),
            std::min(lo.Z, double(p[2]))};
      hi = {std::max(hi.X, double(p[0])), std::max(hi.Y, double(p[1])),
            std::max(hi.Z, double(p[2]))};
    }
  const TV3 centre{(lo.X + hi.X) / 2, (lo.Y + hi.Y) / 2, (lo.Z + hi.Z) / 2};
  const double radius = std::sqrt(Dot(Sub(hi, lo), Sub(hi, lo))) / 2;
  const TV3 f = Norm(dir), r = Norm(Cross(f, {0, 1, 0})), u = Cross(r, f);
  const double scale = std::min(w, h) * 0.48 / radius;
  const TV3 light = Norm({-0.4, 0.8, -0.5});
  auto project = [&](const float* p, double& sx, double& sy, double& sz) {
    const TV3 q = Sub({p[0], p[1], p[2]}, centre);
    sx = x0 + w / 2.0 + Dot(q, r) * scale;
    sy = h / 2.0 - Dot(q, u) * scale;
    sz = Dot(q, f);
  };
  for (Lib3dsMesh* m = file->meshes; m; m = m->next)
    for (unsigned fi = 0; fi < m->faces; ++fi) {
      const Lib3dsFace& face = m->faceL[fi];
      const float* p[3] = {m->pointL[face.points[0]].pos, m->pointL[face.points[1]].pos,
                           m->pointL[face.points[2]].pos};
      const TV3 a{p[0][0], p[0][1], p[0][2]}, b{p[1][0], p[1][1], p[1][2]},
          c{p[2][0], p[2][1], p[2][2]};
      const TV3 n = Norm(Cross(Sub(b, a), Sub(c, a)));
      if (Dot(n, f) >= 0) continue;  // facing away
      TColor col{1, 0, 1, 1};        // magenta: a face without a material
      if (Lib3dsMaterial* mat = lib3ds_file_material_by_name(file, face.material))
        col = {mat->diffuse[0], mat->diffuse[1], mat->diffuse[2], 1};
      const double lit = 0.35 + 0.65 * std::max(0.0, Dot(n, light));
      col = {col.R * lit, col.G * lit, col.B * lit, 1};
      double sx[3], sy[3], sz[3];
      for (int k = 0; k < 3; ++k) project(p[k], sx[k], sy[k], sz[k]);
      const int minX = std::max(x0, int(std::floor(std::min({sx[0], sx[1], sx[2]}))));
      const int maxX = std::min(x0 + w - 1, int(std::ceil(std::max({sx[0], sx[1], sx[2]}))));
      const int minY = std::max(0, int(std::floor(std::min({sy[0], sy[1], sy[2]}))));
      const int maxY = std::min(h - 1, int(std::ceil(std::max({sy[0], sy[1], sy[2]}))));
      const double area = (sx[1] - sx[0]) * (sy[2] - sy[0]) - (sx[2] - sx[0]) * (sy[1] - sy[0]);
      if (std::fabs(area) < 1e-12) continue;
      for (int y = minY; y <= maxY; ++y)
        for (int x = minX; x <= maxX; ++x) {
          const double px = x + 0.5, py = y + 0.5;
          const double w0 = ((sx[1] - px) * (sy[2] - py) - (sx[2] - px) * (sy[1] - py)) / area;
          const double w1 = ((sx[2] - px) * (sy[0] - py) - (sx[0] - px) * (sy[2] - py)) / area;
          const double w2 = 1 - w0 - w1;
          if (w0 < 0 || w1 < 0 || w2 < 0) continue;
          const double z = w0 * sz[0] + w1 * sz[1] + w2 * sz[2];
          double& zb = depth[std::size_t(y) * img.Width() + x];
          if (z < zb) {
            zb = z;
            img.Set(x, y, col);
          }
        }
    }
}

bool PreviewModel(const fs::path& in, const fs::path& out) {
  Lib3dsFile* file = lib3ds_file_load(in.string().c_str());
  if (!file) return false;
  constexpr int kW = 400, kH = 360;
  TImage img(kW * 3, kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW * 3; ++x) img.Set(x, y, {0.86, 0.88, 0.92, 1});
  std::vector<double> depth(std::size_t(kW) * 3 * kH, std::numeric_limits<double>::infinity());
  DrawModel(file, img, depth, 0, kW, kH, {0.9, -0.45, 1.1});        // front three-quarter (from -Z)
  DrawModel(file, img, depth, kW, kW, kH, {-1, -0.05, 0});          // side (from +X)
  DrawModel(file, img, depth, 2 * kW, kW, kH, {-0.8, -0.6, -1.2});  // rear three-quarter
  lib3ds_file_free(file);
  WriteFile(out, EncodePng(img, false));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: ukh_asset_preview <asset folder> <output folder>\n");
    return 2;
  }
  const fs::path in = argv[1], out = argv[2];
  fs::create_directories(out);
  int failures = 0;
  for (const fs::directory_entry& e : fs::directory_iterator(in)) {
    const fs::path p = e.path();
    if (p.extension() != ".bmp" && p.extension() != ".3ds") continue;
    // "03.bmp" becomes "03_bmp.png", beside "03_3ds.png" were there such a model.
    const fs::path target =
        out / (p.stem().string() + "_" + p.extension().string().substr(1) + ".png");
    if (p.extension() == ".bmp") {
      TImage img(1, 1);
      if (BmpToImage(ReadFile(p), img))
        WriteFile(target, EncodePng(img, false));
      else
        std::fprintf(stderr, "%s: not a 24-bit BMP\n", p.c_str()), ++failures;
    } else if (p.extension() == ".3ds") {
      if (!PreviewModel(p, target))
        std::fprintf(stderr, "%s: lib3ds cannot read it\n", p.c_str()), ++failures;
    }
  }
  return failures ? 1 : 0;
}
