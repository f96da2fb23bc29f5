// Coordinate holders: the four floats behind an object's Position, Direction, Up, Scale and
// Rotation, with style rules for W and change notification to the owning object.
#pragma once

#include <cstdint>
#include <string>

#include "engine/base/GLUpdateAbleComponent.h"
#include "engine/base/GLUpdateAbleObject.h"
#include "engine/math/Vector.h"

namespace ukh {

enum class TGLCoordinatesStyle : uint8_t {
  csPoint2D = 0,
  csPoint = 1,
  csVector = 2,
  csUnknown = 3
};

class TGLCustomCoordinates;

// Implemented by owners that must hear of a holder change before its notification goes on.
class IGLCoordinatesUpdateAble {
 public:
  virtual void CoordinateChanged(TGLCustomCoordinates* sender) = 0;

 protected:
  ~IGLCoordinatesUpdateAble() = default;
};

// The abstract component base of everything that owns coordinate holders.
class TGLCoordinatesUpdateAbleComponent : public TGLUpdateAbleComponent,
                                          public IGLCoordinatesUpdateAble {
 public:
  using TGLUpdateAbleComponent::TGLUpdateAbleComponent;
};

class TGLCustomCoordinates : public TGLUpdateAbleObject {
 public:
  TGLCustomCoordinates(TPersistent* owner, const TVector4f& value, TGLCoordinatesStyle style);

  void Initialize(const TVector4f& value) { FCoords = value; }
  // Copies the four components of another holder; no notification.
  void Assign(const TGLCustomCoordinates& source) { FCoords = source.FCoords; }

  TGLCoordinatesStyle Style() const { return FStyle; }
  void SetStyle(TGLCoordinatesStyle style) { FStyle = style; }

  // Index 0..3 = X, Y, Z, W; no style rule applies.
  void SetCoordinate(int index, float value);
  float GetCoordinate(int index) const { return FCoords[index]; }
  float X() const { return FCoords.X; }
  float Y() const { return FCoords.Y; }
  float Z() const { return FCoords.Z; }
  float W() const { return FCoords.W; }
  void SetX(float v) { SetCoordinate(0, v); }
  void SetY(float v) { SetCoordinate(1, v); }
  void SetZ(float v) { SetCoordinate(2, v); }
  void SetW(float v) { SetCoordinate(3, v); }

  // Writes that do not notify.
  void SetDirectX(float v) { FCoords.X = v; }
  void SetDirectY(float v) { FCoords.Y = v; }
  void SetDirectZ(float v) { FCoords.Z = v; }
  void SetDirectW(float v) { FCoords.W = v; }
  const TVector4f& DirectVector() const { return FCoords; }
  void SetDirectVector(const TVector4f& v) { FCoords = v; }

  const TVector4f& AsVector() const { return FCoords; }
  void SetAsVector(const TVector4f& v);
  TVector3f AsAffineVector() const { return {FCoords.X, FCoords.Y, FCoords.Z}; }
  void SetAsAffineVector(const TVector3f& v);
  TVector2f AsPoint2D() const { return {FCoords.X, FCoords.Y}; }
  void SetAsPoint2D(const TVector2f& v);

  void SetVector(float x, float y, float z, float w = 0);
  void SetVector(const TVector3f& v) { SetVector(v.X, v.Y, v.Z, 0); }
  void SetVector(const TVector4f& v) { SetVector(v.X, v.Y, v.Z, v.W); }
  void SetPoint(float x, float y, float z);
  void SetPoint(const TVector3f& v) { SetPoint(v.X, v.Y, v.Z); }
  void SetPoint(const TVector4f& v) { SetPoint(v.X, v.Y, v.Z); }
  void SetPoint2D(float x, float y);
  void SetPoint2D(const TVector2f& v) { SetPoint2D(v.X, v.Y); }
  void SetPoint2D(const TVector3f& v);
  void SetPoint2D(const TVector4f& v);
  void SetToZero();

  void Translate(const TVector3f& v);
  void Translate(const TVector4f& v) { Translate(AffineVector(v)); }
  void AddScaledVector(float factor, const TVector3f& v);
  void AddScaledVector(float factor, const TVector4f& v);
  // Angle in radians.
  void Rotate(const TVector3f& axis, double angle);
  void Rotate(const TVector4f& axis, double angle) { Rotate(AffineVector(axis), angle); }
  void Normalize();
  void Invert();
  void Scale(float factor);

  float VectorLength() const { return ukh::VectorLength(FCoords); }
  float VectorNorm() const { return ukh::VectorNorm(FCoords); }
  float MaxXYZ() const { return ukh::MaxXYZ(FCoords); }
  bool Equals(const TVector4f& v) const { return FCoords == v; }
  const float* AsAddress() const { return &FCoords.X; }
  std::string AsString() const;

  // The 16-byte stored form: X, Y, Z, W as little-endian float32. Reading does not notify.
  void WriteCoordinatesBytes(uint8_t out[16]) const;
  void ReadCoordinatesBytes(const uint8_t in[16]);

  // Tells an IGLCoordinatesUpdateAble owner first (even while updating), then the usual chain.
  void NotifyChange(TPersistent* sender) override;

 protected:
  TVector4f FCoords;
  TGLCoordinatesStyle FStyle;
  IGLCoordinatesUpdateAble* FOwnerCoords = nullptr;
};

// The published variants differ only in which components a stored form names.
class TGLCoordinates2 : public TGLCustomCoordinates {
 public:
  using TGLCustomCoordinates::TGLCustomCoordinates;
};
class TGLCoordinates3 : public TGLCustomCoordinates {
 public:
  using TGLCustomCoordinates::TGLCustomCoordinates;
};
class TGLCoordinates4 : public TGLCustomCoordinates {
 public:
  using TGLCustomCoordinates::TGLCustomCoordinates;
};
using TGLCoordinates = TGLCoordinates3;

}  // namespace ukh
