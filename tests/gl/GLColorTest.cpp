// TGLColor: its 16-byte stored form, change notification and window-system form.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "engine/base/Exception.h"
#include "engine/gl/GLColor.h"
#include "platform/SysColors.h"

namespace ukh::test {
namespace {

// An owner that counts ordinary changes and the colour-aware hook separately.
class TCountingOwner : public TGLUpdateAbleObject, public TGLColorChangeListener {
 public:
  TCountingOwner() : TGLUpdateAbleObject(nullptr) {}
  void NotifyChange(TPersistent*) override { ++Changes; }
  void ColorChanged(TGLColor* c) override { Changed.push_back(c); }
  int Changes = 0;
  std::vector<TGLColor*> Changed;
};

TEST(GLColorStoredForm, ReadsTheDocumentedExample) {
  const std::array<uint8_t, 16> bytes = {0x66, 0x66, 0x26, 0x3F, 0x00, 0x00, 0x00, 0x3F,
                                         0x14, 0xAE, 0xC7, 0x3E, 0x00, 0x00, 0x80, 0x3F};
  TGLColor c(nullptr);
  c.LoadStoredForm(bytes);
  EXPECT_EQ(c.Color(), (TVector4f{0.65f, 0.5f, 0.39f, 1.0f}));
  EXPECT_EQ(c.StoredForm(), bytes);
}

TEST(GLColorStoredForm, RoundTripsByteForByte) {
  // Values that are not plain fractions keep their exact bits: a negative zero, a
  // denormal, a value above 1 and a NaN payload.
  const std::vector<std::array<uint8_t, 16>> cases = {
      {0, 0, 0, 0x80, 1, 0, 0, 0, 0, 0, 0xC0, 0x7F, 0x00, 0x00, 0x20, 0x41},
      {0xFF, 0xFF, 0x7F, 0x7F, 0x01, 0x02, 0x03, 0x04, 0xAA, 0xBB, 0xCC, 0x3D, 0, 0, 0, 0},
      // equal in value to the default black, not in bits
      {0, 0, 0, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00, 0x80, 0x3F},
  };
  for (const auto& bytes : cases) {
    TGLColor c(nullptr);
    c.LoadStoredForm(bytes);
    EXPECT_EQ(c.StoredForm(), bytes);
  }
}

TEST(GLColorStoredForm, WrongSizeIsRejectedAndLeavesTheDefault) {
  TGLColor c(nullptr, {0.2f, 0.2f, 0.2f, 1});
  const std::vector<uint8_t> shortForm(15, 0);
  const std::vector<uint8_t> longForm(17, 0);
  try {
    c.LoadStoredForm(shortForm);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Property \"Color\" holds 15 bytes instead of 16");
  }
  EXPECT_THROW(c.LoadStoredForm(longForm), Exception);
  EXPECT_THROW(c.LoadStoredForm({}), Exception);
  EXPECT_EQ(c.Color(), (TVector4f{0.2f, 0.2f, 0.2f, 1}));
}

TEST(GLColorNotification, OnlyRealChangesNotify) {
  TCountingOwner owner;
  TGLColor c(&owner, {0.5f, 0.5f, 0.5f, 1});
  int events = 0;
  c.OnNotifyChange = [&](TPersistent*) { ++events; };
  c.SetRed(0.5f);  // the value it has
  c.SetColor({0.5f, 0.5f, 0.5f, 1});
  c.SetDirectColor({0, 0, 0, 0});  // never notifies
  EXPECT_EQ(owner.Changes, 0);
  EXPECT_EQ(events, 0);
  c.SetRed(0.25f);
  c.SetAlpha(0.75f);
  EXPECT_EQ(owner.Changes, 2);
  EXPECT_EQ(events, 2);
  ASSERT_EQ(owner.Changed.size(), 2u);
  EXPECT_EQ(owner.Changed[0], &c);
  EXPECT_EQ(c.Color(), (TVector4f{0.25f, 0, 0, 0.75f}));
}

TEST(GLColorNotification, UpdateBracketSendsOneChangeAtTheEnd) {
  TCountingOwner owner;
  TGLColor c(&owner);
  c.BeginUpdate();
  c.SetRed(1);
  c.SetGreen(1);
  c.SetBlue(1);
  EXPECT_EQ(owner.Changes, 0);
  EXPECT_EQ(owner.Changed.size(), 3u);  // the colour-aware hook is told every time
  c.EndUpdate();
  EXPECT_EQ(owner.Changes, 1);
  EXPECT_THROW(c.EndUpdate(), EAssertionFailed);
}

TEST(GLColorNotification, DefaultIsOpaqueBlack) {
  TGLColor c(nullptr);
  EXPECT_EQ(c.Color(), (TVector4f{0, 0, 0, 1}));
  EXPECT_EQ(c.DefaultColor(), (TVector4f{0, 0, 0, 1}));
  EXPECT_EQ(c.AsAddress(), &c.Color().X);
}

TEST(GLColorWinColor, ConvertsBothWays) {
  TGLColor c(nullptr);
  c.SetColor({0, 0, 0, 0.5f});
  c.SetAsWinColor(0x00336699);  // red 0x99, green 0x66, blue 0x33; alpha becomes 1
  EXPECT_EQ(c.Color(), (TVector4f{0x99 / 255.0f, 0x66 / 255.0f, 0x33 / 255.0f, 1}));
  EXPECT_EQ(c.AsWinColor(), 0x00336699u);
  // A system colour is resolved to its current value.
  c.SetAsWinColor(platform::clBtnFace);
  const platform::TRGB8 face = platform::GetSysColor(platform::COLOR_BTNFACE);
  EXPECT_EQ(c.AsWinColor(), uint32_t(face.R) | uint32_t(face.G) << 8 | uint32_t(face.B) << 16);
  // Components outside 0..1 are clamped per byte rather than spilling over.
  c.SetColor({1.5f, -0.25f, 0.5f, 1});
  EXPECT_EQ(c.AsWinColor(), 0x008000FFu);
}

}  // namespace
}  // namespace ukh::test
