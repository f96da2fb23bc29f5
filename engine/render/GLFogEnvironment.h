// TGLFogEnvironment: the fog parameters a render buffer applies when its fog is switched on.
#pragma once

#include "engine/base/GLUpdateAbleObject.h"
#include "engine/math/Vector.h"

namespace ukh {

enum class TFogMode : uint8_t { fmLinear, fmExp, fmExp2 };

class TGLFogEnvironment : public TGLUpdateAbleObject {
 public:
  explicit TGLFogEnvironment(TPersistent* owner) : TGLUpdateAbleObject(owner) {}

  const TVector4f& FogColor() const { return FFogColor; }
  void SetFogColor(const TVector4f& v) { SetNotifying(FFogColor, v); }
  float FogStart() const { return FFogStart; }
  void SetFogStart(float v) { SetNotifying(FFogStart, v); }
  float FogEnd() const { return FFogEnd; }
  void SetFogEnd(float v) { SetNotifying(FFogEnd, v); }
  float Density() const { return FDensity; }
  void SetDensity(float v) { SetNotifying(FDensity, v); }
  TFogMode FogMode() const { return FFogMode; }
  void SetFogMode(TFogMode v) { SetNotifying(FFogMode, v); }

  // Sends the parameters to the current GL context.
  void ApplyFog() const;

 private:
  TVector4f FFogColor{0, 0, 0, 1};
  float FFogStart = 10;
  float FFogEnd = 1000;
  float FDensity = 1;
  TFogMode FFogMode = TFogMode::fmLinear;
};

}  // namespace ukh
