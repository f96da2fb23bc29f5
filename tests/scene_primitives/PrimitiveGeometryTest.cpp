// The primitives' geometry on a headless GL context: the box's faces captured in GL feedback
// mode (vertex order, texture coordinates, winding, which faces survive culling), the normals
// and call counts each build makes, the cylinder's quadric calls and display list, the
// dummy cube's wireframe and group list, and pixels: a box's front face colour and a
// cylinder's silhouette and extent through the projection.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/gl/GLApi.h"
#include "engine/gl/GLStateCache.h"
#include "engine/gl/GLTransformation.h"
#include "engine/scene/GLCube.h"
#include "engine/scene/GLCylinder.h"
#include "engine/scene/GLDummyCube.h"
#include "tests/gl/GLTestContext.h"

namespace ukh::test {
namespace {

struct TFeedbackVertex {
  TVector3f Position;  // window x, y and depth
  TTexPoint Tex;
};
using TQuad = std::array<TFeedbackVertex, 4>;

constexpr TVector4f cBlack{0, 0, 0, 1};

class PrimitiveGL : public GLTestContext {
 protected:
  void SetUp() override {
    GLTestContext::SetUp();
    FRci.GLStates = &States();
    FRci.PipelineTransformation = &Transformation();
    FRci.BufferDepthTest = true;
    States().Enable(stDepthTest);
  }

  // Orthographic, window pixels 1:1 in x and y around the centre, z from -100 to 100 mapped
  // to depth 1..0.
  void UseOrtho() {
    TMatrix4f m = IdentityHmgMatrix;
    m.X.X = 2.0f / cWidth;
    m.Y.Y = 2.0f / cHeight;
    m.Z.Z = -1.0f / 100;
    Transformation().IdentityAll();
    Transformation().SetProjectionMatrix(m);
  }

  // Perspective with a vertical field of view of `fovyDeg`, square viewport, camera at the
  // origin looking down -Z.
  void UsePerspective(double fovyDeg, double zNear, double zFar) {
    const double f = 1.0 / std::tan(fovyDeg * M_PI / 360.0);
    TMatrix4f m{};
    m.X.X = float(f);
    m.Y.Y = float(f);
    m.Z.Z = float((zFar + zNear) / (zNear - zFar));
    m.Z.W = -1;
    m.W.Z = float(2 * zFar * zNear / (zNear - zFar));
    Transformation().IdentityAll();
    Transformation().SetProjectionMatrix(m);
  }

  // Runs `draw` in feedback mode and gives back its polygons as quads. Mesa feeds a quad
  // back as the triangles (0, 1, 3) and (1, 2, 3); anything else fails the test.
  std::vector<TQuad> CaptureQuads(const std::function<void()>& draw) {
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint n = glRenderMode(GL_RENDER);
    EXPECT_GE(n, 0) << "feedback buffer overflow";
    std::vector<std::array<TFeedbackVertex, 3>> triangles;
    for (GLint i = 0; i < n;) {
      EXPECT_EQ(buffer[size_t(i)], GLfloat(GL_POLYGON_TOKEN));
      EXPECT_EQ(buffer[size_t(i) + 1], 3.0f);
      if (buffer[size_t(i)] != GL_POLYGON_TOKEN || buffer[size_t(i) + 1] != 3) return {};
      i += 2;
      std::array<TFeedbackVertex, 3> t;
      for (auto& v : t) {
        const GLfloat* p = &buffer[size_t(i)];
        v.Position = {p[0], p[1], p[2]};
        v.Tex = {p[7], p[8]};
        i += 11;  // x y z, r g b a, s t r q
      }
      triangles.push_back(t);
    }
    std::vector<TQuad> quads;
    EXPECT_EQ(triangles.size() % 2, 0u);
    for (size_t i = 0; i + 1 < triangles.size(); i += 2) {
      const auto& a = triangles[i];
      const auto& b = triangles[i + 1];
      const bool split = a[1].Position == b[0].Position && a[2].Position == b[2].Position;
      EXPECT_TRUE(split) << "unexpected quad split";
      if (!split) return {};
      quads.push_back({a[0], a[1], b[1], a[2]});
    }
    return quads;
  }

  // The normal GL holds after a build (the last one sent).
  static TVector3f CurrentNormal() {
    GLfloat n[4] = {};
    gl::GetFloatv(GL_CURRENT_NORMAL, n);
    return {n[0], n[1], n[2]};
  }

