// TGLColor: four single-precision components (red, green, blue, alpha) with change
// notification, as used for material colours and the buffer's ambient colour. Its stored
// form is the "Color" property: 16 bytes, four little-endian IEEE singles R, G, B, A.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "engine/base/GLUpdateAbleObject.h"
#include "engine/math/Vector.h"

namespace ukh {

class TGLColor;

// An owner that wants to know which of its colours changed (told before, and regardless
// of, the ordinary change notification).
class TGLColorChangeListener {
 public:
  virtual ~TGLColorChangeListener() = default;
  virtual void ColorChanged(TGLColor* color) = 0;
};

inline constexpr TVector4f clrBlack{0, 0, 0, 1};

class TGLColor : public TGLUpdateAbleObject {
 public:
  static constexpr const char* cStoredPropertyName = "Color";
  static constexpr size_t cStoredSize = 16;

  // `owner` is told of changes and not owned. The default is black when none is given.
  explicit TGLColor(TPersistent* owner, const TVector4f& defaultColor = clrBlack);

  float Red() const { return FColor.X; }
  float Green() const { return FColor.Y; }
  float Blue() const { return FColor.Z; }
  float Alpha() const { return FColor.W; }
  // Nothing happens when the value is the one already held (compared exactly).
  void SetRed(float v) { SetComponent(0, v); }
  void SetGreen(float v) { SetComponent(1, v); }
  void SetBlue(float v) { SetComponent(2, v); }
  void SetAlpha(float v) { SetComponent(3, v); }

  const TVector4f& Color() const { return FColor; }
  void SetColor(const TVector4f& color);
  // Stores without telling anyone.
  void SetDirectColor(const TVector4f& color) { FColor = color; }
  const TVector4f& DefaultColor() const { return FDefaultColor; }

  // The window-system colour: a plain 0x00BBGGRR value or a system colour 0xFF0000nn,
  // resolved to RGB now; alpha becomes 1. Reading packs round(component x 255), clamped to
  // a byte, as 0x00BBGGRR.
  uint32_t AsWinColor() const;
  void SetAsWinColor(uint32_t winColor);
  // The four singles, handed to GL.
  const float* AsAddress() const { return &FColor.X; }

  void Assign(const TGLColor& source) { SetColor(source.FColor); }

  // The stored form: exactly 16 bytes, otherwise Exception naming the size found.
  std::array<uint8_t, cStoredSize> StoredForm() const;
  void LoadStoredForm(std::span<const uint8_t> bytes);

  void NotifyChange(TPersistent* sender) override;

 private:
  void SetComponent(int index, float value);

  TVector4f FColor;
  TVector4f FDefaultColor;
};

// A window-system colour value as RGBA with the given alpha, system colours resolved.
TVector4f ConvertWinColor(uint32_t winColor, float alpha = 1);

}  // namespace ukh
