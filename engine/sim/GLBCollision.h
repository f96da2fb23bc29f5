// TGLBCollision: the behaviour that makes its scene object a client of a collision manager,
// with the shape (bounding mode) and group the manager tests it by.
#pragma once

#include <cstdint>
#include <string>

#include "engine/scene/GLBehaviours.h"

namespace ukh {

class TGLCollisionManager;

// Stored as one byte.
enum class TCollisionBoundingMode : uint8_t {
  cbmPoint = 0,
  cbmSphere = 1,
  cbmEllipsoid = 2,
  cbmCube = 3,
  cbmFaces = 4
};

class TGLBCollision : public TGLBehaviour {
 public:
  explicit TGLBCollision(TXCollection* owner = nullptr);
  // Leaves its manager.
  ~TGLBCollision() override;

  static const TXCollectionItemClass& StaticClass();
  const TXCollectionItemClass& ClassType() const override { return StaticClass(); }

  TGLCollisionManager* Manager() const { return FManager; }
  // Not owned. Leaves the old manager and joins the new one; nothing when unchanged.
  void SetManager(TGLCollisionManager* manager);
  TCollisionBoundingMode BoundingMode() const { return FBoundingMode; }
  void SetBoundingMode(TCollisionBoundingMode mode);
  int32_t GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int32_t value);
  // The manager's name as read, until Loaded resolves it.
  const std::string& ManagerName() const { return FManagerName; }

  void Assign(const TXCollectionItem& source) override;
  // Version 2: the behaviour base's data, the manager's name, the mode, the group.
  void WriteToFiler(TXArchiveWriter& writer) const override;
  void ReadFromFiler(TXArchiveReader& reader) override;
  // Joins the manager named in the archive, if one of that name exists.
  void Loaded() override;

 protected:
  void OwnerChanged() override;

 private:
  friend class TGLCollisionManager;
  TCollisionBoundingMode FBoundingMode = TCollisionBoundingMode::cbmPoint;
  TGLCollisionManager* FManager = nullptr;
  std::string FManagerName;
  int32_t FGroupIndex = 0;
  // Slot in the manager's client list (see TGLCollisionManager).
  int32_t FClientSlot = -1;
};

// Puts TGLBCollision in the item class registry, so that archives naming it can be read;
// the program calls it once at start-up, before any level data is read. An explicit call
// rather than a static initialiser: this is a static library, and the linker drops object
// files that nothing references, initialiser and all. Calling it again does nothing.
void RegisterCollisionBehaviours();
void UnregisterCollisionBehaviours();

}  // namespace ukh
