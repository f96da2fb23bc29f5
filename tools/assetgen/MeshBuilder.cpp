// Mesh building helpers for the generated models.
#include "tools/assetgen/MeshBuilder.h"

#include <algorithm>
#include <cmath>

#include "tools/assetgen/DetMath.h"

namespace ukh::assetgen {

TMeshBuilder::TMeshBuilder(std::string name) {
  FMesh.Name = std::move(name);
}

void TMeshBuilder::SetMaterial(const std::string& name) {
  for (std::size_t i = 0; i < FMesh.Groups.size(); ++i)
    if (FMesh.Groups[i].Material == name) {
      FGroup = i;
      FHasGroup = true;
      return;
    }
  FMesh.Groups.push_back({name, {}});
  FGroup = FMesh.Groups.size() - 1;
  FHasGroup = true;
}

std::uint16_t TMeshBuilder::AddVertex(TVec3 p, double u, double v) {
  if (FMesh.Vertices.size() >= 0xFFFF)
    throw E3DSWriteError("mesh \"" + FMesh.Name + "\": more than 65535 vertices");
  FMesh.Vertices.push_back({float(p.X), float(p.Y), float(p.Z)});
  FMesh.TexCoords.push_back({float(u), float(v)});
  return static_cast<std::uint16_t>(FMesh.Vertices.size() - 1);
}

void TMeshBuilder::AddFace(std::uint16_t a, std::uint16_t b, std::uint16_t c,
                           std::uint32_t smoothing) {
  if (!FHasGroup) throw E3DSWriteError("mesh \"" + FMesh.Name + "\": face before a material");
  if (FMesh.Faces.size() >= 0xFFFF)
    throw E3DSWriteError("mesh \"" + FMesh.Name + "\": more than 65535 faces");
  FMesh.Groups[FGroup].Faces.push_back(static_cast<std::uint16_t>(FMesh.Faces.size()));
  T3DSFace f;
  f.V[0] = a, f.V[1] = b, f.V[2] = c;
  FMesh.Faces.push_back(f);
  FMesh.Smoothing.push_back(smoothing);
}

void TMeshBuilder::AddTriangle(std::uint16_t a, std::uint16_t b, std::uint16_t c,
                               std::uint32_t smoothing) {
  AddFace(a, b, c, smoothing);
}

void TMeshBuilder::AddPolygon(const std::vector<TVec3>& points, TVec3 outward,
                              std::uint32_t smoothing) {
  if (points.size() < 3) return;
  // Newell's normal copes with any convex polygon, whatever its first corner.
  TVec3 n;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const TVec3 a = points[i], b = points[(i + 1) % points.size()];
    n = n + Cross(a, b);
  }
  std::vector<TVec3> pts = points;
  if (Dot(n, outward) < 0) {
    std::reverse(pts.begin(), pts.end());
    n = n * -1.0;
  }
  // Planar mapping on two axes of the polygon's plane.
  TVec3 axisU = pts[1] - pts[0];
  const double lu = std::sqrt(Dot(axisU, axisU));
  axisU = axisU * (1 / lu);
  TVec3 axisV = Cross(n, axisU);
  axisV = axisV * (1 / std::sqrt(Dot(axisV, axisV)));
  double minU = 1e300, maxU = -1e300, minV = 1e300, maxV = -1e300;
  for (const TVec3& p : pts) {
    const double u = Dot(p - pts[0], axisU), v = Dot(p - pts[0], axisV);
    minU = std::min(minU, u), maxU = std::max(maxU, u);
    minV = std::min(minV, v), maxV = std::max(maxV, v);
  }
  std::vector<std::uint16_t> idx;
  for (const TVec3& p : pts) {
    const double u = (Dot(p - pts[0], axisU) - minU) / (maxU - minU);
    const double v = (Dot(p - pts[0], axisV) - minV) / (maxV - minV);
    idx.push_back(AddVertex(p, u, v));
  }
  for (std::size_t i = 1; i + 1 < idx.size(); ++i) AddFace(idx[0], idx[i], idx[i + 1], smoothing);
}

void TMeshBuilder::AddHexahedron(const TVec3 (&c)[8]) {
  TVec3 centre;
  for (const TVec3& p : c) centre = centre + p * 0.125;
  auto face = [&](int a, int b, int d, int e) {
    const std::vector<TVec3> q = {c[a], c[b], c[d], c[e]};
    const TVec3 mid = (c[a] + c[b] + c[d] + c[e]) * 0.25;
    AddPolygon(q, mid - centre);
  };
  face(0, 1, 2, 3);
  face(4, 5, 6, 7);
  face(0, 1, 5, 4);
  face(1, 2, 6, 5);
  face(2, 3, 7, 6);
  face(3, 0, 4, 7);
}

void TMeshBuilder::AddBox(TVec3 lo, TVec3 hi) {
  const TVec3 c[8] = {{lo.X, lo.Y, lo.Z}, {hi.X, lo.Y, lo.Z}, {hi.X, lo.Y, hi.Z},
                      {lo.X, lo.Y, hi.Z}, {lo.X, hi.Y, lo.Z}, {hi.X, hi.Y, lo.Z},
                      {hi.X, hi.Y, hi.Z}, {lo.X, hi.Y, hi.Z}};
  AddHexahedron(c);
}

