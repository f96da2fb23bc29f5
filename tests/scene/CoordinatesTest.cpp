// Coordinate holders: style rules, exact failure texts, notification order, stored form.
#include "engine/scene/GLCoordinates.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/base/Exception.h"
#include "engine/math/Angles.h"

namespace ukh {
namespace {

using S = TGLCoordinatesStyle;

// An owner that records the order in which it hears of a change.
class TOrderOwner : public TGLCoordinatesUpdateAbleComponent {
 public:
  std::vector<std::string> Log;
  void CoordinateChanged(TGLCustomCoordinates*) override { Log.push_back("CoordinateChanged"); }
  void NotifyChange(TPersistent*) override { Log.push_back("NotifyChange"); }
};

TEST(CoordinatesTest, AsVectorForcesWByStyle) {
  const struct {
    S style;
    TVector4f expected;
  } cases[] = {
      {S::csPoint2D, {1, 2, 0, 0}}, {S::csPoint, {1, 2, 3, 1}}, {S::csVector, {1, 2, 3, 0}}};
  for (const auto& c : cases) {
    TGLCoordinates3 h(nullptr, NullHmgVector, c.style);
    h.SetAsVector({1, 2, 3, 7});
    EXPECT_EQ(h.AsVector(), c.expected) << int(c.style);
  }
  TGLCoordinates3 unknown(nullptr, {1, 1, 1, 1}, S::csUnknown);
  EXPECT_THROW(unknown.SetAsVector({1, 2, 3, 4}), EAssertionFailed);
  EXPECT_THROW(unknown.AsString(), EAssertionFailed);
  EXPECT_EQ(unknown.AsVector(), (TVector4f{1, 1, 1, 1}));
}

TEST(CoordinatesTest, StyleSettersFailWithTheirTextsAndLeaveTheHolderUnchanged) {
  const TVector4f start{4, 5, 6, 1};
  TGLCoordinates3 point(nullptr, start, S::csPoint);
  TGLCoordinates3 vector(nullptr, start, S::csVector);
  const struct {
    TGLCoordinates3* holder;
    void (*call)(TGLCoordinates3&);
    const char* message;
  } cases[] = {
      {&point, [](TGLCoordinates3& h) { h.SetVector(1, 2, 3); },
       "If you are getting assertions here, consider using the SetPoint procedure"},
      {&vector, [](TGLCoordinates3& h) { h.SetPoint(1, 2, 3); },
       "If you are getting assertions here, consider using the SetVector procedure"},
      {&point, [](TGLCoordinates3& h) { h.SetPoint2D(1, 2); },
       "If you are getting assertions here, consider using one of the SetVector or SetPoint "
       "procedures"},
  };
  for (const auto& c : cases) {
    try {
      c.call(*c.holder);
      ADD_FAILURE() << "no exception for " << c.message;
    } catch (const EAssertionFailed& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
    EXPECT_EQ(c.holder->AsVector(), start);
  }
}

TEST(CoordinatesTest, SettersAndArithmetic) {
  TGLCoordinates3 p(nullptr, NullHmgPoint, S::csPoint);
  p.SetPoint(1, 2, 3);
  EXPECT_EQ(p.AsVector(), (TVector4f{1, 2, 3, 1}));
  p.SetCoordinate(3, 5);  // no style rule for component writes
  EXPECT_EQ(p.W(), 5.0f);
  p.SetToZero();
  EXPECT_EQ(p.AsVector(), NullHmgPoint);
  p.Translate(TVector3f{1, 1, 1});
  p.AddScaledVector(2, TVector4f{1, 0, 0, 1});
  EXPECT_EQ(p.AsVector(), (TVector4f{3, 1, 1, 3}));
  p.AddScaledVector(2, TVector3f{0, 1, 0});
  EXPECT_EQ(p.AsVector(), (TVector4f{3, 3, 1, 3}));
  p.Scale(2);
  EXPECT_EQ(p.AsVector(), (TVector4f{6, 6, 2, 3}));
  p.Invert();
  EXPECT_EQ(p.AsVector(), (TVector4f{-6, -6, -2, -3}));

  TGLCoordinates3 v(nullptr, {0, 0, 5, 0}, S::csVector);
  v.Normalize();
  EXPECT_EQ(v.AsVector(), ZHmgVector);
  v.Rotate(TVector3f{0, 1, 0}, cPI / 2);
  EXPECT_NEAR(v.X(), -1, 1e-7);
  EXPECT_NEAR(v.Z(), 0, 1e-7);
  v.SetAsAffineVector({1, 2, 3});
  EXPECT_EQ(v.AsVector(), (TVector4f{1, 2, 3, 0}));
  EXPECT_EQ(v.MaxXYZ(), 3.0f);
  EXPECT_TRUE(v.Equals({1, 2, 3, 0}));
}

TEST(CoordinatesTest, AsStringByStyle) {
  TGLCoordinates3 p2(nullptr, {1.5f, 2, 3, 0}, S::csPoint2D);
  TGLCoordinates3 p(nullptr, {1.5f, 2, 3, 1}, S::csPoint);
  TGLCoordinates3 v(nullptr, {1.5f, 2, 3, 0}, S::csVector);
  EXPECT_EQ(p2.AsString(), "(1.5; 2)");
  EXPECT_EQ(p.AsString(), "(1.5; 2; 3)");
  EXPECT_EQ(v.AsString(), "(1.5; 2; 3; 0)");
}

TEST(CoordinatesTest, OwnerHearsCoordinateChangedFirstEvenWhileUpdating) {
  TOrderOwner owner;
  TGLCoordinates3 h(&owner, NullHmgPoint, S::csPoint);
  int fired = 0;
  h.OnNotifyChange = [&](TPersistent* sender) {
    EXPECT_EQ(sender, &h);
    ++fired;
  };
  h.SetCoordinate(0, 1);
  EXPECT_EQ(owner.Log, (std::vector<std::string>{"CoordinateChanged", "NotifyChange"}));
  EXPECT_EQ(fired, 1);

  owner.Log.clear();
  h.BeginUpdate();
  h.SetCoordinate(0, 2);
  h.SetCoordinate(0, 3);
  EXPECT_EQ(owner.Log, (std::vector<std::string>{"CoordinateChanged", "CoordinateChanged"}));
  h.EndUpdate();
  EXPECT_EQ(owner.Log.back(), "NotifyChange");
  EXPECT_EQ(fired, 2);
  try {
    h.EndUpdate();
    ADD_FAILURE() << "unbalanced EndUpdate accepted";
  } catch (const EAssertionFailed& e) {
    EXPECT_STREQ(e.what(), "Assertion failure");
  }
  EXPECT_EQ(h.Updating(), 0);
}

TEST(CoordinatesTest, StoredFormIsFourLittleEndianFloats) {
  TGLCoordinates3 h(nullptr, {1, -2, 0.5f, 1}, S::csPoint);
  uint8_t bytes[16];
  h.WriteCoordinatesBytes(bytes);
  const uint8_t expected[16] = {0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0xC0,
                                0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x80, 0x3F};
  EXPECT_EQ(std::memcmp(bytes, expected, 16), 0);
  TOrderOwner owner;
  TGLCoordinates3 back(&owner, NullHmgVector, S::csVector);
  back.ReadCoordinatesBytes(expected);
  EXPECT_EQ(back.AsVector(), (TVector4f{1, -2, 0.5f, 1}));
  EXPECT_TRUE(owner.Log.empty()) << "reading the stored form must not notify";
}

}  // namespace
}  // namespace ukh
