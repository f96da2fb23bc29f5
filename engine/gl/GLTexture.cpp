// The texture: settings with their change marks, the upload per rendering context, the
// sampling parameters, and what Apply and UnApply set around an object's drawing.
#include "engine/gl/GLTexture.h"

#include <algorithm>

#include "engine/gl/GLContext.h"
#include "engine/gl/GLMaterial.h"
#include "engine/gl/GLPersistentImage.h"
#include "engine/gl/GLRenderContextInfo.h"

namespace ukh {

namespace {

bool IsMultisample(TGLTextureTarget t) {
  return t == ttTexture2DMultisample || t == ttTexture2DMultisampleArray;
}

bool IsMipmapFilter(TGLMinFilter f) {
  return f >= miNearestMipmapNearest;
}

bool TargetAvailable(TGLTextureTarget t, const gl::TGLFeatures& f) {
  switch (t) {
    case ttNoShape:
      return false;
    case ttTexture1D:
    case ttTexture2D:
      return true;
    case ttTexture3D:
      return f.VersionAtLeast(1, 2);
    case ttTextureCube:
      return f.ARB_texture_cube_map;
    case ttTexture1DArray:
    case ttTexture2DArray:
      return f.VersionAtLeast(3, 0);
    case ttTextureRect:
    case ttTextureBuffer:
      return f.VersionAtLeast(3, 1);
    case ttTexture2DMultisample:
    case ttTexture2DMultisampleArray:
      return f.VersionAtLeast(3, 2);
    case ttTextureCubeArray:
      return f.VersionAtLeast(4, 0);
  }
  return false;
}

// Cube-map or 3D textures exist: R and Q take part in coordinate generation.
bool HasRQ(const gl::TGLFeatures& f) {
  return f.ARB_texture_cube_map || f.VersionAtLeast(1, 2);
}

GLint GLSeparateWrap(TGLSeparateTextureWrap w) {
  switch (w) {
    case twRepeat:
      return GL_REPEAT;
    case twClampToEdge:
      return GL_CLAMP_TO_EDGE;
    case twClampToBorder:
      return GL_CLAMP_TO_BORDER;
    case twMirrorRepeat:
      return GL_MIRRORED_REPEAT;
    case twMirrorClampToEdge:
      return GL_MIRROR_CLAMP_TO_EDGE;
    case twMirrorClampToBorder:
      return GL_MIRROR_CLAMP_TO_BORDER_EXT;
  }
  return GL_REPEAT;
}

constexpr GLint cMinFilters[] = {
    GL_NEAREST,
    GL_LINEAR,
    GL_NEAREST_MIPMAP_NEAREST,
    GL_LINEAR_MIPMAP_NEAREST,
    GL_NEAREST_MIPMAP_LINEAR,
    GL_LINEAR_MIPMAP_LINEAR,
};
constexpr GLint cTextureModes[] = {GL_DECAL, GL_MODULATE, GL_BLEND, GL_REPLACE, GL_ADD};

// TextureFormat and the internal format it stands for, in the order of the view.
constexpr TGLInternalFormat cTextureFormats[] = {
    tfRGB8,
    tfRGBA8,
    tfRGB5,
    tfRGBA4,
    tfALPHA8,
    tfLUMINANCE8,
    tfLUMINANCE8_ALPHA8,
    tfINTENSITY8,
    tfRGB8,
    tfRGBA_FLOAT16,
    tfRGBA_FLOAT32,
};

// Restores the bindings of the active unit when the upload ends, also on error.
class TBindingGuard {
 public:
  TBindingGuard(TGLStateCache& states, GLuint self)
      : FStates(states), FUnit(states.ActiveTexture()) {
    for (int t = ttTexture1D; t < cGLTextureTargetCount; ++t) {
      FSaved[t] = states.TextureBinding(FUnit, TGLTextureTarget(t));
      if (self != 0 && FSaved[t] == self) FSaved[t] = 0;
    }
  }
  ~TBindingGuard() {
    for (int t = ttTexture1D; t < cGLTextureTargetCount; ++t)
      if (FStates.TextureBinding(FUnit, TGLTextureTarget(t)) != FSaved[t])
        FStates.SetTextureBinding(FUnit, TGLTextureTarget(t), FSaved[t]);
  }
  TBindingGuard(const TBindingGuard&) = delete;
  TBindingGuard& operator=(const TBindingGuard&) = delete;

