// The free form and the 3DS import on fixtures built in the test: smoothing-group splitting
// and its normals, the 65535-vertex limit, material groups, the registry's extension lookup
// and its messages, extents, and loads that fail on malformed content leaving nothing behind.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "engine/gl/GLMaterialLibrary.h"
#include "engine/mesh/FGVertexIndexList.h"
#include "engine/mesh/GL3DSVectorFile.h"
#include "engine/mesh/GLFreeForm.h"
#include "tests/mesh/Fixture3DS.h"

namespace ukh {
namespace {

using namespace test3ds;

Bytes Smooth(std::initializer_list<uint32_t> masks) {
  Bytes b;
  for (uint32_t m : masks) b = Cat({b, U32(m)});
  return Chunk(tag3ds::SMOOTH_GROUP, {b});
}

Bytes MatGroup(const std::string& name, std::initializer_list<uint16_t> faces) {
  Bytes b = Cat({Str(name), U16(uint16_t(faces.size()))});
  for (uint16_t f : faces) b = Cat({b, U16(f)});
  return Chunk(tag3ds::MSH_MAT_GROUP, {b});
}

Bytes Material(const std::string& name) {
  return Chunk(tag3ds::MAT_ENTRY, {Chunk(tag3ds::MAT_NAME, {Str(name)})});
}

void Load(TGLBaseMesh& ff, const Bytes& b, const std::string& name = "fixture.3ds") {
  std::istringstream in(std::string(b.begin(), b.end()));
  ff.LoadFromStream(name, in);
}

TFGVertexIndexList& Group(TGLBaseMesh& ff, int mesh, int group) {
  return *static_cast<TFGVertexIndexList*>(ff.MeshObjects()[mesh]->FaceGroups()[group]);
}

// Cube faces are triangle pairs (2k, 2k + 1).
struct SmoothCase {
  const char* what;
  Bytes smoothing;
  int vertices;
};

TEST(Import3DS, SmoothingGroupsDecideWhichCornersShareAVertex) {
  const SmoothCase cases[] = {
      {"no smoothing groups: every corner its own vertex", {}, 36},
      {"mask 0 everywhere: every shared corner split", Smooth({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
       36},
      {"one group per cube face", Smooth({1, 1, 2, 2, 4, 4, 8, 8, 16, 16, 32, 32}), 24},
      {"only the lowest bit counts", Smooth({3, 1, 0x82, 2, 4, 0xC, 8, 8, 0x30, 16, 32, 0xFFE0}),
       24},
      {"one group for all", Smooth({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}), 8},
      {"masks 0x3 and 0x1 smooth together", Smooth({3, 1, 3, 1, 1, 3, 1, 3, 1, 1, 3, 1}), 8},
      {"masks 0x2 and 0x3 do not", Smooth({2, 3, 2, 3, 2, 3, 2, 3, 2, 3, 2, 3}), 16},
  };
  for (const SmoothCase& c : cases) {
    SCOPED_TRACE(c.what);
    TGLFreeForm ff;
    Load(ff, MeshFile({BoxObject("box", {c.smoothing})}));
    ASSERT_EQ(ff.MeshObjects().Count(), 1);
    TGLMeshObject& mo = *ff.MeshObjects()[0];
    EXPECT_EQ(mo.Vertices().Count(), c.vertices);
    EXPECT_EQ(mo.Normals().Count(), c.vertices);
    ASSERT_EQ(mo.FaceGroups().Count(), 1);
    const TFGVertexIndexList& g = Group(ff, 0, 0);
    ASSERT_EQ(g.VertexIndices().Count(), 36);
    for (int i = 0; i < 36; ++i) ASSERT_LT(g.VertexIndices()[i], c.vertices);
    for (int i = 0; i < mo.Normals().Count(); ++i) {
      const TVector3f n = mo.Normals()[i];
      EXPECT_NEAR(std::sqrt(n.X * n.X + n.Y * n.Y + n.Z * n.Z), 1.0, 1e-6);
    }
  }
}

TEST(Import3DS, FlatNormalsAreFaceNormalsAndSmoothOnesAreAreaWeighted) {
  {
    TGLFreeForm ff;
    Load(ff, MeshFile({BoxObject("box")}));
    TGLMeshObject& mo = *ff.MeshObjects()[0];
    const TFGVertexIndexList& g = Group(ff, 0, 0);
    // Face 0 is the bottom (z = 0), face 4 the front (y = 0), face 6 the side x = 1.
    const std::pair<int, TVector3f> expect[] = {{0, {0, 0, -1}}, {4, {0, -1, 0}}, {6, {1, 0, 0}}};
    for (const auto& [face, normal] : expect)
      for (int k = 0; k < 3; ++k) {
        const TVector3f n = mo.Normals()[g.VertexIndices()[face * 3 + k]];
        EXPECT_EQ(n.X, normal.X);
        EXPECT_EQ(n.Y, normal.Y);
        EXPECT_EQ(n.Z, normal.Z);
      }
  }
  {
    TGLFreeForm ff;
    Load(ff, MeshFile({BoxObject("box", {Smooth({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1})})}));
    // At the origin two bottom, two front and one side triangle meet (each of unit
    // double-area): the sum (-1, -2, -2), normalised.
    const TVector3f n = ff.MeshObjects()[0]->Normals()[0];
    EXPECT_NEAR(n.X, -1.0 / 3, 1e-6);
    EXPECT_NEAR(n.Y, -2.0 / 3, 1e-6);
    EXPECT_NEAR(n.Z, -2.0 / 3, 1e-6);
  }
  {
    TGLFreeForm ff;
    ff.SetNormalsOrientation(TGLMeshNormalsOrientation::mnoInvert);
    Load(ff, MeshFile({BoxObject("box", {Smooth({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1})})}));
    const TVector3f n = ff.MeshObjects()[0]->Normals()[0];
    EXPECT_NEAR(n.X, 1.0 / 3, 1e-6);
    EXPECT_NEAR(n.Y, 2.0 / 3, 1e-6);
    EXPECT_NEAR(n.Z, 2.0 / 3, 1e-6);
  }
}

TEST(Import3DS, VerticesStopSplittingAt65535) {
  // 21850 copies of one triangle: each face after the first splits its three corners until
  // the counter reaches 65535 (after face 21844); later faces keep the original corners.
  const int faces = 21850;
  Bytes f = U16(uint16_t(faces));
  const Bytes face = Cat({U16(0), U16(1), U16(2), U16(0)});
  for (int i = 0; i < faces; ++i) f.insert(f.end(), face.begin(), face.end());
  const Bytes file = MeshFile({Chunk(
      tag3ds::NAMED_OBJECT,
      {Str("tri"), Chunk(tag3ds::N_TRI_OBJECT,
                         {Chunk(tag3ds::POINT_ARRAY, {Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})}),
                          Chunk(tag3ds::FACE_ARRAY, {f})})})});
  TGLFreeForm ff;
  Load(ff, file);
  TGLMeshObject& mo = *ff.MeshObjects()[0];
  EXPECT_EQ(mo.Vertices().Count(), 65535);
  const TFGVertexIndexList& g = Group(ff, 0, 0);
  ASSERT_EQ(g.VertexIndices().Count(), faces * 3);
  EXPECT_EQ(g.VertexIndices()[21844 * 3 + 2], 65534);
  for (int i = 21845 * 3; i < faces * 3; i += 3) {
    ASSERT_EQ(g.VertexIndices()[i], 0);
    ASSERT_EQ(g.VertexIndices()[i + 2], 2);
  }
}

TEST(Import3DS, MaterialGroupsBecomeFaceGroups) {
  const Bytes file =
      MeshFile({Material("Red"), Material("Blue"),
                BoxObject("box", {MatGroup("red", {0, 1, 2}), MatGroup("Blue", {2})})});
  {
    TGLFreeForm ff;
    Load(ff, file);
    TGLMeshObject& mo = *ff.MeshObjects()[0];
    ASSERT_EQ(mo.FaceGroups().Count(), 2);
    EXPECT_EQ(Group(ff, 0, 0).VertexIndices().Count(), 9);
    EXPECT_EQ(Group(ff, 0, 1).VertexIndices().Count(), 3);  // face 2 drawn twice, 3..11 never
    EXPECT_EQ(mo.FaceGroups()[0]->MaterialName(), "");
    EXPECT_EQ(mo.TriangleCount(), 4);
  }
  {
    TGLMaterialLibrary lib;
    TGLFreeForm ff;
    ff.SetMaterialLibrary(&lib);
    Load(ff, file);
    EXPECT_EQ(ff.MeshObjects()[0]->FaceGroups()[0]->MaterialName(), "red");
    EXPECT_NE(lib.GetLibMaterialByName("Blue"), nullptr);
    ff.SetMaterialLibrary(nullptr);
  }
}

TEST(Import3DS, EveryMeshObjectGetsTheKeyframerSegmentsMorphTargets) {
  TGLFreeForm ff;
  Load(ff, MeshFile({BoxObject("a"), BoxObject("b")}));
  ASSERT_EQ(ff.MeshObjects().Count(), 2);
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(static_cast<TGLFile3DSMeshObject*>(ff.MeshObjects()[i])->MorphTargets().Count(), 31);
  EXPECT_EQ(ff.MeshObjects()[1]->Name(), "b");
}

TEST(Import3DS, LightsAndCamerasHangUnderTheFreeFormAndGoWithTheirMeshObjects) {
  using namespace tag3ds;
  const Bytes omni =
      Chunk(NAMED_OBJECT,
            {Str("Omni"), Chunk(N_DIRECT_LIGHT, {F32(1), F32(2), F32(3),
                                                 Chunk(COLOR_F, {F32(0.5f), F32(1), F32(0.25f)}),
                                                 Chunk(DL_MULTIPLIER, {F32(2)})})});
  const Bytes spot = Chunk(
      NAMED_OBJECT,
      {Str("Spot"),
       Chunk(N_DIRECT_LIGHT, {F32(0), F32(0), F32(10), Chunk(COLOR_F, {F32(1), F32(1), F32(1)}),
                              Chunk(DL_SPOTLIGHT, {F32(0), F32(0), F32(0), F32(20), F32(40)})})});
  const Bytes cam =
      Chunk(NAMED_OBJECT, {Str("Cam"), Chunk(N_CAMERA, {F32(0), F32(-10), F32(0), F32(0), F32(0),
                                                        F32(0), F32(5), F32(48)})});
  TGLFreeForm ff;
  Load(ff, MeshFile({BoxObject("box"), omni, spot, cam}));
  ASSERT_EQ(ff.MeshObjects().Count(), 4);
  auto* o = dynamic_cast<TGLFile3DSOmniLightObject*>(ff.MeshObjects()[1]);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->Name(), "Omni");
  EXPECT_EQ(o->LightSrc()->Parent(), &ff);
  EXPECT_EQ(o->LightSrc()->LightStyle(), TGLLightStyle::lsOmni);
  EXPECT_EQ(o->LightSrc()->Position().Y(), 2.0f);
  EXPECT_EQ(o->LightSrc()->Diffuse().Color().Y, 2.0f);  // colour times the multiplier
  EXPECT_EQ(o->LightSrc()->Specular().Color().Y, 1.0f);
  auto* s = dynamic_cast<TGLFile3DSSpotLightObject*>(ff.MeshObjects()[2]);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->LightSrc()->LightStyle(), TGLLightStyle::lsSpot);
  EXPECT_EQ(s->LightSrc()->SpotCutOff(), 20.0f);
  EXPECT_EQ(s->LightSrc()->FHotSpot, 10.0f);
  auto* c = dynamic_cast<TGLFile3DSCameraObject*>(ff.MeshObjects()[3]);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->CameraSrc()->TargetObject(), c->TargetObj());
  EXPECT_EQ(c->CameraSrc()->Position().Y(), -10.0f);
  EXPECT_EQ(ff.Count(), 4);  // two lights, the camera and its target
  ff.DeleteChildren();       // the tree may free them first
  Load(ff, MeshFile({omni}));
  EXPECT_EQ(ff.Count(), 1);
  Load(ff, MeshFile({BoxObject("box")}));
  EXPECT_EQ(ff.Count(), 0);
}

