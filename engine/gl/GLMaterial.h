// TGLMaterial: how the surfaces of one drawable object look — the lighting colours of its
// front and back faces, face culling, blending and alpha test, fog, depth handling and the
// texture — applied through the state cache before the object's geometry is drawn, so that
// unchanged states cost no GL call. Each drawable object owns one; a material may instead
// stand for a named material of a material library.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/base/GLUpdateAbleObject.h"
#include "engine/gl/GLColor.h"
#include "engine/gl/GLRenderContextInfo.h"
#include "engine/gl/GLStateCache.h"

namespace ukh {

class TGLTexture;
class TGLLibMaterial;
class TGLMaterialLibrary;

// An owner that keeps texture coordinates of its own is told of changes that affect them.
class TGLTexMapChangeListener {
 public:
  virtual ~TGLTexMapChangeListener() = default;
  virtual void NotifyTexMapChange(TPersistent* sender) = 0;
};

using TGLShininess = uint8_t;  // 0..128
inline constexpr TGLShininess cMaxShininess = 128;

// The lighting colours of one side of the faces.
class TGLFaceProperties : public TGLUpdateAbleObject {
 public:
  explicit TGLFaceProperties(TPersistent* owner);

  TGLColor& Ambient() { return FAmbient; }
  TGLColor& Diffuse() { return FDiffuse; }
  TGLColor& Emission() { return FEmission; }
  TGLColor& Specular() { return FSpecular; }
  const TGLColor& Ambient() const { return FAmbient; }
  const TGLColor& Diffuse() const { return FDiffuse; }
  const TGLColor& Emission() const { return FEmission; }
  const TGLColor& Specular() const { return FSpecular; }
  // Copy the four singles (each colour stays this object's own) and notify.
  void SetAmbient(const TGLColor& c) { FAmbient.Assign(c); }
  void SetDiffuse(const TGLColor& c) { FDiffuse.Assign(c); }
  void SetEmission(const TGLColor& c) { FEmission.Assign(c); }
  void SetSpecular(const TGLColor& c) { FSpecular.Assign(c); }
  TGLShininess Shininess() const { return FShininess; }
  // Values above 128 (outside what GL accepts) become 128.
  void SetShininess(TGLShininess value);

  // Hands this side's colours to the state cache for `face` (cmFront or cmBack).
  void Apply(TGLRenderContextInfo& rci, TGLCullFaceMode face) const;
  // Unlit drawing: the current vertex colour becomes Diffuse.
  void ApplyNoLighting(TGLRenderContextInfo& rci, TGLCullFaceMode face) const;
  void Assign(const TGLFaceProperties& source);

 private:
  TGLColor FAmbient;
  TGLColor FDiffuse;
  TGLColor FEmission;
  TGLColor FSpecular;
  TGLShininess FShininess = 0;
};

class TGLDepthProperties : public TGLUpdateAbleObject {
 public:
  explicit TGLDepthProperties(TPersistent* owner) : TGLUpdateAbleObject(owner) {}

  bool DepthTest() const { return FDepthTest; }
  bool DepthWrite() const { return FDepthWrite; }
  float ZNear() const { return FZNear; }
  float ZFar() const { return FZFar; }
  TGLComparisonFunction DepthCompareFunction() const { return FDepthCompareFunction; }
  bool DepthClamp() const { return FDepthClamp; }
  void SetDepthTest(bool v) { SetNotifying(FDepthTest, v); }
  void SetDepthWrite(bool v) { SetNotifying(FDepthWrite, v); }
  void SetZNear(float v) { SetNotifying(FZNear, v); }
  void SetZFar(float v) { SetNotifying(FZFar, v); }
  void SetDepthCompareFunction(TGLComparisonFunction v) { SetNotifying(FDepthCompareFunction, v); }
  void SetDepthClamp(bool v) { SetNotifying(FDepthClamp, v); }

  void Apply(TGLRenderContextInfo& rci) const;
  void Assign(const TGLDepthProperties& source);