 private:
  TGLStateCache& FStates;
  int FUnit;
  GLuint FSaved[cGLTextureTargetCount] = {};
};

}  // namespace

TGLTexture::TGLTexture(TPersistent* owner)
    : TGLUpdateAbleObject(owner),
      FImage(std::make_unique<TGLPersistentImage>(this)),
      FEnvColor(std::make_unique<TGLColor>(this, TVector4f{0, 0, 0, 0})),
      FBorderColor(std::make_unique<TGLColor>(this, TVector4f{0, 0, 0, 0})) {}

TGLTexture::~TGLTexture() {
  // Only the current context's name can be deleted; others go with their contexts.
  TGLContext* context = TGLContext::CurrentGLContext();
  if (!context) return;
  for (const THandle& h : FHandles)
    if (h.Name != 0 && h.ContextSerial == context->Serial()) {
      gl::DeleteTextures(1, &h.Name);
      context->GLStates().TextureDeleted(h.Name);
    }
}

void TGLTexture::SetDisabled(bool disabled) {
  if (FDisabled == disabled) return;
  FDisabled = disabled;
  if (auto* material = dynamic_cast<TGLMaterial*>(FOwner))
    material->NotifyTexMapChange(this);
  else
    NotifyChange(this);
}

// ---- change marks ------------------------------------------------------------------------

void TGLTexture::PixelsChanged() {
  for (THandle& h : FHandles) h.PixelsOutOfDate = h.ParamsOutOfDate = true;
}

void TGLTexture::ParamsChanged() {
  for (THandle& h : FHandles) h.ParamsOutOfDate = true;
}

void TGLTexture::NotifyImageChange() {
  PixelsChanged();
  NotifyChange(FImage.get());
}

void TGLTexture::NotifyChange(TPersistent* sender) {
  // A change of the border colour is a parameter; the environment colour is sent anyway.
  if (sender == FBorderColor.get()) ParamsChanged();
  TGLUpdateAbleObject::NotifyChange(sender);
}

void TGLTexture::SetImage(std::unique_ptr<TGLTextureImage> image) {
  Assert(image != nullptr && image->OwnerTexture() == this);
  FImage = std::move(image);
  NotifyImageChange();
}

void TGLTexture::SetImageClassName(const std::string& className) {
  if (className == FImage->ClassName()) return;
  std::unique_ptr<TGLTextureImage> image;
  if (className == "TGLPersistentImage")
    image = std::make_unique<TGLPersistentImage>(this);
  else if (className == "TGLPictureImage")
    image = std::make_unique<TGLPictureImage>(this);
  else if (className == "TGLBlankImage")
    image = std::make_unique<TGLBlankImage>(this);
  else
    throw ETexture("Unknown texture image class \"" + className + "\"");
  SetImage(std::move(image));
}

#define UKH_TEXTURE_SETTER(Name, Type, Field, Mark) \
  void TGLTexture::Set##Name(Type v) {              \
    if (Field == v) return;                         \
    Field = v;                                      \
    Mark();                                         \
    NotifyChange(this);                             \
  }
