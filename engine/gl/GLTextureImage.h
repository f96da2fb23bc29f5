// TGLTextureImage: what holds a texture's picture and hands it over as a TGLImage for
// upload; TGLBlankImage, the holder of a ready TGLImage (the error picture). Owned by its
// texture, which it tells of every change of its pixels.
#pragma once

#include <memory>
#include <string>

#include "engine/base/Exception.h"
#include "engine/base/GLUpdateAbleObject.h"
#include "engine/gl/GLImage.h"
#include "engine/gl/GLStateCache.h"

namespace ukh {

class TGLTexture;

// Texture failures with their fixed messages ("Could not open file: %s").
class ETexture : public Exception {
 public:
  using Exception::Exception;
};

class TGLTextureImage : public TGLUpdateAbleObject {
 public:
  // `owner` is the texture (not owned); nullptr for a free-standing image.
  explicit TGLTextureImage(TGLTexture* owner);

  TGLTexture* OwnerTexture() const { return FOwnerTexture; }
  // The name of the file last loaded.
  const std::string& ResourceName() const { return FResourceName; }
  virtual const char* ClassName() const = 0;

  // Virtual operations in their order: change notification, self upload, native target,
  // sizes, files, names, invalidation and the converted copy.
  void NotifyChange(TPersistent* sender) override;
  virtual bool IsSelfLoading() const { return false; }
  virtual void LoadTexture(TGLInternalFormat) {}
  virtual TGLTextureTarget NativeTextureTarget() const { return ttTexture2D; }
  virtual int32_t Height() const = 0;
  virtual int32_t Width() const = 0;
  virtual int32_t Depth() const { return 0; }
  virtual void SaveToFile(const std::string& fileName);
  virtual void LoadFromFile(const std::string& fileName);
  virtual std::string FriendlyName() const = 0;
  virtual std::string FriendlyDescription() const = 0;
  // The pixels changed: the converted copy goes and the texture resends.
  virtual void Invalidate();
  // The converted copy, made on demand; nullptr if there is nothing to convert.
  virtual TGLImage* GetBitmap32() = 0;
  virtual void ReleaseBitmap32() = 0;

  virtual void Assign(const TGLTextureImage& source) { FResourceName = source.FResourceName; }

 protected:
  TGLTexture* FOwnerTexture;
  std::string FResourceName;
};

// A ready pixel buffer: blank storage (256 x 256 RGBA) until an image is assigned.
class TGLBlankImage : public TGLTextureImage {
 public:
  explicit TGLBlankImage(TGLTexture* owner);
  const char* ClassName() const override { return "TGLBlankImage"; }
  int32_t Height() const override { return FBitmap.Height(); }
  int32_t Width() const override { return FBitmap.Width(); }
  std::string FriendlyName() const override { return "Blank Image"; }
  std::string FriendlyDescription() const override {
    return "Blank Image (Width x Height x Depth)";
  }
  TGLImage* GetBitmap32() override { return &FBitmap; }
  void ReleaseBitmap32() override {}
  // A copy of `image` becomes the pixels.
  void AssignImage(const TGLImage& image);

 private:
  TGLImage FBitmap;
};

}  // namespace ukh