 private:
  bool FDepthTest = true;
  bool FDepthWrite = true;
  float FZNear = 0;
  float FZFar = 1;
  TGLComparisonFunction FDepthCompareFunction = cfLEqual;
  bool FDepthClamp = false;
};

// Blending and alpha test of the bmCustom blending mode.
class TGLBlendingParameters : public TGLUpdateAbleObject {
 public:
  explicit TGLBlendingParameters(TPersistent* owner) : TGLUpdateAbleObject(owner) {}

  bool UseAlphaFunc() const { return FUseAlphaFunc; }
  TGLComparisonFunction AlphaFunctType() const { return FAlphaFunctType; }
  float AlphaFuncRef() const { return FAlphaFuncRef; }
  bool UseBlendFunc() const { return FUseBlendFunc; }
  bool SeparateBlendFunc() const { return FSeparateBlendFunc; }
  TGLBlendFunction BlendFuncSFactor() const { return FBlendFuncSFactor; }
  TGLBlendFunction BlendFuncDFactor() const { return FBlendFuncDFactor; }
  TGLBlendFunction AlphaBlendFuncSFactor() const { return FAlphaBlendFuncSFactor; }
  TGLBlendFunction AlphaBlendFuncDFactor() const { return FAlphaBlendFuncDFactor; }
  void SetUseAlphaFunc(bool v) { SetNotifying(FUseAlphaFunc, v); }
  void SetAlphaFunctType(TGLComparisonFunction v) { SetNotifying(FAlphaFunctType, v); }
  void SetAlphaFuncRef(float v) { SetNotifying(FAlphaFuncRef, v); }
  void SetUseBlendFunc(bool v) { SetNotifying(FUseBlendFunc, v); }
  void SetSeparateBlendFunc(bool v) { SetNotifying(FSeparateBlendFunc, v); }
  void SetBlendFuncSFactor(TGLBlendFunction v) { SetNotifying(FBlendFuncSFactor, v); }
  void SetBlendFuncDFactor(TGLBlendFunction v) { SetNotifying(FBlendFuncDFactor, v); }
  void SetAlphaBlendFuncSFactor(TGLBlendFunction v) { SetNotifying(FAlphaBlendFuncSFactor, v); }
  void SetAlphaBlendFuncDFactor(TGLBlendFunction v) { SetNotifying(FAlphaBlendFuncDFactor, v); }

  void Apply(TGLRenderContextInfo& rci) const;
  void Assign(const TGLBlendingParameters& source);

 private:
  bool FUseAlphaFunc = false;
  TGLComparisonFunction FAlphaFunctType = cfGreater;
  float FAlphaFuncRef = 0;
  bool FUseBlendFunc = true;
  bool FSeparateBlendFunc = false;
  TGLBlendFunction FBlendFuncSFactor = bfSrcAlpha;
  TGLBlendFunction FBlendFuncDFactor = bfOneMinusSrcAlpha;
  TGLBlendFunction FAlphaBlendFuncSFactor = bfSrcAlpha;
  TGLBlendFunction FAlphaBlendFuncDFactor = bfOneMinusSrcAlpha;
};

enum TGLBlendingMode : uint8_t {
  bmOpaque,
  bmTransparency,
  bmAdditive,
  bmAlphaTest50,
  bmAlphaTest100,
  bmModulate,
  bmCustom,
};
enum TGLMaterialOption : uint8_t { moIgnoreFog = 1 << 0, moNoLighting = 1 << 1 };
using TGLMaterialOptions = uint8_t;
enum TGLFaceCulling : uint8_t { fcBufferDefault, fcCull, fcNoCull };

class TGLMaterial : public TGLUpdateAbleObject {
 public:
  // `owner` (the drawable object or library material) is told of changes; not owned.
  explicit TGLMaterial(TPersistent* owner);
  ~TGLMaterial() override;