TEST(FreeForm, TheRegistryLooksTheExtensionUpLowerCased) {
  const Bytes file = MeshFile({BoxObject("box")});
  for (const char* name : {"Car_02.3ds", "CAR.3DS", "model.Prj", "dir.with.dots/m.3dS"}) {
    SCOPED_TRACE(name);
    TGLFreeForm ff;
    Load(ff, file, name);
    EXPECT_EQ(ff.MeshObjects().Count(), 1);
    EXPECT_EQ(ff.LastLoadedFilename(), name);
  }
  const std::pair<const char*, const char*> bad[] = {
      {"model.obj",
       "Unknown file extension (obj), maybe you forgot to add the support unit to your uses? "
       "(GLFileOBJ?)"},
      {"model",
       "Unknown file extension (), maybe you forgot to add the support unit to your uses? "
       "(GLFile?)"},
      {"dir.3ds/model",
       "Unknown file extension (), maybe you forgot to add the support unit to your uses? "
       "(GLFile?)"},
  };
  for (const auto& [name, message] : bad) {
    SCOPED_TRACE(name);
    TGLFreeForm ff;
    Load(ff, file);
    try {
      Load(ff, file, name);
      ADD_FAILURE() << "loaded";
    } catch (const EInvalidVectorFile& e) {
      EXPECT_STREQ(e.what(), message);
    }
    EXPECT_EQ(ff.MeshObjects().Count(), 0);
    EXPECT_EQ(ff.LastLoadedFilename(), "");
  }
  // A later registration of an extension wins.
  TGLVectorFileFormatsList list;
  Register3DSVectorFileFormats(list);
  list.Add("3DS", "other", {"TOther", nullptr, {"TGLVectorFile"}});
  EXPECT_EQ(list.FindFromFileName("a.3ds").ClassName, "TOther");
  list.Remove("TGLVectorFile");
  EXPECT_EQ(list.Count(), 0);
}

