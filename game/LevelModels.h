// The level's model objects (TGLFreeForm of the mesh engine): creating one for the level
// document and loading its mesh from a model file.
#pragma once

#include <memory>
#include <string>

#include "engine/scene/GLBaseSceneObject.h"

namespace ukh::game {

std::unique_ptr<TGLBaseSceneObject> NewModel(TComponent* owner);
bool IsModel(const TGLBaseSceneObject* object);
// LoadFromFile of the free form; throws ukh::Exception when `object` is not one.
void LoadModel(TGLBaseSceneObject& object, const std::string& fileName);

}  // namespace ukh::game
