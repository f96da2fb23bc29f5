// TGLCube: a box with independent width, height and depth, any subset of its six faces, and
// faces turned outward or inward. Drawn directly (no display list) every frame.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "engine/scene/GLNormalDirection.h"
#include "engine/scene/GLWorldObject.h"

namespace ukh {

enum TGLCubePart : uint8_t { cpTop, cpBottom, cpFront, cpBack, cpLeft, cpRight };
using TGLCubeParts = uint8_t;  // bit (1 << TGLCubePart)
constexpr TGLCubeParts CubePartBit(TGLCubePart p) {
  return TGLCubeParts(1u << p);
}
inline constexpr TGLCubeParts cAllCubeParts = 63;

class TGLCube : public TGLWorldObject {
 public:
  // The stored property holding the three sizes.
  static constexpr const char* cCubeSizePropertyName = "CubeSize";
  static constexpr size_t cCubeSizeStoredSize = 12;

  explicit TGLCube(TComponent* owner = nullptr);

  float CubeWidth() const { return FCubeSize.X; }
  float CubeHeight() const { return FCubeSize.Y; }
  float CubeDepth() const { return FCubeSize.Z; }
  void SetCubeWidth(float value) { SetSizeComponent(0, value); }
  void SetCubeHeight(float value) { SetSizeComponent(1, value); }
  void SetCubeDepth(float value) { SetSizeComponent(2, value); }
  const TVector3f& CubeSize() const { return FCubeSize; }
  // One structure change at most, whatever the number of components that differ.
  void SetCubeSize(const TVector3f& value);
  TGLCubeParts Parts() const { return FParts; }
  void SetParts(TGLCubeParts value);
  TGLNormalDirection NormalDirection() const { return FNormalDirection; }
  void SetNormalDirection(TGLNormalDirection value);

  // "CubeSize": X, Y, Z as little-endian float32; none while the size is (1, 1, 1).
  std::optional<std::array<uint8_t, cCubeSizeStoredSize>> CubeSizeStoredForm() const;
  // Throws ukh::Exception naming the size found when the block is not 12 bytes long.
  void LoadCubeSizeStoredForm(std::span<const uint8_t> bytes);

  // The sizes, Parts and NormalDirection of another cube.
  void Assign(const TGLBaseSceneObject& source);

  // (CubeWidth/2, CubeHeight/2, CubeDepth/2, 0), signs kept.
  TVector4f AxisAlignedDimensionsUnscaled() override;
  // One GL_QUADS batch of the faces in Parts: normal, then per vertex texture coordinate and
  // position.
  void BuildList(TGLRenderContextInfo& rci) override;

 private:
  void SetSizeComponent(int index, float value);

  TVector3f FCubeSize{1, 1, 1};
  TGLCubeParts FParts = cAllCubeParts;
  TGLNormalDirection FNormalDirection = TGLNormalDirection::ndOutside;
};

}  // namespace ukh
