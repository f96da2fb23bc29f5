// Light source properties and the scene's per-frame light set-up.
#include "engine/scene/GLLightSource.h"

#include <algorithm>

#include "engine/base/Exception.h"
#include "engine/gl/GLContext.h"
#include "engine/gl/GLStateCache.h"
#include "engine/gl/GLTransformation.h"
#include "engine/scene/GLWorld.h"

namespace ukh {

TGLLightSource::TGLLightSource(TComponent* owner)
    : TGLBaseSceneObject(owner),
      FAmbient(std::make_unique<TGLColor>(this, TVector4f{0, 0, 0, 1})),
      FDiffuse(std::make_unique<TGLColor>(this, TVector4f{1, 1, 1, 1})),
      FSpecular(std::make_unique<TGLColor>(this, TVector4f{0, 0, 0, 1})),
      FSpotDirection(std::make_unique<TGLCoordinates3>(this, TVector4f{0, 0, -1, 0},
                                                       TGLCoordinatesStyle::csVector)) {}

TGLLightSource::~TGLLightSource() = default;

void TGLLightSource::SetShining(bool value) {
  SetNotifying(FShining, value);
}
void TGLLightSource::SetLightStyle(TGLLightStyle value) {
  SetNotifying(FLightStyle, value);
}

void TGLLightSource::SetSpotCutOff(float value) {
  if (!((value >= 0 && value <= 90) || value == 180)) return;
  SetNotifying(FSpotCutOff, value);
}

bool TGLLightSource::Attenuated() const {
  if (FLightStyle == TGLLightStyle::lsParallel) return false;
  return FConstAttenuation != 1 || FLinearAttenuation != 0 || FQuadraticAttenuation != 0;
}

void TGLLightSource::SetSpotDirection(const TGLCustomCoordinates& value) {
  const TVector4f& v = value.AsVector();
  FSpotDirection->SetDirectVector({v.X, v.Y, v.Z, 0});
  FSpotDirection->NotifyChange(FSpotDirection.get());
}

void TGLLightSource::CoordinateChanged(TGLCustomCoordinates* sender) {
  TGLBaseSceneObject::CoordinateChanged(sender);
  if (sender == FSpotDirection.get()) TransformationChanged();
}

void TGLLightSource::DoRender(TGLRenderContextInfo& rci, bool, bool renderChildren) {
  if (renderChildren) RenderChildren(0, Count() - 1, rci);
}

void TGLWorld::SetupLights(int32_t maxLights) {
  TGLContext* context = TGLContext::CurrentGLContext();
  Assert(context != nullptr, "No current rendering context");
  TGLStateCache& states = context->GLStates();
  TGLTransformation& pipeline = context->PipelineTransformation();

  const int n = std::min<int32_t>(cMaxLights, maxLights);
  for (int i = 0; i < n; ++i) {
    TGLLightSource* light = FLights[i];
    if (!light) {
      if (states.LightEnabling(i)) states.SetLightEnabling(i, false);
      continue;
    }
    const int id = light->LightID();
    states.SetLightEnabling(id, light->Shining());
    if (!light->Shining()) continue;

    const TGLLightStyle style = light->LightStyle();
    const bool parallel =
        style == TGLLightStyle::lsParallel || style == TGLLightStyle::lsParallelSpot;
    const TVector4f& spot = light->SpotDirection().AsVector();
    if (states.FixedFunctionPipeLight()) {
      light->Matrix();
      // GL keeps positions in eye space, taken through the model-view matrix of the moment.
      if (!parallel) {
        TGLBaseSceneObject* parent = light->Parent();
        pipeline.SetModelMatrix(parent ? parent->AbsoluteMatrix() : IdentityHmgMatrix);
        states.SetLightPosition(id, light->Position().AsVector());
      } else {
        pipeline.SetModelMatrix(light->AbsoluteMatrix());
        states.SetLightPosition(id, {spot.X, spot.Y, spot.Z, 0});
      }
      if ((style == TGLLightStyle::lsSpot || style == TGLLightStyle::lsParallelSpot) &&
          light->SpotCutOff() != 180)
        states.SetLightSpotDirection(id, AffineVector(spot));
    }
    const TVector4f& absolute = light->AbsoluteMatrix().W;
    states.SetLightWorldPosition(id, {absolute.X, absolute.Y, absolute.Z, parallel ? 0.0f : 1.0f});
    states.SetLightWorldSpotDirection(id,
                                      AffineVector(TransformVector(spot, light->AbsoluteMatrix())));
    states.SetLightAmbient(id, light->Ambient().Color());
    states.SetLightDiffuse(id, light->Diffuse().Color());
    states.SetLightSpecular(id, light->Specular().Color());
    states.SetLightConstantAtten(id, light->ConstAttenuation());
    states.SetLightLinearAtten(id, light->LinearAttenuation());
    states.SetLightQuadraticAtten(id, light->QuadraticAttenuation());
    states.SetLightSpotExponent(id, light->SpotExponent());
    states.SetLightSpotCutoff(id, light->SpotCutOff());
  }

  const int32_t glMax = states.MaxLights();
  for (int i = n; i < glMax; ++i)
    if (states.LightEnabling(i)) states.SetLightEnabling(i, false);

  pipeline.SetModelMatrix(IdentityHmgMatrix);
}

}  // namespace ukh