  TGLRenderContextInfo FRci;
};

// Object-space corner of the ortho capture: window = object + (32, 32), depth = (1 - z/100)/2.
TVector3f ToWindow(TVector3f p) {
  return {p.X + 32, p.Y + 32, (1 - p.Z / 100) / 2};
}

struct TFaceRow {
  TGLCubePart Part;
  const char* Name;
  TVector3f Normal;  // outward
  // Vertices for a box of size (20, 10, 1), in emission order, with texture coordinates.
  std::array<std::pair<TVector3f, TTexPoint>, 4> Outside;
};

const TFaceRow cFaces[] = {
    {cpFront,
     "front",
     {0, 0, 1},
     {{{{10, 5, .5f}, {1, 1}},
       {{-10, 5, .5f}, {0, 1}},
       {{-10, -5, .5f}, {0, 0}},
       {{10, -5, .5f}, {1, 0}}}}},
    {cpBack,
     "back",
     {0, 0, -1},
     {{{{10, 5, -.5f}, {0, 1}},
       {{10, -5, -.5f}, {0, 0}},
       {{-10, -5, -.5f}, {1, 0}},
       {{-10, 5, -.5f}, {1, 1}}}}},
    {cpLeft,
     "left",
     {-1, 0, 0},
     {{{{-10, 5, .5f}, {1, 1}},
       {{-10, 5, -.5f}, {0, 1}},
       {{-10, -5, -.5f}, {0, 0}},
       {{-10, -5, .5f}, {1, 0}}}}},
    {cpRight,
     "right",
     {1, 0, 0},
     {{{{10, 5, .5f}, {0, 1}},
       {{10, -5, .5f}, {0, 0}},
       {{10, -5, -.5f}, {1, 0}},
       {{10, 5, -.5f}, {1, 1}}}}},
    {cpTop,
     "top",
     {0, 1, 0},
     {{{{-10, 5, -.5f}, {0, 1}},
       {{-10, 5, .5f}, {0, 0}},
       {{10, 5, .5f}, {1, 0}},
       {{10, 5, -.5f}, {1, 1}}}}},
    {cpBottom,
     "bottom",
     {0, -1, 0},
     {{{{-10, -5, -.5f}, {0, 0}},
       {{10, -5, -.5f}, {1, 0}},
       {{10, -5, .5f}, {1, 1}},
       {{-10, -5, .5f}, {0, 1}}}}},
};

TEST_F(PrimitiveGL, BoxFaceTableBothDirections) {
  UseOrtho();
  TGLCube cube;
  cube.SetCubeSize({20, 10, 1});
  for (const TFaceRow& face : cFaces) {
    // The table itself: counter-clockwise seen from outside.
    const auto& o = face.Outside;
    const TVector3f turn = CrossProduct(SubtractVector(o[1].first, o[0].first),
                                        SubtractVector(o[2].first, o[0].first));
    EXPECT_GT(DotProduct(turn, face.Normal), 0) << face.Name;

    for (TGLNormalDirection direction :
         {TGLNormalDirection::ndOutside, TGLNormalDirection::ndInside}) {
      const bool inside = direction == TGLNormalDirection::ndInside;
      SCOPED_TRACE(std::string(face.Name) + (inside ? " inside" : " outside"));
      cube.SetNormalDirection(direction);
      cube.SetParts(CubePartBit(face.Part));
      gl::ResetCallCounts();
      const std::vector<TQuad> quads = CaptureQuads([&] { cube.BuildList(FRci); });
      EXPECT_EQ(gl::CallCount("glBegin"), 1u);
      EXPECT_EQ(gl::CallCount("glNormal3f"), 1u);
      EXPECT_EQ(gl::CallCount("glTexCoord2f"), 4u);
      EXPECT_EQ(gl::CallCount("glVertex3f"), 4u);
      EXPECT_EQ(CurrentNormal(), inside ? NegateVector(face.Normal) : face.Normal);
      ASSERT_EQ(quads.size(), 1u);
      // Inside: the two off-diagonal corners trade places, reversing the winding, while the
      // texture coordinates keep their order.
      static constexpr int cInsideOrder[4] = {0, 3, 2, 1};
      for (int v = 0; v < 4; ++v) {
        const auto& want = o[size_t(inside ? cInsideOrder[v] : v)];
        EXPECT_EQ(quads[0][size_t(v)].Position, ToWindow(want.first)) << "vertex " << v;
        EXPECT_EQ(quads[0][size_t(v)].Tex, o[size_t(v)].second) << "vertex " << v;
      }
    }
  }
}

TEST_F(PrimitiveGL, AllSixFacesInTableOrderInOneBatch) {
  UseOrtho();
  TGLCube cube;
  cube.SetCubeSize({20, 10, 1});
  gl::ResetCallCounts();
  const std::vector<TQuad> quads = CaptureQuads([&] { cube.BuildList(FRci); });
  EXPECT_EQ(gl::CallCount("glBegin"), 1u);
  EXPECT_EQ(gl::CallCount("glVertex3f"), 24u);
  EXPECT_EQ(gl::CallCount("glNormal3f"), 6u);
  ASSERT_EQ(quads.size(), 6u);
  for (size_t i = 0; i < 6; ++i)
    EXPECT_EQ(quads[i][0].Position, ToWindow(cFaces[i].Outside[0].first)) << cFaces[i].Name;

  cube.SetParts(0);
  gl::ResetCallCounts();
  cube.BuildList(FRci);
  EXPECT_EQ(gl::CallCount("glVertex3f"), 0u);
}

TEST_F(PrimitiveGL, TopOnlyEmitsFourVerticesWithNormalUp) {
  TGLCube cube;
  cube.SetParts(CubePartBit(cpTop));
  gl::ResetCallCounts();
  cube.BuildList(FRci);
  EXPECT_EQ(gl::CallCount("glVertex3f"), 4u);
  EXPECT_EQ(gl::CallCount("glNormal3f"), 1u);
  EXPECT_EQ(CurrentNormal(), (TVector3f{0, 1, 0}));
}

// Seen obliquely with back faces culled: outside, the three faces turned to the viewer
// survive; inside, exactly the three others.
TEST_F(PrimitiveGL, CullingKeepsTheFacesTurnedToTheViewer) {
  UseOrtho();
  // Rotated so that the front, right and top faces look toward +Z (the viewer).
  const float c = std::cos(0.5f), s = std::sin(0.5f);
  const TMatrix4f aboutX{{1, 0, 0, 0}, {0, c, s, 0}, {0, -s, c, 0}, {0, 0, 0, 1}};
  const TMatrix4f aboutY{{c, 0, -s, 0}, {0, 1, 0, 0}, {s, 0, c, 0}, {0, 0, 0, 1}};
  TMatrix4f model = MultiplyMatrices(MultiplyMatrices(aboutY, aboutX), IdentityHmgMatrix);
  Transformation().SetModelMatrix(model);
  States().Enable(stCullFace);
  States().SetCullFaceMode(cmBack);
  TGLCube cube;
  cube.SetCubeSize({20, 20, 20});
  auto facing = [&](TGLCubePart part) {
    cube.SetParts(CubePartBit(part));
    return CaptureQuads([&] { cube.BuildList(FRci); }).size() == 1;
  };
  for (const TFaceRow& face : cFaces) {
    const bool towardViewer = TransformVector(VectorMake(face.Normal, 0), model).Z > 0;
    cube.SetNormalDirection(TGLNormalDirection::ndOutside);
    EXPECT_EQ(facing(face.Part), towardViewer) << face.Name << " outside";
    cube.SetNormalDirection(TGLNormalDirection::ndInside);
    EXPECT_EQ(facing(face.Part), !towardViewer) << face.Name << " inside";
  }
  States().Disable(stCullFace);
}

TEST_F(PrimitiveGL, BoxFrontFaceColourLitAndFlipped) {
  UsePerspective(60, 0.1, 100);
  States().SetLightDiffuse(0, {1, 1, 1, 1});
  States().SetLightPosition(0, {0, 0, 1, 0});
  States().SetLightEnabling(0, true);
  FRci.BufferLighting = true;
  TGLCube cube;
  cube.Position().SetPoint(0, 0, -4);
  TGLFaceProperties& front = cube.Material().FrontProperties();
  front.Ambient().SetColor(cBlack);
  front.Diffuse().SetColor({0.8f, 0.4f, 0.2f, 1});
  ClearTo({0, 0, 1, 1});
  cube.Render(FRci);
  // The front face's normal meets the light head on: the full diffuse colour.
  EXPECT_TRUE(PixelIs(32, 32, {204, 102, 51, 255}, 1));
  EXPECT_TRUE(PixelIs(2, 2, {0, 0, 255, 255})) << "background around the box";
  // Turned inside, the near face's normal looks away from the light and the face goes dark.
  cube.SetNormalDirection(TGLNormalDirection::ndInside);
  ClearTo({0, 0, 1, 1});
  cube.Render(FRci);
  EXPECT_TRUE(PixelIs(32, 32, {0, 0, 0, 255}, 1));
}

TEST_F(PrimitiveGL, CylinderSilhouetteMatchesItsRadiusThroughTheProjection) {
  const double fovy = 60, distance = 3, radius = 1;
  UsePerspective(fovy, 0.1, 100);
  TGLCylinder cylinder;
  cylinder.SetBottomRadius(float(radius));
  cylinder.SetTopRadius(float(radius));
  cylinder.SetHeight(4);
  cylinder.SetSlices(128);
  cylinder.Position().SetPoint(0, 0, float(-distance));
  cylinder.Material().FrontProperties().Diffuse().SetColor({1, 1, 0, 1});
  ClearTo(cBlack);
  cylinder.Render(FRci);
  // The tangents from the eye to the circle: half-width tan(asin(r/d)) on the projection
  // plane, scaled by the focal factor to half the viewport.
  const double f = 1 / std::tan(fovy * M_PI / 360);
  const double halfWidthPx =
      f * radius / std::sqrt(distance * distance - radius * radius) * (cWidth / 2.0);
  for (int32_t row : {cHeight / 2 - 1, cHeight / 2}) {
    int covered = 0;
    for (int32_t x = 0; x < cWidth; ++x)
      if (Pixel(x, row)[0] > 128) ++covered;
    EXPECT_NEAR(covered, 2 * halfWidthPx, 1.0) << "row " << row;
  }
}

TEST_F(PrimitiveGL, CylinderExtentAlongItsAxisFollowsTheAlignment) {
  UseOrtho();
  TGLCylinder cylinder;
  cylinder.SetBottomRadius(10);
  cylinder.SetTopRadius(10);
  cylinder.SetHeight(20);
  cylinder.Material().FrontProperties().Diffuse().SetColor({1, 1, 1, 1});
  const struct {
    TGLCylinderAlignment Alignment;
    int32_t FirstRow, LastRow;  // covered rows of the centre column
  } rows[] = {{TGLCylinderAlignment::caCenter, 22, 41},
              {TGLCylinderAlignment::caTop, 12, 31},
              {TGLCylinderAlignment::caBottom, 32, 51}};
  for (const auto& row : rows) {
    SCOPED_TRACE(int(row.Alignment));
    cylinder.SetAlignment(row.Alignment);
    ClearTo(cBlack);
    cylinder.Render(FRci);
    EXPECT_TRUE(PixelIs(32, row.FirstRow - 1, {0, 0, 0, 255}));
    EXPECT_TRUE(PixelIs(32, row.FirstRow, {255, 255, 255, 255}));
    EXPECT_TRUE(PixelIs(32, row.LastRow, {255, 255, 255, 255}));
    EXPECT_TRUE(PixelIs(32, row.LastRow + 1, {0, 0, 0, 255}));
    const int32_t middle = (row.FirstRow + row.LastRow) / 2;
    EXPECT_TRUE(PixelIs(32 + 9, middle, {255, 255, 255, 255})) << "radius 10";
    EXPECT_TRUE(PixelIs(32 + 10, middle, {0, 0, 0, 255})) << "radius 10";
  }
}

// Looking at the cylinder from below: only the bottom cap faces the viewer, the top cap
// turns away from it.
TEST_F(PrimitiveGL, CapsFaceAwayFromEachOther) {
  UseOrtho();
  TGLCylinder cylinder;
  cylinder.SetBottomRadius(10);
  cylinder.SetTopRadius(10);
  cylinder.SetHeight(20);
  cylinder.Material().FrontProperties().Diffuse().SetColor({1, 1, 1, 1});
  // Object -Y toward the viewer (+Z): Y -> -Z, Z -> Y.
  cylinder.Up().SetVector(0, 0, -1);
  cylinder.Direction().SetVector(0, 1, 0);
  FRci.BufferFaceCull = true;
  for (TGLCylinderPart part : {cyBottom, cyTop}) {
    SCOPED_TRACE(int(part));
    cylinder.SetParts(CylinderPartBit(part));
    ClearTo(cBlack);
    cylinder.Render(FRci);
    const uint8_t expected = part == cyBottom ? 255 : 0;
    EXPECT_TRUE(PixelIs(32, 32, {expected, expected, expected, 255}));
  }
  // Turned inside, the roles swap.
  cylinder.SetNormalDirection(TGLNormalDirection::ndInside);
  cylinder.SetParts(CylinderPartBit(cyTop));
  ClearTo(cBlack);
  cylinder.Render(FRci);
  EXPECT_TRUE(PixelIs(32, 32, {255, 255, 255, 255}));
}

TEST_F(PrimitiveGL, CylinderIsCompiledOnceThroughAFreshQuadric) {
  UseOrtho();
  TGLCylinder cylinder;
  cylinder.Render(FRci);
  const struct {
    const char* Call;
    uint64_t Count;
  } firstBuild[] = {{"gluNewQuadric", 1},     {"gluQuadricDrawStyle", 1},
                    {"gluQuadricNormals", 1}, {"gluQuadricOrientation", 2},
                    {"gluQuadricTexture", 1}, {"gluCylinder", 1},
                    {"gluDisk", 2},           {"gluDeleteQuadric", 1},
                    {"glRotatef", 1},         {"glTranslatef", 2},
                    {"glPushMatrix", 2},      {"glPopMatrix", 2},
                    {"glNewList", 1},         {"glCallList", 1}};
  for (const auto& c : firstBuild) EXPECT_EQ(gl::CallCount(c.Call), c.Count) << c.Call;

  gl::ResetCallCounts();
  cylinder.Render(FRci);
  EXPECT_EQ(gl::CallCount("gluNewQuadric"), 0u) << "the list is reused";
  EXPECT_EQ(gl::CallCount("glCallList"), 1u);

  // Sides only, from the bottom end: no caps, no inverted orientation, no centring shift.
  cylinder.SetParts(CylinderPartBit(cySides));
  cylinder.SetAlignment(TGLCylinderAlignment::caBottom);
  gl::ResetCallCounts();
  cylinder.Render(FRci);
  EXPECT_EQ(gl::CallCount("gluNewQuadric"), 1u);
  EXPECT_EQ(gl::CallCount("gluQuadricOrientation"), 1u);
  EXPECT_EQ(gl::CallCount("gluDisk"), 0u);
  EXPECT_EQ(gl::CallCount("glTranslatef"), 0u);
  EXPECT_EQ(gl::CallCount("gluDeleteQuadric"), 1u);
  cylinder.DestroyHandles();
}

TEST_F(PrimitiveGL, DummyCubeDrawsOnlyItsChildrenUnlessVisibleAtRunTime) {
  UseOrtho();
  TGLDummyCube group;
  group.AddNewChild<TGLCube>();
  gl::ResetCallCounts();
  group.Render(FRci);
  EXPECT_EQ(gl::CallCount("glVertex3f"), 24u) << "the child's box only";

  group.SetVisibleAtRunTime(true);
  gl::ResetCallCounts();
  group.Render(FRci);
  // A strip of ten points and three lines, on top of the child's box.
  EXPECT_EQ(gl::CallCount("glVertex3f"), 24u + 10 + 6);
  EXPECT_EQ(gl::CallCount("glPushAttrib"), 1u);
  EXPECT_EQ(gl::CallCount("glPopAttrib"), 1u);
  EXPECT_FALSE(States().IsEnabled(stLineStipple)) << "the wireframe's states are restored";
}

TEST_F(PrimitiveGL, VisibilityEventSkipsTheGroup) {
  UseOrtho();
  TGLDummyCube group;
  group.AddNewChild<TGLCube>();
  int asked = 0;
  group.OnVisibilityDetermination = [&](TPersistent* sender, TGLRenderContextInfo&) {
    EXPECT_EQ(sender, &group);
    ++asked;
    return false;
  };
  gl::ResetCallCounts();
  group.Render(FRci);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(gl::CallCount("glVertex3f"), 0u);
}

TEST_F(PrimitiveGL, AmalgamatedGroupIsOneListUntilItsStructureChanges) {
  UseOrtho();
  TGLDummyCube group;
  auto* child = group.AddNewChild<TGLCube>();
  child->SetCubeSize({20, 20, 20});
  child->Material().FrontProperties().Diffuse().SetColor({1, 0, 0, 1});
  group.SetAmalgamate(true);
  ClearTo(cBlack);
  gl::ResetCallCounts();
  group.Render(FRci);
  EXPECT_EQ(gl::CallCount("glNewList"), 1u);
  EXPECT_EQ(gl::CallCount("glCallList"), 1u);
  EXPECT_EQ(gl::CallCount("glVertex3f"), 24u);
  EXPECT_TRUE(PixelIs(32, 32, {255, 0, 0, 255})) << "the list draws the child";

  gl::ResetCallCounts();
  group.Render(FRci);
  EXPECT_EQ(gl::CallCount("glNewList"), 0u);
  EXPECT_EQ(gl::CallCount("glVertex3f"), 0u);
  EXPECT_EQ(gl::CallCount("glCallList"), 1u);

  gl::ResetCallCounts();
  group.StructureChanged();
  group.Render(FRci);
  EXPECT_EQ(gl::CallCount("glDeleteLists"), 1u);
  EXPECT_EQ(gl::CallCount("glNewList"), 1u);
  group.DestroyHandles();
}

}  // namespace
}  // namespace ukh::test