UKH_TEXTURE_SETTER(TextureMode, TGLTextureMode, FTextureMode, ParamsChanged)
UKH_TEXTURE_SETTER(TextureWrap, TGLTextureWrap, FTextureWrap, ParamsChanged)
UKH_TEXTURE_SETTER(TextureWrapS, TGLSeparateTextureWrap, FTextureWrapS, ParamsChanged)
UKH_TEXTURE_SETTER(TextureWrapT, TGLSeparateTextureWrap, FTextureWrapT, ParamsChanged)
UKH_TEXTURE_SETTER(TextureWrapR, TGLSeparateTextureWrap, FTextureWrapR, ParamsChanged)
UKH_TEXTURE_SETTER(MinFilter, TGLMinFilter, FMinFilter, ParamsChanged)
UKH_TEXTURE_SETTER(MagFilter, TGLMagFilter, FMagFilter, ParamsChanged)
UKH_TEXTURE_SETTER(FilteringQuality, TGLTextureFilteringQuality, FFilteringQuality, ParamsChanged)
UKH_TEXTURE_SETTER(Compression, TGLInternalCompression, FCompression, ParamsChanged)
UKH_TEXTURE_SETTER(TextureCompareMode, TGLTextureCompareMode, FTextureCompareMode, ParamsChanged)
UKH_TEXTURE_SETTER(TextureCompareFunc, TGLComparisonFunction, FTextureCompareFunc, ParamsChanged)
UKH_TEXTURE_SETTER(DepthTextureMode, TGLDepthTextureMode, FDepthTextureMode, ParamsChanged)
UKH_TEXTURE_SETTER(TextureFormatEx, TGLInternalFormat, FTextureFormatEx, PixelsChanged)
UKH_TEXTURE_SETTER(NormalMapScale, float, FNormalMapScale, PixelsChanged)
#undef UKH_TEXTURE_SETTER

// The post-processing works on the converted copy, so a new rule needs a fresh copy.
void TGLTexture::SetImageAlpha(TGLTextureImageAlpha v) {
  if (FImageAlpha == v) return;
  FImageAlpha = v;
  FImage->ReleaseBitmap32();
  PixelsChanged();
  NotifyChange(this);
}

void TGLTexture::SetImageBrightness(float v) {
  if (FImageBrightness == v) return;
  FImageBrightness = v;
  FImage->ReleaseBitmap32();
  PixelsChanged();
  NotifyChange(this);
}

void TGLTexture::SetImageGamma(float v) {
  if (FImageGamma == v) return;
  FImageGamma = v;
  FImage->ReleaseBitmap32();
  PixelsChanged();
  NotifyChange(this);
}

TGLTextureFormat TGLTexture::TextureFormat() const {
  if (FTextureFormatEx == tfRGBA8) return tfDefault;
  for (size_t i = 0; i < std::size(cTextureFormats); ++i)
    if (cTextureFormats[i] == FTextureFormatEx) return TGLTextureFormat(i + 1);
  return tfExtended;
}

void TGLTexture::SetTextureFormat(TGLTextureFormat v) {
  if (v == tfDefault)
    FTextureFormatEx = tfRGBA8;
  else if (v != tfExtended)
    FTextureFormatEx = cTextureFormats[v - 1];
}

void TGLTexture::SetMappingMode(TGLTextureMappingMode v) {
  if (FMappingMode == v) return;
  const bool toUser = v == tmmUser;
  FMappingMode = v;
  if (auto* material = dynamic_cast<TGLMaterial*>(FOwner); toUser && material)
    material->NotifyTexMapChange(this);
  else
    NotifyChange(this);
}

void TGLTexture::SetMappingCoordinates(int i, const TVector4f& v) {
  if (FMappingCoordinates[i] == v) return;
  FMappingCoordinates[i] = v;
  NotifyChange(this);
}

// ---- GL texture per context --------------------------------------------------------------

TGLTexture::THandle* TGLTexture::CurrentHandle(bool create) {
  TGLContext* context = TGLContext::CurrentGLContext();
  if (!context) return nullptr;
  for (THandle& h : FHandles)
    if (h.ContextSerial == context->Serial()) return &h;
  if (!create) return nullptr;
  FHandles.push_back(THandle{context->Serial()});
  return &FHandles.back();
}

TGLTextureTarget TGLTexture::CurrentTarget() const {
  TGLContext* context = TGLContext::CurrentGLContext();
  if (context)
    for (const THandle& h : FHandles)
      if (h.ContextSerial == context->Serial() && h.Name != 0) return h.Target;
  return FImage->NativeTextureTarget();
}

GLuint TGLTexture::Handle() {
  TGLContext* context = TGLContext::CurrentGLContext();
  if (!context) return 0;
  return GetHandle(context->GLStates());
}

