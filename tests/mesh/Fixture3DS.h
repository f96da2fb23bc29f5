// Builds small 3DS files byte by byte for the reader's tests: Chunk(tag, {parts...}) writes the
// header with the right length around its parts.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/mesh/File3DS.h"
#include "engine/mesh/Tags3DS.h"

namespace ukh::test3ds {

using Bytes = std::vector<uint8_t>;

template <class T>
Bytes Raw(T v) {
  Bytes b(sizeof(T));
  std::memcpy(b.data(), &v, sizeof(T));
  return b;
}
inline Bytes U8(uint8_t v) {
  return Raw(v);
}
inline Bytes U16(uint16_t v) {
  return Raw(v);
}
inline Bytes I16(int16_t v) {
  return Raw(v);
}
inline Bytes U32(uint32_t v) {
  return Raw(v);
}
inline Bytes I32(int32_t v) {
  return Raw(v);
}
inline Bytes F32(float v) {
  return Raw(v);
}
inline Bytes Str(const std::string& s) {
  Bytes b(s.begin(), s.end());
  b.push_back(0);
  return b;
}

inline Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

inline Bytes Chunk(uint16_t tag, std::initializer_list<Bytes> parts = {}) {
  Bytes body = Cat(parts);
  return Cat({U16(tag), U32(uint32_t(body.size() + 6)), body});
}

// A chunk whose length field is given, whatever its real size.
inline Bytes ChunkWithLength(uint16_t tag, uint32_t length, std::initializer_list<Bytes> parts) {
  return Cat({U16(tag), U32(length), Cat(parts)});
}

inline Bytes Points(std::initializer_list<TPoint3DS> pts) {
  Bytes b = U16(uint16_t(pts.size()));
  for (const TPoint3DS& p : pts) b = Cat({b, F32(p.X), F32(p.Y), F32(p.Z)});
  return b;
}

// The eight corners of the unit cube and its twelve triangles.
inline Bytes BoxPointArray() {
  return Chunk(tag3ds::POINT_ARRAY, {Points({{0, 0, 0},
                                             {1, 0, 0},
                                             {1, 1, 0},
                                             {0, 1, 0},
                                             {0, 0, 1},
                                             {1, 0, 1},
                                             {1, 1, 1},
                                             {0, 1, 1}})});
}
inline Bytes BoxFaces(std::initializer_list<Bytes> children = {}) {
  static const uint16_t f[12][3] = {{0, 2, 1}, {0, 3, 2}, {4, 5, 6}, {4, 6, 7},
                                    {0, 1, 5}, {0, 5, 4}, {1, 2, 6}, {1, 6, 5},
                                    {2, 3, 7}, {2, 7, 6}, {3, 0, 4}, {3, 4, 7}};
  Bytes b = U16(12);
  for (const auto& t : f) b = Cat({b, U16(t[0]), U16(t[1]), U16(t[2]), U16(7)});
  return Chunk(tag3ds::FACE_ARRAY, {b, Cat(children)});
}

inline Bytes MeshFile(std::initializer_list<Bytes> mdataChildren, Bytes keyframer = {}) {
  return Chunk(tag3ds::M3DMAGIC,
               {Chunk(tag3ds::M3D_VERSION, {I32(3)}),
                Chunk(tag3ds::MDATA, {Chunk(tag3ds::MESH_VERSION, {I32(3)}), Cat(mdataChildren)}),
                keyframer});
}

inline Bytes BoxObject(const std::string& name, std::initializer_list<Bytes> faceChildren = {}) {
  return Chunk(tag3ds::NAMED_OBJECT,
               {Str(name), Chunk(tag3ds::N_TRI_OBJECT, {BoxPointArray(), BoxFaces(faceChildren)})});
}

inline void Load(TFile3DS& f, const Bytes& b, const std::string& name = "fixture.3ds") {
  f.LoadFromMemory(b.data(), b.size(), name);
}

}  // namespace ukh::test3ds
