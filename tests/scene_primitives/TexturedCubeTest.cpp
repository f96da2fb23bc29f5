// A textured box on the headless context: the picture's corners land on its front face where
// the face table's texture coordinates put them, upright and unmirrored.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "engine/gl/GLPersistentImage.h"
#include "engine/gl/GLTexture.h"
#include "engine/scene/GLCube.h"
#include "tests/gl/GLTestContext.h"

namespace ukh::test {
namespace {

using TRGB = std::array<uint8_t, 3>;
// Rows top to bottom: red | green over blue | white.
constexpr TRGB cTL{255, 0, 0}, cTR{0, 255, 0}, cBL{0, 0, 255}, cBR{255, 255, 255};

TGLGraphic Quadrants(int size) {
  TGLGraphic g{cBitmapClassName, 24, {}};
  g.Image.Width = g.Image.Height = size;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const TRGB& c = y < size / 2 ? (x < size / 2 ? cTL : cTR) : (x < size / 2 ? cBL : cBR);
      g.Image.Pixels.insert(g.Image.Pixels.end(), {c[0], c[1], c[2], 255});
    }
  return g;
}

class TexturedCube : public GLTestContext {};

TEST_F(TexturedCube, FrontFaceShowsThePictureUpright) {
  TGLRenderContextInfo rci;
  rci.GLStates = &States();
  rci.PipelineTransformation = &Transformation();
  // Back faces culled, as the buffer asks the material: of the box only its front face
  // (toward +Z, the viewer) is drawn.
  rci.BufferFaceCull = true;
  UsePixelProjection();

  TGLCube cube;
  cube.SetCubeWidth(60);
  cube.SetCubeHeight(60);
  cube.Position().SetPoint(32, 32, 0);
  TGLTexture& texture = cube.Material().Texture();
  dynamic_cast<TGLPersistentImage&>(texture.Image()).Picture().SetGraphic(Quadrants(4));
  texture.SetMagFilter(maNearest);
  texture.SetDisabled(false);

  ClearTo({0, 0, 0, 1});
  cube.Render(rci);
  // The face spans pixels 2..62; texture (0,0) sits at its bottom-left corner, (1,1) at the
  // top-right, S along +X and T along +Y.
  const struct {
    int x, y;
    TRGB colour;
    const char* corner;
  } probes[] = {{6, 6, cBL, "bottom-left"},
                {57, 6, cBR, "bottom-right"},
                {57, 57, cTR, "top-right"},
                {6, 57, cTL, "top-left"}};
  for (const auto& p : probes)
    EXPECT_TRUE(PixelIs(p.x, p.y, {p.colour[0], p.colour[1], p.colour[2], 255})) << p.corner;
  EXPECT_TRUE(PixelIs(0, 0, {0, 0, 0, 255})) << "outside the face";
}

}  // namespace
}  // namespace ukh::test
