// Colour components, their window-system form and their 16-byte stored form.
#include "engine/gl/GLColor.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <string>

#include "engine/base/Exception.h"
#include "platform/SysColors.h"

namespace ukh {

namespace {

void PutLE32(uint8_t* p, float f) {
  const uint32_t u = std::bit_cast<uint32_t>(f);
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(u >> (8 * i));
}

float GetLE32(const uint8_t* p) {
  uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= uint32_t(p[i]) << (8 * i);
  return std::bit_cast<float>(u);
}

uint32_t ToByte(float component) {
  const double v = std::round(double(component) * 255);
  // Out-of-range (or NaN) components would otherwise spill into the next channel.
  if (!(v > 0)) return 0;
  return v >= 255 ? 255 : uint32_t(v);
}

}  // namespace

TVector4f ConvertWinColor(uint32_t winColor, float alpha) {
  const platform::TRGB8 rgb = platform::ColorToRGB(winColor);
  return {rgb.R / 255.0f, rgb.G / 255.0f, rgb.B / 255.0f, alpha};
}

TGLColor::TGLColor(TPersistent* owner, const TVector4f& defaultColor)
    : TGLUpdateAbleObject(owner), FColor(defaultColor), FDefaultColor(defaultColor) {}

void TGLColor::SetComponent(int index, float value) {
  if (FColor[index] == value) return;
  FColor[index] = value;
  NotifyChange(this);
}

void TGLColor::SetColor(const TVector4f& color) {
  if (FColor == color) return;
  FColor = color;
  NotifyChange(this);
}

uint32_t TGLColor::AsWinColor() const {
  return ToByte(FColor.X) | (ToByte(FColor.Y) << 8) | (ToByte(FColor.Z) << 16);
}

void TGLColor::SetAsWinColor(uint32_t winColor) {
  SetColor(ConvertWinColor(winColor, 1));
}

std::array<uint8_t, TGLColor::cStoredSize> TGLColor::StoredForm() const {
  std::array<uint8_t, cStoredSize> bytes{};
  for (int i = 0; i < 4; ++i) PutLE32(&bytes[size_t(i) * 4], FColor[i]);
  return bytes;
}

void TGLColor::LoadStoredForm(std::span<const uint8_t> bytes) {
  if (bytes.size() != cStoredSize)
    throw Exception("Property \"Color\" holds " + std::to_string(bytes.size()) +
                    " bytes instead of 16");
  const TVector4f color{GetLE32(&bytes[0]), GetLE32(&bytes[4]), GetLE32(&bytes[8]),
                        GetLE32(&bytes[12])};
  // Compared by bits, not value: a stored -0 (or NaN) must come back as stored.
  if (std::memcmp(&color, &FColor, sizeof color) == 0) return;
  FColor = color;
  NotifyChange(this);
}

void TGLColor::NotifyChange(TPersistent* sender) {
  if (auto* listener = dynamic_cast<TGLColorChangeListener*>(FOwner)) listener->ColorChanged(this);
  TGLUpdateAbleObject::NotifyChange(sender);
}

}  // namespace ukh