void TGLTexture::PrepareBuildList() {
  Handle();
}

GLuint TGLTexture::GetHandle(TGLStateCache& states) {
  THandle* h = CurrentHandle(true);
  if (!h) return 0;
  const gl::TGLFeatures& features = gl::CurrentFeatures();
  const TGLTextureTarget native = FImage->NativeTextureTarget();
  // Nothing to do is the common case of every frame: no GL call at all.
  if (h->Name != 0 && !h->PixelsOutOfDate && !h->ParamsOutOfDate && native == h->Target)
    return TargetAvailable(h->Target, features) ? h->Name : 0;

  TBindingGuard guard(states, h->Name);
  if (h->Name != 0 && native != h->Target) {
    gl::DeleteTextures(1, &h->Name);
    states.TextureDeleted(h->Name);
    h->Name = 0;
    h->PixelsOutOfDate = true;
  }
  if (h->Name == 0) {
    gl::GenTextures(1, &h->Name);
    h->PixelsOutOfDate = h->ParamsOutOfDate = true;
  }
  if (h->PixelsOutOfDate) {
    h->Target = native;
    h->ParamsOutOfDate = true;
  }
  if (h->Target == ttNoShape || !TargetAvailable(h->Target, features)) return 0;
  const int unit = states.ActiveTexture();
  if (h->ParamsOutOfDate) {
    states.SetTextureBinding(unit, h->Target, h->Name);
    SetParameters(states, h->Target);
    h->ParamsOutOfDate = false;
  }
  if (h->PixelsOutOfDate) {
    h->PixelsOutOfDate = false;
    if (!TargetAvailable(native, features) || !IsFormatSupported(FTextureFormatEx, features)) {
      SetTextureErrorImage();
      h = CurrentHandle(false);
      h->Target = ttTexture2D;
      states.SetTextureBinding(unit, h->Target, h->Name);
      SetParameters(states, h->Target);
      h->PixelsOutOfDate = h->ParamsOutOfDate = false;
    }
    states.SetTextureBinding(unit, h->Target, h->Name);
    PrepareAndSendPixels(states, h->Target);
  }
  return h->Name;
}

void TGLTexture::SetTextureErrorImage() {
  TGLImage error;
  error.SetErrorImage();
  auto blank = std::make_unique<TGLBlankImage>(this);
  blank->AssignImage(error);
  FImage = std::move(blank);
  FMagFilter = maNearest;
  FMinFilter = miNearest;
  FTextureWrap = twBoth;
  FMappingMode = tmmUser;
  FCompression = tcNone;
  FTextureFormatEx = cDefaultTextureFormat;
  PixelsChanged();
  NotifyChange(this);
}

