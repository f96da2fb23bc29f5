// Builds 3DS meshes from simple solids (boxes, prisms, wheels), keeping every face wound
// counter-clockwise seen from outside and assigned to the current material's group.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/assetgen/Writer3DS.h"

namespace ukh::assetgen {

struct TVec3 {
  double X = 0, Y = 0, Z = 0;
};
inline TVec3 operator+(TVec3 a, TVec3 b) {
  return {a.X + b.X, a.Y + b.Y, a.Z + b.Z};
}
inline TVec3 operator-(TVec3 a, TVec3 b) {
  return {a.X - b.X, a.Y - b.Y, a.Z - b.Z};
}
inline TVec3 operator*(TVec3 a, double s) {
  return {a.X * s, a.Y * s, a.Z * s};
}
inline double Dot(TVec3 a, TVec3 b) {
  return a.X * b.X + a.Y * b.Y + a.Z * b.Z;
}
inline TVec3 Cross(TVec3 a, TVec3 b) {
  return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}

// Smoothing-group masks used by the models: faces of one flat panel share a bit only with
// each other (their vertices are their own), curved surfaces share one bit across the curve.
inline constexpr std::uint32_t kFlatGroup = 0x1;
inline constexpr std::uint32_t kCurvedGroup = 0x2;
inline constexpr std::uint32_t kSideGroup = 0x4;
inline constexpr std::uint32_t kRecessGroup = 0x8;

class TMeshBuilder {
 public:
  explicit TMeshBuilder(std::string name);

  // Faces added from now on belong to this material's group.
  void SetMaterial(const std::string& name);

  std::uint16_t AddVertex(TVec3 p, double u, double v);
  void AddTriangle(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint32_t smoothing);

  // A planar convex polygon, turned so that its front faces `outward`; its own vertices,
  // mapped 0..1 across its extent.
  void AddPolygon(const std::vector<TVec3>& points, TVec3 outward,
                  std::uint32_t smoothing = kFlatGroup);
  // An axis-aligned box with outward faces.
  void AddBox(TVec3 min, TVec3 max);
  // A convex prism: `profile` in the (Z, Y) plane, extruded along X from x0 to x1.
  void AddPrismX(const std::vector<TVec3>& profile, double x0, double x1);
  // A general convex hexahedron from its 8 corners: bottom 0..3 and top 4..7, in the same
  // order round both faces.
  void AddHexahedron(const TVec3 (&c)[8]);
  // A wheel about the X axis: tread (smoothed), outer side with a tyre ring and a hub cap,
  // inner side; `outwardX` is +1 or -1, the side that faces away from the car.
  void AddWheel(TVec3 centre, double radius, double width, int segments, double outwardX,
                const std::string& tyreMaterial, const std::string& hubMaterial);

  T3DSMesh Take();

 private:
  void AddFace(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint32_t smoothing);

  T3DSMesh FMesh;
  std::size_t FGroup = 0;
  bool FHasGroup = false;
};

}  // namespace ukh::assetgen
