// 3DS file writer: chunk stream and the model-to-chunks layout.
#include "tools/assetgen/Writer3DS.h"

#include <bit>
#include <cstring>
#include <set>

namespace ukh::assetgen {

void TChunkWriter::Begin(std::uint16_t tag) {
  FOpen.push_back(FData.size());
  U16(tag);
  U32(0);  // patched by End
}

void TChunkWriter::End() {
  if (FOpen.empty()) throw E3DSWriteError("3DS writer: End without Begin");
  const std::size_t start = FOpen.back();
  FOpen.pop_back();
  const std::uint64_t length = FData.size() - start;
  if (length > 0xFFFFFFFFull) throw E3DSWriteError("3DS writer: chunk longer than 4 GiB");
  for (int i = 0; i < 4; ++i) FData[start + 2 + i] = std::uint8_t(length >> (8 * i));
}

void TChunkWriter::U16(std::uint16_t v) {
  FData.push_back(std::uint8_t(v));
  FData.push_back(std::uint8_t(v >> 8));
}

void TChunkWriter::U32(std::uint32_t v) {
  for (int i = 0; i < 4; ++i) FData.push_back(std::uint8_t(v >> (8 * i)));
}

void TChunkWriter::F32(float v) {
  U32(std::bit_cast<std::uint32_t>(v));
}

void TChunkWriter::String(const std::string& s) {
  FData.insert(FData.end(), s.begin(), s.end());
  FData.push_back(0);
}

std::vector<std::uint8_t> TChunkWriter::Take() {
  if (!FOpen.empty()) throw E3DSWriteError("3DS writer: unclosed chunk");
  return std::move(FData);
}

namespace {

void CheckName(const std::string& name, std::size_t maxLength, const char* what) {
  if (name.empty() || name.size() > maxLength)
    throw E3DSWriteError(std::string("3DS writer: ") + what + " name \"" + name +
                         "\" must have 1 to " + std::to_string(maxLength) + " characters");
  for (unsigned char c : name)
    if (c < 0x20 || c > 0x7E)
      throw E3DSWriteError(std::string("3DS writer: ") + what + " name \"" + name +
                           "\" holds a character other than printable ASCII");
}

void CheckMesh(const T3DSMesh& mesh, const std::set<std::string>& materials) {
  CheckName(mesh.Name, 10, "object");
  const std::string where = "3DS writer: mesh \"" + mesh.Name + "\": ";
  // Vertex and face numbers are 16-bit in the file.
  if (mesh.Vertices.size() > 0xFFFF) throw E3DSWriteError(where + "more than 65535 vertices");
  if (mesh.Faces.size() > 0xFFFF) throw E3DSWriteError(where + "more than 65535 faces");
  if (!mesh.TexCoords.empty() && mesh.TexCoords.size() != mesh.Vertices.size())
    throw E3DSWriteError(where + "mapping coordinates must be one per vertex");
  if (!mesh.Smoothing.empty() && mesh.Smoothing.size() != mesh.Faces.size())
    throw E3DSWriteError(where + "smoothing groups must be one per face");
  for (std::size_t f = 0; f < mesh.Faces.size(); ++f)
    for (std::uint16_t v : mesh.Faces[f].V)
      if (v >= mesh.Vertices.size())
        throw E3DSWriteError(where + "face " + std::to_string(f) + " uses vertex " +
                             std::to_string(v) + " of " + std::to_string(mesh.Vertices.size()));
  for (const T3DSMaterialGroup& g : mesh.Groups) {
    if (!materials.count(g.Material))
      throw E3DSWriteError(where + "material group names unknown material \"" + g.Material + "\"");
    for (std::uint16_t f : g.Faces)
      if (f >= mesh.Faces.size())
        throw E3DSWriteError(where + "material group \"" + g.Material + "\" lists face " +
                             std::to_string(f) + " of " + std::to_string(mesh.Faces.size()));
  }
}

void WriteColor(TChunkWriter& w, std::uint16_t tag, TRgb8 c) {
  // Both the gamma-corrected and the linear form, with the same bytes: readers differ in
  // which of the two they prefer.
  w.Begin(tag);
  for (std::uint16_t colorTag : {kColor24, kLinColor24}) {
    w.Begin(colorTag);
    w.U8(c.R), w.U8(c.G), w.U8(c.B);
    w.End();
  }
  w.End();
}

void WritePercent(TChunkWriter& w, std::uint16_t tag, int pct, const std::string& material) {
  if (pct < 0 || pct > 100)
    throw E3DSWriteError("3DS writer: material \"" + material + "\": percentage " +
                         std::to_string(pct) + " outside 0..100");
  w.Begin(tag);
  w.Begin(kIntPercentage);
  w.I16(static_cast<std::int16_t>(pct));
  w.End();
  w.End();
}

void WriteMaterial(TChunkWriter& w, const T3DSMaterial& m) {
  w.Begin(kMatEntry);
  w.Begin(kMatName);
  w.String(m.Name);
  w.End();
  WriteColor(w, kMatAmbient, m.Ambient);
  WriteColor(w, kMatDiffuse, m.Diffuse);
  WriteColor(w, kMatSpecular, m.Specular);
  WritePercent(w, kMatShininess, m.ShininessPct, m.Name);
  WritePercent(w, kMatShin2Pct, m.ShinStrengthPct, m.Name);
  WritePercent(w, kMatTransparency, m.TransparencyPct, m.Name);
  w.Begin(kMatShading);
  w.I16(3);  // Phong
  w.End();
  w.End();
}

void WriteMesh(TChunkWriter& w, const T3DSMesh& mesh) {
  w.Begin(kNamedObject);
  w.String(mesh.Name);
  w.Begin(kNTriObject);

  w.Begin(kPointArray);
  w.U16(static_cast<std::uint16_t>(mesh.Vertices.size()));
  for (const TPoint3f& p : mesh.Vertices) w.F32(p.X), w.F32(p.Y), w.F32(p.Z);
  w.End();

  if (!mesh.TexCoords.empty()) {
    w.Begin(kTexVerts);
    w.U16(static_cast<std::uint16_t>(mesh.TexCoords.size()));
    for (const TTexVert2f& t : mesh.TexCoords) w.F32(t.U), w.F32(t.V);
    w.End();
  }

  // Identity local axes: the vertices are stored in the object's own frame.
  w.Begin(kMeshMatrix);
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 3; ++col) w.F32(row == col ? 1.0f : 0.0f);
  w.End();

