// The pixel buffer's conversions and its upload.
#include "engine/gl/GLImage.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/gl/GLImageResample.h"
#include "engine/gl/GLLog.h"
#include "engine/gl/GLMipmap.h"
#include "engine/gl/GLPictureStream.h"

namespace ukh {

namespace {

struct TFormatInfo {
  GLenum GL;
  int32_t Bytes;
  GLenum Compressed;
};
constexpr TFormatInfo cFormats[] = {
    {GL_ALPHA8, 1, GL_COMPRESSED_ALPHA},
    {GL_LUMINANCE8, 1, GL_COMPRESSED_LUMINANCE},
    {GL_LUMINANCE8_ALPHA8, 2, GL_COMPRESSED_LUMINANCE_ALPHA},
    {GL_INTENSITY8, 1, GL_COMPRESSED_INTENSITY},
    {GL_RGB5, 2, GL_COMPRESSED_RGB},
    {GL_RGB8, 3, GL_COMPRESSED_RGB},
    {GL_RGBA4, 2, GL_COMPRESSED_RGBA},
    {GL_RGB5_A1, 2, GL_COMPRESSED_RGBA},
    {GL_RGBA8, 4, GL_COMPRESSED_RGBA},
    {GL_RGBA16F, 8, 0},
    {GL_RGBA32F, 16, 0},
    {GL_DEPTH_COMPONENT16, 2, 0},
    {GL_DEPTH_COMPONENT24, 3, 0},
    {GL_DEPTH_COMPONENT32, 4, 0},
};

// The error picture: an 8-pixel checkerboard of magenta and dark grey, a table built once.
const std::array<uint8_t, 64 * 64 * 3>& ErrorPixels() {
  static const std::array<uint8_t, 64 * 64 * 3> table = [] {
    std::array<uint8_t, 64 * 64 * 3> t{};
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        const bool on = ((x >> 3) + (y >> 3)) % 2 == 0;
        uint8_t* p = &t[size_t(y * 64 + x) * 3];
        p[0] = on ? 255 : 40;
        p[1] = on ? 0 : 40;
        p[2] = on ? 255 : 40;
      }
    return t;
  }();
  return table;
}

uint32_t NextPowerOfTwo(uint32_t v) {
  uint32_t p = 1;
  while (p < v && p < (1u << 30)) p <<= 1;
  return p;
}

}  // namespace

GLenum GLInternalFormat(TGLInternalFormat f) {
  return cFormats[f].GL;
}
int32_t InternalFormatTexelBytes(TGLInternalFormat f) {
  return cFormats[f].Bytes;
}
bool IsFloatFormat(TGLInternalFormat f) {
  return f == tfRGBA_FLOAT16 || f == tfRGBA_FLOAT32;
}
bool IsDepthFormat(TGLInternalFormat f) {
  return f >= tfDEPTH_COMPONENT16;
}
bool IsFormatSupported(TGLInternalFormat f, const gl::TGLFeatures& features) {
  if (IsFloatFormat(f)) return features.VersionAtLeast(3, 0);
  if (IsDepthFormat(f)) return features.VersionAtLeast(1, 4);
  return true;
}
GLenum CompressedInternalFormat(TGLInternalFormat f) {
  return cFormats[f].Compressed;
}

int32_t PixelElementSize(GLenum colorFormat, GLenum dataType) {
  int32_t channels = 0, bytes = 0;
  switch (colorFormat) {
    case GL_RED:
    case GL_ALPHA:
    case GL_LUMINANCE:
    case GL_DEPTH_COMPONENT:
      channels = 1;
      break;
    case GL_LUMINANCE_ALPHA:
    case GL_RG:
      channels = 2;
      break;
    case GL_RGB:
    case GL_BGR:
      channels = 3;
      break;
    case GL_RGBA:
    case GL_BGRA:
      channels = 4;
      break;
    default:
      throw EGLImageError("Invalid data type");
  }
  switch (dataType) {
    case GL_UNSIGNED_BYTE:
    case GL_BYTE:
      bytes = 1;
      break;
    case GL_UNSIGNED_SHORT:
    case GL_SHORT:
    case GL_HALF_FLOAT:
      bytes = 2;
      break;
    case GL_UNSIGNED_INT:
    case GL_INT:
    case GL_FLOAT:
      bytes = 4;
      break;
    default:
      throw EGLImageError("Invalid data type");
  }
  return channels * bytes;
}

// ---- contents ----------------------------------------------------------------------------

