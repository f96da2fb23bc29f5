// TGLLightSource: a light in the scene tree. It occupies one of the scene's eight light slots
// (its LightID is the slot and the GL light number) and is handed to OpenGL once per frame
// by TGLWorld::SetupLights, through the state cache. It draws nothing itself.
#pragma once

#include <memory>

#include "engine/gl/GLColor.h"
#include "engine/scene/GLBaseSceneObject.h"

namespace ukh {

enum class TGLLightStyle : uint8_t { lsSpot, lsOmni, lsParallel, lsParallelSpot };

class TGLLightSource : public TGLBaseSceneObject {
 public:
  explicit TGLLightSource(TComponent* owner = nullptr);
  ~TGLLightSource() override;

  // The slot index in the scene's light list; 0 before the light is registered.
  int LightID() const { return FLightID; }
  bool Shining() const { return FShining; }
  void SetShining(bool value);
  TGLLightStyle LightStyle() const { return FLightStyle; }
  void SetLightStyle(TGLLightStyle value);

  TGLColor& Ambient() { return *FAmbient; }
  TGLColor& Diffuse() { return *FDiffuse; }
  TGLColor& Specular() { return *FSpecular; }
  const TGLColor& Ambient() const { return *FAmbient; }
  const TGLColor& Diffuse() const { return *FDiffuse; }
  const TGLColor& Specular() const { return *FSpecular; }
  void SetAmbient(const TGLColor& c) { FAmbient->Assign(c); }
  void SetDiffuse(const TGLColor& c) { FDiffuse->Assign(c); }
  void SetSpecular(const TGLColor& c) { FSpecular->Assign(c); }

  float ConstAttenuation() const { return FConstAttenuation; }
  float LinearAttenuation() const { return FLinearAttenuation; }
  float QuadraticAttenuation() const { return FQuadraticAttenuation; }
  void SetConstAttenuation(float value) { SetNotifying(FConstAttenuation, value); }
  void SetLinearAttenuation(float value) { SetNotifying(FLinearAttenuation, value); }
  void SetQuadraticAttenuation(float value) { SetNotifying(FQuadraticAttenuation, value); }
  // False for lsParallel; otherwise whether any attenuation differs from (1, 0, 0).
  bool Attenuated() const;

  // The spot axis, also the direction of parallel lights; W is always 0.
  TGLCoordinates3& SpotDirection() { return *FSpotDirection; }
  const TGLCoordinates3& SpotDirection() const { return *FSpotDirection; }
  void SetSpotDirection(const TGLCustomCoordinates& value);
  float SpotExponent() const { return FSpotExponent; }
  void SetSpotExponent(float value) { SetNotifying(FSpotExponent, value); }
  float SpotCutOff() const { return FSpotCutOff; }
  // Only 0 to 90 degrees or exactly 180 (no cone); anything else is ignored.
  void SetSpotCutOff(float value);

  void CoordinateChanged(TGLCustomCoordinates* sender) override;
  void DoRender(TGLRenderContextInfo& rci, bool renderSelf, bool renderChildren) override;
  bool RayCastIntersect(const TVector4f&, const TVector4f&, TVector4f* = nullptr,
                        TVector4f* = nullptr) override {
    return false;
  }

 private:
  friend class TGLWorld;

  int FLightID = 0;
  bool FShining = true;
  TGLLightStyle FLightStyle = TGLLightStyle::lsSpot;
  std::unique_ptr<TGLColor> FAmbient, FDiffuse, FSpecular;
  float FConstAttenuation = 1;
  float FLinearAttenuation = 0;
  float FQuadraticAttenuation = 0;
  std::unique_ptr<TGLCoordinates3> FSpotDirection;
  float FSpotExponent = 0;
  float FSpotCutOff = 180;
};

}  // namespace ukh
