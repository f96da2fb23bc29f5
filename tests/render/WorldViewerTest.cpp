// The viewer and its render buffer on a headless host: invalidation on scene changes (one
// paint per change, none for changes made while a frame is drawn), context creation and its
// log entries, the frame's clear and swap, frame counting, the field of view and GL errors.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/gl/GLLog.h"
#include "engine/scene/GLCamera.h"
#include "engine/scene/GLLightSource.h"
#include "engine/scene/GLWorld.h"
#include "tests/render/HeadlessViewer.h"
#include "tests/render/TestObjects.h"

namespace ukh::test {
namespace {

using TRGBA8 = std::array<uint8_t, 4>;

class WorldViewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    camera = scene.Objects().AddNewChild<TGLCamera>();
    camera->Position().SetPoint(0, 0, 5);
    cube = scene.Objects().AddNewChild<TTestCube>(1.0f);
    host.Buffer().SetCamera(camera);
  }
  // Runs paints until none is pending; the number run.
  int DrainPaints() {
    int n = 0;
    while (host.ProcessPaint()) ++n;
    return n;
  }

  TGLWorld scene;
  THeadlessViewer host{64, 48};
  TGLCamera* camera = nullptr;
  TTestCube* cube = nullptr;
};

TEST_F(WorldViewerTest, ASceneChangeLeadsToExactlyOnePaint) {
  host.CreateWindow();
  DrainPaints();
  const int before = host.InvalidateCount();
  const int frames = host.Buffer().FrameCount();
  cube->Position().SetPoint(0.5f, 0, 0);
  EXPECT_GT(host.InvalidateCount(), before);
  EXPECT_EQ(DrainPaints(), 1);
  EXPECT_EQ(host.Buffer().FrameCount(), frames + 1);

  // Several changes before the paint still give one paint.
  cube->Position().SetPoint(0.25f, 0, 0);
  cube->Scale().SetVector(2, 2, 2);
  camera->SetFocalLength(30);
  EXPECT_EQ(DrainPaints(), 1);

  // A change made while a frame is drawn is dropped, not queued.
  cube->OnBuild = [&](TGLRenderContextInfo&) { cube->Position().SetPoint(0, 0.5f, 0); };
  cube->SetSize(0.5f);
  const int invalidations = host.InvalidateCount();
  EXPECT_EQ(DrainPaints(), 1);
  EXPECT_EQ(host.InvalidateCount(), invalidations);
  EXPECT_EQ(DrainPaints(), 0);
}

TEST_F(WorldViewerTest, ContextCreationLogsWhatItFound) {
  TGLLogCapture log;
  host.CreateWindow();
  ASSERT_TRUE(host.Viewer().IsRenderingContextAvailable());
  bool info = false;
  for (const auto& e : log.Entries)
    if (e.Level == TLogLevel::lkInfo && e.Message.rfind("OpenGL ", 0) == 0) info = true;
  EXPECT_TRUE(info);
  // Mesa's llvmpipe is a software renderer; hardware acceleration was asked for.
  const std::string renderer = reinterpret_cast<const char*>(
      (host.Buffer().RenderingContext()->Activate(), glGetString(GL_RENDERER)));
  host.Buffer().RenderingContext()->Deactivate();
  bool warned = false;
  for (const auto& e : log.Entries)
    if (e.Level == TLogLevel::lkWarning &&
        e.Message ==
            "Unable to create rendering context with hardware acceleration - down to software")
      warned = true;
  EXPECT_EQ(warned, renderer.find("llvmpipe") != std::string::npos);

  // Software asked for: no warning.
  log.Entries.clear();
  host.Buffer().SetContextOptions(host.Buffer().ContextOptions() | roSoftwareMode);
  EXPECT_EQ(host.RecreateCount(), 1);
  for (const auto& e : log.Entries) EXPECT_NE(e.Level, TLogLevel::lkWarning) << e.Message;
}

TEST_F(WorldViewerTest, NoContextObjectIsAnError) {
  TGLWorldBuffer buffer(nullptr);
  buffer.SetContextFactory([] { return std::unique_ptr<TGLContext>(); });
  try {
    buffer.CreateRC(0, false);
    FAIL() << "no error";
  } catch (const EGLContextError& e) {
    EXPECT_STREQ(e.what(), "Failed to create RenderingContext.");
  }
  EXPECT_FALSE(buffer.RCInstantiated());
  buffer.Render();  // no context: nothing happens
  EXPECT_EQ(buffer.FrameCount(), 0);
}

