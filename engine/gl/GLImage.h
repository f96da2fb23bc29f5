// TGLImage: the engine's raw pixel buffer for texture upload — levels back to back, rows
// bottom-up and packed without gaps — with the conversions a texture applies before sending
// it (8-bit RGBA, alpha rules, brightness, gamma), mipmaps, the 64 x 64 error picture and
// the upload itself. Also the internal texture formats and what they stand for in GL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/base/Exception.h"
#include "engine/gl/GLApi.h"
#include "engine/gl/GLStateCache.h"

namespace ukh {

struct TGLGraphic;

// Internal formats, each the GL internal format of the same name.
enum TGLInternalFormat : uint8_t {
  tfALPHA8,
  tfLUMINANCE8,
  tfLUMINANCE8_ALPHA8,
  tfINTENSITY8,
  tfRGB5,
  tfRGB8,
  tfRGBA4,
  tfRGB5_A1,
  tfRGBA8,
  tfRGBA_FLOAT16,
  tfRGBA_FLOAT32,
  tfDEPTH_COMPONENT16,
  tfDEPTH_COMPONENT24,
  tfDEPTH_COMPONENT32,
};
GLenum GLInternalFormat(TGLInternalFormat f);
// Bytes a texel takes on the GL side (for the required memory estimate).
int32_t InternalFormatTexelBytes(TGLInternalFormat f);
bool IsFloatFormat(TGLInternalFormat f);
bool IsDepthFormat(TGLInternalFormat f);
// Whether the GL implementation with `features` takes the format.
bool IsFormatSupported(TGLInternalFormat f, const gl::TGLFeatures& features);
// The generic compressed counterpart, 0 where there is none.
GLenum CompressedInternalFormat(TGLInternalFormat f);

// A colour format or data type the pixel code does not know ("Invalid data type").
class EGLImageError : public Exception {
 public:
  using Exception::Exception;
};

// Bytes a pixel of `colorFormat` and `dataType` takes; EGLImageError otherwise.
int32_t PixelElementSize(GLenum colorFormat, GLenum dataType);

// The largest texture the engine builds, in texels: a resampled picture is never allowed
// to grow past this, whatever GL_MAX_TEXTURE_SIZE allows.
inline constexpr uint64_t cMaxTextureTexels = uint64_t(1) << 26;

class TGLImage {
 public:
  TGLImage() = default;
  TGLImage(const TGLImage&) = delete;
  TGLImage& operator=(const TGLImage&) = delete;
  TGLImage(TGLImage&&) = default;
  TGLImage& operator=(TGLImage&&) = default;

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  int32_t Depth() const { return FDepth; }
  GLenum ColorFormat() const { return FColorFormat; }
  GLenum DataType() const { return FDataType; }
  TGLInternalFormat InternalFormat() const { return FInternalFormat; }
  int32_t ElementSize() const { return FElementSize; }
  int32_t LevelCount() const { return FLevelCount; }
  bool CubeMap() const { return FCubeMap; }
  bool TextureArray() const { return FTextureArray; }
  // Storage without pixels is uploaded for a blank image.
  bool Blank() const { return FBlank; }
  const std::vector<uint8_t>& Data() const { return FData; }
  std::vector<uint8_t>& Data() { return FData; }
  bool IsEmpty() const { return FWidth <= 0 || FHeight <= 0; }

  bool VerticalReverseOnAssignFromBitmap() const { return FVerticalReverse; }
  void SetVerticalReverseOnAssignFromBitmap(bool v) { FVerticalReverse = v; }

  // One flat level of pixels (depth 0), `data` rows bottom-up; the element size follows from
  // the format and type (EGLImageError "Invalid data type" where it does not).
  void SetImage(int32_t width, int32_t height, GLenum colorFormat, GLenum dataType,
                std::vector<uint8_t> data);
  // Storage of that size without pixels.
  void SetBlank(int32_t width, int32_t height, GLenum colorFormat, GLenum dataType);
  void Clear();
  void Assign(const TGLImage& source);

  // From a toolkit graphic, as the GL implementation with `features` wants it: a 24- or
  // 32-bit bitmap whose width is a multiple of 4 (or any width with GL_EXT_bgra) is copied
  // directly (BGR order with GL_EXT_bgra, else RGBA); a PNG picture as RGBA; anything else
  // is first redrawn onto a 24-bit bitmap, widened and stretched to the next multiple of 4
  // when its width is not one.
  void AssignFromGraphic(const TGLGraphic& graphic, const gl::TGLFeatures& features);
  // 64 x 64 RGB from the built-in table.
  void SetErrorImage();

  // To 8-bit RGBA, alpha 255 where the source has none. A format that cannot be converted
  // is logged as "TGLImage: can't convert image to RGBA8 format" and replaced by the error
  // picture (itself converted).
  void Narrow();
  // Each of these narrows first.
  void SetAlphaFromIntensity();                                       // (R + G + B) div 3
  void SetAlphaTransparentForColor(uint8_t r, uint8_t g, uint8_t b);  // 0 there, else 255
  void SetAlphaToValue(uint8_t alpha);
  void InvertAlpha();
  void SqrtAlpha();  // trunc(255 sqrt(a / 255))
  void BrightnessCorrection(float factor);
  void GammaCorrection(float gamma);

  // The software chain of triangle-filtered levels down to 1 x 1 (8-bit flat images only).
  void GenerateMipmap();

  // Sends the image to the texture bound to `target` on the active unit: sized for what GL
  // takes (power of two unless non-power-of-two textures exist, at most GL_MAX_TEXTURE_SIZE),
  // resampled with Lanczos-3 where the size differs, with mipmaps when asked. Reports the
  // size of level 0 as sent.
  struct TUploadSize {
    int32_t Width = 0, Height = 0, Depth = 0, Levels = 0;
  };
  // The size of level 0 for an image of this size: each side rounded up to a power of two
  // unless `nonPowerOfTwo` (a depth of 0 stays 0), width and height at most `maxSize`, and
  // the larger side halved while the texture would exceed cMaxTextureTexels.
  static TUploadSize TargetSize(int32_t width, int32_t height, int32_t depth, bool nonPowerOfTwo,
                                int32_t maxSize);
  TUploadSize RegisterAsOpenGLTexture(TGLStateCache& states, TGLTextureTarget target, bool mipmaps,
                                      GLenum internalFormat, bool compressed);

 private:
  size_t PixelCount() const { return FElementSize ? FData.size() / size_t(FElementSize) : 0; }
  bool IsByteRGBA() const {
    return FColorFormat == GL_RGBA && FDataType == GL_UNSIGNED_BYTE && FElementSize == 4;
  }

  int32_t FWidth = 0, FHeight = 0, FDepth = 0;
  GLenum FColorFormat = GL_RGBA;
  GLenum FDataType = GL_UNSIGNED_BYTE;
  TGLInternalFormat FInternalFormat = tfRGBA8;
  int32_t FElementSize = 4;
  int32_t FLevelCount = 1;
  bool FCubeMap = false;
  bool FTextureArray = false;
  bool FBlank = false;
  bool FVerticalReverse = false;
  std::vector<uint8_t> FData;
};

}  // namespace ukh
