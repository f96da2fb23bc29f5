// TGLPictureImage: a texture image holding a toolkit picture, converted on demand into a
// TGLImage; TGLPersistentImage, the default image of every texture, loads that picture from
// a file or keeps it with the stored form ("Picture.Data").
#pragma once

#include <memory>
#include <string>

#include "engine/gl/GLPicture.h"
#include "engine/gl/GLTextureImage.h"

namespace ukh {

class TGLPictureImage : public TGLTextureImage {
 public:
  explicit TGLPictureImage(TGLTexture* owner);
  ~TGLPictureImage() override;

  // Created on first access; every change of it invalidates the image.
  TGLPicture& Picture();
  bool HasPicture() const { return FPicture != nullptr; }

  const char* ClassName() const override { return "TGLPictureImage"; }
  int32_t Height() const override { return FPicture ? FPicture->Height() : 0; }
  int32_t Width() const override { return FPicture ? FPicture->Width() : 0; }
  std::string FriendlyName() const override { return "Picture Image"; }
  std::string FriendlyDescription() const override {
    return "Image data is retrieved from a picture";
  }
  // Without a graphic the copy is the error picture.
  TGLImage* GetBitmap32() override;
  void ReleaseBitmap32() override { FBitmap.reset(); }
  // Whether a converted copy exists now.
  bool HasBitmap32() const { return FBitmap != nullptr; }
  void Assign(const TGLTextureImage& source) override;

 protected:
  std::unique_ptr<TGLPicture> FPicture;

 private:
  std::unique_ptr<TGLImage> FBitmap;
  bool FAssigning = false;
};

class TGLPersistentImage : public TGLPictureImage {
 public:
  explicit TGLPersistentImage(TGLTexture* owner) : TGLPictureImage(owner) {}
  const char* ClassName() const override { return "TGLPersistentImage"; }
  std::string FriendlyName() const override { return "Persistent Image"; }
  std::string FriendlyDescription() const override {
    return "Image data is stored in its original format with other form resources";
  }
  // Remembers the name, lets the texture's OnTextureNeeded change it, and loads the file. A
  // missing file clears the picture and raises ETexture "Could not open file: <name>"; a
  // file that cannot be decoded raises EPictureError and leaves the picture.
  void LoadFromFile(const std::string& fileName) override;
  // As a BMP file.
  void SaveToFile(const std::string& fileName) override;
};

}  // namespace ukh
