// Coordinate holders: setters with their style rules, and the change notification order.
#include "engine/scene/GLCoordinates.h"

#include <cstdio>
#include <cstring>

#include "engine/base/Exception.h"
#include "engine/math/Matrix.h"

namespace ukh {

namespace {
constexpr const char* cUseSetPoint =
    "If you are getting assertions here, consider using the SetPoint procedure";
constexpr const char* cUseSetVector =
    "If you are getting assertions here, consider using the SetVector procedure";
constexpr const char* cUseSetVectorOrPoint =
    "If you are getting assertions here, consider using one of the SetVector or SetPoint "
    "procedures";
}  // namespace

TGLCustomCoordinates::TGLCustomCoordinates(TPersistent* owner, const TVector4f& value,
                                           TGLCoordinatesStyle style)
    : TGLUpdateAbleObject(owner), FCoords(value), FStyle(style) {
  FOwnerCoords = dynamic_cast<IGLCoordinatesUpdateAble*>(owner);
}

void TGLCustomCoordinates::NotifyChange(TPersistent* sender) {
  if (FOwnerCoords) FOwnerCoords->CoordinateChanged(this);
  TGLUpdateAbleObject::NotifyChange(sender);
}

void TGLCustomCoordinates::SetCoordinate(int index, float value) {
  FCoords[index] = value;
  NotifyChange(this);
}

void TGLCustomCoordinates::SetAsVector(const TVector4f& v) {
  TVector4f c = v;
  switch (FStyle) {
    case TGLCoordinatesStyle::csPoint2D:
      c.Z = 0;
      c.W = 0;
      break;
    case TGLCoordinatesStyle::csPoint:
      c.W = 1;
      break;
    case TGLCoordinatesStyle::csVector:
      c.W = 0;
      break;
    default:
      throw EAssertionFailed();
  }
  FCoords = c;
  NotifyChange(this);
}

void TGLCustomCoordinates::SetAsAffineVector(const TVector3f& v) {
  float w;
  switch (FStyle) {
    case TGLCoordinatesStyle::csPoint:
      w = 1;
      break;
    case TGLCoordinatesStyle::csPoint2D:
    case TGLCoordinatesStyle::csVector:
      w = 0;
      break;
    default:
      throw EAssertionFailed();
  }
  FCoords = {v.X, v.Y, v.Z, w};
  NotifyChange(this);
}

void TGLCustomCoordinates::SetAsPoint2D(const TVector2f& v) {
  Assert(FStyle != TGLCoordinatesStyle::csUnknown);
  FCoords = {v.X, v.Y, 0, 0};
  NotifyChange(this);
}

void TGLCustomCoordinates::SetVector(float x, float y, float z, float w) {
  Assert(FStyle == TGLCoordinatesStyle::csVector, cUseSetPoint);
  FCoords = {x, y, z, w};
  NotifyChange(this);
}

void TGLCustomCoordinates::SetPoint(float x, float y, float z) {
  Assert(FStyle == TGLCoordinatesStyle::csPoint, cUseSetVector);
  FCoords = {x, y, z, 1};
  NotifyChange(this);
}

void TGLCustomCoordinates::SetPoint2D(float x, float y) {
  Assert(FStyle == TGLCoordinatesStyle::csPoint2D, cUseSetVectorOrPoint);
  FCoords = {x, y, 0, 0};
  NotifyChange(this);
}

void TGLCustomCoordinates::SetPoint2D(const TVector3f& v) {
  Assert(FStyle == TGLCoordinatesStyle::csPoint2D, cUseSetVectorOrPoint);
  FCoords = {v.X, v.Y, v.Z, 0};
  NotifyChange(this);
}

void TGLCustomCoordinates::SetPoint2D(const TVector4f& v) {
  SetPoint2D(AffineVector(v));
}

void TGLCustomCoordinates::SetToZero() {
  FCoords = {0, 0, 0, FStyle == TGLCoordinatesStyle::csPoint ? 1.0f : 0.0f};
  NotifyChange(this);
}

void TGLCustomCoordinates::Translate(const TVector3f& v) {
  FCoords.X += v.X;
  FCoords.Y += v.Y;
  FCoords.Z += v.Z;
  NotifyChange(this);
}

void TGLCustomCoordinates::AddScaledVector(float factor, const TVector3f& v) {
  CombineVector(FCoords, v, factor);
  NotifyChange(this);
}

void TGLCustomCoordinates::AddScaledVector(float factor, const TVector4f& v) {
  CombineVector(FCoords, v, factor);
  NotifyChange(this);
}

void TGLCustomCoordinates::Rotate(const TVector3f& axis, double angle) {
  FCoords = TransformVector(FCoords, AxisRotationMatrix(axis, angle));
  NotifyChange(this);
}

void TGLCustomCoordinates::Normalize() {
  NormalizeVector(FCoords);
  NotifyChange(this);
}

void TGLCustomCoordinates::Invert() {
  FCoords = NegateVector(FCoords);
  NotifyChange(this);
}

void TGLCustomCoordinates::Scale(float factor) {
  FCoords.X *= factor;
  FCoords.Y *= factor;
  FCoords.Z *= factor;
  NotifyChange(this);
}

std::string TGLCustomCoordinates::AsString() const {
  char buf[128];
  switch (FStyle) {
    case TGLCoordinatesStyle::csPoint2D:
      std::snprintf(buf, sizeof buf, "(%g; %g)", FCoords.X, FCoords.Y);
      break;
    case TGLCoordinatesStyle::csPoint:
      std::snprintf(buf, sizeof buf, "(%g; %g; %g)", FCoords.X, FCoords.Y, FCoords.Z);
      break;
    case TGLCoordinatesStyle::csVector:
      std::snprintf(buf, sizeof buf, "(%g; %g; %g; %g)", FCoords.X, FCoords.Y, FCoords.Z,
                    FCoords.W);
      break;
    default:
      throw EAssertionFailed();
  }
  return buf;
}

// The stored form is little-endian; so is every machine this builds for, which the static
// assert below keeps honest.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "stored forms assume little endian");

void TGLCustomCoordinates::WriteCoordinatesBytes(uint8_t out[16]) const {
  std::memcpy(out, &FCoords, 16);
}

void TGLCustomCoordinates::ReadCoordinatesBytes(const uint8_t in[16]) {
  std::memcpy(&FCoords, in, 16);
}

}  // namespace ukh