void TGLTexture::SetParameters(TGLStateCache& states, TGLTextureTarget target) {
  if (IsMultisample(target)) return;
  const gl::TGLFeatures& f = gl::CurrentFeatures();
  const GLenum t = GLTextureTarget(target);
  states.SetUnpackAlignment(1);
  states.SetUnpackRowLength(0);
  states.SetUnpackSkipRows(0);
  states.SetUnpackSkipPixels(0);
  gl::TexParameterfv(t, GL_TEXTURE_BORDER_COLOR, FBorderColor->AsAddress());

  const bool edgeClamp = f.VersionAtLeast(1, 2) || f.EXT_texture_edge_clamp;
  GLint s = GL_REPEAT, tt = GL_REPEAT, r = GL_REPEAT;
  if (edgeClamp && FTextureWrap == twSeparate) {
    s = GLSeparateWrap(FTextureWrapS);
    tt = GLSeparateWrap(FTextureWrapT);
    r = GLSeparateWrap(FTextureWrapR);
  } else {
    const GLint clamp = edgeClamp ? GL_CLAMP_TO_EDGE : GL_CLAMP;
    switch (FTextureWrap) {
      case twNone:
        s = tt = clamp, r = GL_CLAMP_TO_EDGE;
        break;
      case twVertical:
        s = clamp;
        break;
      case twHorizontal:
        tt = clamp, r = GL_CLAMP_TO_EDGE;
        break;
      default:
        break;
    }
  }
  gl::TexParameteri(t, GL_TEXTURE_WRAP_S, s);
  gl::TexParameteri(t, GL_TEXTURE_WRAP_T, tt);
  if (HasRQ(f)) gl::TexParameteri(t, GL_TEXTURE_WRAP_R, r);

  TGLMinFilter minFilter = FMinFilter;
  if (target == ttTextureRect || !(f.EXT_texture_lod || f.SGIS_texture_lod)) {
    if (minFilter == miNearestMipmapNearest || minFilter == miNearestMipmapLinear)
      minFilter = miNearest;
    else if (minFilter == miLinearMipmapNearest || minFilter == miLinearMipmapLinear)
      minFilter = miLinear;
  }
  gl::TexParameteri(t, GL_TEXTURE_MIN_FILTER, cMinFilters[minFilter]);
  gl::TexParameteri(t, GL_TEXTURE_MAG_FILTER, FMagFilter == maNearest ? GL_NEAREST : GL_LINEAR);

  if (f.EXT_texture_filter_anisotropic)
    gl::TexParameterf(t, GL_TEXTURE_MAX_ANISOTROPY_EXT,
                      FFilteringQuality == tfIsotropic ? 1.0f : 2.0f);

  if (IsDepthFormat(FTextureFormatEx)) {
    gl::TexParameteri(t, GL_TEXTURE_COMPARE_MODE,
                      FTextureCompareMode == tcmNone ? GL_NONE : GL_COMPARE_REF_TO_TEXTURE);
    gl::TexParameteri(t, GL_TEXTURE_COMPARE_FUNC, GLint(GLComparisonFunction(FTextureCompareFunc)));
    const GLint modes[] = {GL_LUMINANCE, GL_INTENSITY, GL_ALPHA};
    gl::TexParameteri(t, GL_DEPTH_TEXTURE_MODE, modes[FDepthTextureMode]);
  }
}

void TGLTexture::PrepareAndSendPixels(TGLStateCache& states, TGLTextureTarget target) {
  TGLImage* image = FImage->GetBitmap32();
  if (!image || image->IsEmpty()) return;
  switch (FImageAlpha) {
    case tiaDefault:
      break;
    case tiaAlphaFromIntensity:
    case tiaLuminance:
      image->SetAlphaFromIntensity();
      break;
    case tiaSuperBlackTransparent:
      image->SetAlphaTransparentForColor(0, 0, 0);
      break;
    case tiaLuminanceSqrt:
      image->SetAlphaFromIntensity();
      image->SqrtAlpha();
      break;
    case tiaOpaque:
      image->SetAlphaToValue(255);
      break;
    case tiaTopLeftPointColorTransparent:
    case tiaBottomRightPointColorTransparent: {
      image->Narrow();
      // The "top left" is the first pixel of the bottom-up data; the "bottom right" the last
      // pixel of its first row.
      const size_t at =
          FImageAlpha == tiaTopLeftPointColorTransparent ? 0 : size_t(image->Width() - 1) * 4;
      const auto& d = image->Data();
      if (at + 2 < d.size()) image->SetAlphaTransparentForColor(d[at], d[at + 1], d[at + 2]);
      break;
    }
    case tiaInverseLuminance:
      image->SetAlphaFromIntensity();
      image->InvertAlpha();
      break;
    case tiaInverseLuminanceSqrt:
      image->SetAlphaFromIntensity();
      image->SqrtAlpha();
      image->InvertAlpha();
      break;
  }
  if (FImageBrightness != 1) image->BrightnessCorrection(FImageBrightness);
  if (FImageGamma != 1) image->GammaCorrection(FImageGamma);

  const gl::TGLFeatures& f = gl::CurrentFeatures();
  TGLInternalCompression compression =
      FCompression == tcDefault ? cDefaultTextureCompression : FCompression;
  if (!f.VersionAtLeast(1, 3) || IsFloatFormat(FTextureFormatEx) ||
      CompressedInternalFormat(FTextureFormatEx) == 0)
    compression = tcNone;
  const bool compressed = compression != tcNone;
  const GLenum internal =
      compressed ? CompressedInternalFormat(FTextureFormatEx) : GLInternalFormat(FTextureFormatEx);

  const TGLImage::TUploadSize size = image->RegisterAsOpenGLTexture(
      states, target, IsMipmapFilter(FMinFilter), internal, compressed);
  FTexWidth = size.Width;
  FTexHeight = size.Height;
  FTexDepth = size.Depth;
  FTexLevels = size.Levels;
  FMipmapped = IsMipmapFilter(FMinFilter);
  if (gl::GetError() != GL_NO_ERROR) FRequiredMemorySize = -1;
  FRequiredMemorySize = -1;
  TextureImageRequiredMemory();
  if (!FKeepImageAfterTransfer) FImage->ReleaseBitmap32();
}

