// The 3DS reader on small files built in the test: the chunk tree, lazy decoding, the records
// and the error texts.
#include "engine/mesh/File3DS.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/mesh/Fixture3DS.h"

namespace ukh {
namespace {

using namespace test3ds;
using namespace tag3ds;

TEST(File3DSTree, HeadersFormThePreOrderTreeWithChildrenInFileOrder) {
  const Bytes file = MeshFile({BoxObject("Box")}, Chunk(KFDATA, {Chunk(KFCURTIME, {I32(4)})}));
  TFile3DS f;
  std::vector<std::pair<uint32_t, uint32_t>> progress;
  f.OnLoadProgress = [&](uint32_t pos, uint32_t size) { progress.emplace_back(pos, size); };
  Load(f, file);
  TDatabase3DS& db = f.Database();

  // M3DMAGIC(M3D_VERSION, MDATA(MESH_VERSION, NAMED_OBJECT(N_TRI_OBJECT(POINT_ARRAY,
  // FACE_ARRAY))), KFDATA(KFCURTIME))
  const std::vector<uint16_t> preorder = {M3DMAGIC,     M3D_VERSION,  MDATA,       MESH_VERSION,
                                          NAMED_OBJECT, N_TRI_OBJECT, POINT_ARRAY, FACE_ARRAY,
                                          KFDATA,       KFCURTIME};
  ASSERT_EQ(db.ChunkCount(), preorder.size());
  for (size_t i = 0; i < preorder.size(); ++i) EXPECT_EQ(db.Chunk(i).Tag, preorder[i]) << i;

  const TChunk3DS& top = db.Chunk(0);
  EXPECT_EQ(top.Position, 0u);
  EXPECT_EQ(top.Size, file.size());
  EXPECT_EQ(top.Children, 1u);
  EXPECT_EQ(db.Chunk(1).Sibling, 2u);  // M3D_VERSION -> MDATA
  EXPECT_EQ(db.Chunk(2).Sibling, 8u);  // MDATA -> KFDATA
  EXPECT_EQ(db.Chunk(8).Sibling, cNoChunk);
  EXPECT_EQ(db.Chunk(1).Position, 6u);
  EXPECT_EQ(db.Chunk(1).Size, 10u);
  EXPECT_EQ(db.Chunk(2).Position, 16u);
  EXPECT_EQ(db.Chunk(5).Children, 6u);  // N_TRI_OBJECT -> POINT_ARRAY
  EXPECT_EQ(db.Chunk(6).Sibling, 7u);
  EXPECT_EQ(db.Chunk(6).Children, cNoChunk);  // a point array has no children
  EXPECT_EQ(db.Chunk(4).End, 8u);             // the named object's subtree

  EXPECT_EQ(db.FindChunk(0, FACE_ARRAY), 7u);
  EXPECT_EQ(db.FindChunk(8, FACE_ARRAY), cNoChunk);  // not in the keyframer's subtree
  EXPECT_EQ(db.FindChild(0, KFDATA), 8u);
  EXPECT_EQ(db.FindChild(0, FACE_ARRAY), cNoChunk);  // not a direct child

  // Progress: the size first, then every child's position with size 0.
  ASSERT_EQ(progress.size(), preorder.size());
  EXPECT_EQ(progress[0], std::make_pair(0u, uint32_t(file.size())));
  for (size_t i = 1; i < preorder.size(); ++i)
    EXPECT_EQ(progress[i], std::make_pair(db.Chunk(i).Position, 0u));
  EXPECT_EQ(f.DatabaseType(), TDBType3DS::dbMeshFile);
  EXPECT_EQ(f.DatabaseRelease(), TReleaseLevel::rlRelease3);
  EXPECT_EQ(f.MeshRelease(), TReleaseLevel::rlRelease3);
}

TEST(File3DSTree, ExtendedDataKeepsOnlyApplicationChunks) {
  // Entry: APPNAME (kept), a chunk too long for the entry (stepped over by its header), then
  // STRING (kept), then a foreign tag that ends the entry, then a STRING that is skipped with it.
  const Bytes entry =
      Chunk(XDATA_ENTRY, {Chunk(XDATA_APPNAME, {Str("app")}),
                          ChunkWithLength(XDATA_STRING, 1000, {}), Chunk(XDATA_STRING, {Str("s")}),
                          Chunk(MAT_NAME, {Str("x")}), Chunk(XDATA_STRING, {Str("skipped")})});
  const Bytes file = MeshFile({Chunk(XDATA_SECTION, {entry})});
  TFile3DS f;
  Load(f, file);
  TDatabase3DS& db = f.Database();
  const TChunkIndex e = db.FindChunk(0, XDATA_ENTRY);
  ASSERT_NE(e, cNoChunk);
  std::vector<std::string> kept;
  for (TChunkIndex c = db.Chunk(e).Children; c != cNoChunk; c = db.Chunk(c).Sibling)
    kept.push_back(db.String(c));
  EXPECT_EQ(kept, (std::vector<std::string>{"app", "s"}));
}

TEST(File3DSLazy, LoadingDecodesNoPayloadAndARecordDecodesOnce) {
  const Bytes file =
      MeshFile({BoxObject("Box"),
                Chunk(MAT_ENTRY, {Chunk(MAT_NAME, {Str("M")}), Chunk(MAT_WIRESIZE, {F32(2)})})});
  TFile3DS f;
  Load(f, file);
  TDatabase3DS& db = f.Database();
  EXPECT_EQ(db.DecodeCount(), 0u);

  TMesh3DS* m = f.Objects().Mesh(0);
  ASSERT_NE(m, nullptr);
  const uint32_t afterMesh = db.DecodeCount();
  EXPECT_EQ(afterMesh, 3u);  // the name, the points, the faces
  EXPECT_EQ(f.Objects().Mesh(0), m);
  EXPECT_EQ(db.DecodeCount(), afterMesh);

  // The material list decodes the name; the record reuses it and decodes only the wire size.
  ASSERT_EQ(f.Materials().Count(), 1);
  EXPECT_EQ(db.DecodeCount(), afterMesh + 1);
  TMaterial3DS* mat = f.Materials().MaterialByName("m");
  ASSERT_NE(mat, nullptr);
  EXPECT_EQ(mat->WireSize, 2.0f);
  EXPECT_EQ(db.DecodeCount(), afterMesh + 2);
  EXPECT_EQ(f.Materials().Material(0), mat);
  EXPECT_EQ(db.DecodeCount(), afterMesh + 2);
}

TEST(File3DSLazy, ReloadReplacesEverything) {
  TFile3DS f;
  Load(f, MeshFile({BoxObject("A"), BoxObject("B")}));
  ASSERT_EQ(f.Objects().MeshCount(), 2);
  ASSERT_NE(f.Objects().Mesh(1), nullptr);
  Load(f, MeshFile({BoxObject("C")}));
  EXPECT_EQ(f.Objects().MeshCount(), 1);
  EXPECT_EQ(f.Objects().Mesh(0)->NameStr, "C");
  EXPECT_EQ(f.Objects().Mesh(1), nullptr);
  f.ClearLists();
  EXPECT_EQ(f.Objects().MeshCount(), 0);
  EXPECT_EQ(f.Objects().Mesh(0), nullptr);
}

TEST(File3DSLazy, LoadFromStreamReadsFromTheStart) {
  const Bytes file = MeshFile({BoxObject("Box")});
  std::stringstream s(std::string(file.begin(), file.end()));
  s.seekg(10);
  TFile3DS f;
  f.LoadFromStream(s);
  EXPECT_EQ(f.Objects().MeshCount(), 1);
  EXPECT_EQ(f.FileName(), "");
}

TEST(File3DSMesh, BoxHasItsVerticesAndFacesAndNoGroups) {
  TFile3DS f;
  Load(f, MeshFile({BoxObject("Box01")}));
  ASSERT_EQ(f.Objects().MeshCount(), 1);
  const TMesh3DS* m = f.Objects().Mesh(0);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->NameStr, "Box01");
  EXPECT_EQ(m->NVertices, 8);
  ASSERT_EQ(m->VertexArray.size(), 8u);
  EXPECT_EQ(m->VertexArray[6], (TPoint3DS{1, 1, 1}));
  EXPECT_EQ(m->NFaces, 12);
  ASSERT_EQ(m->FaceArray.size(), 12u);
  EXPECT_EQ(m->FaceArray[11], (TFace3DS{3, 4, 7, 7}));
  EXPECT_EQ(m->NMats, 0);
  EXPECT_TRUE(m->SmoothArray.empty());
  EXPECT_EQ(m->NTextVerts, 0);
  EXPECT_FALSE(m->UseMapInfo);
  EXPECT_EQ(f.Objects().OmniLightCount(), 0);
  EXPECT_EQ(f.Objects().CameraCount(), 0);
}

TEST(File3DSMesh, ChildrenOfTheMeshFillTheirFields) {
  const Bytes tri = Chunk(
      N_TRI_OBJECT,
      {Chunk(POINT_ARRAY, {Points({{9, 9, 9}})}),  // replaced by the later array
       BoxPointArray(), Chunk(POINT_FLAG_ARRAY, {U16(2), U16(5), U16(6)}),
       Chunk(TEX_VERTS, {U16(2), F32(0.25f), F32(0.5f), F32(1), F32(-1)}),
       Chunk(MESH_MATRIX, {F32(1), F32(0), F32(0), F32(0), F32(1), F32(0), F32(0), F32(0), F32(1),
                           F32(5), F32(6), F32(7)}),
       Chunk(MESH_COLOR, {U8(3)}), Chunk(PROC_NAME, {Str("proc")}),
       Chunk(PROC_DATA, {U8(1), U8(2), U8(3)}), Chunk(0x4999, {U8(0)}),  // unknown: ignored
       BoxFaces(
           {Chunk(MSH_MAT_GROUP, {Str("Red"), U16(2), U16(0), U16(11)}),
            Chunk(SMOOTH_GROUP, {U32(1), U32(2), U32(4), U32(0x80000000u)}),
            Chunk(MSH_MAT_GROUP, {Str("Blue"), U16(1), U16(5)}),
            Chunk(MSH_BOXMAP, {Str("a"), Str("b"), Str("c"), Str("d"), Str("e"), Str("f")})})});
  const Bytes obj = Chunk(NAMED_OBJECT, {Str("Mesh"), Chunk(OBJ_HIDDEN), Chunk(OBJ_FROZEN),
                                         Chunk(OBJ_PROCEDURAL), tri});
  TFile3DS f;
  Load(f, MeshFile({obj}));
  const TMesh3DS* m = f.Objects().Mesh(0);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->NVertices, 8);
  EXPECT_EQ(m->VFlagArray, (std::vector<uint16_t>{5, 6}));
  ASSERT_EQ(m->NTextVerts, 2);
  EXPECT_EQ(m->TextArray[1], (TTexVert3DS{1, -1}));
  EXPECT_EQ(m->LocMatrix[9], 5.0f);
  EXPECT_EQ(m->LocMatrix[11], 7.0f);
  EXPECT_EQ(m->MeshColor, 3);
  EXPECT_EQ(m->ProcNameStr, "proc");
  EXPECT_EQ(m->ProcData, (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(m->ProcSize, 3u);
  ASSERT_EQ(m->NMats, 2);
  EXPECT_EQ(m->MatArray[0].NameStr, "Red");
  EXPECT_EQ(m->MatArray[0].FaceIndex, (std::vector<uint16_t>{0, 11}));
  EXPECT_EQ(m->MatArray[1].NameStr, "Blue");
  EXPECT_EQ(m->MatArray[1].NFaces, 1);
  // 16 payload bytes give 4 masks.
  EXPECT_EQ(m->SmoothArray, (std::vector<uint32_t>{1, 2, 4, 0x80000000u}));
  EXPECT_TRUE(m->UseBoxMap);
  EXPECT_EQ(m->BoxMapStr[5], "f");
  EXPECT_TRUE(m->IsHidden);
  EXPECT_TRUE(m->IsFrozen);
  EXPECT_TRUE(m->UseProc);
  EXPECT_FALSE(m->IsMatte);
}

TEST(File3DSMesh, FaceCornersBeyondTheVerticesAreHandedOverUnchecked) {
  // The import rejects such meshes; the reader must only copy the numbers.
  const Bytes obj = Chunk(
      NAMED_OBJECT,
      {Str("Bad"),
       Chunk(N_TRI_OBJECT, {Chunk(POINT_ARRAY, {Points({{0, 0, 0}})}),
                            Chunk(FACE_ARRAY, {U16(1), U16(0), U16(500), U16(65535), U16(0)})})});
  TFile3DS f;
  Load(f, MeshFile({obj}));
  const TMesh3DS* m = f.Objects().Mesh(0);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->FaceArray[0], (TFace3DS{0, 500, 65535, 0}));
}

// ---- materials -----------------------------------------------------------------------------

Bytes Material(const std::string& name, std::initializer_list<Bytes> children) {
  return Chunk(MAT_ENTRY, {Chunk(MAT_NAME, {Str(name)}), Cat(children)});
}

TEST(File3DSMaterial, ColourTakesTheLastOfTheThreeKinds) {
  const Bytes c24 = Chunk(COLOR_24, {U8(255), U8(0), U8(51)});
  const Bytes cf = Chunk(COLOR_F, {F32(0.5f), F32(0.25f), F32(0.125f)});
  const Bytes lin = Chunk(LIN_COLOR_24, {U8(0), U8(255), U8(0)});
  const Bytes linf = Chunk(LIN_COLOR_F, {F32(9), F32(9), F32(9)});
  struct Case {
    const char* what;
    Bytes children;
    TFColor3DS expected;
  } cases[] = {
      {"24 only", Cat({c24}), {1, 0, 0.2f}},
      {"24 and float", Cat({c24, cf}), {0.5f, 0.25f, 0.125f}},
      {"float before 24", Cat({cf, c24}), {0.5f, 0.25f, 0.125f}},
      {"all three", Cat({lin, c24, cf}), {0, 1, 0}},
      {"linear float is not read", Cat({linf}), {0, 0, 0}},
  };
  for (const Case& c : cases) {
    TFile3DS f;
    Load(f, MeshFile({Material("M", {Chunk(MAT_DIFFUSE, {c.children})})}));
    const TMaterial3DS* m = f.Materials().Material(0);
    ASSERT_NE(m, nullptr) << c.what;
    EXPECT_EQ(m->Diffuse, c.expected) << c.what;
    EXPECT_EQ(m->Ambient, (TFColor3DS{})) << c.what;
  }
}

TEST(File3DSMaterial, PercentagesAndFlags) {
  TFile3DS f;
  Load(f,
       MeshFile({Material("M", {Chunk(MAT_SHININESS, {Chunk(INT_PERCENTAGE, {I16(40)})}),
                                Chunk(MAT_SHIN2PCT, {Chunk(FLOAT_PERCENTAGE, {F32(40)})}),
                                Chunk(MAT_TRANSPARENCY, {Chunk(INT_PERCENTAGE, {I16(25)})}),
                                Chunk(MAT_XPFALLIN), Chunk(MAT_SELF_ILPCT), Chunk(MAT_TWO_SIDE),
                                Chunk(MAT_SHIN3PCT, {Chunk(INT_PERCENTAGE, {I16(1)})}),
                                Chunk(MAT_DECAL), Chunk(XDATA_SECTION), Chunk(MAT_USE_REFBLUR),
                                Chunk(MAT_WIRE), Chunk(MAT_WIRESIZE, {F32(3)}),
                                Chunk(MAT_ACUBIC, {U8(0), U8(0), U16(0x11), U32(64), U32(5)})})}));
  const TMaterial3DS* m = f.Materials().Material(0);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->NameStr, "M");
  EXPECT_EQ(m->Shininess, 0.4f);
  EXPECT_EQ(m->ShinStrength, 40.0f);
  EXPECT_EQ(m->Transparency, -0.25f);
  EXPECT_EQ(m->SelfIllumPct, 0.0f);  // no percentage inside
  EXPECT_TRUE(m->TwoSided);
  EXPECT_TRUE(m->UseBlur);
  EXPECT_FALSE(m->UseFall);
  EXPECT_EQ(m->Shading, TShadeType3DS::stWire);
  EXPECT_EQ(m->WireSize, 3.0f);
  EXPECT_TRUE(m->Reflect.UseAuto);
  EXPECT_TRUE(m->Reflect.AutoMap.FirstFrame);
  EXPECT_TRUE(m->Reflect.AutoMap.Flat);
  EXPECT_EQ(m->Reflect.AutoMap.Size, 64);
  EXPECT_EQ(m->Reflect.AutoMap.nthFrame, 5);
}