  TGLFaceProperties& FrontProperties() { return *FFrontProperties; }
  TGLFaceProperties& BackProperties() { return *FBackProperties; }
  TGLDepthProperties& DepthProperties() { return *FDepthProperties; }
  TGLBlendingParameters& BlendingParams() { return *FBlendingParams; }
  const TGLFaceProperties& FrontProperties() const { return *FFrontProperties; }
  const TGLFaceProperties& BackProperties() const { return *FBackProperties; }
  const TGLDepthProperties& DepthProperties() const { return *FDepthProperties; }
  const TGLBlendingParameters& BlendingParams() const { return *FBlendingParams; }
  void SetFrontProperties(const TGLFaceProperties& v) { FFrontProperties->Assign(v); }
  void SetBackProperties(const TGLFaceProperties& v) { FBackProperties->Assign(v); }
  void SetDepthProperties(const TGLDepthProperties& v) { FDepthProperties->Assign(v); }
  void SetBlendingParams(const TGLBlendingParameters& v) { FBlendingParams->Assign(v); }

  TGLBlendingMode BlendingMode() const { return FBlendingMode; }
  void SetBlendingMode(TGLBlendingMode v);
  TGLMaterialOptions MaterialOptions() const { return FMaterialOptions; }
  void SetMaterialOptions(TGLMaterialOptions v);
  TGLFaceCulling FaceCulling() const { return FFaceCulling; }
  void SetFaceCulling(TGLFaceCulling v);
  TGLPolygonMode PolygonMode() const { return FPolygonMode; }
  void SetPolygonMode(TGLPolygonMode v);

  // Created on first access.
  TGLTexture& Texture();
  bool HasTexture() const { return FTexture != nullptr; }

  // The library link. Setting either looks the name up; see SetLibMaterialName.
  TGLMaterialLibrary* MaterialLibrary() const { return FMaterialLibrary; }
  void SetMaterialLibrary(TGLMaterialLibrary* library);
  const std::string& LibMaterialName() const { return FLibMaterialName; }
  // Links to the library's material of that name (none if there is no such material). A
  // link that would lead back to this material's own library material is refused with the
  // error log entry "Cyclic reference detected in material \"<name>\"".
  void SetLibMaterialName(const std::string& name);
  TGLLibMaterial* GetLibMaterial() const { return currentLibMaterial; }
  bool MaterialIsLinkedToLib() const { return currentLibMaterial != nullptr; }
  // The material that is really applied: the library material's when linked.
  TGLMaterial& GetActualPrimaryMaterial();
  // Its texture, or nullptr if it has none.
  TGLTexture* GetActualPrimaryTexture();
  // Links to `libMaterial` directly, without a name lookup.
  void QuickAssignMaterial(TGLLibMaterial* libMaterial);
  // Own face, depth, blending-mode and texture properties go with the stored form only
  // while not linked.
  bool StoresOwnProperties() const { return !MaterialIsLinkedToLib(); }

  void Apply(TGLRenderContextInfo& rci);
  // True if the object must be drawn once more (never for a plain material).
  bool UnApply(TGLRenderContextInfo& rci);
  bool Blended() const;
  void PrepareBuildList();
  void DestroyHandles();
  // Resolves the library link once the stored form and its references are read.
  void Loaded();
  void Assign(const TGLMaterial& source);

  // A change that affects texture coordinates: told to the owner through its texture-map
  // notification if it has one, else through the ordinary change notification.
  void NotifyTexMapChange(TPersistent* sender);

 private:
  friend class TGLLibMaterial;
  friend class TGLMaterialLibrary;
  void Link(TGLLibMaterial* target);
  bool WouldCycle(const TGLLibMaterial* target) const;

  std::unique_ptr<TGLFaceProperties> FFrontProperties, FBackProperties;
  std::unique_ptr<TGLDepthProperties> FDepthProperties;
  TGLBlendingMode FBlendingMode = bmOpaque;
  std::unique_ptr<TGLBlendingParameters> FBlendingParams;
  std::unique_ptr<TGLTexture> FTexture;
  TGLMaterialLibrary* FMaterialLibrary = nullptr;
  std::string FLibMaterialName;
  TGLMaterialOptions FMaterialOptions = 0;
  TGLFaceCulling FFaceCulling = fcBufferDefault;
  TGLPolygonMode FPolygonMode = pmFill;
  TGLLibMaterial* currentLibMaterial = nullptr;
};

}  // namespace ukh
