// TGLQuadricObject: the base of objects drawn through GLU quadrics; it holds the normals mode
// and orientation the quadric is set up with.
#pragma once

#include <cstdint>

#include "engine/gl/GLApi.h"
#include "engine/scene/GLNormalDirection.h"
#include "engine/scene/GLWorldObject.h"

namespace ukh {

enum class TGLNormalSmoothing : uint8_t { nsFlat, nsSmooth, nsNone };

class TGLQuadricObject : public TGLWorldObject {
 public:
  using TGLWorldObject::TGLWorldObject;

  TGLNormalSmoothing Normals() const { return FNormals; }
  void SetNormals(TGLNormalSmoothing value);
  TGLNormalDirection NormalDirection() const { return FNormalDirection; }
  void SetNormalDirection(TGLNormalDirection value);

  // Normals and NormalDirection of another quadric object.
  void Assign(const TGLBaseSceneObject& source);

 protected:
  // Filled drawing, the normals mode, the orientation and generated texture coordinates.
  void SetupQuadricParams(GLUquadric* quadric) const;
  // The orientation of NormalDirection, or its opposite (for faces that look the other way).
  void SetNormalQuadricOrientation(GLUquadric* quadric) const;
  void SetInvertedQuadricOrientation(GLUquadric* quadric) const;

 private:
  TGLNormalSmoothing FNormals = TGLNormalSmoothing::nsSmooth;
  TGLNormalDirection FNormalDirection = TGLNormalDirection::ndOutside;
};

// A new quadric for one build, deleted when the build ends (also on an error).
class TGLQuadricScope {
 public:
  TGLQuadricScope() : FQuadric(gl::NewQuadric()) {}
  ~TGLQuadricScope() {
    if (FQuadric) gl::DeleteQuadric(FQuadric);
  }
  TGLQuadricScope(const TGLQuadricScope&) = delete;
  TGLQuadricScope& operator=(const TGLQuadricScope&) = delete;
  GLUquadric* Get() const { return FQuadric; }

 private:
  GLUquadric* FQuadric;
};

}  // namespace ukh