TEST(File3DSMaterial, DefaultsBeforeReading) {
  TFile3DS f;
  Load(f, MeshFile({Material("M", {})}));
  const TMaterial3DS* m = f.Materials().Material(0);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->WireSize, 1.0f);
  EXPECT_EQ(m->Shading, TShadeType3DS::stPhong);
  EXPECT_EQ(m->Reflect.AutoMap.Size, 100);
  EXPECT_EQ(m->Reflect.AutoMap.nthFrame, 1);
  for (const TBitmap3DS* b : {&m->Texture.Map, &m->Bump.Mask, &m->Reflect.Map, &m->Reflect.Mask}) {
    EXPECT_EQ(b->UScale, 1.0f);
    EXPECT_EQ(b->VScale, 1.0f);
    EXPECT_EQ(b->Tint2, (TFColor3DS{1, 1, 1}));
    EXPECT_EQ(b->RedTint, (TFColor3DS{1, 0, 0}));
    EXPECT_EQ(b->GreenTint, (TFColor3DS{0, 1, 0}));
    EXPECT_EQ(b->BlueTint, (TFColor3DS{0, 0, 1}));
  }
}

TEST(File3DSMaterial, MapsTakeTheirSettings) {
  const Bytes tex = Chunk(
      MAT_TEXMAP, {Chunk(INT_PERCENTAGE, {I16(50)}), Chunk(MAT_MAPNAME, {Str("wood.bmp")}),
                   Chunk(MAT_MAP_USCALE, {F32(2)}), Chunk(MAT_MAP_VOFFSET, {F32(0.5f)}),
                   Chunk(MAT_MAP_ANG, {F32(90)}), Chunk(MAT_MAP_COL1, {U8(255), U8(0), U8(0)}),
                   Chunk(0xA3FF, {U8(1)})});  // unknown inside a map: ignored
  const Bytes bump = Chunk(
      MAT_BUMPMAP, {Chunk(FLOAT_PERCENTAGE, {F32(0.7f)}), Chunk(MAT_MAPNAME, {Str("bump.bmp")}),
                    Chunk(MAT_BUMP_PERCENT, {I16(30)})});
  const Bytes mask = Chunk(MAT_OPACMASK, {Chunk(MAT_MAPNAME, {Str("mask.bmp")})});
  const Bytes data = Chunk(MAT_SXP_TEXT_DATA, {U8(7), U8(8)});
  TFile3DS f;
  Load(f, MeshFile({Material("M", {tex, bump, mask, data})}));
  const TMaterial3DS* m = f.Materials().Material(0);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->Texture.Map.NameStr, "wood.bmp");
  EXPECT_EQ(m->Texture.Map.Percent, 0.5f);
  EXPECT_EQ(m->Texture.Map.UScale, 2.0f);
  EXPECT_EQ(m->Texture.Map.VScale, 1.0f);
  EXPECT_EQ(m->Texture.Map.VOffset, 0.5f);
  EXPECT_EQ(m->Texture.Map.Rotation, 90.0f);
  EXPECT_EQ(m->Texture.Map.Tint1, (TFColor3DS{1, 0, 0}));
  EXPECT_EQ(m->Texture.Map.Data, (std::vector<uint8_t>{7, 8}));
  EXPECT_EQ(m->Texture.Map.DataSize, 2u);
  EXPECT_EQ(m->Bump.Map.NameStr, "bump.bmp");
  EXPECT_EQ(m->Bump.Map.Percent, 0.3f);
  EXPECT_EQ(m->Opacity.Mask.NameStr, "mask.bmp");
  EXPECT_EQ(m->Opacity.Map.NameStr, "");
}

