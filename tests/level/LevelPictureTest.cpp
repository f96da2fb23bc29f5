// The loaded level seen from the game's camera on the headless GL context: the car at the
// view's centre, the grass around it and a crate where the camera's projection puts it. The
// frame is kept as level.ppm beside the test for the README's picture.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <vector>

#include "engine/render/GLWorldViewer.h"
#include "tests/level/LevelFixture.h"
#include "tests/render/HeadlessViewer.h"

namespace ukh::test {
namespace {

struct TPixel {
  int R, G, B;
};

class LevelPictureTest : public ::testing::Test {
 protected:
  static constexpr int cWidth = 624, cHeight = 432;

  void SetUp() override {
    const game::TLevelViewerSettings settings = L.Load(EmbeddedLevelJson().dump());
    ASSERT_TRUE(game::FormCreate(L.F(), L.Platform.MessageBox()));
    Host.CreateWindow();
    Host.Viewer().SetCamera(settings.Camera);
    Host.Buffer().SetBackgroundColor(settings.BackgroundColor);
    Host.Viewer().SetFieldOfView(settings.FieldOfView);
    Host.Paint();
    TGLTransformation& pipeline = Host.Context()->PipelineTransformation();
    FViewProjection = MultiplyMatrices(pipeline.ViewMatrix(), pipeline.ProjectionMatrix());
  }

  // Window coordinates (origin bottom-left, as glReadPixels takes them) of a world point,
  // through the camera's view and projection as the frame used them.
  std::array<int, 2> Project(float x, float y, float z) {
    const TVector4f clip = TransformVector({x, y, z, 1}, FViewProjection);
    return {int((clip.X / clip.W + 1) * 0.5 * cWidth), int((clip.Y / clip.W + 1) * 0.5 * cHeight)};
  }
  TPixel At(std::array<int, 2> p) {
    const std::array<uint8_t, 4> c = Host.Context()->ReadPixel(p[0], p[1]);
    return {c[0], c[1], c[2]};
  }
  static bool Grassy(TPixel p) { return p.G > p.R + 10 && p.G > p.B + 10; }

  void SavePPM(const char* file) {
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << cWidth << " " << cHeight << "\n255\n";
    const std::vector<uint8_t> rgba = Host.Context()->ReadPixels(0, 0, cWidth, cHeight);
    for (int y = cHeight - 1; y >= 0; --y)
      for (int x = 0; x < cWidth; ++x) {
        const uint8_t* c = &rgba[(size_t(y) * cWidth + x) * 4];
        out.put(char(c[0])).put(char(c[1])).put(char(c[2]));
      }
  }

  TLevelFixture L;
  THeadlessViewer Host{cWidth, cHeight};
  TMatrix4f FViewProjection;
};

TEST_F(LevelPictureTest, ShowsTheCarTheGrassAndACrate) {
  SavePPM("level.ppm");
  // The camera looks at the car: its target lands at the view's centre.
  const auto car = Project(0, 0, 0);
  EXPECT_NEAR(car[0], cWidth / 2, 1);
  EXPECT_NEAR(car[1], cHeight / 2, 1);
  EXPECT_FALSE(Grassy(At(car))) << "the car covers the centre";
  // The ground's top face (Y = -0.5) beside the car is grass.
  for (const auto& p : {Project(-4, -0.5, -3), Project(5, -0.5, -6), Project(-2, -0.5, 1)}) {
    const TPixel c = At(p);
    EXPECT_TRUE(Grassy(c)) << p[0] << "," << p[1] << ": " << c.R << " " << c.G << " " << c.B;
  }
  // Cube15 stands at (7, 0, 4): the middle of its top face shows the crate's wood.
  const TPixel crate = At(Project(7, 0.5, 4));
  EXPECT_FALSE(Grassy(crate)) << crate.R << " " << crate.G << " " << crate.B;
  EXPECT_GT(crate.R, crate.B) << "wood is warmer than it is blue";
}

}  // namespace
}  // namespace ukh::test
