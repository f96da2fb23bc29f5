// Face, depth and blending properties, and the material's Apply order.
#include "engine/gl/GLMaterial.h"

#include <algorithm>

#include "engine/gl/GLLog.h"
#include "engine/gl/GLMaterialLibrary.h"
#include "engine/gl/GLTexture.h"

namespace ukh {

// ---- TGLFaceProperties -------------------------------------------------------------------

TGLFaceProperties::TGLFaceProperties(TPersistent* owner)
    : TGLUpdateAbleObject(owner),
      FAmbient(this, {0.2f, 0.2f, 0.2f, 1}),
      FDiffuse(this, {0.8f, 0.8f, 0.8f, 1}),
      FEmission(this, {0, 0, 0, 1}),
      FSpecular(this, {0, 0, 0, 1}) {}

void TGLFaceProperties::SetShininess(TGLShininess value) {
  if (value > cMaxShininess) value = cMaxShininess;
  if (FShininess == value) return;
  FShininess = value;
  NotifyChange(this);
}

void TGLFaceProperties::Apply(TGLRenderContextInfo& rci, TGLCullFaceMode face) const {
  rci.GLStates->SetGLMaterialColors(face, FEmission.Color(), FAmbient.Color(), FDiffuse.Color(),
                                    FSpecular.Color(), FShininess);
}

void TGLFaceProperties::ApplyNoLighting(TGLRenderContextInfo&, TGLCullFaceMode) const {
  gl::Color4fv(FDiffuse.AsAddress());
}

void TGLFaceProperties::Assign(const TGLFaceProperties& source) {
  BeginUpdate();
  FAmbient.Assign(source.FAmbient);
  FDiffuse.Assign(source.FDiffuse);
  FEmission.Assign(source.FEmission);
  FSpecular.Assign(source.FSpecular);
  FShininess = source.FShininess;
  EndUpdate();
}

// ---- TGLDepthProperties ------------------------------------------------------------------

void TGLDepthProperties::Apply(TGLRenderContextInfo& rci) const {
  TGLStateCache& s = *rci.GLStates;
  s.SetEnabled(stDepthTest, FDepthTest && rci.BufferDepthTest);
  s.SetDepthWriteMask(FDepthWrite);
  s.SetDepthFunc(FDepthCompareFunction);
  s.SetDepthRange(FZNear, FZFar);
  if (gl::CurrentFeatures().ARB_depth_clamp) s.SetEnabled(stDepthClamp, FDepthClamp);
}

void TGLDepthProperties::Assign(const TGLDepthProperties& source) {
  FDepthTest = source.FDepthTest;
  FDepthWrite = source.FDepthWrite;
  FZNear = source.FZNear;
  FZFar = source.FZFar;
  FDepthCompareFunction = source.FDepthCompareFunction;
  FDepthClamp = source.FDepthClamp;
  NotifyChange(this);
}

// ---- TGLBlendingParameters ---------------------------------------------------------------

void TGLBlendingParameters::Apply(TGLRenderContextInfo& rci) const {
  TGLStateCache& s = *rci.GLStates;
  if (FUseAlphaFunc) {
    s.Enable(stAlphaTest);
    s.SetAlphaFunction(FAlphaFunctType, FAlphaFuncRef);
  } else {
    s.Disable(stAlphaTest);
  }
  if (FUseBlendFunc) {
    s.Enable(stBlend);
    if (FSeparateBlendFunc)
      s.SetBlendFuncSeparate(FBlendFuncSFactor, FBlendFuncDFactor, FAlphaBlendFuncSFactor,
                             FAlphaBlendFuncDFactor);
    else
      s.SetBlendFunc(FBlendFuncSFactor, FBlendFuncDFactor);
  } else {
    s.Disable(stBlend);
  }
}

void TGLBlendingParameters::Assign(const TGLBlendingParameters& source) {
  FUseAlphaFunc = source.FUseAlphaFunc;
  FAlphaFunctType = source.FAlphaFunctType;
  FAlphaFuncRef = source.FAlphaFuncRef;
  FUseBlendFunc = source.FUseBlendFunc;
  FSeparateBlendFunc = source.FSeparateBlendFunc;
  FBlendFuncSFactor = source.FBlendFuncSFactor;
  FBlendFuncDFactor = source.FBlendFuncDFactor;
  FAlphaBlendFuncSFactor = source.FAlphaBlendFuncSFactor;
  FAlphaBlendFuncDFactor = source.FAlphaBlendFuncDFactor;
  NotifyChange(this);
}

// ---- TGLMaterial -------------------------------------------------------------------------

TGLMaterial::TGLMaterial(TPersistent* owner)
    : TGLUpdateAbleObject(owner),
      FFrontProperties(std::make_unique<TGLFaceProperties>(this)),
      FBackProperties(std::make_unique<TGLFaceProperties>(this)),
      FDepthProperties(std::make_unique<TGLDepthProperties>(this)),
      FBlendingParams(std::make_unique<TGLBlendingParameters>(this)) {}

TGLMaterial::~TGLMaterial() {
  if (currentLibMaterial) std::erase(currentLibMaterial->FUsers, this);
  if (FMaterialLibrary) std::erase(FMaterialLibrary->FMaterialUsers, this);
}

void TGLMaterial::SetBlendingMode(TGLBlendingMode v) {
  SetNotifying(FBlendingMode, v);
}

void TGLMaterial::SetMaterialOptions(TGLMaterialOptions v) {
  SetNotifying(FMaterialOptions, v);
}

void TGLMaterial::SetFaceCulling(TGLFaceCulling v) {
  SetNotifying(FFaceCulling, v);
}

void TGLMaterial::SetPolygonMode(TGLPolygonMode v) {
  SetNotifying(FPolygonMode, v);
}

TGLTexture& TGLMaterial::Texture() {
  if (!FTexture) FTexture = std::make_unique<TGLTexture>(this);
  return *FTexture;
}

void TGLMaterial::NotifyTexMapChange(TPersistent*) {
  if (auto* listener = dynamic_cast<TGLTexMapChangeListener*>(FOwner))
    listener->NotifyTexMapChange(this);
  else
    NotifyChange(this);
}

// ---- library link ------------------------------------------------------------------------

bool TGLMaterial::WouldCycle(const TGLLibMaterial* target) const {
  const auto* self = dynamic_cast<const TGLLibMaterial*>(FOwner);
  if (!self) return false;
  // Links already made never form a cycle, so the walk ends; the bound is only a guard.
  size_t steps = 0;
  for (const TGLLibMaterial* t = target; t && steps < (1u << 20); ++steps) {
    if (t == self) return true;
    t = t->FMaterial->currentLibMaterial;
  }
  return false;
}

void TGLMaterial::Link(TGLLibMaterial* target) {
  if (target == currentLibMaterial) return;
  if (currentLibMaterial) std::erase(currentLibMaterial->FUsers, this);
  currentLibMaterial = target;
  if (target) target->FUsers.push_back(this);
  NotifyTexMapChange(this);
}

void TGLMaterial::SetLibMaterialName(const std::string& name) {
  TGLLibMaterial* found = FMaterialLibrary ? FMaterialLibrary->GetLibMaterialByName(name) : nullptr;
  if (found && WouldCycle(found)) {
    GLLogError("Cyclic reference detected in material \"" + name + "\"");
    return;
  }
  FLibMaterialName = name;
  Link(found);
}

void TGLMaterial::SetMaterialLibrary(TGLMaterialLibrary* library) {
  if (library == FMaterialLibrary) return;
  if (FMaterialLibrary) std::erase(FMaterialLibrary->FMaterialUsers, this);
  FMaterialLibrary = library;
  if (library) library->FMaterialUsers.push_back(this);
  SetLibMaterialName(FLibMaterialName);
}

void TGLMaterial::QuickAssignMaterial(TGLLibMaterial* libMaterial) {
  if (libMaterial && WouldCycle(libMaterial)) {
    GLLogError("Cyclic reference detected in material \"" + libMaterial->Name() + "\"");
    return;
  }
  TGLMaterialLibrary* library = libMaterial ? libMaterial->Library() : nullptr;
  if (library != FMaterialLibrary) {
    if (FMaterialLibrary) std::erase(FMaterialLibrary->FMaterialUsers, this);
    FMaterialLibrary = library;
    if (library) library->FMaterialUsers.push_back(this);
  }
  FLibMaterialName = libMaterial ? libMaterial->Name() : std::string();
  Link(libMaterial);
}

TGLMaterial& TGLMaterial::GetActualPrimaryMaterial() {
  return currentLibMaterial ? currentLibMaterial->Material() : *this;
}

TGLTexture* TGLMaterial::GetActualPrimaryTexture() {
  return GetActualPrimaryMaterial().FTexture.get();
}

void TGLMaterial::Loaded() {
  if (FMaterialLibrary && !FLibMaterialName.empty()) SetLibMaterialName(FLibMaterialName);
}

// ---- applying ----------------------------------------------------------------------------

void TGLMaterial::Apply(TGLRenderContextInfo& rci) {
  if (currentLibMaterial) {
    currentLibMaterial->Apply(rci);
    return;
  }
  TGLStateCache& s = *rci.GLStates;
  s.Disable(stColorMaterial);
  s.SetPolygonMode(FPolygonMode);
  if (FPolygonMode == pmLines) s.Disable(stLineStipple);

  if ((FMaterialOptions & moNoLighting) || !rci.BufferLighting) {
    s.Disable(stLighting);
    FFrontProperties->ApplyNoLighting(rci, cmFront);
  } else {
    s.Enable(stLighting);
    FFrontProperties->Apply(rci, cmFront);
  }

  switch (FFaceCulling) {
    case fcBufferDefault:
      s.SetEnabled(stCullFace, rci.BufferFaceCull);
      FBackProperties->Apply(rci, cmBack);
      break;
    case fcCull:
      s.Enable(stCullFace);
      break;
    case fcNoCull:
      s.Disable(stCullFace);
      FBackProperties->Apply(rci, cmBack);
      break;
  }

  if (!rci.IgnoreBlendingRequests) {
    switch (FBlendingMode) {
      case bmOpaque:
        s.Disable(stBlend);
        s.Disable(stAlphaTest);
        break;
      case bmTransparency:
        s.Enable(stBlend);
        s.Enable(stAlphaTest);
        s.SetBlendFunc(bfSrcAlpha, bfOneMinusSrcAlpha);
        s.SetAlphaFunction(cfGreater, 0);
        break;
      case bmAdditive:
        s.Enable(stBlend);
        s.Enable(stAlphaTest);
        s.SetBlendFunc(bfSrcAlpha, bfOne);
        s.SetAlphaFunction(cfGreater, 0);
        break;
      case bmAlphaTest50:
        s.Disable(stBlend);
        s.Enable(stAlphaTest);
        s.SetAlphaFunction(cfGEqual, 0.5f);
        break;
      case bmAlphaTest100:
        s.Disable(stBlend);
        s.Enable(stAlphaTest);
        s.SetAlphaFunction(cfGEqual, 1.0f);
        break;
      case bmModulate:
        s.Enable(stBlend);
        s.Enable(stAlphaTest);
        s.SetBlendFunc(bfDstColor, bfZero);
        s.SetAlphaFunction(cfGreater, 0);
        break;
      case bmCustom:
        FBlendingParams->Apply(rci);
        break;
    }
  }

  if ((FMaterialOptions & moIgnoreFog) || !rci.BufferFog)
    s.Disable(stFog);
  else
    s.Enable(stFog);

  if (FTexture) FTexture->Apply(rci);

  if (!rci.IgnoreDepthRequests) FDepthProperties->Apply(rci);
}

bool TGLMaterial::UnApply(TGLRenderContextInfo& rci) {
  if (currentLibMaterial) return currentLibMaterial->UnApply(rci);
  if (FTexture) FTexture->UnApply(rci);
  return false;
}

bool TGLMaterial::Blended() const {
  if (currentLibMaterial) return currentLibMaterial->Blended();
  return FBlendingMode == bmTransparency || FBlendingMode == bmAdditive ||
         FBlendingMode == bmModulate;
}

void TGLMaterial::PrepareBuildList() {
  if (FTexture && FTexture->Enabled()) FTexture->PrepareBuildList();
}

void TGLMaterial::DestroyHandles() {
  if (FTexture) FTexture->DestroyHandles();
}

void TGLMaterial::Assign(const TGLMaterial& source) {
  if (&source == this) return;
  BeginUpdate();
  FFrontProperties->Assign(*source.FFrontProperties);
  FBackProperties->Assign(*source.FBackProperties);
  FDepthProperties->Assign(*source.FDepthProperties);
  FBlendingParams->Assign(*source.FBlendingParams);
  FBlendingMode = source.FBlendingMode;
  FMaterialOptions = source.FMaterialOptions;
  FFaceCulling = source.FFaceCulling;
  FPolygonMode = source.FPolygonMode;
  if (source.FTexture)
    Texture().Assign(*source.FTexture);
  else
    FTexture.reset();
  FLibMaterialName = source.FLibMaterialName;
  SetMaterialLibrary(source.FMaterialLibrary);
  SetLibMaterialName(source.FLibMaterialName);
  EndUpdate();
}

}  // namespace ukh