TEST(File3DSMaterial, TilingFlags) {
  struct Case {
    uint16_t flags;
    TTileType3DS tiling;
    TTintType3DS source;
    bool ignoreAlpha, summed, mirror, negative;
  } cases[] = {
      {0x0000, TTileType3DS::ttTile, TTintType3DS::ttRGB, false, false, false, false},
      {0x0011, TTileType3DS::ttDecal, TTintType3DS::ttRGB, false, false, false, false},
      {0x0001, TTileType3DS::ttBoth, TTintType3DS::ttRGB, false, false, false, false},
      {0x00C0, TTileType3DS::ttTile, TTintType3DS::ttAlphaTint, false, false, false, false},
      {0x0080, TTileType3DS::ttTile, TTintType3DS::ttRGBLumaTint, false, false, false, false},
      {0x0240, TTileType3DS::ttTile, TTintType3DS::ttRGBTint, false, false, false, false},
      {0x0040, TTileType3DS::ttTile, TTintType3DS::ttAlpha, false, false, false, false},
      {0x012A, TTileType3DS::ttTile, TTintType3DS::ttRGB, true, true, true, true},
  };
  for (const Case& c : cases) {
    TFile3DS f;
    Load(f,
         MeshFile({Material("M", {Chunk(MAT_REFLMAP, {Chunk(MAT_MAP_TILING, {U16(c.flags)})})})}));
    const TBitmap3DS& b = f.Materials().Material(0)->Reflect.Map;
    EXPECT_EQ(b.Tiling, c.tiling) << std::hex << c.flags;
    EXPECT_EQ(b.Source, c.source) << std::hex << c.flags;
    EXPECT_EQ(b.IgnoreAlpha, c.ignoreAlpha) << std::hex << c.flags;
    EXPECT_EQ(b.Filter == TFilterType3DS::ftSummedArea, c.summed) << std::hex << c.flags;
    EXPECT_EQ(b.Mirror, c.mirror) << std::hex << c.flags;
    EXPECT_EQ(b.Negative, c.negative) << std::hex << c.flags;
  }
}

