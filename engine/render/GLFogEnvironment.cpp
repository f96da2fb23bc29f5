// Fog parameters to GL.
#include "engine/render/GLFogEnvironment.h"

#include "engine/gl/GLApi.h"

namespace ukh {

void TGLFogEnvironment::ApplyFog() const {
  static constexpr GLint cModes[] = {GL_LINEAR, GL_EXP, GL_EXP2};
  gl::Fogi(GL_FOG_MODE, cModes[int(FFogMode)]);
  gl::Fogfv(GL_FOG_COLOR, &FFogColor.X);
  if (FFogMode == TFogMode::fmLinear) {
    gl::Fogf(GL_FOG_START, FFogStart);
    gl::Fogf(GL_FOG_END, FFogEnd);
  } else {
    gl::Fogf(GL_FOG_DENSITY, FDensity);
  }
}

}  // namespace ukh
