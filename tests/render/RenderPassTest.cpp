// The render pass on real pixels of a headless context: a lit cube seen through the camera
// lands where the projection puts it and has the colour the lighting equation gives; display
// lists are compiled once and recompiled exactly for the object whose structure changed; the
// state cache makes no call for a value GL already holds; sorting, visibility and the depth
// of the transformation stack.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/gl/GLApi.h"
#include "engine/gl/GLStateCache.h"
#include "engine/gl/GLTransformation.h"
#include "engine/scene/GLCamera.h"
#include "engine/scene/GLCameraInvariantObject.h"
#include "engine/scene/GLLightSource.h"
#include "engine/scene/GLWorld.h"
#include "tests/render/HeadlessViewer.h"
#include "tests/render/TestObjects.h"

namespace ukh::test {
namespace {

using TRGBA8 = std::array<uint8_t, 4>;

constexpr int32_t cW = 160;
constexpr int32_t cH = 120;
// A direct window-system colour: red 0x10, green 0x20, blue 0x40.
constexpr uint32_t cBackground = 0x00402010;
constexpr TRGBA8 cBackgroundPixel{0x10, 0x20, 0x40, 0xFF};

uint8_t Byte(double v) {
  return v <= 0 ? 0 : v >= 1 ? 255 : uint8_t(v * 255 + 0.5);
}

::testing::AssertionResult Near(TRGBA8 got, TRGBA8 want, int tolerance = 1) {
  for (int i = 0; i < 4; ++i)
    if (std::abs(int(got[i]) - int(want[i])) > tolerance)
      return ::testing::AssertionFailure()
             << "(" << int(got[0]) << "," << int(got[1]) << "," << int(got[2]) << "," << int(got[3])
             << ") instead of (" << int(want[0]) << "," << int(want[1]) << "," << int(want[2])
             << "," << int(want[3]) << ")";
  return ::testing::AssertionSuccess();
}

class RenderPassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    camera = scene.Objects().AddNewChild<TGLCamera>();
    camera->SetName("camera");
    camera->Position().SetPoint(0, 0, 5);
    light = scene.Objects().AddNewChild<TGLLightSource>();
    // A directional light shining along -Z, onto the faces that look at the camera.
    light->SetLightStyle(TGLLightStyle::lsParallel);
    light->SpotDirection().SetVector(0, 0, 1);
    host.Buffer().SetCamera(camera);
    host.Buffer().SetBackgroundColor(cBackground);
    host.CreateWindow();
  }

  TTestCube* AddCube(const std::string& name, float size = 1,
                     TGLBaseSceneObject* parent = nullptr) {
    auto* cube = (parent ? parent : &scene.Objects())->AddNewChild<TTestCube>(size);
    cube->SetName(name);
    return cube;
  }
  TRGBA8 Pixel(int x, int y) { return host.Context()->ReadPixel(x, y); }
  void Frame() { host.Paint(); }
  // Where the camera's projection puts eye-space x (or y) at eye depth d, in pixels from the
  // left (or bottom), for the full-window viewport of cW x cH at 96 dpi.
  static double ScreenX(double x, double depth, double focal = 50) {
    const double maxDim = std::max(cW, cH);
    const double zNear = focal * 2 * 96 / (25.4 * maxDim);
    const double right = cW / (2 * maxDim);
    return (zNear / right * x / depth + 1) / 2 * cW;
  }
  static double ScreenY(double y, double depth, double focal = 50) {
    const double maxDim = std::max(cW, cH);
    const double zNear = focal * 2 * 96 / (25.4 * maxDim);
    const double top = cH / (2 * maxDim);
    return (zNear / top * y / depth + 1) / 2 * cH;
  }

  TGLWorld scene;
  THeadlessViewer host{cW, cH};
  TGLCamera* camera = nullptr;
  TGLLightSource* light = nullptr;
};

