// The behaviour list of a scene object and the item base its behaviours derive from.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/base/GLUpdateAbleComponent.h"

namespace ukh {

class TGLBaseSceneObject;
class TGLBehaviours;

// An item of a behaviour list; the item's scene object is the list's owner.
class TGLBehaviour : public TPersistent {
 public:
  explicit TGLBehaviour(TGLBehaviours* owner);
  ~TGLBehaviour() override;

  TGLBehaviours* Owner() const { return FOwner; }
  TGLBaseSceneObject* OwnerBaseSceneObject() const;
  const std::string& Name() const { return FName; }
  void SetName(const std::string& name) { FName = name; }

  virtual void DoProgress(const TGLProgressTimes&) {}
  virtual void Loaded() {}

 private:
  friend class TGLBehaviours;
  TGLBehaviours* FOwner;
  std::string FName;
};

class TGLBehaviours {
 public:
  explicit TGLBehaviours(TGLBaseSceneObject* owner) : FOwner(owner) {}
  ~TGLBehaviours() { Clear(); }
  TGLBehaviours(const TGLBehaviours&) = delete;
  TGLBehaviours& operator=(const TGLBehaviours&) = delete;

  TGLBaseSceneObject* Owner() const { return FOwner; }
  int Count() const { return int(FList.size()); }
  TGLBehaviour* Get(int index) const { return FList[index].get(); }

  // Takes ownership and appends; returns the item.
  TGLBehaviour* Add(std::unique_ptr<TGLBehaviour> item);
  // Hands an item back without destroying it.
  std::unique_ptr<TGLBehaviour> Extract(TGLBehaviour* item);
  void Clear();

  void DoProgress(const TGLProgressTimes& progressTime);
  void Loaded();

 private:
  TGLBaseSceneObject* FOwner;
  std::vector<std::unique_ptr<TGLBehaviour>> FList;
};

}  // namespace ukh
