// TGLWorld: the scene component. It owns the hidden root of the object tree, keeps the eight
// light slots, runs the progress walk and tells its registered render buffers of changes.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "engine/scene/GLBaseSceneObject.h"

namespace ukh {

class TGLWorld;
class TGLLightSource;
class TGLCamera;

// What a viewer's render buffer offers the scene: it is told of every change. The render
// layer implements it; the buffer unregisters itself before it dies.
class IGLSceneBuffer {
 public:
  virtual void SceneChanged(TPersistent* sender) = 0;

 protected:
  ~IGLSceneBuffer() = default;
};

// The hidden root object; only a scene creates it.
class TGLWorldRootObject : public TGLBaseSceneObject {
 public:
  explicit TGLWorldRootObject(TComponent* owner);
};

class TGLWorld : public TGLUpdateAbleComponent {
 public:
  static constexpr int cMaxLights = 8;

  explicit TGLWorld(TComponent* owner = nullptr);
  ~TGLWorld() override;

  TGLWorldRootObject& Objects() { return *FObjects; }
  const std::array<TGLLightSource*, cMaxLights>& Lights() const { return FLights; }

  TGLCamera* CurrentGLCamera() const { return FCurrentGLCamera; }
  void SetCurrentGLCamera(TGLCamera* camera) { FCurrentGLCamera = camera; }
  IGLSceneBuffer* CurrentBuffer() const { return FCurrentBuffer; }
  void SetCurrentBuffer(IGLSceneBuffer* buffer) { FCurrentBuffer = buffer; }
  double CurrentDeltaTime() const { return FCurrentDeltaTime; }

  void BeginUpdate() { ++FUpdateCount; }
  // Throws "Assertion failure" without a matching BeginUpdate.
  void EndUpdate();
  bool IsUpdating() const { return FUpdateCount > 0 || IsLoading() || IsDestroying(); }
  void NotifyChange(TPersistent* sender) override;

  // Adding a listed buffer does nothing.
  void AddBuffer(IGLSceneBuffer* buffer);
  void RemoveBuffer(IGLSceneBuffer* buffer);
  const std::vector<IGLSceneBuffer*>& Buffers() const { return FBuffers; }

  // One progress walk: OnBeforeProgress, the tree's DoProgress, OnProgress.
  void Progress(double deltaTime, double newTime);
  TGLBaseSceneObject* FindSceneObject(const std::string& name) {
    return FObjects->FindChild(name, false);
  }
  void ShutdownAllLights();
  // Hands the lights of the first min(8, maxLights) slots to the current GL context (state
  // cache and transformation stack); defined with the light source in GLLightSource.cpp.
  void SetupLights(int32_t maxLights);

  TGLObjectsSorting ObjectsSorting() const { return FObjectsSorting; }
  // osInherited stores osRenderBlendedLast.
  void SetObjectsSorting(TGLObjectsSorting value);
  TGLVisibilityCulling VisibilityCulling() const { return FVisibilityCulling; }
  // vcInherited stores vcNone.
  void SetVisibilityCulling(TGLVisibilityCulling value);

  TGLProgressEvent OnBeforeProgress;
  TGLProgressEvent OnProgress;

 private:
  friend class TGLBaseSceneObject;
  void RegisterLight(TGLLightSource* light);
  void UnregisterLight(TGLLightSource* light);

  std::unique_ptr<TGLWorldRootObject> FObjects;
  std::array<TGLLightSource*, cMaxLights> FLights{};
  std::vector<IGLSceneBuffer*> FBuffers;
  TGLCamera* FCurrentGLCamera = nullptr;
  IGLSceneBuffer* FCurrentBuffer = nullptr;
  TGLObjectsSorting FObjectsSorting = TGLObjectsSorting::osRenderBlendedLast;
  TGLVisibilityCulling FVisibilityCulling = TGLVisibilityCulling::vcNone;
  int32_t FUpdateCount = 0;
  double FCurrentDeltaTime = 0;
};

}  // namespace ukh