void TGLImage::SetImage(int32_t width, int32_t height, GLenum colorFormat, GLenum dataType,
                        std::vector<uint8_t> data) {
  const int32_t element = PixelElementSize(colorFormat, dataType);
  Assert(width >= 0 && height >= 0 &&
         data.size() == size_t(width) * size_t(height) * size_t(element));
  FWidth = width, FHeight = height, FDepth = 0;
  FColorFormat = colorFormat, FDataType = dataType, FElementSize = element;
  FLevelCount = 1, FCubeMap = false, FTextureArray = false, FBlank = false;
  FData = std::move(data);
}

void TGLImage::SetBlank(int32_t width, int32_t height, GLenum colorFormat, GLenum dataType) {
  const int32_t element = PixelElementSize(colorFormat, dataType);
  Assert(width >= 0 && height >= 0);
  FWidth = width, FHeight = height, FDepth = 0;
  FColorFormat = colorFormat, FDataType = dataType, FElementSize = element;
  FLevelCount = 1, FCubeMap = false, FTextureArray = false, FBlank = true;
  FData.clear();
  FData.shrink_to_fit();
}

void TGLImage::Clear() {
  FWidth = FHeight = FDepth = 0;
  FColorFormat = GL_RGBA, FDataType = GL_UNSIGNED_BYTE, FElementSize = 4;
  FLevelCount = 1, FBlank = false, FCubeMap = false, FTextureArray = false;
  FData.clear();
  FData.shrink_to_fit();
}

void TGLImage::Assign(const TGLImage& source) {
  if (&source == this) return;
  FWidth = source.FWidth, FHeight = source.FHeight, FDepth = source.FDepth;
  FColorFormat = source.FColorFormat, FDataType = source.FDataType;
  FInternalFormat = source.FInternalFormat, FElementSize = source.FElementSize;
  FLevelCount = source.FLevelCount, FCubeMap = source.FCubeMap;
  FTextureArray = source.FTextureArray, FBlank = source.FBlank;
  FData = source.FData;
}

void TGLImage::SetErrorImage() {
  const auto& t = ErrorPixels();
  SetImage(64, 64, GL_RGB, GL_UNSIGNED_BYTE, std::vector<uint8_t>(t.begin(), t.end()));
  FInternalFormat = tfRGBA8;
}

void TGLImage::AssignFromGraphic(const TGLGraphic& graphic, const gl::TGLFeatures& features) {
  const platform::TRGBAImage& src = graphic.Image;
  Assert(src.Width > 0 && src.Height > 0 &&
         src.Pixels.size() == size_t(src.Width) * size_t(src.Height) * 4);
  const bool bitmap = graphic.ClassName == cBitmapClassName;
  const bool direct = bitmap && (graphic.BitsPerPixel == 24 || graphic.BitsPerPixel == 32) &&
                      (src.Width % 4 == 0 || features.EXT_bgra);
  const bool png = graphic.ClassName == cPngClassName;
  int32_t width = src.Width;
  // Anything else is redrawn onto a 24-bit bitmap first: no alpha, and a width that is a
  // multiple of 4, the picture stretched onto it.
  if (!direct && !png && width % 4 != 0) width = (width / 4 + 1) * 4;
  const bool bgr = !png && features.EXT_bgra;
  const bool alphaChannel = png || (direct && graphic.BitsPerPixel == 32);
  const int32_t element = bgr && !alphaChannel ? 3 : 4;
  const GLenum format = bgr ? (alphaChannel ? GL_BGRA : GL_BGR) : GL_RGBA;

  std::vector<uint8_t> data(size_t(width) * size_t(src.Height) * size_t(element));
  for (int32_t row = 0; row < src.Height; ++row) {
    // Rows are kept bottom-up: the picture's top row ends last.
    const int32_t from = FVerticalReverse ? row : src.Height - 1 - row;
    const uint8_t* in = src.Pixels.data() + size_t(from) * size_t(src.Width) * 4;
    uint8_t* out = data.data() + size_t(row) * size_t(width) * size_t(element);
    for (int32_t x = 0; x < width; ++x, out += element) {
      // A stretched redraw takes its nearest source column.
      const int32_t sx = width == src.Width ? x : int32_t(int64_t(x) * src.Width / width);
      const uint8_t* p = in + size_t(sx) * 4;
      if (bgr) {
        out[0] = p[2], out[1] = p[1], out[2] = p[0];
      } else {
        out[0] = p[0], out[1] = p[1], out[2] = p[2];
      }
      if (element == 4) out[3] = alphaChannel ? p[3] : 255;
    }
  }
  SetImage(width, src.Height, format, GL_UNSIGNED_BYTE, std::move(data));
  FInternalFormat = tfRGBA8;
}

// ---- conversions -------------------------------------------------------------------------

