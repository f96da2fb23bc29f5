// The behaviour list of a scene object (TGLBehaviours) and the item classes behaviours and
// effects derive from, with the "BehavioursData" byte block the list is stored in.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/base/GLUpdateAbleComponent.h"
#include "engine/scene/XCollection.h"

namespace ukh {

class TGLBaseSceneObject;
class TGLBehaviours;

// Something attached to a scene object and progressed with it.
class TGLBaseBehaviour : public TXCollectionItem {
 public:
  using TXCollectionItem::TXCollectionItem;
  static const TXCollectionItemClass& StaticClass();
  const TXCollectionItemClass& ClassType() const override { return StaticClass(); }

  // The scene object owning the list that holds this item, or null.
  TGLBaseSceneObject* OwnerBaseSceneObject() const { return FSceneObject; }
  virtual void DoProgress(const TGLProgressTimes&) {}

  // Behaviour base data: the item base's (only in archives of version 1 and later), then
  // version 0.
  void WriteToFiler(TXArchiveWriter& writer) const override;
  void ReadFromFiler(TXArchiveReader& reader) override;

 protected:
  void OwnerChanged() override;

 private:
  // Kept with the owner link, as collision passes ask for it on every client.
  TGLBaseSceneObject* FSceneObject = nullptr;
};

class TGLBehaviour : public TGLBaseBehaviour {
 public:
  // `owner` is the list the behaviour is meant for; TGLBehaviours::Add takes it in.
  explicit TGLBehaviour(TXCollection* owner = nullptr);
  static const TXCollectionItemClass& StaticClass();
  const TXCollectionItemClass& ClassType() const override { return StaticClass(); }
};

// The base of effects, which live in an effect list and are refused by behaviour lists.
class TGLEffect : public TGLBaseBehaviour {
 public:
  using TGLBaseBehaviour::TGLBaseBehaviour;
  static const TXCollectionItemClass& StaticClass();
  const TXCollectionItemClass& ClassType() const override { return StaticClass(); }
};

// Owned by its scene object, which creates it on first use.
class TGLBehaviours : public TXCollection {
 public:
  // `owner` must be a scene object ("Assertion failure" otherwise).
  explicit TGLBehaviours(TPersistent* owner);

  const char* ClassName() const override { return "TGLBehaviours"; }
  TGLBaseSceneObject* SceneObject() const { return FSceneObject; }
  TGLBehaviour* Get(int index) const { return static_cast<TGLBehaviour*>(Items(index)); }

  const TXCollectionItemClass& ItemsClass() const override { return TGLBehaviour::StaticClass(); }
  // Only behaviours, never effects, on top of the collection's rules.
  bool CanAdd(const TXCollectionItemClass& itemClass) const override;
  // The first behaviour of the class (or derived from it), created when there is none.
  TGLBehaviour* GetOrCreate(const TXCollectionItemClass& itemClass);
  std::string GetNamePath() const override;

  // Each item's DoProgress, in list order.
  void DoProgress(const TGLProgressTimes& progressTime);

 private:
  TGLBaseSceneObject* FSceneObject;
};

// The "BehavioursData" block of a scene object: the archive of its list, or nothing when the
// list does not exist or is empty.
std::optional<std::vector<uint8_t>> WriteBehavioursData(TGLBaseSceneObject& object);
// Reads a block into the object's list, creating the list first. Throws on a malformed block,
// leaving the list as it was.
void ReadBehavioursData(TGLBaseSceneObject& object, const uint8_t* data, size_t size);

}  // namespace ukh