int32_t TGLTexture::TextureImageRequiredMemory() {
  if (FRequiredMemorySize >= 0) return FRequiredMemorySize;
  if (FTexWidth <= 0 || FTexHeight <= 0) return -1;
  int64_t bytes = 0;
  int32_t w = FTexWidth, h = FTexHeight, d = std::max(FTexDepth, 1);
  for (;;) {
    bytes += int64_t(w) * h * d * InternalFormatTexelBytes(FTextureFormatEx);
    if (!FMipmapped || (w == 1 && h == 1)) break;
    w = std::max(1, w / 2), h = std::max(1, h / 2);
  }
  FRequiredMemorySize = int32_t(std::min<int64_t>(bytes, INT32_MAX));
  return FRequiredMemorySize;
}

void TGLTexture::DestroyHandles() {
  TGLContext* context = TGLContext::CurrentGLContext();
  for (const THandle& h : FHandles)
    if (context && h.Name != 0 && h.ContextSerial == context->Serial()) {
      gl::DeleteTextures(1, &h.Name);
      context->GLStates().TextureDeleted(h.Name);
    }
  FHandles.clear();
  FRequiredMemorySize = -1;
}

// ---- drawing -----------------------------------------------------------------------------

void TGLTexture::ApplyMappingMode(TGLStateCache& cache) {
  const gl::TGLFeatures& f = gl::CurrentFeatures();
  TGLStateCache* states = &cache;
  const GLenum coords[] = {GL_S, GL_T, GL_R, GL_Q};
  const GLenum enables[] = {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_Q};
  auto generate = [&](int count, GLint mode) {
    for (int i = 0; i < count; ++i) {
      gl::TexGeni(coords[i], GL_TEXTURE_GEN_MODE, mode);
      states->SetTextureGenEnabled(enables[i], true);
    }
  };
  switch (FMappingMode) {
    case tmmUser:
      break;
    case tmmObjectLinear:
    case tmmEyeLinear: {
      const bool eye = FMappingMode == tmmEyeLinear;
      const GLenum plane = eye ? GL_EYE_PLANE : GL_OBJECT_PLANE;
      const int count = HasRQ(f) ? 4 : 2;
      if (eye) {
        // Eye planes are taken through the model-view matrix of the moment: identity here.
        gl::PushMatrix();
        gl::LoadIdentity();
      }
      for (int i = 0; i < count; ++i) {
        gl::TexGeni(coords[i], GL_TEXTURE_GEN_MODE, eye ? GL_EYE_LINEAR : GL_OBJECT_LINEAR);
        gl::TexGenfv(coords[i], plane, &FMappingCoordinates[i].X);
        states->SetTextureGenEnabled(enables[i], true);
      }
      if (eye) gl::PopMatrix();
      break;
    }
    case tmmSphere:
      generate(2, GL_SPHERE_MAP);
      break;
    case tmmCubeMapNormal:
    case tmmCubeMapLight0:
      if (f.ARB_texture_cube_map) generate(3, GL_NORMAL_MAP);
      break;
    case tmmCubeMapReflection:
    case tmmCubeMapCamera:
      if (f.ARB_texture_cube_map) generate(3, GL_REFLECTION_MAP);
      break;
  }
}

