// TGLTexture: the picture a material puts on its object's surfaces. It holds the picture
// through a texture image (a TGLPersistentImage unless told otherwise), uploads it once per
// change for each rendering context — converted, post-processed, fitted to what GL takes,
// with mipmaps — sets the sampling parameters, and at every Apply binds it and sets the
// texture environment and the texture-coordinate generation of its mapping mode.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/base/GLUpdateAbleObject.h"
#include "engine/gl/GLColor.h"
#include "engine/gl/GLImage.h"
#include "engine/gl/GLStateCache.h"
#include "engine/gl/GLTextureImage.h"
#include "engine/math/Vector.h"

namespace ukh {

struct TGLRenderContextInfo;

enum TGLTextureMode : uint8_t { tmDecal, tmModulate, tmBlend, tmReplace, tmAdd };
enum TGLTextureWrap : uint8_t { twBoth, twNone, twVertical, twHorizontal, twSeparate };
enum TGLSeparateTextureWrap : uint8_t {
  twRepeat,
  twClampToEdge,
  twClampToBorder,
  twMirrorRepeat,
  twMirrorClampToEdge,
  twMirrorClampToBorder,
};
enum TGLMinFilter : uint8_t {
  miNearest,
  miLinear,
  miNearestMipmapNearest,
  miLinearMipmapNearest,
  miNearestMipmapLinear,
  miLinearMipmapLinear,
};
enum TGLMagFilter : uint8_t { maNearest, maLinear };
enum TGLTextureImageAlpha : uint8_t {
  tiaDefault,
  tiaAlphaFromIntensity,
  tiaSuperBlackTransparent,
  tiaLuminance,
  tiaLuminanceSqrt,
  tiaOpaque,
  tiaTopLeftPointColorTransparent,
  tiaInverseLuminance,
  tiaInverseLuminanceSqrt,
  tiaBottomRightPointColorTransparent,
};
enum TGLTextureMappingMode : uint8_t {
  tmmUser,
  tmmObjectLinear,
  tmmEyeLinear,
  tmmSphere,
  tmmCubeMapReflection,
  tmmCubeMapNormal,
  tmmCubeMapLight0,
  tmmCubeMapCamera,
};
enum TGLInternalCompression : uint8_t { tcDefault, tcNone, tcStandard, tcHighQuality, tcHighSpeed };
enum TGLTextureFilteringQuality : uint8_t { tfIsotropic, tfAnisotropic };
enum TGLTextureFormat : uint8_t {
  tfDefault,
  tfRGB,
  tfRGBA,
  tfRGB16,
  tfRGBA16,
  tfAlpha,
  tfLuminance,
  tfLuminanceAlpha,
  tfIntensity,
  tfNormalMap,
  tfRGBAFloat16,
  tfRGBAFloat32,
  tfExtended,
};
enum TGLTextureCompareMode : uint8_t { tcmNone, tcmCompareRtoTexture };
enum TGLDepthTextureMode : uint8_t { dtmLuminance, dtmIntensity, dtmAlpha };

// The engine-wide defaults.
inline constexpr TGLInternalFormat cDefaultTextureFormat = tfRGBA8;
inline constexpr TGLInternalCompression cDefaultTextureCompression = tcNone;

class TGLTexture : public TGLUpdateAbleObject {
 public:
  // `owner` is the material (not owned), told of changes.
  explicit TGLTexture(TPersistent* owner);
  ~TGLTexture() override;

  bool Disabled() const { return FDisabled; }
  bool Enabled() const { return !FDisabled; }
  // A new value is a texture-map change of the owning material, which redraws.
  void SetDisabled(bool disabled);
  void SetEnabled(bool enabled) { SetDisabled(!enabled); }