TEST(File3DSMaterial, ByNameIgnoresLetterCaseAndTakesTheFirst) {
  TFile3DS f;
  Load(f, MeshFile({Material("Red", {Chunk(MAT_WIRESIZE, {F32(1)})}),
                    Material("rED", {Chunk(MAT_WIRESIZE, {F32(2)})})}));
  for (const char* name : {"Red", "rED", "RED"}) {
    const TMaterial3DS* m = f.Materials().MaterialByName(name);
    ASSERT_NE(m, nullptr) << name;
    EXPECT_EQ(m->NameStr, "Red") << name;
  }
  EXPECT_EQ(f.Materials().MaterialByName("Re"), nullptr);
}

TEST(File3DSMaterial, UnexpectedChildFailsOnlyThatMaterialWhenRead) {
  TFile3DS f;
  Load(f, MeshFile({Material("Good", {}), Material("Bad", {Chunk(MAT_SUPERSMP)})}));
  ASSERT_EQ(f.Materials().Count(), 2);
  EXPECT_NE(f.Materials().Material(0), nullptr);
  try {
    f.Materials().Material(1);
    FAIL() << "no error";
  } catch (const E3DSError& e) {
    EXPECT_STREQ(e.what(),
                 "An invalid Chunk structure was encountered while reading\rthe database. "
                 "Usually caused by a corrupt database or file.");
  }
  EXPECT_NE(f.Materials().MaterialByName("good"), nullptr);
  EXPECT_THROW(f.Materials().MaterialByName("bad"), E3DSError);

  // A lookup reads the materials in order up to the match, as the import relies on: a broken
  // entry before the name, or anywhere when the name is missing, fails it.
  TFile3DS g;
  Load(g, MeshFile({Material("Bad", {Chunk(MAT_SUPERSMP)}), Material("Late", {})}));
  EXPECT_THROW(g.Materials().MaterialByName("late"), E3DSError);
  EXPECT_THROW(g.Materials().MaterialByName("missing"), E3DSError);
  TFile3DS h;
  Load(h, MeshFile({Material("Early", {}), Material("Bad", {Chunk(MAT_SUPERSMP)})}));
  EXPECT_NE(h.Materials().MaterialByName("EARLY"), nullptr);
  EXPECT_THROW(h.Materials().MaterialByName("missing"), E3DSError);
}

