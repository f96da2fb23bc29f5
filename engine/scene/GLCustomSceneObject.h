// TGLCustomSceneObject: a scene object that owns a material and applies it around its
// geometry; the base of every drawable object (through TGLWorldObject) and of the objects
// that carry a material without applying it (TGLImmaterialSceneObject).
#pragma once

#include <memory>
#include <string>

#include "engine/gl/GLMaterial.h"
#include "engine/scene/GLBaseSceneObject.h"

namespace ukh {

class TGLCustomSceneObject : public TGLBaseSceneObject {
 public:
  explicit TGLCustomSceneObject(TComponent* owner = nullptr);
  ~TGLCustomSceneObject() override;

  TGLMaterial& Material() { return *FMaterial; }
  const TGLMaterial& Material() const { return *FMaterial; }
  void SetMaterial(const TGLMaterial& value) { FMaterial->Assign(value); }
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& value) { FHint = value; }

  // The material's answer: blended for the transparency, additive and modulate modes.
  bool Blended() override;
  // Material applied, geometry drawn, material un-applied (again while it asks for another
  // pass); then the children, which inherit the states the material left.
  void DoRender(TGLRenderContextInfo& rci, bool renderSelf, bool renderChildren) override;

 protected:
  void DestroyHandle() override;
  // The geometry between Apply and UnApply of the material.
  void RenderWithMaterial(TGLRenderContextInfo& rci);

 private:
  std::unique_ptr<TGLMaterial> FMaterial;
  std::string FHint;
};

}  // namespace ukh
