// The scene: root object, light slots, change fan-out to buffers, the progress walk.
#include "engine/scene/GLWorld.h"

#include <algorithm>

#include "engine/base/Exception.h"
#include "engine/scene/GLLightSource.h"

namespace ukh {

TGLWorldRootObject::TGLWorldRootObject(TComponent* owner) : TGLBaseSceneObject(owner) {
  auto* scene = dynamic_cast<TGLWorld*>(owner);
  Assert(scene != nullptr);
  FObjectStyle |= osDirectDraw;
  SetName("ObjectRoot");
  SetScene(scene);
}

TGLWorld::TGLWorld(TComponent* owner) : TGLUpdateAbleComponent(owner) {
  FObjects = std::make_unique<TGLWorldRootObject>(this);
}

TGLWorld::~TGLWorld() {
  // Links to the scene are cleared first; while the tree dies the scene counts as updating,
  // so no notification reaches a buffer.
  BeginDestruction();
  FObjects.reset();
  FBuffers.clear();
}

void TGLWorld::EndUpdate() {
  Assert(FUpdateCount > 0);
  if (--FUpdateCount == 0) NotifyChange(this);
}

void TGLWorld::NotifyChange(TPersistent*) {
  if (IsUpdating() || FBuffers.empty()) return;
  // A buffer may unregister itself while told; walk a copy.
  const std::vector<IGLSceneBuffer*> buffers = FBuffers;
  for (IGLSceneBuffer* b : buffers) b->SceneChanged(this);
}

void TGLWorld::AddBuffer(IGLSceneBuffer* buffer) {
  if (!buffer || std::find(FBuffers.begin(), FBuffers.end(), buffer) != FBuffers.end()) return;
  FBuffers.push_back(buffer);
}

void TGLWorld::RemoveBuffer(IGLSceneBuffer* buffer) {
  FBuffers.erase(std::remove(FBuffers.begin(), FBuffers.end(), buffer), FBuffers.end());
  if (FCurrentBuffer == buffer) FCurrentBuffer = nullptr;
}

void TGLWorld::Progress(double deltaTime, double newTime) {
  FCurrentDeltaTime = deltaTime;
  if (OnBeforeProgress) OnBeforeProgress(this, deltaTime, newTime);
  TGLProgressTimes times;
  times.DeltaTime = deltaTime;
  times.NewTime = newTime;
  FObjects->DoProgress(times);
  if (OnProgress) OnProgress(this, deltaTime, newTime);
}

namespace {
void ShutdownLights(TGLBaseSceneObject* obj) {
  if (auto* light = dynamic_cast<TGLLightSource*>(obj)) light->SetShining(false);
  for (int i = 0; i < obj->Count(); ++i) ShutdownLights(obj->Get(i));
}
}  // namespace

void TGLWorld::ShutdownAllLights() {
  ShutdownLights(FObjects.get());
}

void TGLWorld::SetObjectsSorting(TGLObjectsSorting value) {
  if (value == TGLObjectsSorting::osInherited) value = TGLObjectsSorting::osRenderBlendedLast;
  if (value == FObjectsSorting) return;
  FObjectsSorting = value;
  NotifyChange(this);
}

void TGLWorld::SetVisibilityCulling(TGLVisibilityCulling value) {
  if (value == TGLVisibilityCulling::vcInherited) value = TGLVisibilityCulling::vcNone;
  if (value == FVisibilityCulling) return;
  FVisibilityCulling = value;
  NotifyChange(this);
}

// The first free slot; a ninth light keeps its ID and gets none.
void TGLWorld::RegisterLight(TGLLightSource* light) {
  for (int i = 0; i < cMaxLights; ++i)
    if (!FLights[i]) {
      FLights[i] = light;
      light->FLightID = i;
      return;
    }
}

void TGLWorld::UnregisterLight(TGLLightSource* light) {
  for (auto& slot : FLights)
    if (slot == light) slot = nullptr;
}

}  // namespace ukh