TEST(File3DSMaterial, MaterialLibraryFileHasMaterials) {
  TFile3DS f;
  Load(f, Chunk(MLIBMAGIC, {Material("Lib", {})}));
  EXPECT_EQ(f.DatabaseType(), TDBType3DS::dbMaterialFile);
  ASSERT_EQ(f.Materials().Count(), 1);
  EXPECT_EQ(f.Materials().Material(0)->NameStr, "Lib");
}

// ---- lights and cameras ----------------------------------------------------------------------

TEST(File3DSLights, OmniSpotAndCameraRecords) {
  const Bytes omni = Chunk(
      NAMED_OBJECT,
      {Str("Omni"),
       Chunk(N_DIRECT_LIGHT, {F32(1), F32(2), F32(3), Chunk(COLOR_24, {U8(0), U8(255), U8(0)}),
                              Chunk(DL_OFF), Chunk(DL_MULTIPLIER, {F32(2)}),
                              Chunk(DL_OUTER_RANGE, {F32(9)}), Chunk(DL_EXCLUDE, {Str("Box")})})});
  const Bytes spot = Chunk(
      NAMED_OBJECT,
      {Str("Spot"), Chunk(N_DIRECT_LIGHT,
                          {F32(0), F32(0), F32(10), Chunk(COLOR_F, {F32(1), F32(0.5f), F32(0)}),
                           Chunk(DL_SPOTLIGHT, {F32(0), F32(0), F32(0), F32(20), F32(40),
                                                Chunk(DL_SPOT_ROLL, {F32(15)}), Chunk(DL_SHADOWED),
                                                Chunk(DL_LOCAL_SHADOW2, {F32(1), F32(2), I16(512)}),
                                                Chunk(DL_SPOT_PROJECTOR, {Str("p.bmp")})})})});
  const Bytes cam = Chunk(
      NAMED_OBJECT, {Str("Cam"), Chunk(N_CAMERA, {F32(0), F32(-10), F32(0), F32(0), F32(0), F32(0),
                                                  F32(5), F32(48), Chunk(CAM_SEE_CONE),
                                                  Chunk(CAM_RANGES, {F32(1), F32(100)})})});
  TFile3DS f;
  Load(f, MeshFile({omni, spot, cam}));
  ASSERT_EQ(f.Objects().OmniLightCount(), 1);
  ASSERT_EQ(f.Objects().SpotLightCount(), 1);
  ASSERT_EQ(f.Objects().CameraCount(), 1);
  EXPECT_EQ(f.Objects().MeshCount(), 0);

  const TLight3DS* o = f.Objects().OmniLight(0);
  EXPECT_EQ(o->NameStr, "Omni");
  EXPECT_EQ(o->Pos, (TPoint3DS{1, 2, 3}));
  EXPECT_EQ(o->Color, (TFColor3DS{0, 1, 0}));
  EXPECT_TRUE(o->DLOff);
  EXPECT_EQ(o->Multiplier, 2.0f);
  EXPECT_EQ(o->Attenuation.Outer, 9.0f);
  EXPECT_EQ(o->Exclude, std::vector<std::string>{"Box"});
  EXPECT_EQ(o->Spot, nullptr);

  const TLight3DS* s = f.Objects().SpotLight(0);
  EXPECT_EQ(s->NameStr, "Spot");
  EXPECT_EQ(s->Color, (TFColor3DS{1, 0.5f, 0}));
  ASSERT_NE(s->Spot, nullptr);
  EXPECT_EQ(s->Spot->Hotspot, 20.0f);
  EXPECT_EQ(s->Spot->FallOff, 40.0f);
  EXPECT_EQ(s->Spot->Roll, 15.0f);
  EXPECT_TRUE(s->Spot->Shadows.Cast);
  EXPECT_EQ(s->Spot->Shadows.MapSize, 512);
  EXPECT_EQ(s->Spot->Projector.BitmapStr, "p.bmp");

  const TCamera3DS* c = f.Objects().Camera(0);
  EXPECT_EQ(c->NameStr, "Cam");
  EXPECT_EQ(c->Position, (TPoint3DS{0, -10, 0}));
  EXPECT_EQ(c->Roll, 5.0f);
  EXPECT_EQ(c->FOV, 50.0f);  // 2400 / 48
  EXPECT_TRUE(c->ShowCone);
  EXPECT_EQ(c->Ranges.CamFar, 100.0f);
}