TEST_F(RenderPassTest, LitCubeLandsWhereTheProjectionPutsIt) {
  TTestCube* cube = AddCube("cube");
  cube->Material().FrontProperties().Diffuse().SetColor({0.6f, 0.3f, 0.1f, 1});
  Frame();

  // Emission 0 + scene ambient 0.2 x material ambient 0.2 + light ambient 0 + diffuse x 1 x
  // N.L (1: the light comes straight from the camera's side).
  const TRGBA8 lit{Byte(0.04 + 0.6), Byte(0.04 + 0.3), Byte(0.04 + 0.1), 255};
  // The front face at z = 0.5 is 4.5 in front of the camera.
  const double left = ScreenX(-0.5, 4.5), right = ScreenX(0.5, 4.5);
  const double bottom = ScreenY(-0.5, 4.5), top = ScreenY(0.5, 4.5);
  EXPECT_NEAR(right - left, top - bottom, 1e-9);  // square pixels, square face
  EXPECT_TRUE(Near(Pixel(cW / 2, cH / 2), lit));
  const int cy = cH / 2, cx = cW / 2;
  EXPECT_TRUE(Near(Pixel(int(left) + 2, cy), lit));
  EXPECT_TRUE(Near(Pixel(int(left) - 2, cy), cBackgroundPixel, 0));
  EXPECT_TRUE(Near(Pixel(int(right) - 2, cy), lit));
  EXPECT_TRUE(Near(Pixel(int(right) + 2, cy), cBackgroundPixel, 0));
  EXPECT_TRUE(Near(Pixel(cx, int(top) - 2), lit));
  EXPECT_TRUE(Near(Pixel(cx, int(top) + 2), cBackgroundPixel, 0));
  EXPECT_TRUE(Near(Pixel(cx, int(bottom) + 2), lit));
  EXPECT_TRUE(Near(Pixel(cx, int(bottom) - 2), cBackgroundPixel, 0));

  // Moved right by 0.25 and twice as far: the face is where the formula says.
  cube->Position().SetPoint(0.25f, 0, -4.5f);
  Frame();
  const double l2 = ScreenX(-0.25, 9), r2 = ScreenX(0.75, 9);
  EXPECT_TRUE(Near(Pixel(int(l2) + 2, cy), lit));
  EXPECT_TRUE(Near(Pixel(int(l2) - 2, cy), cBackgroundPixel, 0));
  EXPECT_TRUE(Near(Pixel(int(r2) - 2, cy), lit));
  EXPECT_TRUE(Near(Pixel(int(r2) + 2, cy), cBackgroundPixel, 0));
  // A light turned off leaves only the ambient part.
  light->SetShining(false);
  Frame();
  EXPECT_TRUE(Near(Pixel(int((l2 + r2) / 2), cy), TRGBA8{Byte(0.04), Byte(0.04), Byte(0.04), 255}));
}

TEST_F(RenderPassTest, LookAtPutsTheTargetAtTheViewCentre) {
  TTestCube* target = AddCube("target", 0.2f);
  target->Position().SetPoint(1, -1, 2);
  camera->Position().SetPoint(3, 4, 5);
  camera->SetTargetObject(target);
  Frame();
  const TRGBA8 centre = Pixel(cW / 2, cH / 2);
  EXPECT_FALSE(Near(centre, cBackgroundPixel, 0)) << "the target is not at the centre";
  // Distance about 6.2, so the 0.2 cube covers well under 10 pixels each way.
  for (auto [dx, dy] : {std::pair{12, 0}, {-12, 0}, {0, 12}, {0, -12}})
    EXPECT_TRUE(Near(Pixel(cW / 2 + dx, cH / 2 + dy), cBackgroundPixel, 0)) << dx << "," << dy;

  // The camera follows a moved target.
  target->Position().SetPoint(-2, 0, 0);
  Frame();
  EXPECT_FALSE(Near(Pixel(cW / 2, cH / 2), cBackgroundPixel, 0));
}

TEST_F(RenderPassTest, DisplayListsAreCompiledOnceAndRecompiledForAStructuralChange) {
  TTestCube* a = AddCube("a");
  TTestCube* b = AddCube("b", 0.5f);
  a->Position().SetPoint(-1, 0, 0);
  b->Position().SetPoint(1, 0, 0);
  gl::ResetCallCounts();
  for (int i = 0; i < 5; ++i) Frame();
  EXPECT_EQ(gl::CallCount("glNewList"), 2u);
  EXPECT_EQ(gl::CallCount("glCallList"), 10u);
  EXPECT_EQ(a->BuildCount, 1);
  EXPECT_EQ(b->BuildCount, 1);

  // Moving is no structural change.
  a->Position().SetPoint(-1.5f, 0, 0);
  gl::ResetCallCounts();
  Frame();
  EXPECT_EQ(gl::CallCount("glNewList"), 0u);
  EXPECT_EQ(a->BuildCount, 1);

  // A new size recompiles exactly b, once.
  b->SetSize(0.75f);
  gl::ResetCallCounts();
  for (int i = 0; i < 3; ++i) Frame();
  EXPECT_EQ(gl::CallCount("glNewList"), 1u);
  EXPECT_EQ(gl::CallCount("glGenLists"), 0u);
  EXPECT_EQ(gl::CallCount("glCallList"), 6u);
  EXPECT_EQ(a->BuildCount, 1);
  EXPECT_EQ(b->BuildCount, 2);

  // Drawn directly, an object never makes a list.
  TTestCube* direct = AddCube("direct", 0.1f);
  direct->SetDirectDraw(true);
  gl::ResetCallCounts();
  Frame();
  Frame();
  EXPECT_EQ(gl::CallCount("glNewList"), 0u);
  EXPECT_EQ(direct->BuildCount, 2);
}

