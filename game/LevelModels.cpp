// The free form behind the level's models. The mesh engine's class arrives in its own header;
// until a build has it, the level reports its models' class as unknown.
#include "game/LevelModels.h"

#include "engine/base/Exception.h"

#if __has_include("engine/mesh/GLFreeForm.h")
#include "engine/mesh/GLFreeForm.h"
#define UKH_LEVEL_HAS_FREE_FORM 1
#endif

namespace ukh::game {

#ifdef UKH_LEVEL_HAS_FREE_FORM
bool HaveModelClass() {
  return true;
}
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
#else
bool HaveModelClass() {
  return false;
}
std::unique_ptr<TGLBaseSceneObject> NewModel(TComponent*) {
  return nullptr;
}
bool IsModel(const TGLBaseSceneObject*) {
  return false;
}
void LoadModel(TGLBaseSceneObject& object, const std::string& fileName) {
  throw Exception("Cannot load " + fileName + " into " + object.Name() +
                  ": this build has no free-form class");
}
#endif

}  // namespace ukh::game