void TGLImage::Narrow() {
  if (IsByteRGBA()) return;
  const size_t n = PixelCount();
  std::vector<uint8_t> out;
  bool known = FDataType == GL_UNSIGNED_BYTE && !FBlank;
  if (known) {
    out.resize(n * 4);
    const uint8_t* p = FData.data();
    for (size_t i = 0; i < n; ++i, p += FElementSize) {
      uint8_t* o = &out[i * 4];
      switch (FColorFormat) {
        case GL_RGBA:
          o[0] = p[0], o[1] = p[1], o[2] = p[2], o[3] = p[3];
          break;
        case GL_BGRA:
          o[0] = p[2], o[1] = p[1], o[2] = p[0], o[3] = p[3];
          break;
        case GL_RGB:
          o[0] = p[0], o[1] = p[1], o[2] = p[2], o[3] = 255;
          break;
        case GL_BGR:
          o[0] = p[2], o[1] = p[1], o[2] = p[0], o[3] = 255;
          break;
        case GL_LUMINANCE:
          o[0] = o[1] = o[2] = p[0], o[3] = 255;
          break;
        case GL_LUMINANCE_ALPHA:
          o[0] = o[1] = o[2] = p[0], o[3] = p[1];
          break;
        case GL_ALPHA:
          o[0] = o[1] = o[2] = 0, o[3] = p[0];
          break;
        default:
          known = false;
          i = n;
          break;
      }
    }
  }
  if (FBlank && FDataType == GL_UNSIGNED_BYTE) {
    FColorFormat = GL_RGBA, FElementSize = 4;
    return;
  }
  if (!known) {
    GLLogError("TGLImage: can't convert image to RGBA8 format");
    SetErrorImage();
    Narrow();
    return;
  }
  FData = std::move(out);
  FColorFormat = GL_RGBA, FElementSize = 4;
}

void TGLImage::SetAlphaFromIntensity() {
  Narrow();
  for (size_t i = 0; i + 3 < FData.size(); i += 4)
    FData[i + 3] = uint8_t((FData[i] + FData[i + 1] + FData[i + 2]) / 3);
}

void TGLImage::SetAlphaTransparentForColor(uint8_t r, uint8_t g, uint8_t b) {
  Narrow();
  for (size_t i = 0; i + 3 < FData.size(); i += 4)
    FData[i + 3] = FData[i] == r && FData[i + 1] == g && FData[i + 2] == b ? 0 : 255;
}

void TGLImage::SetAlphaToValue(uint8_t alpha) {
  Narrow();
  for (size_t i = 3; i < FData.size(); i += 4) FData[i] = alpha;
}

void TGLImage::InvertAlpha() {
  Narrow();
  for (size_t i = 3; i < FData.size(); i += 4) FData[i] = uint8_t(255 - FData[i]);
}

void TGLImage::SqrtAlpha() {
  Narrow();
  static const std::array<uint8_t, 256> table = [] {
    std::array<uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i) t[size_t(i)] = uint8_t(std::trunc(255 * std::sqrt(i / 255.0)));
    return t;
  }();
  for (size_t i = 3; i < FData.size(); i += 4) FData[i] = table[FData[i]];
}

void TGLImage::BrightnessCorrection(float factor) {
  Narrow();
  std::array<uint8_t, 256> t{};
  for (int i = 0; i < 256; ++i)
    t[size_t(i)] = uint8_t(std::clamp(std::lround(double(i) * double(factor)), 0l, 255l));
  for (size_t i = 0; i + 3 < FData.size(); i += 4)
    for (size_t c = 0; c < 3; ++c) FData[i + c] = t[FData[i + c]];
}

void TGLImage::GammaCorrection(float gamma) {
  Narrow();
  if (!(gamma > 0)) return;
  std::array<uint8_t, 256> t{};
  for (int i = 0; i < 256; ++i)
    t[size_t(i)] =
        uint8_t(std::clamp(std::lround(255 * std::pow(i / 255.0, 1.0 / double(gamma))), 0l, 255l));
  for (size_t i = 0; i + 3 < FData.size(); i += 4)
    for (size_t c = 0; c < 3; ++c) FData[i + c] = t[FData[i + c]];
}

void TGLImage::GenerateMipmap() {
  if (FDataType != GL_UNSIGNED_BYTE || FDepth > 0 || FBlank || FCubeMap || IsEmpty() ||
      FElementSize > 4)
    return;
  const int32_t levels = MipmapLevelCount(FWidth, FHeight);
  FData.resize(size_t(FWidth) * size_t(FHeight) * size_t(FElementSize));  // level 0 only
  BuildMipmaps(FData, FWidth, FHeight, FElementSize, levels);
  FLevelCount = levels;
}

// ---- upload ------------------------------------------------------------------------------