TEST_F(WorldViewerTest, FrameClearsSwapsAndCounts) {
  host.Buffer().SetBackgroundColor(0x00FF8000);  // blue 255, green 128, red 0
  host.CreateWindow();
  cube->SetVisible(false);
  host.Paint();
  EXPECT_EQ(host.Context()->ReadPixel(3, 3), (TRGBA8{0, 128, 255, 255}));
  EXPECT_EQ(host.Context()->SwapCount(), 1);
  for (int i = 0; i < 4; ++i) host.Paint();
  EXPECT_EQ(host.Buffer().FrameCount(), 5);
  EXPECT_GT(host.Viewer().FramesPerSecond(), 0);
  EXPECT_GT(host.Viewer().LastFrameTime(), 0);
  EXPECT_NE(host.Viewer().FramesPerSecondText(1).find(" FPS"), std::string::npos);
  host.Viewer().ResetPerformanceMonitor();
  EXPECT_EQ(host.Buffer().FrameCount(), 0);

  // No swap: frames are drawn but not shown.
  host.Buffer().SetContextOptions(host.Buffer().ContextOptions() | roNoSwapBuffers);
  const int swaps = host.Context()->SwapCount();
  host.Paint();
  EXPECT_EQ(host.Context()->SwapCount(), swaps);
  // A system colour follows the palette: the desktop background.
  host.Buffer().SetBackgroundColor(0xFF000001);
  host.Paint();
  const TVector4f desktop = ConvertWinColor(0xFF000001);
  const TRGBA8 got = host.Context()->ReadPixel(3, 3);
  EXPECT_NEAR(got[0], desktop.X * 255, 0.51);
  EXPECT_NEAR(got[2], desktop.Z * 255, 0.51);
}

TEST_F(WorldViewerTest, FieldOfViewUsesTheSmallerDimension) {
  host.CreateWindow();
  host.Resize(624, 432);
  EXPECT_EQ(host.Viewer().FieldOfView(), 153.9332885742188f);
  host.Viewer().SetFieldOfView(90);
  EXPECT_NEAR(camera->FocalLength(), 216.0f, 216e-6);
  host.Resize(300, 300);  // square: the height
  EXPECT_NEAR(host.Viewer().FieldOfView(), 2 * std::atan(150 / 216.0) * 57.29577951308232, 1e-4);
  host.Resize(200, 400);  // tall: the width
  EXPECT_NEAR(host.Viewer().FieldOfView(), 2 * std::atan(100 / 216.0) * 57.29577951308232, 1e-4);
  host.Resize(0, 0);
  EXPECT_EQ(host.Buffer().ViewPort(), (TVector4i{0, 0, 1, 1}));

  TGLWorldViewer alone;
  EXPECT_EQ(alone.FieldOfView(), 0.0f);
  alone.SetFieldOfView(45);
  EXPECT_EQ(alone.Camera(), nullptr);
}

TEST_F(WorldViewerTest, CameraOutsideASceneIsRefusedAndADeadCameraIsDropped) {
  TGLCamera loose;
  host.Buffer().SetCamera(&loose);
  EXPECT_EQ(host.Buffer().Camera(), nullptr);
  host.Buffer().SetCamera(camera);
  host.CreateWindow();
  host.Paint();
  EXPECT_EQ(scene.Buffers().size(), 1u);
  std::unique_ptr<TGLBaseSceneObject> gone = scene.Objects().Remove(camera, false);
  gone.reset();
  EXPECT_EQ(host.Buffer().Camera(), nullptr);
  EXPECT_TRUE(scene.Buffers().empty());
  host.Paint();  // clears, draws nothing, does not fail
}

// A scene object whose drawing makes a GL error.
class TFaultyObject : public TGLBaseSceneObject {
 public:
  explicit TFaultyObject(TComponent* owner) : TGLBaseSceneObject(owner) {
    FObjectStyle |= osDirectDraw;
  }
  void BuildList(TGLRenderContextInfo&) override { gl::MatrixMode(0x1234); }
};

TEST_F(WorldViewerTest, TheFirstGLErrorOfAFrameIsReportedWithItsCall) {
#ifndef UKH_GL_CHECK
  GTEST_SKIP() << "built without UKH_GL_CHECK";
#else
  host.CreateWindow();
  scene.Objects().AddNewChild<TFaultyObject>();
  TGLLogCapture log;
  try {
    host.Paint();
    FAIL() << "no error";
  } catch (const EOpenGLError& e) {
    EXPECT_STREQ(e.what(), "OpenGL error GL_INVALID_ENUM after glMatrixMode");
  }
  ASSERT_FALSE(log.Entries.empty());
  EXPECT_EQ(log.Entries.back().Level, TLogLevel::lkError);
  EXPECT_EQ(log.Entries.back().Message, "OpenGL error GL_INVALID_ENUM after glMatrixMode");
  EXPECT_FALSE(host.Buffer().RenderingContext()->Active());
#endif
}

}  // namespace
}  // namespace ukh::test
