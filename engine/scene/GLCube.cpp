// The box: sizes and their stored form, half-extents and the face table.
#include "engine/scene/GLCube.h"

#include <bit>
#include <cstring>
#include <string>

#include "engine/base/Exception.h"
#include "engine/gl/GLApi.h"

namespace ukh {

namespace {

void PutLE32(uint8_t* out, float value) {
  const uint32_t bits = std::bit_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) out[i] = uint8_t(bits >> (8 * i));
}

float GetLE32(const uint8_t* in) {
  uint32_t bits = 0;
  for (int i = 0; i < 4; ++i) bits |= uint32_t(in[i]) << (8 * i);
  return std::bit_cast<float>(bits);
}

}  // namespace

TGLCube::TGLCube(TComponent* owner) : TGLWorldObject(owner) {
  FObjectStyle |= osDirectDraw;
}

void TGLCube::SetSizeComponent(int index, float value) {
  if (FCubeSize[index] == value) return;
  FCubeSize[index] = value;
  StructureChanged();
}

void TGLCube::SetCubeSize(const TVector3f& value) {
  if (FCubeSize == value) return;
  FCubeSize = value;
  StructureChanged();
}

void TGLCube::SetParts(TGLCubeParts value) {
  value &= cAllCubeParts;
  if (value == FParts) return;
  FParts = value;
  StructureChanged();
}

void TGLCube::SetNormalDirection(TGLNormalDirection value) {
  if (value == FNormalDirection) return;
  FNormalDirection = value;
  StructureChanged();
}

std::optional<std::array<uint8_t, TGLCube::cCubeSizeStoredSize>> TGLCube::CubeSizeStoredForm()
    const {
  if (FCubeSize == TVector3f{1, 1, 1}) return std::nullopt;
  std::array<uint8_t, cCubeSizeStoredSize> bytes{};
  for (int i = 0; i < 3; ++i) PutLE32(&bytes[size_t(i) * 4], FCubeSize[i]);
  return bytes;
}

void TGLCube::LoadCubeSizeStoredForm(std::span<const uint8_t> bytes) {
  if (bytes.size() != cCubeSizeStoredSize)
    throw Exception("Property \"CubeSize\" holds " + std::to_string(bytes.size()) +
                    " bytes instead of 12");
  const TVector3f size{GetLE32(&bytes[0]), GetLE32(&bytes[4]), GetLE32(&bytes[8])};
  // Bits, not values: a stored -0 must come back as stored.
  if (std::memcmp(&size, &FCubeSize, sizeof size) == 0) return;
  FCubeSize = size;
  StructureChanged();
}

void TGLCube::Assign(const TGLBaseSceneObject& source) {
  const auto* cube = dynamic_cast<const TGLCube*>(&source);
  if (!cube || cube == this) return;
  SetCubeSize(cube->FCubeSize);
  SetParts(cube->FParts);
  SetNormalDirection(cube->FNormalDirection);
}

TVector4f TGLCube::AxisAlignedDimensionsUnscaled() {
  return {FCubeSize.X * 0.5f, FCubeSize.Y * 0.5f, FCubeSize.Z * 0.5f, 0};
}

void TGLCube::BuildList(TGLRenderContextInfo&) {
  const TVector3f h = ScaleVector(FCubeSize, 0.5f);
  const TVector3f n = NegateVector(h);
  // A and B are the two corners off the h-n diagonal of every face; swapping them reverses
  // the winding of an inside-facing box while the texture coordinates keep their order.
  const bool outside = FNormalDirection == TGLNormalDirection::ndOutside;
  const float s = outside ? 1.0f : -1.0f;
  const TVector3f A = outside ? n : h;
  const TVector3f B = outside ? h : n;
  // The engine runs no shader programs, so the "Tangent" and "Binormal" attributes never
  // exist and only normals, texture coordinates and positions are sent.
  auto vertex = [](float s0, float t0, float x, float y, float z) {
    gl::TexCoord2f(s0, t0);
    gl::Vertex3f(x, y, z);
  };
  gl::Begin(GL_QUADS);
  if (FParts & CubePartBit(cpFront)) {
    gl::Normal3f(0, 0, s);
    vertex(1, 1, h.X, h.Y, h.Z);
    vertex(0, 1, A.X, B.Y, h.Z);
    vertex(0, 0, n.X, n.Y, h.Z);
    vertex(1, 0, B.X, A.Y, h.Z);
  }
  if (FParts & CubePartBit(cpBack)) {
    gl::Normal3f(0, 0, -s);
    vertex(0, 1, h.X, h.Y, n.Z);
    vertex(0, 0, B.X, A.Y, n.Z);
    vertex(1, 0, n.X, n.Y, n.Z);
    vertex(1, 1, A.X, B.Y, n.Z);
  }
  if (FParts & CubePartBit(cpLeft)) {
    gl::Normal3f(-s, 0, 0);
    vertex(1, 1, n.X, h.Y, h.Z);
    vertex(0, 1, n.X, B.Y, A.Z);
    vertex(0, 0, n.X, n.Y, n.Z);
    vertex(1, 0, n.X, A.Y, B.Z);
  }
  if (FParts & CubePartBit(cpRight)) {
    gl::Normal3f(s, 0, 0);
    vertex(0, 1, h.X, h.Y, h.Z);
    vertex(0, 0, h.X, A.Y, B.Z);
    vertex(1, 0, h.X, n.Y, n.Z);
    vertex(1, 1, h.X, B.Y, A.Z);
  }
  if (FParts & CubePartBit(cpTop)) {
    gl::Normal3f(0, s, 0);
    vertex(0, 1, n.X, h.Y, n.Z);
    vertex(0, 0, A.X, h.Y, B.Z);
    vertex(1, 0, h.X, h.Y, h.Z);
    vertex(1, 1, B.X, h.Y, A.Z);
  }
  if (FParts & CubePartBit(cpBottom)) {
    gl::Normal3f(0, -s, 0);
    vertex(0, 0, n.X, n.Y, n.Z);
    vertex(1, 0, B.X, n.Y, A.Z);
    vertex(1, 1, h.X, n.Y, h.Z);
    vertex(0, 1, A.X, n.Y, B.Z);
  }
  gl::End();
}

}  // namespace ukh
