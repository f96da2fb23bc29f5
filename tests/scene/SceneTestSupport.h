// Test doubles for scene tests: an object that counts its notifications, an object with
// chosen half-extents, and a render buffer that records what the scene tells it.
#pragma once

#include <vector>

#include "engine/scene/GLBaseSceneObject.h"
#include "engine/scene/GLWorld.h"

namespace ukh::test {

class TCountingObject : public TGLBaseSceneObject {
 public:
  using TGLBaseSceneObject::TGLBaseSceneObject;
  int CoordinateChanges = 0;
  int Notifications = 0;
  void CoordinateChanged(TGLCustomCoordinates* sender) override {
    ++CoordinateChanges;
    TGLBaseSceneObject::CoordinateChanged(sender);
  }
  void NotifyChange(TPersistent* sender) override {
    ++Notifications;
    TGLBaseSceneObject::NotifyChange(sender);
  }
};

class TSizedObject : public TGLBaseSceneObject {
 public:
  TSizedObject(TComponent* owner, TVector4f halfExtents)
      : TGLBaseSceneObject(owner), HalfExtents(halfExtents) {}
  TVector4f AxisAlignedDimensionsUnscaled() override { return HalfExtents; }
  TVector4f HalfExtents;
};

class TRecordingBuffer : public IGLSceneBuffer {
 public:
  std::vector<TPersistent*> Senders;
  void SceneChanged(TPersistent* sender) override { Senders.push_back(sender); }
  int Count() const { return int(Senders.size()); }
};

}  // namespace ukh::test