// ---- keyframer -------------------------------------------------------------------------------

Bytes Node(uint16_t tag, const std::string& name, int16_t id, int16_t parent,
           std::initializer_list<Bytes> more = {}) {
  return Chunk(tag, {id >= 0 ? Chunk(NODE_ID, {I16(id)}) : Bytes{},
                     Chunk(NODE_HDR, {Str(name), U16(0x4000), U16(0), I16(parent)}), Cat(more)});
}

Bytes PosTrack(std::initializer_list<std::pair<int32_t, TPoint3DS>> keys, uint16_t keyFlags = 0) {
  Bytes b = Cat({U16(0), U32(0), U32(0), U32(uint32_t(keys.size()))});
  for (const auto& [t, p] : keys) {
    b = Cat({b, I32(t), U16(keyFlags)});
    for (int bit = 0; bit < 5; ++bit)
      if (keyFlags & (1 << bit)) b = Cat({b, F32(float(bit + 1) / 10)});
    b = Cat({b, F32(p.X), F32(p.Y), F32(p.Z)});
  }
  return Chunk(POS_TRACK_TAG, {b});
}

TEST(File3DSKeyFramer, SettingsDefaultsAndValues) {
  TFile3DS f;
  Load(f, MeshFile({BoxObject("Box")}));
  const TKFSets3DS& d = f.KeyFramer().Settings();
  EXPECT_EQ(d.Anim.Length, 30);
  EXPECT_EQ(d.Anim.CurFrame, 0);
  EXPECT_FALSE(d.Seg.Use);
  EXPECT_EQ(d.Seg.SegBegin, 0);
  EXPECT_EQ(d.Seg.SegEnd, 30);
  EXPECT_EQ(f.KeyFramer().MeshMotionCount(), 0);
  EXPECT_EQ(f.KeyFramer().MeshMotion(0), nullptr);

  Load(f, MeshFile({},
                   Chunk(KFDATA, {Chunk(KFHDR, {I16(5), Str("scene"), I32(100)}),
                                  Chunk(KFSEG, {I32(10), I32(20)}), Chunk(KFCURTIME, {I32(15)})})));
  const TKFSets3DS& s = f.KeyFramer().Settings();
  EXPECT_EQ(s.Anim.Length, 100);
  EXPECT_EQ(s.Anim.CurFrame, 15);
  EXPECT_TRUE(s.Seg.Use);
  EXPECT_EQ(s.Seg.SegBegin, 10);
  EXPECT_EQ(s.Seg.SegEnd, 20);
}

