// Behaviour list and the behaviour and effect item bases.
#include "engine/scene/GLBehaviours.h"

#include "engine/base/Exception.h"
#include "engine/scene/GLBaseSceneObject.h"
#include "engine/scene/XArchive.h"

namespace ukh {

// ---- item classes -------------------------------------------------------------------------

const TXCollectionItemClass& TGLBaseBehaviour::StaticClass() {
  static const TXCollectionItemClass cls("TGLBaseBehaviour", &TXCollectionItem::StaticClass(),
                                         nullptr, {});
  return cls;
}

void TGLBaseBehaviour::OwnerChanged() {
  // A behaviour may sit in a plain collection too; only a behaviour list has a scene object.
  auto* list = dynamic_cast<TGLBehaviours*>(Owner());
  FSceneObject = list ? list->SceneObject() : nullptr;
}

void TGLBaseBehaviour::WriteToFiler(TXArchiveWriter& writer) const {
  TXCollectionItem::WriteToFiler(writer);
  writer.WriteInteger(0);
}

void TGLBaseBehaviour::ReadFromFiler(TXArchiveReader& reader) {
  if (Owner() && Owner()->ArchiveVersion() > 0) TXCollectionItem::ReadFromFiler(reader);
  Assert(reader.ReadInteger() == 0);
}

TGLBehaviour::TGLBehaviour(TXCollection* owner) : TGLBaseBehaviour(owner) {}

const TXCollectionItemClass& TGLBehaviour::StaticClass() {
  static const TXCollectionItemClass cls("TGLBehaviour", &TGLBaseBehaviour::StaticClass(), nullptr,
                                         {});
  return cls;
}

const TXCollectionItemClass& TGLEffect::StaticClass() {
  static const TXCollectionItemClass cls("TGLEffect", &TGLBaseBehaviour::StaticClass(), nullptr,
                                         {});
  return cls;
}

// ---- list ---------------------------------------------------------------------------------

TGLBehaviours::TGLBehaviours(TPersistent* owner)
    : TXCollection(owner), FSceneObject(dynamic_cast<TGLBaseSceneObject*>(owner)) {
  Assert(FSceneObject != nullptr);
}

bool TGLBehaviours::CanAdd(const TXCollectionItemClass& itemClass) const {
  // Get() and DoProgress rely on every item being a TGLBehaviour.
  return TXCollection::CanAdd(itemClass) && itemClass.InheritsFrom(ItemsClass()) &&
         !itemClass.InheritsFrom(TGLEffect::StaticClass());
}

TGLBehaviour* TGLBehaviours::GetOrCreate(const TXCollectionItemClass& itemClass) {
  if (TXCollectionItem* found = GetByClass(itemClass)) return static_cast<TGLBehaviour*>(found);
  return static_cast<TGLBehaviour*>(AddNew(itemClass));
}

std::string TGLBehaviours::GetNamePath() const {
  return FSceneObject->Name() + ".Behaviours";
}

void TGLBehaviours::DoProgress(const TGLProgressTimes& progressTime) {
  // A behaviour may free itself or others while progressing; the count is re-read each time.
  for (int i = 0; i < Count(); ++i) Get(i)->DoProgress(progressTime);
}

// ---- stored form --------------------------------------------------------------------------

std::optional<std::vector<uint8_t>> WriteBehavioursData(TGLBaseSceneObject& object) {
  if (!object.HasBehaviours() || object.Behaviours().Count() == 0) return std::nullopt;
  return object.Behaviours().SaveToBytes();
}

void ReadBehavioursData(TGLBaseSceneObject& object, const uint8_t* data, size_t size) {
  object.Behaviours().LoadFromBytes(data, size);
}

}  // namespace ukh