TEST_F(RenderPassTest, AFailingBuildEndsTheListAndIsRetried) {
  TTestCube* cube = AddCube("cube");
  bool fail = true;
  cube->OnBuild = [&](TGLRenderContextInfo&) {
    if (fail) throw Exception("no geometry");
  };
  EXPECT_THROW(Frame(), Exception);
  EXPECT_FALSE(host.Buffer().Rendering());
  fail = false;
  host.Buffer().RenderingContext()->Activate();
  EXPECT_FALSE(host.Buffer().RenderingContext()->GLStates().InsideList());
  EXPECT_EQ(host.Buffer().RenderingContext()->PipelineTransformation().StackPos(), 0);
  host.Buffer().RenderingContext()->Deactivate();
  Frame();
  EXPECT_EQ(cube->BuildCount, 2);
  EXPECT_FALSE(Near(Pixel(cW / 2, cH / 2), cBackgroundPixel, 0));
}

TEST_F(RenderPassTest, AListThatChangesTheDepthFunctionLeavesItAsItWas) {
  TTestCube* first = AddCube("first");
  first->OnBuild = [](TGLRenderContextInfo& rci) { rci.GLStates->SetDepthFunc(cfGreater); };
  AddCube("second", 0.5f);
  Frame();
  TGLContext& context = *host.Buffer().RenderingContext();
  context.Activate();
  // The materials ask for less-or-equal; the list's greater stays inside it.
  EXPECT_EQ(context.GLStates().DepthFunc(), cfLEqual);
  GLint func = 0;
  glGetIntegerv(GL_DEPTH_FUNC, &func);
  EXPECT_EQ(func, GL_LEQUAL);
  context.Deactivate();
  gl::ResetCallCounts();
  Frame();
  EXPECT_EQ(gl::CallCount("glPushAttrib"), 1u);
  EXPECT_EQ(gl::CallCount("glPopAttrib"), 1u);
}

TEST_F(RenderPassTest, TheCacheCallsGLOnlyForValuesItDoesNotHold) {
  TTestCube* cube = AddCube("cube");
  cube->Material().FrontProperties().Diffuse().SetColor({0.6f, 0.3f, 0.1f, 1});
  TTestCube* other = AddCube("other", 0.5f);
  other->Position().SetPoint(1, 1, 0);
  Frame();
  gl::ResetCallCounts();
  Frame();
  // Two objects with different materials: only the colours that differ are sent, and the
  // frame's settings (clear colour, masks, hints, light colours) are not sent again.
  for (const char* call : {"glClearColor", "glDepthMask", "glColorMask", "glLightf",
                           "glLightModelfv", "glHint", "glShadeModel", "glBlendFunc", "glMateriali",
                           "glDepthFunc", "glAlphaFunc", "glPolygonMode"})
    EXPECT_EQ(gl::CallCount(call), 0u) << call;
  // Diffuse front colour of each object in turn.
  EXPECT_EQ(gl::CallCount("glMaterialfv"), 2u);
  // Only the four switches the frame forces, and dithering.
  EXPECT_EQ(gl::CallCount("glEnable") + gl::CallCount("glDisable"), 5u);
}

TEST_F(RenderPassTest, AfterTheTreeGLHoldsTheViewAgain) {
  TTestCube* cube = AddCube("cube", 0.5f);
  cube->Position().SetPoint(1, 2, 0);
  // Drawing in PostRender starts from the camera's view, as after the light set-up.
  TMatrix4f modelView{}, projection{}, view{}, expectedProjection{};
  host.Buffer().PostRender = [&](TGLWorldBuffer* buffer) {
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.data());
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    view = buffer->RenderingContext()->PipelineTransformation().ViewMatrix();
    expectedProjection = buffer->RenderingContext()->PipelineTransformation().ProjectionMatrix();
  };
  Frame();
  EXPECT_EQ(modelView, view);
  EXPECT_EQ(projection, expectedProjection);
  EXPECT_EQ(view.W.Z, -5.0f);
}

