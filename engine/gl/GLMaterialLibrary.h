// TGLMaterialLibrary and its named TGLLibMaterial entries: materials that objects and mesh
// face groups refer to by name. A library material keeps the list of materials linked to it
// and the library the list of materials pointing at it, so either side dying clears the
// links of the other.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/base/Component.h"
#include "engine/base/GLUpdateAbleObject.h"
#include "engine/gl/GLMaterial.h"
#include "engine/math/Vector.h"

namespace ukh {

// The name hash: the length in UTF-16 code units, then for each unit in order hash * 2 plus
// the unit's low byte, in wrapping 32-bit arithmetic.
int32_t LibMaterialNameHash(const std::string& utf8Name);

class TGLLibMaterial : public TGLUpdateAbleObject {
 public:
  // Made by TGLMaterialLibrary::AddMaterial.
  TGLLibMaterial(TGLMaterialLibrary* library, const std::string& name);
  ~TGLLibMaterial() override;

  const std::string& Name() const { return FName; }
  // A name already taken in the library gets a number appended to make it unique.
  void SetName(const std::string& name);
  int32_t NameHashKey() const { return FNameHashKey; }
  TGLMaterialLibrary* Library() const { return FLibrary; }

  TGLMaterial& Material() { return *FMaterial; }
  const TGLMaterial& Material() const { return *FMaterial; }
  TVector3f TextureOffset{0, 0, 0};
  TVector3f TextureScale{1, 1, 1};
  float TextureRotate = 0;
  bool TextureMatrixIsIdentity() const { return FTextureMatrixIsIdentity; }
  const std::string& Texture2Name() const { return FTexture2Name; }
  void SetTexture2Name(const std::string& name);

  void Apply(TGLRenderContextInfo& rci);
  bool UnApply(TGLRenderContextInfo& rci);
  bool Blended() const { return FMaterial->Blended(); }
  // Materials linked to this one.
  const std::vector<TGLMaterial*>& Users() const { return FUsers; }

  void NotifyChange(TPersistent* sender) override;

 private:
  friend class TGLMaterial;
  friend class TGLMaterialLibrary;

  TGLMaterialLibrary* FLibrary;
  std::string FName;
  int32_t FNameHashKey = 0;
  std::unique_ptr<TGLMaterial> FMaterial;
  bool FTextureMatrixIsIdentity = true;
  std::string FTexture2Name;
  std::vector<TGLMaterial*> FUsers;
};

class TGLMaterialLibrary : public TComponent {
 public:
  explicit TGLMaterialLibrary(TComponent* owner = nullptr);
  ~TGLMaterialLibrary() override;

  // The `Materials` collection, in order.
  const std::vector<std::unique_ptr<TGLLibMaterial>>& Materials() const { return FMaterials; }
  TGLLibMaterial& AddMaterial(const std::string& name);
  void DeleteMaterial(TGLLibMaterial* material);
  // The first material whose hash and exact (case-sensitive) name match; nullptr if none.
  TGLLibMaterial* GetLibMaterialByName(const std::string& name) const;
  // A name not yet taken: `name` itself, else `name` followed by the first free number.
  std::string MakeUniqueName(const std::string& name, const TGLLibMaterial* except) const;

 private:
  friend class TGLMaterial;
  std::vector<std::unique_ptr<TGLLibMaterial>> FMaterials;
  std::vector<TGLMaterial*> FMaterialUsers;  // materials whose MaterialLibrary is this
};

}  // namespace ukh
