// The viewer in a real FLTK window on a private Xvfb server: a scene change leads to exactly
// one repaint, and the window shows the scene (read back from the window's back buffer before
// the swap, and saved as "fltk_viewer.png" with ImageMagick's import when it is installed).
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>

#include "engine/gl/GLApi.h"
#include "engine/scene/GLCamera.h"
#include "engine/scene/GLLightSource.h"
#include "engine/scene/GLWorld.h"
#include "platform/fltkgl/FltkGLViewer.h"
#include "platform/xvfb/XvfbServer.h"
#include "tests/render/TestObjects.h"

// Under LeakSanitizer: what the system's font library (reached through FLTK) and the GL
// driver keep until exit is theirs, not a leak of ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:swrast_dri.so\n";
}

namespace ukh::test {
namespace {

using Clock = std::chrono::steady_clock;
using TRGBA8 = std::array<uint8_t, 4>;

// One server for the whole process: FLTK opens its display only once.
void StartDisplay() {
  static std::unique_ptr<platform::TXvfbServer> server;
  if (!server) server = std::make_unique<platform::TXvfbServer>();
}

// Runs FLTK's loop until `done` or the deadline; false on the deadline.
bool RunUntil(const std::function<bool()>& done, double seconds = 10) {
  const auto end = Clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (Clock::now() > end) return false;
    Fl::wait(0.01);
  }
  return true;
}

// Runs FLTK's loop for a while, serving whatever comes.
void RunFor(double seconds) {
  const auto end = Clock::now() + std::chrono::duration<double>(seconds);
  while (Clock::now() < end) Fl::wait(0.01);
}

TEST(FltkViewerTest, ASceneChangeRepaintsOnceAndTheWindowShowsTheScene) {
  if (!platform::TXvfbServer::Available()) GTEST_SKIP() << "Xvfb is not installed";
  StartDisplay();

  TGLWorld scene;
  auto* camera = scene.Objects().AddNewChild<TGLCamera>();
  camera->Position().SetPoint(0, 0, 5);
  auto* light = scene.Objects().AddNewChild<TGLLightSource>();
  light->SetLightStyle(TGLLightStyle::lsParallel);
  light->SpotDirection().SetVector(0, 0, 1);
  auto* cube = scene.Objects().AddNewChild<TTestCube>(1.0f);
  cube->Material().FrontProperties().Diffuse().SetColor({0.9f, 0.6f, 0.1f, 1});

  TGLWorldViewer viewer;
  viewer.SetCamera(camera);
  viewer.Buffer().SetBackgroundColor(0x00402010);

  // The frame as drawn into the window's back buffer, read just before the swap.
  TRGBA8 onCubePixel{}, cornerPixel{};
  viewer.Buffer().PostRender = [&](TGLWorldBuffer*) {
    glReadPixels(200, 120, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, onCubePixel.data());
    glReadPixels(5, 5, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, cornerPixel.data());
  };

  Fl_Window window(0, 0, 340, 260, "Viewer");
  platform::TFltkGLViewer glWindow(10, 10, 320, 240, viewer);
  window.end();
  window.show();
  ASSERT_TRUE(
      RunUntil([&] { return glWindow.DrawCount() > 0 && viewer.Buffer().FrameCount() > 0; }));
  RunFor(0.3);  // expose events of the first map are served
  ASSERT_TRUE(viewer.IsRenderingContextAvailable());

  const int draws = glWindow.DrawCount();
  const int frames = viewer.Buffer().FrameCount();
  cube->Position().SetPoint(0.5f, 0, 0);
  RunFor(0.3);
  EXPECT_EQ(glWindow.DrawCount(), draws + 1);
  EXPECT_EQ(viewer.Buffer().FrameCount(), frames + 1);
  // Nothing changes, nothing is drawn.
  RunFor(0.2);
  EXPECT_EQ(glWindow.DrawCount(), draws + 1);

  // The front face spans x 160..244 now (0 to 1 at depth 4.5); lit as in the headless test.
  const TRGBA8 lit{uint8_t((0.04 + 0.9) * 255 + 0.5), uint8_t((0.04 + 0.6) * 255 + 0.5),
                   uint8_t((0.04 + 0.1) * 255 + 0.5), 255};
  const TRGBA8 onCube = onCubePixel;
  const TRGBA8 corner = cornerPixel;
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(onCube[i], lit[i], 1) << i;
  }
  EXPECT_EQ(corner[0], 0x10);
  EXPECT_EQ(corner[1], 0x20);
  EXPECT_EQ(corner[2], 0x40);

  if (platform::ProgramAvailable("import")) {
    const std::string command =
        "import -display " + std::string(std::getenv("DISPLAY")) + " -window root fltk_viewer.png";
    EXPECT_EQ(std::system(command.c_str()), 0);
  }
  window.hide();
  Fl::wait(0);
  EXPECT_FALSE(viewer.IsRenderingContextAvailable());
}

}  // namespace
}  // namespace ukh::test