TEST_F(RenderPassTest, MatrixLoadsInsideAListAreNotTakenForWhatGLHolds) {
  TGLContext& context = *host.Buffer().RenderingContext();
  context.Activate();
  TGLTransformation& t = context.PipelineTransformation();
  TGLStateCache& states = context.GLStates();
  const TMatrix4f a = TranslationMatrix({1, 0, 0}), b = TranslationMatrix({0, 2, 0});
  auto glModelView = [] {
    TMatrix4f m;
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
  };
  t.IdentityAll();
  t.SetModelMatrix(a);
  const GLuint list = gl::GenLists(1);
  states.NewList(list, GL_COMPILE);
  t.SetModelMatrix(b);  // compiled, not run
  states.EndList();
  EXPECT_EQ(glModelView(), a);
  t.SetModelMatrix(a);  // GL holds it already: no call needed, and none made
  EXPECT_EQ(glModelView(), a);
  states.CallList(list);
  EXPECT_EQ(glModelView(), b);
  gl::ResetCallCounts();
  t.SetModelMatrix(a);  // the list changed GL's matrix: this load must be made
  EXPECT_EQ(gl::CallCount("glLoadMatrixf"), 1u);
  EXPECT_EQ(glModelView(), a);
  gl::DeleteLists(list, 1);
  context.Deactivate();
}

TEST_F(RenderPassTest, AnImmaterialObjectDrawsWithTheStatesItFinds) {
  TTestCube* red = AddCube("red", 0.5f);
  red->Position().SetPoint(-1, 0, 0);
  red->Material().FrontProperties().Diffuse().SetColor({1, 0, 0, 1});
  auto* plain = scene.Objects().AddNewChild<TImmaterialCube>(0.5f);
  plain->Position().SetPoint(1, 0, 0);
  plain->Material().FrontProperties().Diffuse().SetColor({0, 0, 1, 1});
  Frame();
  // The front faces at depth 4.75, centred 1 left and right of the axis.
  const int y = cH / 2;
  const int left = int(ScreenX(-1, 4.75)), right = int(ScreenX(1, 4.75));
  const TRGBA8 redLit{Byte(0.04 + 1), Byte(0.04), Byte(0.04), 255};
  EXPECT_TRUE(Near(Pixel(left, y), redLit));
  EXPECT_TRUE(Near(Pixel(right, y), redLit));  // not blue: its material was never applied
}

TEST_F(RenderPassTest, ACameraInvariantGroupStaysPutWhenTheCameraMoves) {
  auto* group = scene.Objects().AddNewChild<TGLCameraInvariantObject>();
  group->SetCamInvarianceMode(TGLCameraInvarianceMode::cimPosition);
  group->Position().SetPoint(0, 0, -5);  // 5 in front of the camera, wherever it is
  AddCube("cube", 0.5f, group);
  camera->Position().SetPoint(3, 1, 5);
  Frame();
  EXPECT_FALSE(Near(Pixel(cW / 2, cH / 2), cBackgroundPixel, 0));
  // Without invariance the cube is 3 to the left and out of the middle of the view.
  group->SetCamInvarianceMode(TGLCameraInvarianceMode::cimNone);
  Frame();
  EXPECT_TRUE(Near(Pixel(cW / 2, cH / 2), cBackgroundPixel, 0));
}

TEST_F(RenderPassTest, InvisibleObjectsHideTheirSubtree) {
  TTestCube* parent = AddCube("parent", 0.2f);
  parent->Position().SetPoint(-1, 0, 0);
  TTestCube* child = AddCube("child", 1, parent);
  child->Position().SetPoint(1, 0, 0);  // at the centre of the view
  parent->SetVisible(false);
  Frame();
  EXPECT_TRUE(Near(Pixel(cW / 2, cH / 2), cBackgroundPixel, 0));
  EXPECT_EQ(child->BuildCount, 0);
  parent->SetVisible(true);
  Frame();
  EXPECT_FALSE(Near(Pixel(cW / 2, cH / 2), cBackgroundPixel, 0));
}