TEST(File3DSKeyFramer, MeshMotionWithParentInstanceAndTracks) {
  const Bytes kf = Chunk(
      KFDATA,
      {Node(OBJECT_NODE_TAG, "Body", 0, -1, {Chunk(INSTANCE_NAME, {Str("i1")})}),
       Node(OBJECT_NODE_TAG, "Wheel", 1, 0,
            {Chunk(PIVOT, {F32(1), F32(2), F32(3)}),
             Chunk(BOUNDBOX, {F32(-1), F32(-1), F32(-1), F32(1), F32(1), F32(1)}),
             Chunk(MORPH_SMOOTH, {F32(30)}), PosTrack({{0, {1, 2, 3}}, {10, {4, 5, 6}}}, 0x1F),
             Chunk(ROT_TRACK_TAG, {U16(0), U32(0), U32(0), U32(1), I32(0), U16(0), F32(1), F32(0),
                                   F32(0), F32(1)}),
             Chunk(MORPH_TRACK_TAG, {U16(0), U32(0), U32(0), U32(1), I32(3), U16(0), Str("m")}),
             Chunk(HIDE_TRACK_TAG,
                   {U16(0), U32(0), U32(0), U32(2), I32(1), U16(0), I32(2), U16(0)})}),
       Node(CAMERA_NODE_TAG, "Cam", 2, -1, {PosTrack({{0, {7, 8, 9}}})}),
       Node(TARGET_NODE_TAG, "Cam", 3, -1, {PosTrack({{0, {0, 0, 1}}})}),
       Node(LIGHT_NODE_TAG, "Omni", 4, 1, {PosTrack({{0, {1, 1, 1}}})}),
       Chunk(AMBIENT_NODE_TAG, {Chunk(NODE_HDR, {Str("$AMBIENT$"), U16(0), U16(0), I16(-1)}),
                                Chunk(COL_TRACK_TAG, {U16(0), U32(0), U32(0), U32(1), I32(0),
                                                      U16(0), F32(0.1f), F32(0.2f), F32(0.3f)})})});
  TFile3DS f;
  Load(f, MeshFile({}, kf));
  TKeyFramer& k = f.KeyFramer();
  ASSERT_EQ(k.MeshMotionCount(), 2);
  EXPECT_EQ(k.CameraMotionCount(), 1);
  EXPECT_EQ(k.OmniLightMotionCount(), 1);
  EXPECT_EQ(k.SpotLightMotionCount(), 0);

  const TKFMesh3DS* body = k.MeshMotion(0);
  EXPECT_EQ(body->NameStr, "Body.i1");
  EXPECT_EQ(body->InstanceStr, "i1");
  EXPECT_EQ(body->ParentStr, "");
  EXPECT_EQ(body->NPKeys, 0u);

  const TKFMesh3DS* w = k.MeshMotion(1);
  EXPECT_EQ(w->NameStr, "Wheel");
  EXPECT_EQ(w->ParentStr, "Body.i1");
  EXPECT_EQ(w->Flags1, 0x4000);
  EXPECT_EQ(w->Pivot, (TPoint3DS{1, 2, 3}));
  EXPECT_EQ(w->BoundMax, (TPoint3DS{1, 1, 1}));
  EXPECT_EQ(w->MSAngle, 30.0f);
  ASSERT_EQ(w->NPKeys, 2u);
  EXPECT_EQ(w->PKeys[1].Time, 10);
  EXPECT_EQ(w->PKeys[1].Tension, 0.1f);
  EXPECT_EQ(w->PKeys[1].EaseFrom, 0.5f);
  EXPECT_EQ(w->Pos[1], (TPoint3DS{4, 5, 6}));
  ASSERT_EQ(w->NRKeys, 1u);
  EXPECT_EQ(w->Rot[0].Angle, 1.0f);
  EXPECT_EQ(w->Rot[0].Z, 1.0f);
  EXPECT_EQ(w->Morph, std::vector<std::string>{"m"});
  EXPECT_EQ(w->NHKeys, 2u);
  EXPECT_EQ(w->HKeys[1].Time, 2);
  EXPECT_EQ(w->NSKeys, 0u);

  const TKFCamera3DS* c = k.CameraMotion(0);
  EXPECT_EQ(c->Pos[0], (TPoint3DS{7, 8, 9}));
  ASSERT_EQ(c->NTKeys, 1u);
  EXPECT_EQ(c->TPos[0], (TPoint3DS{0, 0, 1}));

  EXPECT_EQ(k.OmniLightMotion(0)->ParentStr, "Wheel");
  ASSERT_NE(k.AmbientLightMotion(), nullptr);
  EXPECT_EQ(k.AmbientLightMotion()->Color[0], (TFColor3DS{0.1f, 0.2f, 0.3f}));
}