void TGLTexture::UnApplyMappingMode(TGLStateCache& states) {
  if (FMappingMode == tmmUser) return;
  states.SetTextureGenEnabled(GL_TEXTURE_GEN_S, false);
  states.SetTextureGenEnabled(GL_TEXTURE_GEN_T, false);
  if (HasRQ(gl::CurrentFeatures())) {
    states.SetTextureGenEnabled(GL_TEXTURE_GEN_R, false);
    states.SetTextureGenEnabled(GL_TEXTURE_GEN_Q, false);
  }
}

void TGLTexture::Apply(TGLRenderContextInfo& rci) {
  if (IsMultisample(CurrentTarget())) return;
  if (!TGLContext::CurrentGLContext() || !rci.GLStates) return;
  TGLStateCache& s = *rci.GLStates;
  const GLuint name = GetHandle(s);
  if (!FDisabled && name != 0) {
    const TGLTextureTarget target = CurrentTarget();
    if (gl::CurrentFeatures().ARB_multitexture) s.SetActiveTexture(0);
    s.SetTextureBinding(0, target, name);
    s.SetActiveTextureEnabled(target, true);
    gl::TexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, cTextureModes[FTextureMode]);
    gl::TexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, FEnvColor->AsAddress());
    ApplyMappingMode(s);
  }
  // Texture coordinates reach unit 0: the geometry's immediate-mode and array calls address
  // the main unit already, so there is nothing to re-route.
}

void TGLTexture::UnApply(TGLRenderContextInfo& rci) {
  if (FDisabled || !TGLContext::CurrentGLContext() || !rci.GLStates) return;
  const TGLTextureTarget target = CurrentTarget();
  if (target == ttNoShape || IsMultisample(target)) return;
  TGLStateCache& s = *rci.GLStates;
  if (gl::CurrentFeatures().ARB_multitexture) s.SetActiveTexture(0);
  s.SetActiveTextureEnabled(target, false);
  UnApplyMappingMode(s);
}

void TGLTexture::Assign(const TGLTexture& source) {
  if (&source == this) return;
  BeginUpdate();
  FTextureFormatEx = source.FTextureFormatEx;
  FTextureMode = source.FTextureMode;
  FTextureWrap = source.FTextureWrap;
  FTextureWrapS = source.FTextureWrapS, FTextureWrapT = source.FTextureWrapT;
  FTextureWrapR = source.FTextureWrapR;
  FMinFilter = source.FMinFilter, FMagFilter = source.FMagFilter;
  FFilteringQuality = source.FFilteringQuality;
  FCompression = source.FCompression;
  FImageAlpha = source.FImageAlpha;
  FImageBrightness = source.FImageBrightness, FImageGamma = source.FImageGamma;
  FMappingMode = source.FMappingMode;
  std::copy(std::begin(source.FMappingCoordinates), std::end(source.FMappingCoordinates),
            FMappingCoordinates);
  FEnvColor->Assign(*source.FEnvColor);
  FBorderColor->Assign(*source.FBorderColor);
  FNormalMapScale = source.FNormalMapScale;
  FTextureCompareMode = source.FTextureCompareMode;
  FTextureCompareFunc = source.FTextureCompareFunc;
  FDepthTextureMode = source.FDepthTextureMode;
  FKeepImageAfterTransfer = source.FKeepImageAfterTransfer;
  if (dynamic_cast<const TGLBlankImage*>(&source.Image())) {
    auto blank = std::make_unique<TGLBlankImage>(this);
    blank->AssignImage(*const_cast<TGLTextureImage&>(source.Image()).GetBitmap32());
    FImage = std::move(blank);
  } else {
    if (!dynamic_cast<TGLPersistentImage*>(FImage.get()))
      FImage = std::make_unique<TGLPersistentImage>(this);
    FImage->Assign(source.Image());
  }
  PixelsChanged();
  EndUpdate();
  SetDisabled(source.FDisabled);
  NotifyChange(this);
}

}  // namespace ukh
