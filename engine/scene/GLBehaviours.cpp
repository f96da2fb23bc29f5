// Behaviour list: ownership of items and their progress and loading calls.
#include "engine/scene/GLBehaviours.h"

#include <algorithm>

namespace ukh {

TGLBehaviour::TGLBehaviour(TGLBehaviours* owner) : FOwner(owner) {}

TGLBehaviour::~TGLBehaviour() = default;

TGLBaseSceneObject* TGLBehaviour::OwnerBaseSceneObject() const {
  return FOwner ? FOwner->Owner() : nullptr;
}

TGLBehaviour* TGLBehaviours::Add(std::unique_ptr<TGLBehaviour> item) {
  item->FOwner = this;
  FList.push_back(std::move(item));
  return FList.back().get();
}

std::unique_ptr<TGLBehaviour> TGLBehaviours::Extract(TGLBehaviour* item) {
  auto it = std::find_if(FList.begin(), FList.end(), [&](auto& p) { return p.get() == item; });
  if (it == FList.end()) return nullptr;
  std::unique_ptr<TGLBehaviour> owned = std::move(*it);
  FList.erase(it);
  owned->FOwner = nullptr;
  return owned;
}

void TGLBehaviours::Clear() {
  // Each item is detached before it dies, so its destructor sees no list.
  while (!FList.empty()) {
    std::unique_ptr<TGLBehaviour> item = std::move(FList.back());
    FList.pop_back();
    item->FOwner = nullptr;
  }
}

void TGLBehaviours::DoProgress(const TGLProgressTimes& progressTime) {
  for (size_t i = 0; i < FList.size(); ++i) FList[i]->DoProgress(progressTime);
}

void TGLBehaviours::Loaded() {
  for (size_t i = 0; i < FList.size(); ++i) FList[i]->Loaded();
}

}  // namespace ukh
