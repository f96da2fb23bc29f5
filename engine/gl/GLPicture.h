// TGLPicture: the windowing toolkit's picture as the engine keeps it: at most one decoded
// graphic, loaded from a file or from its stored form, with a change event.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/gl/GLPictureStream.h"

namespace ukh {

class TGLPicture {
 public:
  TGLPicture() = default;
  TGLPicture(const TGLPicture&) = delete;
  TGLPicture& operator=(const TGLPicture&) = delete;

  bool HasGraphic() const { return FGraphic.has_value(); }
  // nullptr without a graphic.
  const TGLGraphic* Graphic() const { return FGraphic ? &*FGraphic : nullptr; }
  int32_t Width() const { return FGraphic ? FGraphic->Image.Width : 0; }
  int32_t Height() const { return FGraphic ? FGraphic->Image.Height : 0; }

  // Decodes the file by its extension. A decoding error (EPictureError naming the file)
  // leaves the picture as it was.
  void LoadFromFile(const std::string& fileName);
  // The stored form ("TBitmap" + byte count + BMP file); `objectName` names it in errors.
  // A broken form leaves the picture as it was.
  void ReadData(const uint8_t* data, size_t size, const std::string& objectName);
  std::vector<uint8_t> WriteData() const { return WritePictureData(Graphic()); }

  void SetGraphic(TGLGraphic graphic);
  void Clear();
  void Assign(const TGLPicture& source);

  // Fired after every change of the graphic.
  std::function<void()> OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange();
  }
  std::optional<TGLGraphic> FGraphic;
};

}  // namespace ukh
