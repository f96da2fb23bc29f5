// The 3DS writer's files, read back by lib3ds (an independent reader) and walked chunk by
// chunk; and the models the writer refuses.
#include "tools/assetgen/Writer3DS.h"

#include <gtest/gtest.h>
#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace ukh::assetgen {
namespace {

namespace fs = std::filesystem;

// lib3ds reads only from a named file.
struct TLib3dsFile {
  explicit TLib3dsFile(const std::vector<std::uint8_t>& bytes) {
    static int counter = 0;
    Path = fs::temp_directory_path() /
           ("ukh_writer3ds_" + std::to_string(getpid()) + "_" + std::to_string(counter++) + ".3ds");
    std::ofstream(Path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    File = lib3ds_file_load(Path.c_str());
  }
  ~TLib3dsFile() {
    if (File) lib3ds_file_free(File);
    fs::remove(Path);
  }
  fs::path Path;
  Lib3dsFile* File = nullptr;
};

// A unit cube in two materials: the top and bottom in "Lid", the sides in "Side"; every
// face in smoothing group 1, one mapping coordinate per corner.
T3DSModel CubeModel() {
  T3DSModel model;
  T3DSMaterial lid;
  lid.Name = "Lid";
  lid.Ambient = {10, 20, 30};
  lid.Diffuse = {255, 128, 0};
  lid.Specular = {200, 200, 200};
  lid.ShininessPct = 40;
  lid.ShinStrengthPct = 25;
  T3DSMaterial side = lid;
  side.Name = "Side";
  side.Diffuse = {0, 51, 102};
  side.TransparencyPct = 50;
  model.Materials = {lid, side};

  T3DSMesh mesh;
  mesh.Name = "Cube";
  for (int i = 0; i < 8; ++i) {
    mesh.Vertices.push_back({float(i & 1), float((i >> 1) & 1), float((i >> 2) & 1)});
    mesh.TexCoords.push_back({float(i & 1), 0.25f * float(i >> 1)});
  }
  const std::uint16_t quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                     {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  T3DSMaterialGroup lidGroup{"Lid", {}}, sideGroup{"Side", {}};
  for (int q = 0; q < 6; ++q) {
    for (int t = 0; t < 2; ++t) {
      T3DSFace f;
      f.V[0] = quads[q][0], f.V[1] = quads[q][1 + t], f.V[2] = quads[q][2 + t];
      (q < 2 ? lidGroup : sideGroup).Faces.push_back(std::uint16_t(mesh.Faces.size()));
      mesh.Faces.push_back(f);
      mesh.Smoothing.push_back(q < 2 ? 0x1u : 0x80000002u);
    }
  }
  mesh.Groups = {lidGroup, sideGroup};
  model.Meshes.push_back(mesh);
  return model;
}

TEST(Writer3DSTest, Lib3dsReadsBackMeshesAsWritten) {
  const T3DSModel model = CubeModel();
  TLib3dsFile f(Write3DS(model));
  ASSERT_NE(f.File, nullptr);
  Lib3dsMesh* mesh = f.File->meshes;
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->next, nullptr);
  EXPECT_STREQ(mesh->name, "Cube");
  const T3DSMesh& src = model.Meshes[0];
  ASSERT_EQ(mesh->points, src.Vertices.size());
  for (unsigned i = 0; i < mesh->points; ++i) {
    EXPECT_EQ(mesh->pointL[i].pos[0], src.Vertices[i].X) << i;
    EXPECT_EQ(mesh->pointL[i].pos[1], src.Vertices[i].Y) << i;
    EXPECT_EQ(mesh->pointL[i].pos[2], src.Vertices[i].Z) << i;
  }
  ASSERT_EQ(mesh->texels, src.TexCoords.size());
  for (unsigned i = 0; i < mesh->texels; ++i) {
    EXPECT_EQ(mesh->texelL[i][0], src.TexCoords[i].U) << i;
    EXPECT_EQ(mesh->texelL[i][1], src.TexCoords[i].V) << i;
  }
  ASSERT_EQ(mesh->faces, src.Faces.size());
  for (unsigned i = 0; i < mesh->faces; ++i) {
    const Lib3dsFace& face = mesh->faceL[i];
    for (int k = 0; k < 3; ++k) EXPECT_EQ(face.points[k], src.Faces[i].V[k]) << i;
    EXPECT_EQ(face.flags, src.Faces[i].Flags) << i;
    EXPECT_EQ(face.smoothing, src.Smoothing[i]) << i;
    EXPECT_STREQ(face.material, i < 4 ? "Lid" : "Side") << i;
  }
}

TEST(Writer3DSTest, Lib3dsReadsBackMaterials) {
  TLib3dsFile f(Write3DS(CubeModel()));
  ASSERT_NE(f.File, nullptr);
  Lib3dsMaterial* lid = lib3ds_file_material_by_name(f.File, "Lid");
  Lib3dsMaterial* side = lib3ds_file_material_by_name(f.File, "Side");
  ASSERT_NE(lid, nullptr);
  ASSERT_NE(side, nullptr);
  EXPECT_FLOAT_EQ(lid->ambient[0], 10 / 255.0f);
  EXPECT_FLOAT_EQ(lid->ambient[2], 30 / 255.0f);
  EXPECT_FLOAT_EQ(lid->diffuse[0], 1.0f);
  EXPECT_FLOAT_EQ(lid->diffuse[1], 128 / 255.0f);
  EXPECT_FLOAT_EQ(lid->diffuse[2], 0.0f);
  EXPECT_FLOAT_EQ(lid->specular[1], 200 / 255.0f);
  EXPECT_FLOAT_EQ(lid->shininess, 0.40f);
  EXPECT_FLOAT_EQ(lid->shin_strength, 0.25f);
  EXPECT_FLOAT_EQ(lid->transparency, 0.0f);
  EXPECT_FLOAT_EQ(side->diffuse[1], 51 / 255.0f);
  EXPECT_FLOAT_EQ(side->transparency, 0.5f);
  EXPECT_EQ(side->shading, 3);  // Phong
}

// Chunk payload sizes before the first child, for the containers the writer emits.
std::size_t OwnData(std::uint16_t tag, const std::vector<std::uint8_t>& d, std::size_t at) {
  switch (tag) {
    case kM3DMagic:
    case kMData:
    case kNTriObject:
    case kMatEntry:
    case kMatAmbient:
    case kMatDiffuse:
    case kMatSpecular:
    case kMatShininess:
    case kMatShin2Pct:
    case kMatTransparency:
      return 0;
    case kNamedObject: {
      std::size_t n = 0;
      while (d.at(at + 6 + n) != 0) ++n;
      return n + 1;
    }
    case kFaceArray:
      return 2 + 8 * std::size_t(d.at(at + 6) | d.at(at + 7) << 8);
    default:
      return SIZE_MAX;  // a leaf
  }
}

// Walks the chunk tree; each child must end inside its parent and the children must fill
// the parent exactly. Records the tag path of every chunk.
void Walk(const std::vector<std::uint8_t>& d, std::size_t at, std::size_t end,
          const std::string& path, std::multimap<std::string, std::size_t>& seen) {
  while (at < end) {
    ASSERT_LE(at + 6, end) << path;
    const std::uint16_t tag = d[at] | d[at + 1] << 8;
    const std::size_t len =
        d[at + 2] | d[at + 3] << 8 | d[at + 4] << 16 | std::size_t(d[at + 5]) << 24;
    ASSERT_GE(len, 6u) << path;
    ASSERT_LE(at + len, end) << path << " tag " << std::hex << tag;
    char name[8];
    std::snprintf(name, sizeof name, "%04X", tag);
    const std::string here = path + "/" + name;
    seen.emplace(here, len);
    const std::size_t own = OwnData(tag, d, at);
    if (own != SIZE_MAX) Walk(d, at + 6 + own, at + len, here, seen);
    at += len;
  }
  ASSERT_EQ(at, end) << path;
}

TEST(Writer3DSTest, ChunksNestAsTheImporterExpects) {
  const std::vector<std::uint8_t> d = Write3DS(CubeModel());
  std::multimap<std::string, std::size_t> seen;
  Walk(d, 0, d.size(), "", seen);
  ASSERT_EQ(seen.count("/4D4D"), 1u);
  EXPECT_EQ(seen.find("/4D4D")->second, d.size());
  const std::string tri = "/4D4D/3D3D/4000/4100";
  EXPECT_EQ(seen.count("/4D4D/0002"), 1u);
  EXPECT_EQ(seen.count("/4D4D/3D3D/AFFF"), 2u);
  EXPECT_EQ(seen.count("/4D4D/3D3D/AFFF/A020/0011"), 2u);
  EXPECT_EQ(seen.count(tri + "/4110"), 1u);
  EXPECT_EQ(seen.count(tri + "/4140"), 1u);
  EXPECT_EQ(seen.count(tri + "/4160"), 1u);
  // Material and smoothing groups are children of the face list.
  EXPECT_EQ(seen.count(tri + "/4120/4130"), 2u);
  ASSERT_EQ(seen.count(tri + "/4120/4150"), 1u);
  EXPECT_EQ(seen.find(tri + "/4120/4150")->second, 6 + 4 * 12u);
  EXPECT_EQ(seen.find(tri + "/4160")->second, 6 + 48u);
}

TEST(Writer3DSTest, MeshWithoutMappingOrSmoothingOmitsThoseChunks) {
  T3DSModel model = CubeModel();
  model.Meshes[0].TexCoords.clear();
  model.Meshes[0].Smoothing.clear();
  const std::vector<std::uint8_t> d = Write3DS(model);
  std::multimap<std::string, std::size_t> seen;
  Walk(d, 0, d.size(), "", seen);
  EXPECT_EQ(seen.count("/4D4D/3D3D/4000/4100/4140"), 0u);
  EXPECT_EQ(seen.count("/4D4D/3D3D/4000/4100/4120/4150"), 0u);
  TLib3dsFile f(d);
  ASSERT_NE(f.File, nullptr);
  EXPECT_EQ(f.File->meshes->texels, 0u);
  EXPECT_EQ(f.File->meshes->faceL[0].smoothing, 0u);
}

TEST(Writer3DSTest, RefusesModelsThatA3dsFileCannotHold) {
  struct TCase {
    const char* What;
    void (*Break)(T3DSModel&);
    const char* Message;
  };
  const TCase cases[] = {
      {"corner past the vertices", [](T3DSModel& m) { m.Meshes[0].Faces[3].V[1] = 8; },
       "face 3 uses vertex 8 of 8"},
      {"unknown material", [](T3DSModel& m) { m.Meshes[0].Groups[1].Material = "Nope"; },
       "unknown material \"Nope\""},
      {"group face past the faces", [](T3DSModel& m) { m.Meshes[0].Groups[0].Faces.push_back(12); },
       "lists face 12 of 12"},
      {"mapping count", [](T3DSModel& m) { m.Meshes[0].TexCoords.pop_back(); }, "one per vertex"},
      {"smoothing count", [](T3DSModel& m) { m.Meshes[0].Smoothing.push_back(1); }, "one per face"},
      {"too many vertices",
       [](T3DSModel& m) { m.Meshes[0].Vertices.resize(65536), m.Meshes[0].TexCoords.clear(); },
       "more than 65535 vertices"},
      {"long object name", [](T3DSModel& m) { m.Meshes[0].Name = "ElevenChars"; },
       "must have 1 to 10 characters"},
      {"empty material name", [](T3DSModel& m) { m.Materials[0].Name.clear(); },
       "must have 1 to 16 characters"},
      {"control character", [](T3DSModel& m) { m.Meshes[0].Name = "A\nB"; }, "printable ASCII"},
      {"duplicate material", [](T3DSModel& m) { m.Materials[1].Name = "Lid"; }, "defined twice"},
      {"percentage", [](T3DSModel& m) { m.Materials[0].ShininessPct = 101; }, "outside 0..100"},
  };
  for (const TCase& c : cases) {
    T3DSModel model = CubeModel();
    c.Break(model);
    try {
      Write3DS(model);
      ADD_FAILURE() << c.What << ": accepted";
    } catch (const E3DSWriteError& e) {
      EXPECT_NE(std::string(e.what()).find(c.Message), std::string::npos)
          << c.What << ": " << e.what();
    }
  }
}

TEST(Writer3DSTest, LargestMeshStillReadsBack) {
  // 65535 vertices and faces: the 16-bit counts at their limit.
  T3DSModel model = CubeModel();
  T3DSMesh& m = model.Meshes[0];
  m.TexCoords.clear();
  m.Vertices.resize(65535);
  m.Vertices.back() = {7, 8, 9};
  m.Faces.resize(65535);
  m.Faces.back().V[0] = 65534;
  m.Smoothing.assign(65535, 4);
  m.Groups = {{"Lid", {0, 65534}}};
  TLib3dsFile f(Write3DS(model));
  ASSERT_NE(f.File, nullptr);
  ASSERT_EQ(f.File->meshes->points, 65535u);
  ASSERT_EQ(f.File->meshes->faces, 65535u);
  EXPECT_EQ(f.File->meshes->pointL[65534].pos[2], 9.0f);
  EXPECT_EQ(f.File->meshes->faceL[65534].points[0], 65534);
  EXPECT_STREQ(f.File->meshes->faceL[65534].material, "Lid");
}

TEST(Writer3DSTest, ChunkWriterRejectsUnbalancedChunks) {
  TChunkWriter w;
  EXPECT_THROW(w.End(), E3DSWriteError);
  w.Begin(0x1234);
  EXPECT_THROW(w.Take(), E3DSWriteError);
  w.End();
  EXPECT_EQ(w.Take(), (std::vector<std::uint8_t>{0x34, 0x12, 6, 0, 0, 0}));
}

}  // namespace
}  // namespace ukh::assetgen