void TMeshBuilder::AddPrismX(const std::vector<TVec3>& profile, double x0, double x1) {
  std::vector<TVec3> left, right;
  TVec3 centre;
  for (const TVec3& p : profile) {
    left.push_back({x0, p.Y, p.Z});
    right.push_back({x1, p.Y, p.Z});
    centre = centre + TVec3{0, p.Y, p.Z} * (1.0 / profile.size());
  }
  AddPolygon(left, {-1, 0, 0}, kSideGroup);
  AddPolygon(right, {1, 0, 0}, kSideGroup);
  for (std::size_t i = 0; i < profile.size(); ++i) {
    const std::size_t j = (i + 1) % profile.size();
    const TVec3 mid = (profile[i] + profile[j]) * 0.5;
    AddPolygon({left[i], left[j], right[j], right[i]}, TVec3{0, mid.Y, mid.Z} - centre);
  }
}

void TMeshBuilder::AddWheel(TVec3 centre, double radius, double width, int segments,
                            double outwardX, const std::string& tyreMaterial,
                            const std::string& hubMaterial) {
  const double xOut = centre.X + outwardX * width / 2, xIn = centre.X - outwardX * width / 2;
  const double hubRadius = radius * 0.55;
  auto ring = [&](double x, double r, int i) {
    const double a = kTwoPi * i / segments;
    // Exact 0 and +-1 at the quarter turns, so the lowest point lies exactly at centre - r.
    double s = DetSin(a), c = DetCos(a);
    if (i * 4 % segments == 0) {
      const int q = i * 4 / segments;
      s = (q == 1) ? 1 : (q == 3 ? -1 : 0);
      c = (q == 0 || q == 4) ? 1 : (q == 2 ? -1 : 0);
    }
    return TVec3{x, centre.Y + r * s, centre.Z + r * c};
  };

  SetMaterial(tyreMaterial);
  // Tread: one shared ring of vertices per edge, smoothed into a round surface.
  std::vector<std::uint16_t> out, in;
  for (int i = 0; i <= segments; ++i) {
    out.push_back(AddVertex(ring(xOut, radius, i), double(i) / segments, 0));
    in.push_back(AddVertex(ring(xIn, radius, i), double(i) / segments, 1));
  }
  for (int i = 0; i < segments; ++i) {
    // Orient by the outward radial direction of the segment's middle.
    const TVec3 mid = (ring(xOut, radius, i) + ring(xOut, radius, i + 1)) * 0.5;
    const TVec3 radial = mid - TVec3{xOut, centre.Y, centre.Z};
    const TVec3 p0 = ring(xOut, radius, i), p1 = ring(xOut, radius, i + 1);
    const TVec3 p2 = ring(xIn, radius, i);
    if (Dot(Cross(p1 - p0, p2 - p0), radial) > 0) {
      AddFace(out[i], out[i + 1], in[i], kCurvedGroup);
      AddFace(out[i + 1], in[i + 1], in[i], kCurvedGroup);
    } else {
      AddFace(out[i], in[i], out[i + 1], kCurvedGroup);
      AddFace(out[i + 1], in[i], in[i + 1], kCurvedGroup);
    }
  }
  // Outer side: the tyre's ring, then the hub cap, set a little back into the tyre.
  const TVec3 outN = {outwardX, 0, 0};
  for (int i = 0; i < segments; ++i)
    AddPolygon({ring(xOut, radius, i), ring(xOut, radius, i + 1), ring(xOut, hubRadius, i + 1),
                ring(xOut, hubRadius, i)},
               outN, kSideGroup);
  // Inner side: one disc.
  std::vector<TVec3> inner;
  for (int i = 0; i < segments; ++i) inner.push_back(ring(xIn, radius, i));
  AddPolygon(inner, {-outwardX, 0, 0}, kSideGroup);
  SetMaterial(hubMaterial);
  std::vector<TVec3> hub;
  const double xHub = xOut - outwardX * width * 0.1;
  for (int i = 0; i < segments; ++i) hub.push_back(ring(xHub, hubRadius, i));
  AddPolygon(hub, outN, kSideGroup);
  // The recess between the tyre's side and the hub cap.
  for (int i = 0; i < segments; ++i) {
    const TVec3 a = ring(xOut, hubRadius, i), b = ring(xOut, hubRadius, i + 1);
    const TVec3 c = ring(xHub, hubRadius, i + 1), d = ring(xHub, hubRadius, i);
    const TVec3 mid = (a + b) * 0.5;
    // The recess wall faces the wheel's axis.
    AddPolygon({a, b, c, d}, TVec3{mid.X, centre.Y, centre.Z} - mid, kRecessGroup);
  }
}

T3DSMesh TMeshBuilder::Take() {
  // Groups that never got a face would only confuse readers.
  std::erase_if(FMesh.Groups, [](const T3DSMaterialGroup& g) { return g.Faces.empty(); });
  return std::move(FMesh);
}

}  // namespace ukh::assetgen
