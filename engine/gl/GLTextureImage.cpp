// Texture image basics: change reports to the texture, and the blank image.
#include "engine/gl/GLTextureImage.h"

#include "engine/gl/GLTexture.h"

namespace ukh {

TGLTextureImage::TGLTextureImage(TGLTexture* owner)
    : TGLUpdateAbleObject(owner), FOwnerTexture(owner) {}

void TGLTextureImage::NotifyChange(TPersistent* sender) {
  if (FUpdating > 0) return;
  if (FOwnerTexture)
    FOwnerTexture->NotifyImageChange();
  else
    TGLUpdateAbleObject::NotifyChange(sender);
}

void TGLTextureImage::Invalidate() {
  ReleaseBitmap32();
  NotifyChange(this);
}

void TGLTextureImage::SaveToFile(const std::string& fileName) {
  throw ETexture(std::string(ClassName()) + " cannot be saved to \"" + fileName + "\"");
}

void TGLTextureImage::LoadFromFile(const std::string& fileName) {
  throw ETexture(std::string(ClassName()) + " cannot be loaded from \"" + fileName + "\"");
}

TGLBlankImage::TGLBlankImage(TGLTexture* owner) : TGLTextureImage(owner) {
  FBitmap.SetBlank(256, 256, GL_RGBA, GL_UNSIGNED_BYTE);
}

void TGLBlankImage::AssignImage(const TGLImage& image) {
  FBitmap.Assign(image);
  Invalidate();
}

}  // namespace ukh