TEST(FreeForm, AnEmptyNameChangesNothingAndASecondLoadReplacesTheFirst) {
  TGLFreeForm ff;
  Load(ff, MeshFile({BoxObject("a"), BoxObject("b")}));
  ff.LoadFromFile("");
  EXPECT_EQ(ff.MeshObjects().Count(), 2);
  EXPECT_EQ(ff.LastLoadedFilename(), "");
  Load(ff, MeshFile({BoxObject("c")}));
  ASSERT_EQ(ff.MeshObjects().Count(), 1);
  EXPECT_EQ(ff.MeshObjects()[0]->Name(), "c");
}

TEST(FreeForm, DimensionsAreHalfTheExtentsAndCachedUntilAStructureChange) {
  TGLFreeForm ff;
  // No mesh objects: -1e30 everywhere, never cached.
  EXPECT_EQ(ff.AxisAlignedDimensionsUnscaled().X, -1e30f);
  EXPECT_EQ(ff.AxisAlignedDimensionsUnscaled().Z, -1e30f);
  Load(ff, MeshFile({BoxObject("box")}));
  TVector4f d = ff.AxisAlignedDimensionsUnscaled();
  EXPECT_EQ(d.X, 0.5f);
  EXPECT_EQ(d.Y, 0.5f);
  EXPECT_EQ(d.Z, 0.5f);
  EXPECT_EQ(ff.BarycenterOffset().X, 0.5f);
  ff.MeshObjects()[0]->Vertices().Scale({4, 2, 2});
  EXPECT_EQ(ff.AxisAlignedDimensionsUnscaled().X, 0.5f);  // cached
  ff.StructureChanged();
  d = ff.AxisAlignedDimensionsUnscaled();
  EXPECT_EQ(d.X, 2.0f);
  EXPECT_EQ(d.Y, 1.0f);
  TVector3f min, max;
  ff.GetExtents(min, max);
  EXPECT_EQ(max.X, 4.0f);
  EXPECT_EQ(min.Z, 0.0f);
}