TGLImage::TUploadSize TGLImage::TargetSize(int32_t width, int32_t height, int32_t depth,
                                           bool nonPowerOfTwo, int32_t maxSize) {
  TUploadSize size{width, height, depth, 1};
  if (!nonPowerOfTwo) {
    size.Width = int32_t(NextPowerOfTwo(uint32_t(width)));
    size.Height = int32_t(NextPowerOfTwo(uint32_t(height)));
    if (depth > 0) size.Depth = int32_t(NextPowerOfTwo(uint32_t(depth)));
  }
  size.Width = std::min(size.Width, maxSize);
  size.Height = std::min(size.Height, maxSize);
  // Rounding up may quadruple a picture; beyond this bound it is made smaller instead.
  while (uint64_t(size.Width) * uint64_t(size.Height) * uint64_t(std::max(size.Depth, 1)) >
         cMaxTextureTexels) {
    if (size.Width >= size.Height)
      size.Width = std::max(1, size.Width / 2);
    else
      size.Height = std::max(1, size.Height / 2);
  }
  return size;
}

TGLImage::TUploadSize TGLImage::RegisterAsOpenGLTexture(TGLStateCache& states,
                                                        TGLTextureTarget target, bool mipmaps,
                                                        GLenum internalFormat, bool compressed) {
  const gl::TGLFeatures& f = gl::CurrentFeatures();
  const GLenum glTarget = GLTextureTarget(target);
  TUploadSize size =
      TargetSize(FWidth, FHeight, FDepth, f.ARB_texture_non_power_of_two, states.MaxTextureSize());

  const uint8_t* pixels = FBlank ? nullptr : FData.data();
  int32_t levels = FLevelCount;
  std::vector<uint8_t> resampled;
  if (size.Width != FWidth || size.Height != FHeight) {
    levels = 1;
    pixels = nullptr;
    const bool canResample =
        FDepth == 0 && !compressed && !FBlank && !FCubeMap && FDataType == GL_UNSIGNED_BYTE &&
        FElementSize <= 4 &&
        FData.size() >= size_t(FWidth) * size_t(FHeight) * size_t(FElementSize);
    if (canResample) {
      resampled.resize(size_t(size.Width) * size_t(size.Height) * size_t(FElementSize));
      ResampleImage(FData.data(), FWidth, FHeight, FElementSize, resampled.data(), size.Width,
                    size.Height, cLanczos3Filter);
      pixels = resampled.data();
    }
  }

  const bool mipmapTarget = target != ttTextureRect && target != ttTexture2DMultisample &&
                            target != ttTexture2DMultisampleArray;
  if (mipmaps && mipmapTarget && levels == 1) {
    if (f.SGIS_generate_mipmap) {
      gl::TexParameteri(glTarget, GL_GENERATE_MIPMAP, GL_TRUE);
    } else if (!resampled.empty()) {
      levels = MipmapLevelCount(size.Width, size.Height);
      BuildMipmaps(resampled, size.Width, size.Height, FElementSize, levels);
      pixels = resampled.data();
    } else if (pixels) {
      GenerateMipmap();
      levels = FLevelCount;
      pixels = FData.data();
    }
  }
  if (f.SGIS_texture_lod && levels > 1)
    gl::TexParameteri(glTarget, GL_TEXTURE_MAX_LEVEL, levels - 1);

  states.SetUnpackAlignment(1);
  states.SetUnpackRowLength(0);
  states.SetUnpackSkipRows(0);
  states.SetUnpackSkipPixels(0);
  int32_t w = size.Width, h = size.Height, d = std::max(size.Depth, 1);
  size_t offset = 0;
  const size_t element = size_t(FElementSize);
  for (int32_t level = 0; level < levels; ++level) {
    const uint8_t* p = pixels ? pixels + offset : nullptr;
    const size_t faceBytes = size_t(w) * size_t(h) * size_t(d) * element;
    switch (target) {
      case ttTexture1D:
        gl::TexImage1D(glTarget, level, GLint(internalFormat), w, 0, FColorFormat, FDataType, p);
        break;
      case ttTexture3D:
      case ttTexture2DArray:
        gl::TexImage3D(glTarget, level, GLint(internalFormat), w, h,
                       target == ttTexture3D ? d : size.Depth, 0, FColorFormat, FDataType, p);
        break;
      case ttTextureCube:
        for (GLenum face = 0; face < 6; ++face) {
          gl::TexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, level, GLint(internalFormat), w, h,
                         0, FColorFormat, FDataType, p ? p + face * faceBytes : nullptr);
        }
        break;
      default:
        gl::TexImage2D(glTarget, level, GLint(internalFormat), w, h, 0, FColorFormat, FDataType, p);
        break;
    }
    offset += faceBytes * (target == ttTextureCube ? 6 : 1);
    w = std::max(1, w / 2);
    h = std::max(1, h / 2);
    if (target == ttTexture3D) d = std::max(1, d / 2);
  }
  size.Levels = levels;
  return size;
}

}  // namespace ukh
