// Malformed 3DS input: every broken structure ends with an error that names the file, the
// chunk and its offset, and never with a crash, a hang or a read past the data.
#include <gtest/gtest.h>

#include <functional>

#include "engine/mesh/File3DS.h"
#include "tests/mesh/Fixture3DS.h"

namespace ukh {
namespace {

using namespace test3ds;
using namespace tag3ds;

enum class Stage { Load, Mesh, Material, Motion };

struct Case {
  const char* what;
  Bytes file;
  Stage stage;
  std::string expected;  // a part of the message
};

// Offsets: M3DMAGIC header 0..5, M3D_VERSION 6..15, MDATA header at 16, MESH_VERSION 22..31,
// so the first chunk of MeshFile's MDATA starts at 32.
std::vector<Case> Cases() {
  const Bytes obj = BoxObject("Box");
  const Bytes whole = MeshFile({obj});
  return {
      {"empty file", {}, Stage::Load, "3DS file \"bad.3ds\" is 0 bytes long"},
      {"short header", {0x4D, 0x4D, 6, 0, 0}, Stage::Load, "is 5 bytes long"},
      {"truncated file", Bytes(whole.begin(), whole.end() - 9), Stage::Load,
       "chunk 0x4D4D at offset 0 runs past the end of the file"},
      {"zero-length top", ChunkWithLength(M3DMAGIC, 0, {Chunk(MDATA)}), Stage::Load,
       "chunk 0x4D4D at offset 0 has a length of 0"},
      {"zero-length child", MeshFile({ChunkWithLength(NAMED_OBJECT, 0, {Str("x")})}), Stage::Load,
       "chunk 0x4000 at offset 32 has a length of 0"},
      {"child shorter than a header", MeshFile({ChunkWithLength(0x4999, 5, {U8(0), U8(0)})}),
       Stage::Load, "chunk 0x4999 at offset 32 has a length of 5"},
      {"child past its parent", MeshFile({ChunkWithLength(NAMED_OBJECT, 500, {Str("x")})}),
       Stage::Load, "chunk 0x4000 at offset 32 runs past the end of its parent"},
      {"self-nesting", MeshFile({ChunkWithLength(MDATA, 6, {}), ChunkWithLength(MDATA, 22, {})}),
       Stage::Load, "chunk 0x3D3D at offset 38 runs past the end of its parent"},
      {"stray bytes at the end of a parent", MeshFile({obj, U8(1), U8(2), U8(3)}), Stage::Load,
       "chunk 0x3D3D at offset 16 ends with 3 bytes"},
      {"unterminated name", MeshFile({Chunk(NAMED_OBJECT, {U8('a'), U8('b')})}), Stage::Load,
       "chunk 0x4000 at offset 32 holds a string without its ending zero"},
      {"face count past the chunk",
       MeshFile({Chunk(NAMED_OBJECT,
                       {Str("x"), Chunk(N_TRI_OBJECT, {Chunk(FACE_ARRAY, {U16(100), U16(0)})})})}),
       Stage::Load, "chunk 0x4120 at offset 46 is shorter than its fields"},
      {"colour too short", MeshFile({Chunk(MAT_ENTRY, {Chunk(COLOR_F, {F32(1)})})}), Stage::Load,
       "chunk 0x0010 at offset 38 is shorter than its fields"},
      {"node header too short",
       MeshFile({}, Chunk(KFDATA, {Chunk(OBJECT_NODE_TAG, {Chunk(NODE_HDR, {Str("n"), U16(0)})})})),
       Stage::Load, "chunk 0xB010 at offset 44 is shorter than its fields"},
      {"point count past the chunk",
       MeshFile(
           {Chunk(NAMED_OBJECT,
                  {Str("x"), Chunk(N_TRI_OBJECT, {Chunk(POINT_ARRAY, {U16(65535), F32(1)})})})}),
       Stage::Mesh, "chunk 0x4110 at offset 46 holds a count larger than its data"},
      {"texture count past the chunk",
       MeshFile({Chunk(NAMED_OBJECT,
                       {Str("x"), Chunk(N_TRI_OBJECT, {Chunk(TEX_VERTS, {U16(3), F32(1)})})})}),
       Stage::Mesh, "chunk 0x4140 at offset 46 holds a count larger than its data"},
      {"material group count past the chunk",
       MeshFile({BoxObject("x", {Chunk(MSH_MAT_GROUP, {Str("m"), U16(9), U16(0)})})}), Stage::Mesh,
       "chunk 0x4130 at offset 254 holds a count larger than its data"},
      {"material group name unterminated",
       MeshFile({BoxObject("x", {Chunk(MSH_MAT_GROUP, {U8('m')})})}), Stage::Mesh,
       "chunk 0x4130 at offset 254 holds a string without its ending zero"},
      {"key count past the track",
       MeshFile({}, Chunk(KFDATA, {Chunk(OBJECT_NODE_TAG,
                                         {Chunk(NODE_HDR, {Str("n"), U16(0), U16(0), I16(-1)}),
                                          Chunk(POS_TRACK_TAG, {U16(0), U32(0), U32(0),
                                                                U32(0xFFFFFFFFu), I32(0)})})})),
       Stage::Motion, "chunk 0xB020 at offset 58 holds a key count larger than its data"},
      {"key value cut short",
       MeshFile({},
                Chunk(KFDATA, {Chunk(OBJECT_NODE_TAG,
                                     {Chunk(NODE_HDR, {Str("n"), U16(0), U16(0), I16(-1)}),
                                      Chunk(ROT_TRACK_TAG,
                                            {U16(0), U32(0), U32(0), U32(1), I32(0), U16(0x1F),
                                             F32(1), F32(1), F32(1), F32(1), F32(1), F32(1)})})})),
       Stage::Motion, "chunk 0xB021 at offset 58 is shorter than its fields"},
      {"map name unterminated",
       MeshFile({Chunk(MAT_ENTRY, {Chunk(MAT_NAME, {Str("m")}),
                                   Chunk(MAT_TEXMAP, {Chunk(MAT_MAPNAME, {U8('a')})})})}),
       Stage::Load, "chunk 0xA300 at offset 52 holds a string without its ending zero"},
  };
}

TEST(File3DSMalformed, EachEndsWithAnErrorNamingFileChunkAndOffset) {
  for (const Case& c : Cases()) {
    TFile3DS f;
    std::string message = "(no error)";
    try {
      Load(f, c.file, "bad.3ds");
      switch (c.stage) {
        case Stage::Load:
          break;
        case Stage::Mesh:
          f.Objects().Mesh(0);
          break;
        case Stage::Material:
          f.Materials().Material(0);
          break;
        case Stage::Motion:
          f.KeyFramer().MeshMotion(0);
          break;
      }
    } catch (const E3DSError& e) {
      message = e.what();
    }
    EXPECT_NE(message.find(c.expected), std::string::npos)
        << c.what << ": got \"" << message << "\"";
    EXPECT_NE(message.find("bad.3ds"), std::string::npos) << c.what;
    if (c.stage == Stage::Load) {
      // A failed load leaves nothing behind.
      EXPECT_EQ(f.Objects().MeshCount(), 0) << c.what;
      EXPECT_EQ(f.DatabaseType(), TDBType3DS::dbUnknown) << c.what;
    }
  }
}

TEST(File3DSMalformed, DeepNestingNeitherOverflowsNorSlowsDown) {
  // 100 000 nested MDATA chunks, each only a header: a recursive reader would overflow its stack.
  const uint32_t depth = 100000;
  Bytes file(size_t(depth + 2) * 6);
  uint32_t remaining = uint32_t(file.size());
  for (uint32_t i = 0; i <= depth; ++i, remaining -= 6) {
    const uint16_t tag = i == 0 ? M3DMAGIC : MDATA;
    std::memcpy(&file[i * 6], &tag, 2);
    std::memcpy(&file[i * 6 + 2], &remaining, 4);
  }
  const uint16_t leaf = 0x4999;
  const uint32_t leafSize = 6;
  std::memcpy(&file[size_t(depth + 1) * 6], &leaf, 2);
  std::memcpy(&file[size_t(depth + 1) * 6 + 2], &leafSize, 4);

  TFile3DS f;
  Load(f, file);
  EXPECT_EQ(f.Database().ChunkCount(), depth + 2);
  EXPECT_EQ(f.Database().FindChunk(0, 0x4999), depth + 1);
  EXPECT_EQ(f.Database().Chunk(depth).End, depth + 2);
  EXPECT_EQ(f.Objects().MeshCount(), 0);
}

TEST(File3DSMalformed, HugeCountsAllocateNothingBeforeTheCheck) {
  // A track claiming four billion keys in a few bytes must fail before reserving them; under
  // AddressSanitizer a reservation of that size would abort the test.
  const Bytes file = MeshFile(
      {},
      Chunk(KFDATA, {Chunk(CAMERA_NODE_TAG,
                           {Chunk(NODE_HDR, {Str("c"), U16(0), U16(0), I16(-1)}),
                            Chunk(FOV_TRACK_TAG, {U16(0), U32(0), U32(0), U32(0xFFFFFFF0u)})})}));
  TFile3DS f;
  Load(f, file);
  EXPECT_THROW(f.KeyFramer().CameraMotion(0), E3DSError);
}

}  // namespace
}  // namespace ukh