  // ---- the picture ----
  TGLTextureImage& Image() { return *FImage; }
  const TGLTextureImage& Image() const { return *FImage; }
  // Replaces the image (the old one is freed); the pixels are resent.
  void SetImage(std::unique_ptr<TGLTextureImage> image);
  const char* ImageClassName() const { return FImage->ClassName(); }
  // A new image of the named class ("TGLPersistentImage", "TGLPictureImage" or
  // "TGLBlankImage"); ETexture for any other name. The same class keeps the image.
  void SetImageClassName(const std::string& className);
  // The image's change: pixels (and with them the parameters) out of date, then a change.
  void NotifyImageChange();
  // May change the file name a LoadFromFile of the image is about to open.
  std::function<void(TGLTexture* sender, std::string& fileName)> OnTextureNeeded;

  // ---- settings; setters notify only on a new value ----
  TGLTextureMode TextureMode() const { return FTextureMode; }
  void SetTextureMode(TGLTextureMode v);
  TGLTextureWrap TextureWrap() const { return FTextureWrap; }
  void SetTextureWrap(TGLTextureWrap v);
  TGLSeparateTextureWrap TextureWrapS() const { return FTextureWrapS; }
  TGLSeparateTextureWrap TextureWrapT() const { return FTextureWrapT; }
  TGLSeparateTextureWrap TextureWrapR() const { return FTextureWrapR; }
  void SetTextureWrapS(TGLSeparateTextureWrap v);
  void SetTextureWrapT(TGLSeparateTextureWrap v);
  void SetTextureWrapR(TGLSeparateTextureWrap v);
  TGLMinFilter MinFilter() const { return FMinFilter; }
  void SetMinFilter(TGLMinFilter v);
  TGLMagFilter MagFilter() const { return FMagFilter; }
  void SetMagFilter(TGLMagFilter v);
  TGLTextureFilteringQuality FilteringQuality() const { return FFilteringQuality; }
  void SetFilteringQuality(TGLTextureFilteringQuality v);
  TGLInternalCompression Compression() const { return FCompression; }
  void SetCompression(TGLInternalCompression v);
  TGLTextureImageAlpha ImageAlpha() const { return FImageAlpha; }
  void SetImageAlpha(TGLTextureImageAlpha v);
  float ImageBrightness() const { return FImageBrightness; }
  void SetImageBrightness(float v);
  float ImageGamma() const { return FImageGamma; }
  void SetImageGamma(float v);
  TGLInternalFormat TextureFormatEx() const { return FTextureFormatEx; }
  void SetTextureFormatEx(TGLInternalFormat v);
  // A view of TextureFormatEx; setting only stores the internal format.
  TGLTextureFormat TextureFormat() const;
  void SetTextureFormat(TGLTextureFormat v);
  TGLTextureMappingMode MappingMode() const { return FMappingMode; }
  void SetMappingMode(TGLTextureMappingMode v);
  const TVector4f& MappingSCoordinates() const { return FMappingCoordinates[0]; }
  const TVector4f& MappingTCoordinates() const { return FMappingCoordinates[1]; }
  const TVector4f& MappingRCoordinates() const { return FMappingCoordinates[2]; }
  const TVector4f& MappingQCoordinates() const { return FMappingCoordinates[3]; }
  void SetMappingSCoordinates(const TVector4f& v) { SetMappingCoordinates(0, v); }
  void SetMappingTCoordinates(const TVector4f& v) { SetMappingCoordinates(1, v); }
  void SetMappingRCoordinates(const TVector4f& v) { SetMappingCoordinates(2, v); }
  void SetMappingQCoordinates(const TVector4f& v) { SetMappingCoordinates(3, v); }
  TGLColor& EnvColor() { return *FEnvColor; }
  TGLColor& BorderColor() { return *FBorderColor; }
  float NormalMapScale() const { return FNormalMapScale; }
  void SetNormalMapScale(float v);
  TGLTextureCompareMode TextureCompareMode() const { return FTextureCompareMode; }
  void SetTextureCompareMode(TGLTextureCompareMode v);
  TGLComparisonFunction TextureCompareFunc() const { return FTextureCompareFunc; }
  void SetTextureCompareFunc(TGLComparisonFunction v);
  TGLDepthTextureMode DepthTextureMode() const { return FDepthTextureMode; }
  void SetDepthTextureMode(TGLDepthTextureMode v);
  bool KeepImageAfterTransfer() const { return FKeepImageAfterTransfer; }
  void SetKeepImageAfterTransfer(bool v) { FKeepImageAfterTransfer = v; }

