// The 3DS reader on real files: Debian's assimp test models and glmark2's models read without
// error, and their meshes agree with lib3ds; broken and truncated files end with an error or
// load cleanly, never worse.
#include <gtest/gtest.h>
#include <lib3ds/file.h>
#include <lib3ds/mesh.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <tuple>

#include "engine/mesh/File3DS.h"
#include "tests/mesh/DecodeAll3DS.h"

namespace ukh {
namespace {

namespace fs = std::filesystem;

const char* const kAssim3DS = "/usr/share/assimp/models/3DS";
const char* const kAssimpInvalid = "/usr/share/assimp/models/invalid";
const char* const kGlmark = "/usr/share/glmark2/models";

bool Is3DSName(const fs::path& p) {
  std::string ext = p.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
  return ext == ".3ds";
}

std::vector<uint8_t> ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Every file of the assimp 3DS folder that starts with a 3DS magic (one has no extension) and
// every .3ds file of glmark2.
std::vector<fs::path> ValidFiles() {
  std::vector<fs::path> files;
  if (fs::is_directory(kAssim3DS))
    for (const auto& e : fs::directory_iterator(kAssim3DS)) {
      const std::vector<uint8_t> b = ReadBytes(e.path());
      if (e.is_regular_file() && b.size() >= 2 && b[0] == 0x4D && b[1] == 0x4D)
        files.push_back(e.path());
    }
  if (fs::is_directory(kGlmark))
    for (const auto& e : fs::directory_iterator(kGlmark))
      if (e.is_regular_file() && Is3DSName(e.path())) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

using MeshKey = std::tuple<std::string, uint32_t, uint32_t>;  // name, vertices, faces

std::vector<MeshKey> OracleMeshes(const fs::path& p) {
  std::vector<MeshKey> out;
  Lib3dsFile* f = lib3ds_file_load(p.c_str());
  if (!f) return out;
  for (Lib3dsMesh* m = f->meshes; m; m = m->next) out.emplace_back(m->name, m->points, m->faces);
  lib3ds_file_free(f);
  std::sort(out.begin(), out.end());
  return out;
}

TEST(File3DSRealFiles, EveryValidFileDecodesAndMatchesLib3ds) {
  const std::vector<fs::path> files = ValidFiles();
  if (files.empty()) GTEST_SKIP() << "assimp-testmodels and glmark2-data are not installed";
  EXPECT_GE(files.size(), 10u);
  for (const fs::path& p : files) {
    SCOPED_TRACE(p.string());
    TFile3DS f;
    ASSERT_NO_THROW(f.LoadFromFile(p.string()));
    EXPECT_EQ(f.FileName(), p.string());
    int records = 0;
    ASSERT_NO_THROW(records = test3ds::DecodeAll(f));
    EXPECT_GT(records, 0);

    std::vector<MeshKey> ours;
    for (int i = 0; i < f.Objects().MeshCount(); ++i) {
      const TMesh3DS* m = f.Objects().Mesh(i);
      ours.emplace_back(m->NameStr, m->NVertices, m->NFaces);
      EXPECT_EQ(m->VertexArray.size(), m->NVertices);
      EXPECT_EQ(m->FaceArray.size(), m->NFaces);
    }
    std::sort(ours.begin(), ours.end());
    const std::vector<MeshKey> oracle = OracleMeshes(p);
    EXPECT_FALSE(oracle.empty());
    EXPECT_EQ(ours, oracle);
  }
}

TEST(File3DSRealFiles, EveryFileOfTheInvalidFolderErrsOrLoadsCleanly) {
  if (!fs::is_directory(kAssimpInvalid)) GTEST_SKIP() << "assimp-testmodels is not installed";
  int failed = 0, clean = 0;
  for (const auto& e : fs::directory_iterator(kAssimpInvalid)) {
    TFile3DS f;
    std::string outcome;
    try {
      f.LoadFromFile(e.path().string());
      test3ds::DecodeAll(f);
      outcome = "loads cleanly, type " + std::to_string(int(f.DatabaseType())) + ", " +
                std::to_string(f.Objects().MeshCount()) + " meshes";
      ++clean;
      // Nothing in this folder is a 3DS file: a clean load must be an empty one.
      EXPECT_EQ(f.DatabaseType(), TDBType3DS::dbUnknown) << e.path();
    } catch (const E3DSError& err) {
      outcome = std::string("error: ") + err.what();
      ++failed;
    }
    std::cout << "[ invalid ] " << e.path().filename().string() << ": " << outcome << "\n";
  }
  EXPECT_GT(failed, 0);  // empty.3ds at least
}

// The game's own models, made by the asset generator of this build, read completely and agree
// with lib3ds.
TEST(File3DSRealFiles, GameModelsDecodeAndMatchLib3ds) {
  int found = 0;
  for (const char* name : {"Car_02.3ds", "Hous.3ds"}) {
    const fs::path p = fs::path(UKH_ASSET_DIR) / name;
    if (!fs::exists(p)) continue;
    ++found;
    SCOPED_TRACE(p.string());
    TFile3DS f;
    ASSERT_NO_THROW(f.LoadFromFile(p.string()));
    ASSERT_NO_THROW(test3ds::DecodeAll(f));
    EXPECT_GT(f.Objects().MeshCount(), 0);
    std::vector<MeshKey> ours;
    for (int i = 0; i < f.Objects().MeshCount(); ++i) {
      const TMesh3DS* m = f.Objects().Mesh(i);
      ours.emplace_back(m->NameStr, m->NVertices, m->NFaces);
    }
    std::sort(ours.begin(), ours.end());
    EXPECT_EQ(ours, OracleMeshes(p));
  }
  if (!found) GTEST_SKIP() << "the game's models are not generated yet (target ukh_assets)";
}

// The fuzz seeds built for this reader (lights, spots, cameras, every material chunk, every
// keyframer node kind and track, a project file and a material library) are valid files.
TEST(File3DSRealFiles, FuzzSeedsDecodeWithoutError) {
  const fs::path dir = fs::path(UKH_SOURCE_DIR) / "tests/fuzz/corpus/3ds";
  ASSERT_TRUE(fs::is_directory(dir)) << dir;
  int files = 0;
  for (const auto& e : fs::directory_iterator(dir)) {
    SCOPED_TRACE(e.path().string());
    TFile3DS f;
    ASSERT_NO_THROW(f.LoadFromFile(e.path().string()));
    EXPECT_NE(f.DatabaseType(), TDBType3DS::dbUnknown);
    int records = 0;
    ASSERT_NO_THROW(records = test3ds::DecodeAll(f));
    EXPECT_GT(records, 0);
    ++files;
  }
  EXPECT_GE(files, 10);
}

// Cuts each valid file at several lengths: as cut (the top chunk then claims more than there
// is) and with the top length patched to the cut, so that the damage is found deeper inside.
TEST(File3DSRealFiles, TruncatedFilesErrOrLoadCleanly) {
  const std::vector<fs::path> files = ValidFiles();
  if (files.empty()) GTEST_SKIP() << "assimp-testmodels and glmark2-data are not installed";
  int errors = 0, clean = 0;
  for (const fs::path& p : files) {
    const std::vector<uint8_t> whole = ReadBytes(p);
    const size_t n = whole.size();
    for (size_t cut : {size_t(0), size_t(5), size_t(6), size_t(7), size_t(23), n / 7, n / 3, n / 2,
                       n * 5 / 6, n - 7, n - 1}) {
      if (cut >= n) continue;
      std::vector<uint8_t> bytes(whole.begin(), whole.begin() + cut);
      {
        TFile3DS f;
        EXPECT_THROW(f.LoadFromMemory(bytes.data(), bytes.size(), "cut.3ds"), E3DSError)
            << p << " cut at " << cut;
      }
      if (cut < 6) continue;
      const uint32_t len = uint32_t(cut);
      std::memcpy(bytes.data() + 2, &len, 4);
      TFile3DS f;
      try {
        f.LoadFromMemory(bytes.data(), bytes.size(), "cut.3ds");
        test3ds::DecodeAll(f);
        ++clean;
      } catch (const E3DSError& e) {
        EXPECT_NE(std::string(e.what()).find("cut.3ds"), std::string::npos) << e.what();
        ++errors;
      }
    }
  }
  std::cout << "[ truncations ] patched top length: " << errors << " errors, " << clean
            << " clean loads\n";
  EXPECT_GT(errors, 0);
}

}  // namespace
}  // namespace ukh
