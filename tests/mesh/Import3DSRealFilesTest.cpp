// The 3DS import on real files: every valid model of assimp-testmodels and glmark2-data loads
// into a free form with lib3ds's triangle count and extents; broken and truncated files end
// with an error or load cleanly; the game's generated models have their known extents.
#include <gtest/gtest.h>
#include <lib3ds/file.h>
#include <lib3ds/mesh.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "engine/mesh/GLFreeForm.h"

namespace ukh {
namespace {

namespace fs = std::filesystem;

const char* const kAssimp3DS = "/usr/share/assimp/models/3DS";
const char* const kAssimpInvalid = "/usr/share/assimp/models/invalid";
const char* const kGlmark = "/usr/share/glmark2/models";

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<fs::path> ValidFiles() {
  std::vector<fs::path> files;
  for (const char* dir : {kAssimp3DS, kGlmark}) {
    if (!fs::is_directory(dir)) continue;
    for (const auto& e : fs::directory_iterator(dir)) {
      if (!e.is_regular_file()) continue;
      const std::string b = ReadAll(e.path());
      if (b.size() >= 2 && b[0] == 0x4D && b[1] == 0x4D) files.push_back(e.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

struct Oracle {
  long triangles = 0;
  TVector3f min, max;
};

// lib3ds keeps one material per face; faces of a mesh with material groups that name no
// material are in no group, so they are not drawn by the import either.
Oracle FromLib3ds(const fs::path& p) {
  Oracle o;
  const float inf = std::numeric_limits<float>::infinity();
  o.min = {inf, inf, inf};
  o.max = {-inf, -inf, -inf};
  Lib3dsFile* f = lib3ds_file_load(p.c_str());
  if (!f) return o;
  for (Lib3dsMesh* m = f->meshes; m; m = m->next) {
    bool anyMaterial = false;
    for (unsigned i = 0; i < m->faces; ++i) anyMaterial |= m->faceL[i].material[0] != 0;
    for (unsigned i = 0; i < m->faces; ++i)
      if (!anyMaterial || m->faceL[i].material[0] != 0) ++o.triangles;
    for (unsigned i = 0; i < m->points; ++i)
      for (int k = 0; k < 3; ++k) {
        o.min[k] = std::min(o.min[k], m->pointL[i].pos[k]);
        o.max[k] = std::max(o.max[k], m->pointL[i].pos[k]);
      }
  }
  lib3ds_file_free(f);
  return o;
}

long Triangles(const TGLBaseMesh& ff) {
  return ff.MeshObjects().TriangleCount();
}

TEST(Import3DSRealFiles, EveryValidFileLoadsWithLib3dsTrianglesAndExtents) {
  const std::vector<fs::path> files = ValidFiles();
  if (files.empty()) GTEST_SKIP() << "assimp-testmodels and glmark2-data are not installed";
  for (const fs::path& p : files) {
    SCOPED_TRACE(p.string());
    TGLFreeForm ff;
    if (p.has_extension()) {
      ASSERT_NO_THROW(ff.LoadFromFile(p.string()));
      EXPECT_EQ(ff.LastLoadedFilename(), p.string());
    } else {
      // The registry goes by extension: a 3DS file without one is loaded under a 3DS name.
      std::ifstream in(p, std::ios::binary);
      ASSERT_NO_THROW(ff.LoadFromStream(p.string() + ".3ds", in));
    }
    const Oracle o = FromLib3ds(p);
    EXPECT_EQ(Triangles(ff), o.triangles);
    TVector3f min, max;
    ff.GetExtents(min, max);
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(min[k], o.min[k]) << "axis " << k;
      EXPECT_EQ(max[k], o.max[k]) << "axis " << k;
    }
  }
}

// Loads `bytes` as a 3DS file: an engine error or a clean load, nothing else.
void ErrsOrLoads(const std::string& bytes, const std::string& label) {
  TGLFreeForm ff;
  std::istringstream in(bytes);
  try {
    ff.LoadFromStream(label + ".3ds", in);
  } catch (const Exception&) {
    EXPECT_EQ(ff.MeshObjects().Count(), 0) << label;
    EXPECT_EQ(ff.Count(), 0) << label;
  }
}

TEST(Import3DSRealFiles, InvalidAndTruncatedFilesErrOrLoadCleanly) {
  if (fs::is_directory(kAssimpInvalid))
    for (const auto& e : fs::directory_iterator(kAssimpInvalid))
      if (e.is_regular_file()) ErrsOrLoads(ReadAll(e.path()), e.path().filename().string());
  const std::vector<fs::path> files = ValidFiles();
  if (files.empty()) GTEST_SKIP() << "assimp-testmodels and glmark2-data are not installed";
  for (const fs::path& p : files) {
    const std::string b = ReadAll(p);
    // Cuts through headers and payloads at spread positions, and just short of the end.
    for (size_t cut : {size_t(3), size_t(6), size_t(17), b.size() / 7, b.size() / 3, b.size() / 2,
                       b.size() - 9, b.size() - 1})
      if (cut < b.size())
        ErrsOrLoads(b.substr(0, cut), p.filename().string() + "@" + std::to_string(cut));
  }
}

TEST(Import3DSRealFiles, TheGamesModelsHaveTheirKnownExtents) {
  const fs::path car = fs::path(UKH_ASSET_DIR) / "Car_02.3ds";
  const fs::path house = fs::path(UKH_ASSET_DIR) / "Hous.3ds";
  if (!fs::exists(car) || !fs::exists(house))
    GTEST_SKIP() << "the game's models are not generated yet (target ukh_assets)";
  TGLFreeForm ff;
  ff.LoadFromFile(car.string());
  TVector3f min, max;
  ff.GetExtents(min, max);
  EXPECT_FLOAT_EQ(min.X, -2.5f);
  EXPECT_FLOAT_EQ(max.X, 2.5f);
  EXPECT_FLOAT_EQ(min.Y, -2.5f);
  EXPECT_FLOAT_EQ(max.Y, 0.5f);
  EXPECT_FLOAT_EQ(min.Z, -5.0f);
  EXPECT_FLOAT_EQ(max.Z, 5.0f);
  ff.LoadFromFile(house.string());
  ff.GetExtents(min, max);
  EXPECT_NEAR(min.X, -28.5, 0.05);
  EXPECT_NEAR(max.X, 28.5, 0.05);
  EXPECT_NEAR(min.Y, -7.14, 0.05);
  EXPECT_NEAR(max.Y, 50, 0.05);
  for (int i = 0; i < ff.MeshObjects().Count(); ++i)
    for (int g = 0; g < ff.MeshObjects()[i]->FaceGroups().Count(); ++g)
      EXPECT_EQ(ff.MeshObjects()[i]->FaceGroups()[g]->MaterialName(), "");
}

}  // namespace
}  // namespace ukh