  // ---- the GL side ----
  // Size of level 0 as last uploaded.
  int32_t TexWidth() const { return FTexWidth; }
  int32_t TexHeight() const { return FTexHeight; }
  int32_t TexDepth() const { return FTexDepth; }
  // Bytes the uploaded texture takes, mipmaps included (estimated from its size and format).
  int32_t TextureImageRequiredMemory();
  // The GL texture name in the current context, uploading first if needed; 0 without a
  // current context or a target GL offers.
  GLuint Handle();
  // Makes the GL texture ready before a display list is compiled.
  void PrepareBuildList();
  // Deletes the GL texture of the current context and forgets those of others.
  void DestroyHandles();

  // Binds the texture and sets its environment for drawing (uploading first, even while
  // disabled); nothing is bound while disabled.
  void Apply(TGLRenderContextInfo& rci);
  void UnApply(TGLRenderContextInfo& rci);

  void Assign(const TGLTexture& source);
  void NotifyChange(TPersistent* sender) override;

 private:
  // One rendering context's GL texture.
  struct THandle {
    uint64_t ContextSerial = 0;
    GLuint Name = 0;
    TGLTextureTarget Target = ttNoShape;
    bool PixelsOutOfDate = true;
    bool ParamsOutOfDate = true;
  };

  THandle* CurrentHandle(bool create);
  GLuint GetHandle(TGLStateCache& states);
  void SetParameters(TGLStateCache& states, TGLTextureTarget target);
  void PrepareAndSendPixels(TGLStateCache& states, TGLTextureTarget target);
  void SetTextureErrorImage();
  void ApplyMappingMode(TGLStateCache& states);
  void UnApplyMappingMode(TGLStateCache& states);
  TGLTextureTarget CurrentTarget() const;
  void PixelsChanged();
  void ParamsChanged();
  void SetMappingCoordinates(int i, const TVector4f& v);

  bool FDisabled = true;
  std::unique_ptr<TGLTextureImage> FImage;
  std::vector<THandle> FHandles;
  TGLInternalFormat FTextureFormatEx = cDefaultTextureFormat;
  TGLTextureMode FTextureMode = tmDecal;
  TGLTextureWrap FTextureWrap = twBoth;
  TGLSeparateTextureWrap FTextureWrapS = twRepeat, FTextureWrapT = twRepeat,
                         FTextureWrapR = twRepeat;
  TGLMinFilter FMinFilter = miLinearMipmapLinear;
  TGLMagFilter FMagFilter = maLinear;
  TGLTextureFilteringQuality FFilteringQuality = tfIsotropic;
  TGLInternalCompression FCompression = tcDefault;
  TGLTextureImageAlpha FImageAlpha = tiaDefault;
  float FImageBrightness = 1, FImageGamma = 1;
  TGLTextureMappingMode FMappingMode = tmmUser;
  TVector4f FMappingCoordinates[4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  std::unique_ptr<TGLColor> FEnvColor, FBorderColor;
  float FNormalMapScale = 0.125f;
  TGLTextureCompareMode FTextureCompareMode = tcmNone;
  TGLComparisonFunction FTextureCompareFunc = cfLEqual;
  TGLDepthTextureMode FDepthTextureMode = dtmLuminance;
  bool FKeepImageAfterTransfer = false;
  int32_t FRequiredMemorySize = -1;
  int32_t FTexWidth = 0, FTexHeight = 0, FTexDepth = 0, FTexLevels = 0;
  bool FMipmapped = false;
};

}  // namespace ukh