TEST_F(RenderPassTest, VisibilityCullingSkipsWhatLiesOutsideTheFrustum) {
  // A group far to the left of the view holding a child that the group's offset brings back
  // to the centre: object-based culling judges each object by its own sphere, hierarchical
  // culling the group by the box around its subtree, which reaches the view.
  struct TCase {
    TGLVisibilityCulling culling;
    bool groupBuilt, childBuilt, behindBuilt;
  } const cases[] = {
      {TGLVisibilityCulling::vcNone, true, true, true},
      {TGLVisibilityCulling::vcObjectBased, false, true, false},
      {TGLVisibilityCulling::vcHierarchical, true, true, false},
  };
  for (const TCase& c : cases) {
    scene.Objects().DeleteChildren();
    camera = scene.Objects().AddNewChild<TGLCamera>();
    camera->Position().SetPoint(0, 0, 5);
    host.Buffer().SetCamera(camera);
    TTestCube* group = AddCube("group", 0.5f);
    group->Position().SetPoint(-30, 0, 0);
    TTestCube* child = AddCube("child", 0.5f, group);
    child->Position().SetPoint(30, 0, 0);
    TTestCube* behind = AddCube("behind", 0.5f);
    behind->Position().SetPoint(0, 0, 20);  // behind the camera
    scene.SetVisibilityCulling(c.culling);
    Frame();
    EXPECT_EQ(group->BuildCount > 0, c.groupBuilt) << int(c.culling);
    EXPECT_EQ(child->BuildCount > 0, c.childBuilt) << int(c.culling);
    EXPECT_EQ(behind->BuildCount > 0, c.behindBuilt) << int(c.culling);
  }
}

TEST_F(RenderPassTest, OpaqueInIndexOrderThenBlendedFromFarthestToNearest) {
  std::vector<std::string> log;
  struct TItem {
    const char* name;
    float z;
    bool blended;
  } const items[] = {{"blendNear", 2, true},
                     {"opaque1", 0, false},
                     {"blendFar", -3, true},
                     {"opaque2", 1, false},
                     {"blendMid", -0.5f, true}};
  for (const TItem& item : items) {
    TTestCube* c = AddCube(item.name, 0.1f);
    c->Position().SetPoint(0, 0, item.z);
    if (item.blended) c->Material().SetBlendingMode(bmTransparency);
    c->Log = &log;
  }
  Frame();
  EXPECT_EQ(log,
            (std::vector<std::string>{"opaque1", "opaque2", "blendFar", "blendMid", "blendNear"}));

  // Nearest first, for every child, once the scene asks for it.
  log.clear();
  scene.SetObjectsSorting(TGLObjectsSorting::osRenderNearestFirst);
  for (int i = 0; i < scene.Objects().Count(); ++i)
    if (auto* c = dynamic_cast<TTestCube*>(scene.Objects().Get(i))) c->StructureChanged();
  Frame();
  EXPECT_EQ(log,
            (std::vector<std::string>{"blendNear", "opaque2", "opaque1", "blendMid", "blendFar"}));
}

TEST_F(RenderPassTest, TheStackHoldsOneHundredAndTwentySevenLevels) {
  // The root takes the first push; 126 nested objects below it use up the 127 the stack has.
  TGLBaseSceneObject* parent = &scene.Objects();
  TTestCube* deepest = nullptr;
  for (int i = 0; i < 126; ++i) {
    deepest = AddCube("level" + std::to_string(i), 0.1f, parent);
    parent = deepest;
  }
  Frame();
  EXPECT_EQ(deepest->BuildCount, 1);

  // One level more: the push fails, the frame reports it and everything unwinds.
  AddCube("tooDeep", 0.1f, deepest);
  EXPECT_THROW(Frame(), ETransformationStackOverflow);
  TGLContext& context = *host.Buffer().RenderingContext();
  EXPECT_FALSE(context.Active());
  EXPECT_EQ(context.PipelineTransformation().StackPos(), 0);
  EXPECT_FALSE(host.Buffer().Rendering());

  // Taken away again, the next frame draws.
  std::unique_ptr<TGLBaseSceneObject> removed = deepest->Remove(deepest->Get(0), false);
  const int frames = host.Buffer().FrameCount();
  EXPECT_NO_THROW(Frame());
  EXPECT_EQ(host.Buffer().FrameCount(), frames + 1);
}

}  // namespace
}  // namespace ukh::test
