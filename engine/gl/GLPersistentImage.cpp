// Picture images: conversion of the picture into the upload buffer, and file loading.
#include "engine/gl/GLPersistentImage.h"

#include <filesystem>
#include <fstream>

#include "engine/gl/GLApi.h"
#include "engine/gl/GLTexture.h"

namespace ukh {

TGLPictureImage::TGLPictureImage(TGLTexture* owner) : TGLTextureImage(owner) {}
TGLPictureImage::~TGLPictureImage() {
  if (FPicture) FPicture->OnChange = nullptr;
}

TGLPicture& TGLPictureImage::Picture() {
  if (!FPicture) {
    FPicture = std::make_unique<TGLPicture>();
    FPicture->OnChange = [this] {
      if (!FAssigning) Invalidate();
    };
  }
  return *FPicture;
}

TGLImage* TGLPictureImage::GetBitmap32() {
  if (FBitmap) return FBitmap.get();
  FBitmap = std::make_unique<TGLImage>();
  const TGLGraphic* graphic = FPicture ? FPicture->Graphic() : nullptr;
  if (!graphic || graphic->Image.Width <= 0 || graphic->Image.Height <= 0) {
    FBitmap->SetErrorImage();
  } else {
    FAssigning = true;
    try {
      FBitmap->AssignFromGraphic(*graphic, gl::CurrentFeatures());
    } catch (...) {
      FAssigning = false;
      FBitmap.reset();
      throw;
    }
    FAssigning = false;
  }
  return FBitmap.get();
}

void TGLPictureImage::Assign(const TGLTextureImage& source) {
  if (&source == this) return;
  TGLTextureImage::Assign(source);
  if (const auto* pic = dynamic_cast<const TGLPictureImage*>(&source)) {
    if (pic->FPicture)
      Picture().Assign(*pic->FPicture);
    else if (FPicture)
      FPicture->Clear();
  }
}

void TGLPersistentImage::LoadFromFile(const std::string& fileName) {
  FResourceName = fileName;
  std::string name = fileName;
  if (FOwnerTexture && FOwnerTexture->OnTextureNeeded)
    FOwnerTexture->OnTextureNeeded(FOwnerTexture, name);
  std::error_code ec;
  if (std::filesystem::is_regular_file(name, ec)) {
    Picture().LoadFromFile(name);
    return;
  }
  Picture().Clear();
  throw ETexture("Could not open file: " + fileName);
}

void TGLPersistentImage::SaveToFile(const std::string& fileName) {
  const TGLGraphic* graphic = FPicture ? FPicture->Graphic() : nullptr;
  if (!graphic) throw ETexture("There is no picture to save to \"" + fileName + "\"");
  const std::vector<uint8_t> bmp = EncodeBmp(graphic->Image);
  std::ofstream out(fileName, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bmp.data()), std::streamsize(bmp.size()));
  if (!out) throw ETexture("Could not write file: " + fileName);
  FResourceName = fileName;
}

}  // namespace ukh
