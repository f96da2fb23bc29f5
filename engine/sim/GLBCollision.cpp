// The collision behaviour: its link to a manager, its stored form and its class record.
#include "engine/sim/GLBCollision.h"

#include "engine/base/Exception.h"
#include "engine/scene/XArchive.h"
#include "engine/sim/GLCollisionManager.h"

namespace ukh {
namespace {

constexpr int32_t cCollisionVersion = 2;

std::unique_ptr<TXCollectionItem> CreateCollision(TXCollection* owner) {
  return std::make_unique<TGLBCollision>(owner);
}

}  // namespace

const TXCollectionItemClass& TGLBCollision::StaticClass() {
  static const TXCollectionItemClass cls("TGLBCollision", &TGLBehaviour::StaticClass(),
                                         &CreateCollision,
                                         {.FriendlyName = "Collision",
                                          .FriendlyDescription = "Collision-detection registration",
                                          .ItemCategory = {},
                                          .UniqueItem = false,
                                          .CanAddTo = nullptr});
  return cls;
}

TGLBCollision::TGLBCollision(TXCollection* owner) : TGLBehaviour(owner) {}

TGLBCollision::~TGLBCollision() {
  SetManager(nullptr);
}

void TGLBCollision::SetManager(TGLCollisionManager* manager) {
  if (manager == FManager) return;
  if (FManager) FManager->DeregisterClient(this);
  if (manager) manager->RegisterClient(this);
}

// A pass in progress keeps a copy of mode, group and object per client; it is told.
void TGLBCollision::SetBoundingMode(TCollisionBoundingMode mode) {
  FBoundingMode = mode;
  if (FManager) FManager->ClientChanged(this);
}

void TGLBCollision::SetGroupIndex(int32_t value) {
  FGroupIndex = value;
  if (FManager) FManager->ClientChanged(this);
}

void TGLBCollision::OwnerChanged() {
  TGLBehaviour::OwnerChanged();
  if (FManager) FManager->ClientChanged(this);
}

void TGLBCollision::Assign(const TXCollectionItem& source) {
  TGLBehaviour::Assign(source);
  if (auto* other = dynamic_cast<const TGLBCollision*>(&source)) {
    SetManager(other->FManager);
    FManagerName = other->FManagerName;
    SetBoundingMode(other->FBoundingMode);
    SetGroupIndex(other->FGroupIndex);
  }
}

void TGLBCollision::WriteToFiler(TXArchiveWriter& writer) const {
  writer.WriteInteger(cCollisionVersion);
  TGLBehaviour::WriteToFiler(writer);
  // A behaviour read but not yet resolved keeps its stored name, so writing it again loses
  // nothing.
  writer.WriteString(FManager ? FManager->Name() : FManagerName);
  writer.WriteInteger(int32_t(FBoundingMode));
  writer.WriteInteger(FGroupIndex);
}

void TGLBCollision::ReadFromFiler(TXArchiveReader& reader) {
  const int32_t version = reader.ReadInteger();
  Assert(version >= 0 && version <= cCollisionVersion);
  if (version >= 2) TGLBehaviour::ReadFromFiler(reader);
  std::string managerName = reader.ReadString();
  const int32_t mode = reader.ReadInteger();
  // Every test is chosen by the mode, so a value outside the enumeration is refused here.
  if (mode < 0 || mode > int32_t(TCollisionBoundingMode::cbmFaces))
    throw EAssertionFailed("Invalid bounding mode: " + std::to_string(mode));
  FManagerName = std::move(managerName);
  SetManager(nullptr);
  FBoundingMode = TCollisionBoundingMode(mode);
  FGroupIndex = version >= 1 ? reader.ReadInteger() : 0;
}

void TGLBCollision::Loaded() {
  TGLBehaviour::Loaded();
  if (!FManagerName.empty()) {
    if (TGLCollisionManager* m = TGLCollisionManager::FindManager(FManagerName)) SetManager(m);
    FManagerName.clear();
  }
}

void RegisterCollisionBehaviours() {
  RegisterXCollectionItemClass(TGLBCollision::StaticClass());
}

void UnregisterCollisionBehaviours() {
  UnregisterXCollectionItemClass(TGLBCollision::StaticClass());
}

}  // namespace ukh
