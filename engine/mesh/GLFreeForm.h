// TGLFreeForm: the mesh object of the level, a scene object whose geometry is read from a
// model file.
#pragma once

#include "engine/mesh/GLBaseMesh.h"

namespace ukh {

class TGLFreeForm : public TGLBaseMesh {
 public:
  explicit TGLFreeForm(TComponent* owner = nullptr) : TGLBaseMesh(owner) {
    SetUseMeshMaterials(true);
  }
};

}  // namespace ukh
