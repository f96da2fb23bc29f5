// TGLWorldObject: the drawable object with a material of its own, placed and shown like any
// scene object; the base of cubes, cylinders and meshes.
#pragma once

#include "engine/scene/GLCustomSceneObject.h"

namespace ukh {

class TGLWorldObject : public TGLCustomSceneObject {
 public:
  using TGLCustomSceneObject::TGLCustomSceneObject;
};

}  // namespace ukh
