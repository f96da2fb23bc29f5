// The free form behind the level's models.
#include "game/LevelModels.h"

#include "engine/base/Exception.h"
#include "engine/mesh/GLFreeForm.h"

namespace ukh::game {

std::unique_ptr<TGLBaseSceneObject> NewModel(TComponent* owner) {
  return std::make_unique<TGLFreeForm>(owner);
}

bool IsModel(const TGLBaseSceneObject* object) {
  return dynamic_cast<const TGLFreeForm*>(object) != nullptr;
}

void LoadModel(TGLBaseSceneObject& object, const std::string& fileName) {
  auto* model = dynamic_cast<TGLFreeForm*>(&object);
  if (!model) throw Exception(object.Name() + " is not a free form");
  model->LoadFromFile(fileName);
}

}  // namespace ukh::game
