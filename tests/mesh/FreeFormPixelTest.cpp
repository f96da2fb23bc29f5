// An imported model drawn through the render pass on a headless context: a 3DS cube loaded
// into a free form covers the screen square the camera's projection gives it, through both
// normal orientations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "engine/gl/GLStateCache.h"
#include "engine/mesh/GLFreeForm.h"
#include "engine/scene/GLCamera.h"
#include "engine/scene/GLLightSource.h"
#include "engine/scene/GLWorld.h"
#include "tests/mesh/Fixture3DS.h"
#include "tests/render/HeadlessViewer.h"

extern "C" const char* __lsan_default_suppressions() {
  return "leak:swrast_dri.so\n";
}

namespace ukh {
namespace {

using TRGBA8 = std::array<uint8_t, 4>;
constexpr int32_t cW = 160, cH = 120;
constexpr uint32_t cBackground = 0x00402010;
constexpr TRGBA8 cBackgroundPixel{0x10, 0x20, 0x40, 0xFF};

// Pixel column (or row) of eye-space x at depth d for the camera's default projection.
double Screen(double x, double depth, int size) {
  const double maxDim = std::max(cW, cH);
  const double zNear = 50.0 * 2 * 96 / (25.4 * maxDim);
  const double half = size / (2 * maxDim);
  return (zNear / half * x / depth + 1) / 2 * size;
}

class FreeFormPixelTest : public ::testing::TestWithParam<TGLMeshNormalsOrientation> {
 protected:
  void SetUp() override {
    camera = scene.Objects().AddNewChild<TGLCamera>();
    camera->Position().SetPoint(0, 0, 5);
    auto* light = scene.Objects().AddNewChild<TGLLightSource>();
    light->SetLightStyle(TGLLightStyle::lsParallel);
    light->SpotDirection().SetVector(0, 0, 1);
    host.Buffer().SetCamera(camera);
    host.Buffer().SetBackgroundColor(cBackground);
    host.CreateWindow();
  }
  bool IsBackground(int x, int y) { return host.Context()->ReadPixel(x, y) == cBackgroundPixel; }

  TGLWorld scene;
  test::THeadlessViewer host{cW, cH};
  TGLCamera* camera = nullptr;
};

TEST_P(FreeFormPixelTest, AnImportedCubeCoversItsProjectedSquare) {
  auto* ff = scene.Objects().AddNewChild<TGLFreeForm>();
  ff->SetAutoCentering(macCenterX | macCenterY | macCenterZ);
  ff->SetNormalsOrientation(GetParam());
  const test3ds::Bytes file = test3ds::MeshFile({test3ds::BoxObject("box")});
  std::istringstream in(std::string(file.begin(), file.end()));
  ff->LoadFromStream("cube.3ds", in);
  host.Paint();
  // The front face, at z = 0.5 (depth 4.5), spans x and y from -0.5 to 0.5.
  const double l = Screen(-0.5, 4.5, cW), r = Screen(0.5, 4.5, cW);
  const double b = Screen(-0.5, 4.5, cH), t = Screen(0.5, 4.5, cH);
  const int cx = cW / 2, cy = cH / 2;
  EXPECT_FALSE(IsBackground(cx, cy));
  EXPECT_FALSE(IsBackground(int(l) + 2, cy));
  EXPECT_FALSE(IsBackground(int(r) - 2, cy));
  EXPECT_FALSE(IsBackground(cx, int(b) + 2));
  EXPECT_FALSE(IsBackground(cx, int(t) - 2));
  EXPECT_TRUE(IsBackground(int(l) - 2, cy));
  EXPECT_TRUE(IsBackground(int(r) + 2, cy));
  EXPECT_TRUE(IsBackground(cx, int(b) - 2));
  EXPECT_TRUE(IsBackground(cx, int(t) + 2));
  EXPECT_EQ(host.Context()->GLStates().FrontFace(), fwCounterClockWise)
      << "the winding is restored after the mesh";
}

INSTANTIATE_TEST_SUITE_P(Orientations, FreeFormPixelTest,
                         ::testing::Values(TGLMeshNormalsOrientation::mnoDefault,
                                           TGLMeshNormalsOrientation::mnoInvert));

}  // namespace
}  // namespace ukh
