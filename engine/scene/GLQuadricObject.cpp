// Quadric set-up shared by the GLU-drawn primitives.
#include "engine/scene/GLQuadricObject.h"

namespace ukh {

void TGLQuadricObject::SetNormals(TGLNormalSmoothing value) {
  if (value == FNormals) return;
  FNormals = value;
  StructureChanged();
}

void TGLQuadricObject::SetNormalDirection(TGLNormalDirection value) {
  if (value == FNormalDirection) return;
  FNormalDirection = value;
  StructureChanged();
}

void TGLQuadricObject::Assign(const TGLBaseSceneObject& source) {
  const auto* quadric = dynamic_cast<const TGLQuadricObject*>(&source);
  if (!quadric || quadric == this) return;
  SetNormals(quadric->FNormals);
  SetNormalDirection(quadric->FNormalDirection);
}

void TGLQuadricObject::SetupQuadricParams(GLUquadric* quadric) const {
  static constexpr GLenum cNormals[] = {GLU_FLAT, GLU_SMOOTH, GLU_NONE};
  gl::QuadricDrawStyle(quadric, GLU_FILL);
  gl::QuadricNormals(quadric, cNormals[size_t(FNormals)]);
  SetNormalQuadricOrientation(quadric);
  gl::QuadricTexture(quadric, GL_TRUE);
}

void TGLQuadricObject::SetNormalQuadricOrientation(GLUquadric* quadric) const {
  gl::QuadricOrientation(
      quadric, FNormalDirection == TGLNormalDirection::ndInside ? GLU_INSIDE : GLU_OUTSIDE);
}

void TGLQuadricObject::SetInvertedQuadricOrientation(GLUquadric* quadric) const {
  gl::QuadricOrientation(
      quadric, FNormalDirection == TGLNormalDirection::ndInside ? GLU_OUTSIDE : GLU_INSIDE);
}

}  // namespace ukh