struct BadCase {
  const char* what;
  Bytes file;
  const char* messagePart;
};

Bytes TriObject(Bytes points, Bytes faces) {
  return Chunk(tag3ds::NAMED_OBJECT, {Str("bad"), Chunk(tag3ds::N_TRI_OBJECT, {points, faces})});
}

TEST(Import3DS, MalformedContentEndsTheLoadAndLeavesTheFreeFormEmpty) {
  const Bytes good = MeshFile({BoxObject("box")});
  const Bytes tri = Chunk(tag3ds::POINT_ARRAY, {Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})});
  const BadCase cases[] = {
      {"face corner past the vertices",
       MeshFile(
           {BoxObject("first"),
            TriObject(tri, Chunk(tag3ds::FACE_ARRAY, {U16(1), U16(0), U16(1), U16(3), U16(0)}))}),
       "uses vertex 3, but the mesh has 3 vertices"},
      {"faces without vertices",
       MeshFile(
           {TriObject({}, Chunk(tag3ds::FACE_ARRAY, {U16(1), U16(0), U16(1), U16(2), U16(0)}))}),
       "but the mesh has 0 vertices"},
      {"material group face past the faces",
       MeshFile({Material("m"), BoxObject("box", {MatGroup("m", {12})})}),
       "lists face 12, but the mesh has 12 faces"},
      {"undefined material", MeshFile({BoxObject("box", {MatGroup("nowhere", {0})})}),
       "Material \"nowhere\""},
      {"face count beyond the payload",
       MeshFile(
           {TriObject(tri, Chunk(tag3ds::FACE_ARRAY, {U16(500), U16(0), U16(1), U16(2), U16(0)}))}),
       ""},
      {"truncated file", Bytes(good.begin(), good.begin() + long(good.size()) - 7), ""},
  };
  for (const BadCase& c : cases) {
    SCOPED_TRACE(c.what);
    TGLFreeForm ff;
    Load(ff, good);
    try {
      Load(ff, c.file, "broken.3ds");
      ADD_FAILURE() << "loaded";
    } catch (const Exception& e) {
      EXPECT_NE(std::string(e.what()).find(c.messagePart), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("broken.3ds"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ff.MeshObjects().Count(), 0);
    EXPECT_EQ(ff.Count(), 0) << "lights or cameras left behind";
    EXPECT_EQ(ff.LastLoadedFilename(), "");
  }
}

TEST(Import3DS, MissingTexturesFailUnlessIgnored) {
  const Bytes file = MeshFile(
      {Chunk(tag3ds::MAT_ENTRY, {Chunk(tag3ds::MAT_NAME, {Str("tex")}),
                                 Chunk(tag3ds::MAT_TEXMAP, {Chunk(tag3ds::MAT_MAPNAME,
                                                                  {Str("/nonexistent/no.bmp")})})}),
       BoxObject("box", {MatGroup("tex", {0})})});
  TGLMaterialLibrary lib;
  {
    TGLFreeForm ff;
    ff.SetMaterialLibrary(&lib);
    try {
      Load(ff, file);
      ADD_FAILURE() << "loaded";
    } catch (const EGLFile3DS& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Loading diffuse map texture failed: ", 0), 0u)
          << e.what();
    }
    EXPECT_EQ(ff.MeshObjects().Count(), 0);
    ff.SetMaterialLibrary(nullptr);
  }
  TGLMaterialLibrary lib2;
  TGLFreeForm ff;
  ff.SetMaterialLibrary(&lib2);
  ff.SetIgnoreMissingTextures(true);
  Load(ff, file);
  EXPECT_EQ(ff.MeshObjects().Count(), 1);
  ff.SetMaterialLibrary(nullptr);
}

}  // namespace
}  // namespace ukh