TEST(File3DSKeyFramer, NodesWithoutIdsAreNumberedInOrder) {
  // With an ID missing all nodes are renumbered 0, 1, 2; "Child" names parent index 0.
  const Bytes kf =
      Chunk(KFDATA, {Node(OBJECT_NODE_TAG, "Root", -1, -1), Node(OBJECT_NODE_TAG, "Other", 7, -1),
                     Node(OBJECT_NODE_TAG, "Child", 2, 0)});
  TFile3DS f;
  Load(f, MeshFile({}, kf));
  ASSERT_EQ(f.KeyFramer().MeshMotionCount(), 3);
  EXPECT_EQ(f.KeyFramer().MeshMotion(2)->ParentStr, "Root");
  EXPECT_EQ(f.KeyFramer().MeshMotion(1)->ParentStr, "");
}

TEST(File3DSKeyFramer, NodeWithoutHeaderIsRejected) {
  TFile3DS f;
  Load(f, MeshFile({}, Chunk(KFDATA, {Chunk(OBJECT_NODE_TAG, {Chunk(NODE_ID, {I16(0)})})})));
  ASSERT_EQ(f.KeyFramer().MeshMotionCount(), 1);
  EXPECT_THROW(f.KeyFramer().MeshMotion(0), E3DSError);
}

// ---- error texts ----------------------------------------------------------------------------

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const E3DSError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(File3DSErrors, FixedTexts) {
  const std::string wrongKind =
      "The database passed as an argument is the wrong kind of\rdatabase for this function.";
  const std::string wrongObject =
      "The Name passed to the functions exists but is not the type of object asked for.\r"
      "For example asking for a mesh object with the GetCameraByName3DS function.";
  const std::string invalid =
      "An invalid Chunk structure was encountered while reading\rthe database. Usually caused "
      "by a corrupt database or file.";
  {
    TFile3DS f;
    EXPECT_EQ(ErrorOf([&] { f.KeyFramer().Settings(); }),
              "The database passed as an argument has not be created yet.");
    EXPECT_EQ(f.Objects().MeshCount(), 0);
  }
  {  // a mesh in a material library
    TFile3DS f;
    Load(f, Chunk(MLIBMAGIC, {Chunk(MDATA, {BoxObject("Box")})}));
    ASSERT_EQ(f.Objects().MeshCount(), 1);
    EXPECT_EQ(ErrorOf([&] { f.Objects().Mesh(0); }), wrongKind);
    EXPECT_EQ(ErrorOf([&] { f.KeyFramer().Settings(); }), wrongKind);
  }
  {  // counted as a mesh, but the triangle object is not a direct child
    TFile3DS f;
    Load(f, MeshFile({Chunk(NAMED_OBJECT, {Str("Deep"), Chunk(0x4999, {}),
                                           Chunk(SMAGIC, {Chunk(N_TRI_OBJECT)})})}));
    ASSERT_EQ(f.Objects().MeshCount(), 1);
    EXPECT_EQ(ErrorOf([&] { f.Objects().Mesh(0); }), wrongObject);
  }
  {  // a material entry without a name
    TFile3DS f;
    Load(f, MeshFile({Chunk(MAT_ENTRY, {Chunk(MAT_WIRESIZE, {F32(1)})})}));
    ASSERT_EQ(f.Materials().Count(), 1);
    EXPECT_EQ(ErrorOf([&] { f.Materials().Material(0); }), invalid);
  }
}

TEST(File3DSErrors, OtherTopTagsLoadEmpty) {
  for (uint16_t top : {uint16_t(0x0000), uint16_t(0x2D2D), uint16_t(0x3D3D), uint16_t(0xFFFF)}) {
    TFile3DS f;
    // The length may even be wrong: nothing below the top is read.
    Load(f, ChunkWithLength(top, 99999, {BoxObject("Box")}));
    EXPECT_EQ(f.DatabaseType(), TDBType3DS::dbUnknown);
    EXPECT_EQ(f.Objects().MeshCount(), 0);
    EXPECT_EQ(f.Materials().Count(), 0);
    EXPECT_EQ(f.KeyFramer().MeshMotionCount(), 0);
    EXPECT_EQ(f.Objects().Mesh(0), nullptr);
    EXPECT_THROW(f.KeyFramer().Settings(), E3DSError);
  }
}

}  // namespace
}  // namespace ukh
