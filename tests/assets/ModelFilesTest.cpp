// "Car_02.3ds" and "Hous.3ds" as lib3ds reads them: sizes and ground contact in model units
// (the engine imports vertices as stored, Y up), materials, smoothing, and closed surfaces
// wound outward.
#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "tests/assets/AssetFile.h"

namespace ukh::assets_test {
namespace {

struct TFileDeleter {
  void operator()(Lib3dsFile* f) const { lib3ds_file_free(f); }
};
using TFile = std::unique_ptr<Lib3dsFile, TFileDeleter>;

TFile Load(const std::string& name) {
  return TFile(lib3ds_file_load(AssetPath(name).c_str()));
}

struct TBox {
  std::array<double, 3> Min{1e30, 1e30, 1e30}, Max{-1e30, -1e30, -1e30};
  void Add(const float* p) {
    for (int i = 0; i < 3; ++i)
      Min[i] = std::min(Min[i], double(p[i])), Max[i] = std::max(Max[i], double(p[i]));
  }
};

TBox Bounds(Lib3dsFile* f, const std::string& prefix = "") {
  TBox b;
  for (Lib3dsMesh* m = f->meshes; m; m = m->next)
    if (std::string(m->name).rfind(prefix, 0) == 0)
      for (unsigned i = 0; i < m->points; ++i) b.Add(m->pointL[i].pos);
  return b;
}

TBox MeshBounds(Lib3dsMesh* m) {
  TBox b;
  for (unsigned i = 0; i < m->points; ++i) b.Add(m->pointL[i].pos);
  return b;
}

// Mean position of the corners of faces in one material.
std::array<double, 3> MaterialCentre(Lib3dsFile* f, const std::string& material) {
  std::array<double, 3> c{0, 0, 0};
  int n = 0;
  for (Lib3dsMesh* m = f->meshes; m; m = m->next)
    for (unsigned i = 0; i < m->faces; ++i)
      if (material == m->faceL[i].material)
        for (int k = 0; k < 3; ++k, ++n)
          for (int a = 0; a < 3; ++a) c[a] += m->pointL[m->faceL[i].points[k]].pos[a];
  for (double& v : c) v /= std::max(n, 1);
  return c;
}

// Every mesh must be made of closed surfaces, consistently wound: each edge, taken by its
// two end positions, is used once in each direction. A positive enclosed volume then means
// the faces are counter-clockwise seen from outside.
void ExpectClosedAndOutward(Lib3dsFile* f) {
  using TKey = std::array<std::uint32_t, 3>;
  auto key = [](const float* p) {
    return TKey{std::bit_cast<std::uint32_t>(p[0]), std::bit_cast<std::uint32_t>(p[1]),
                std::bit_cast<std::uint32_t>(p[2])};
  };
  for (Lib3dsMesh* m = f->meshes; m; m = m->next) {
    std::map<std::pair<TKey, TKey>, int> edges;
    double volume = 0;
    for (unsigned i = 0; i < m->faces; ++i) {
      const float* p[3];
      for (int k = 0; k < 3; ++k) p[k] = m->pointL[m->faceL[i].points[k]].pos;
      for (int k = 0; k < 3; ++k) {
        const TKey a = key(p[k]), b = key(p[(k + 1) % 3]);
        ++edges[{a, b}];
        --edges[{b, a}];
      }
      volume += (p[0][0] * (p[1][1] * p[2][2] - p[1][2] * p[2][1]) -
                 p[0][1] * (p[1][0] * p[2][2] - p[1][2] * p[2][0]) +
                 p[0][2] * (p[1][0] * p[2][1] - p[1][1] * p[2][0])) /
                6.0;
    }
    int open = 0;
    for (const auto& [edge, balance] : edges) open += balance != 0;
    EXPECT_EQ(open, 0) << m->name << ": edges without a matching reverse edge";
    EXPECT_GT(volume, 0) << m->name << ": faces wound inward";
  }
}

// Faces all in a material of the file, every material used, mapping coordinates everywhere,
// and flat panels and curved surfaces in different smoothing groups.
void ExpectMaterialsAndMapping(Lib3dsFile* f, std::size_t minMaterials) {
  std::set<std::string> defined, used;
  for (Lib3dsMaterial* mat = f->materials; mat; mat = mat->next) defined.insert(mat->name);
  EXPECT_GE(defined.size(), minMaterials);
  std::set<std::uint32_t> groups;
  unsigned faces = 0;
  for (Lib3dsMesh* m = f->meshes; m; m = m->next) {
    EXPECT_EQ(m->texels, m->points) << m->name;
    faces += m->faces;
    for (unsigned i = 0; i < m->faces; ++i) {
      EXPECT_TRUE(defined.count(m->faceL[i].material)) << m->name << " face " << i;
      used.insert(m->faceL[i].material);
      groups.insert(m->faceL[i].smoothing);
    }
  }
  EXPECT_EQ(used, defined);
  EXPECT_GE(groups.size(), 2u);
  EXPECT_EQ(groups.count(0), 0u);
  EXPECT_GE(faces, 200u);
  EXPECT_LE(faces, 2000u);
}

TEST(ModelFilesTest, CarIsFiveByThreeByTenOnItsWheels) {
  TFile f = Load("Car_02.3ds");
  ASSERT_TRUE(f);
  const TBox b = Bounds(f.get());
  EXPECT_EQ(b.Min, (std::array<double, 3>{-2.5, -2.5, -5}));
  EXPECT_EQ(b.Max, (std::array<double, 3>{2.5, 0.5, 5}));
  // At the level's scale of 0.2 the collision box (half extents about the origin) is
  // 1 x 0.6 x 2 units, its bottom on the ground 0.5 below the origin.
  EXPECT_DOUBLE_EQ((b.Max[0] - b.Min[0]) * 0.2, 1.0);
  EXPECT_NEAR((b.Max[1] - b.Min[1]) * 0.2, 0.6, 1e-12);
  EXPECT_DOUBLE_EQ((b.Max[2] - b.Min[2]) * 0.2, 2.0);
  EXPECT_DOUBLE_EQ(b.Min[1] * 0.2, -0.5);
}

TEST(ModelFilesTest, OnlyTheFourWheelsTouchTheGround) {
  TFile f = Load("Car_02.3ds");
  ASSERT_TRUE(f);
  int wheels = 0;
  std::set<std::pair<bool, bool>> corners;  // (left, front)
  for (Lib3dsMesh* m = f->meshes; m; m = m->next) {
    const TBox b = MeshBounds(m);
    if (std::string(m->name).rfind("Wheel", 0) == 0) {
      ++wheels;
      EXPECT_EQ(b.Min[1], -2.5) << m->name;
      corners.insert({b.Max[0] < 0, b.Max[2] < 0});
    } else {
      EXPECT_GT(b.Min[1], -2.2) << m->name << " drags on the ground";
    }
  }
  EXPECT_EQ(wheels, 4);
  EXPECT_EQ(corners.size(), 4u);  // one at each corner
}

TEST(ModelFilesTest, CarFacesMinusZ) {
  TFile f = Load("Car_02.3ds");
  ASSERT_TRUE(f);
  EXPECT_LT(MaterialCentre(f.get(), "Headlight")[2], -4.5);
  EXPECT_GT(MaterialCentre(f.get(), "TailLight")[2], 4.5);
  // The windscreen leans back from the bonnet: its glass starts further forward low down.
  EXPECT_LT(MaterialCentre(f.get(), "CarGlass")[1], 0.5);
}

TEST(ModelFilesTest, CarMaterialsAndSurfaces) {
  TFile f = Load("Car_02.3ds");
  ASSERT_TRUE(f);
  ExpectMaterialsAndMapping(f.get(), 4);
  ExpectClosedAndOutward(f.get());
  Lib3dsMaterial* paint = lib3ds_file_material_by_name(f.get(), "CarPaint");
  ASSERT_NE(paint, nullptr);
  EXPECT_GT(paint->diffuse[0], paint->diffuse[1] + 0.3f);  // a red car
}

TEST(ModelFilesTest, HouseIsAboutFourUnitsAtItsScaleAndStandsOnTheGround) {
  TFile f = Load("Hous.3ds");
  ASSERT_TRUE(f);
  const TBox b = Bounds(f.get());
  constexpr double kScale = 0.07;
  EXPECT_NEAR(b.Min[1] * kScale, -0.5, 1e-6);  // about -7.14 model units
  for (int a = 0; a < 3; ++a) {
    EXPECT_GT((b.Max[a] - b.Min[a]) * kScale, 3.9) << a;
    EXPECT_LT((b.Max[a] - b.Min[a]) * kScale, 4.1) << a;
  }
  // Centred over its origin, so its collision point sits inside it.
  EXPECT_DOUBLE_EQ(b.Min[0], -b.Max[0]);
  EXPECT_DOUBLE_EQ(b.Min[2], -b.Max[2]);
  EXPECT_EQ(Bounds(f.get(), "Walls").Min[1], b.Min[1]);
}

TEST(ModelFilesTest, HouseRoofIsPitched) {
  TFile f = Load("Hous.3ds");
  ASSERT_TRUE(f);
  const TBox house = Bounds(f.get()), roof = Bounds(f.get(), "Roof"),
             walls = Bounds(f.get(), "Walls");
  EXPECT_EQ(roof.Max[1], house.Max[1]);
  // The ridge runs along X over the middle; the eaves are far lower, out over the walls.
  for (Lib3dsMesh* m = f->meshes; m; m = m->next) {
    if (std::string(m->name) != "Roof") continue;
    for (unsigned i = 0; i < m->points; ++i) {
      const float* p = m->pointL[i].pos;
      if (p[1] == roof.Max[1]) {
        EXPECT_EQ(p[2], 0.0f);
      }
    }
  }
  EXPECT_GT(roof.Max[1] - roof.Min[1], 25.0);
  EXPECT_GT(roof.Max[2], walls.Max[2]);
  EXPECT_LT(roof.Min[1], walls.Max[1]);
}

TEST(ModelFilesTest, HouseMaterialsAndSurfaces) {
  TFile f = Load("Hous.3ds");
  ASSERT_TRUE(f);
  ExpectMaterialsAndMapping(f.get(), 4);
  ExpectClosedAndOutward(f.get());
}

}  // namespace
}  // namespace ukh::assets_test
