// A small writer for 3D Studio (3DS) mesh files: materials with colours, and triangle meshes
// with vertices, mapping coordinates, faces, material groups and smoothing groups. It writes
// only the chunks our importer reads, in the layout 3DS readers expect.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace ukh::assetgen {

// A model that cannot be stored in a 3DS file (too many vertices, a corner out of range...).
class E3DSWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// 3DS chunk tags used by the writer.
enum T3DSChunkTag : std::uint16_t {
  kM3DMagic = 0x4D4D,
  kM3DVersion = 0x0002,
  kMData = 0x3D3D,
  kMeshVersion = 0x3D3E,
  kMasterScale = 0x0100,
  kColor24 = 0x0011,
  kLinColor24 = 0x0012,
  kIntPercentage = 0x0030,
  kMatEntry = 0xAFFF,
  kMatName = 0xA000,
  kMatAmbient = 0xA010,
  kMatDiffuse = 0xA020,
  kMatSpecular = 0xA030,
  kMatShininess = 0xA040,
  kMatShin2Pct = 0xA041,
  kMatTransparency = 0xA050,
  kMatShading = 0xA100,
  kNamedObject = 0x4000,
  kNTriObject = 0x4100,
  kPointArray = 0x4110,
  kFaceArray = 0x4120,
  kMshMatGroup = 0x4130,
  kTexVerts = 0x4140,
  kSmoothGroup = 0x4150,
  kMeshMatrix = 0x4160,
};

struct TRgb8 {
  std::uint8_t R = 0, G = 0, B = 0;
};

struct T3DSMaterial {
  std::string Name;  // at most 16 characters
  TRgb8 Ambient, Diffuse, Specular;
  int ShininessPct = 0;     // 0..100
  int ShinStrengthPct = 0;  // 0..100
  int TransparencyPct = 0;  // 0..100
};

struct TPoint3f {
  float X = 0, Y = 0, Z = 0;
};

struct TTexVert2f {
  float U = 0, V = 0;
};

struct T3DSFace {
  std::uint16_t V[3] = {0, 0, 0};
  std::uint16_t Flags = 0x0007;  // all three edges visible
};

struct T3DSMaterialGroup {
  std::string Material;
  std::vector<std::uint16_t> Faces;
};

struct T3DSMesh {
  std::string Name;  // at most 10 characters
  std::vector<TPoint3f> Vertices;
  std::vector<TTexVert2f> TexCoords;  // empty, or one per vertex
  std::vector<T3DSFace> Faces;
  std::vector<std::uint32_t> Smoothing;  // empty, or one mask per face
  std::vector<T3DSMaterialGroup> Groups;
};

struct T3DSModel {
  std::vector<T3DSMaterial> Materials;
  std::vector<T3DSMesh> Meshes;
};

// Little-endian chunk stream: Begin opens a chunk, End patches its length.
class TChunkWriter {
 public:
  void Begin(std::uint16_t tag);
  void End();
  void U8(std::uint8_t v) { FData.push_back(v); }
  void U16(std::uint16_t v);
  void U32(std::uint32_t v);
  void I16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void F32(float v);
  void String(const std::string& s);  // zero-terminated
  const std::vector<std::uint8_t>& Data() const { return FData; }
  std::vector<std::uint8_t> Take();

 private:
  std::vector<std::uint8_t> FData;
  std::vector<std::size_t> FOpen;
};

// Checks the model and returns the bytes of the 3DS file; E3DSWriteError names what is wrong.
std::vector<std::uint8_t> Write3DS(const T3DSModel& model);

}  // namespace ukh::assetgen