  w.Begin(kFaceArray);
  w.U16(static_cast<std::uint16_t>(mesh.Faces.size()));
  for (const T3DSFace& f : mesh.Faces) w.U16(f.V[0]), w.U16(f.V[1]), w.U16(f.V[2]), w.U16(f.Flags);
  for (const T3DSMaterialGroup& g : mesh.Groups) {
    w.Begin(kMshMatGroup);
    w.String(g.Material);
    w.U16(static_cast<std::uint16_t>(g.Faces.size()));
    for (std::uint16_t f : g.Faces) w.U16(f);
    w.End();
  }
  if (!mesh.Smoothing.empty()) {
    w.Begin(kSmoothGroup);
    for (std::uint32_t s : mesh.Smoothing) w.U32(s);
    w.End();
  }
  w.End();  // FACE_ARRAY

  w.End();  // N_TRI_OBJECT
  w.End();  // NAMED_OBJECT
}

}  // namespace

std::vector<std::uint8_t> Write3DS(const T3DSModel& model) {
  std::set<std::string> materials;
  for (const T3DSMaterial& m : model.Materials) {
    CheckName(m.Name, 16, "material");
    if (!materials.insert(m.Name).second)
      throw E3DSWriteError("3DS writer: material \"" + m.Name + "\" defined twice");
  }
  std::set<std::string> meshes;
  for (const T3DSMesh& mesh : model.Meshes) {
    CheckMesh(mesh, materials);
    if (!meshes.insert(mesh.Name).second)
      throw E3DSWriteError("3DS writer: object \"" + mesh.Name + "\" defined twice");
  }

  TChunkWriter w;
  w.Begin(kM3DMagic);
  w.Begin(kM3DVersion);
  w.I32(3);
  w.End();
  w.Begin(kMData);
  w.Begin(kMeshVersion);
  w.I32(3);
  w.End();
  for (const T3DSMaterial& m : model.Materials) WriteMaterial(w, m);
  w.Begin(kMasterScale);
  w.F32(1.0f);
  w.End();
  for (const T3DSMesh& mesh : model.Meshes) WriteMesh(w, mesh);
  w.End();  // MDATA
  w.End();  // M3DMAGIC
  return w.Take();
}

}  // namespace ukh::assetgen
