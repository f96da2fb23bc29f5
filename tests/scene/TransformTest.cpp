// Object transforms: lazy matrices, parenting, movement, angles, re-orthogonalisation and
// the notifications each write sends.
#include <gtest/gtest.h>

#include <memory>

#include "engine/scene/GLWorld.h"
#include "tests/scene/SceneTestSupport.h"

namespace ukh {
namespace {

using test::TCountingObject;
using test::TRecordingBuffer;

void ExpectVecNear(const TVector4f& a, const TVector4f& b, float tol = 1e-6f) {
  EXPECT_NEAR(a.X, b.X, tol);
  EXPECT_NEAR(a.Y, b.Y, tol);
  EXPECT_NEAR(a.Z, b.Z, tol);
  EXPECT_NEAR(a.W, b.W, tol);
}

TEST(TransformTest, NewObjectIsIdentityWithEveryFlagSet) {
  TGLBaseSceneObject o;
  EXPECT_EQ(o.Changes(), ocTransformation | ocAbsoluteMatrix | ocInvAbsoluteMatrix | ocStructure);
  EXPECT_EQ(o.Matrix(), IdentityHmgMatrix);
  EXPECT_EQ(o.AbsoluteMatrix(), IdentityHmgMatrix);
  EXPECT_EQ(o.InvAbsoluteMatrix(), IdentityHmgMatrix);
  EXPECT_EQ(o.Changes(), ocStructure);
}

TEST(TransformTest, ParentedAbsolutePositionFollowsTheParent) {
  TGLWorld scene;
  auto* parent = scene.Objects().AddNewChild<TGLBaseSceneObject>();
  auto* child = parent->AddNewChild<TGLBaseSceneObject>();
  parent->Position().SetPoint(10, 0, 0);
  child->Position().SetCoordinate(1, -5);
  EXPECT_EQ(child->AbsolutePosition(), (TVector4f{10, -5, 0, 1}));
  // The child is never touched again, yet sees its parent's move at the next read.
  parent->Position().SetCoordinate(2, 3);
  EXPECT_EQ(child->AbsolutePosition(), (TVector4f{10, -5, 3, 1}));
  EXPECT_EQ(child->AbsoluteToLocal(TVector3f{10, -5, 3}), (TVector3f{0, 0, 0}));
}

TEST(TransformTest, MoveLiftAndSlide) {
  TGLBaseSceneObject o;
  o.Position().SetPoint(1, 0, 0);
  o.Move(2);
  EXPECT_EQ(o.Position().AsVector(), (TVector4f{1, 0, 2, 1}));
  o.Move(-2);
  EXPECT_EQ(o.Position().AsVector(), (TVector4f{1, 0, 0, 1}));
  o.Lift(3);
  EXPECT_EQ(o.Position().AsVector(), (TVector4f{1, 3, 0, 1}));
  o.Slide(1);  // Direction x Up = (0,0,1) x (0,1,0) = (-1, 0, 0)
  EXPECT_EQ(o.Position().AsVector(), (TVector4f{0, 3, 0, 1}));
}

TEST(TransformTest, TurnAngleTurnsAboutUpAndStoresTheWrappedAngle) {
  TGLBaseSceneObject o;
  o.SetTurnAngle(90);
  ExpectVecNear(o.Direction().AsVector(), {1, 0, 0, 0});
  EXPECT_EQ(o.Up().AsVector(), YHmgVector);
  EXPECT_EQ(o.TurnAngle(), 90.0f);
  o.SetTurnAngle(450);  // a further full turn
  ExpectVecNear(o.Direction().AsVector(), {1, 0, 0, 0});
  EXPECT_EQ(o.TurnAngle(), 90.0f);

  const struct { float in, stored; } wraps[] = {{190, -170}, {-540, -180}, {540, 180}};
  for (const auto& w : wraps) {
    TGLBaseSceneObject t;
    t.SetTurnAngle(w.in);
    EXPECT_EQ(t.TurnAngle(), w.stored) << w.in;
  }
}

TEST(TransformTest, PitchAndRollUseTheirOwnAxes) {
  TGLBaseSceneObject pitch;
  pitch.SetPitchAngle(90);  // about Direction x Up = -X
  ExpectVecNear(pitch.Direction().AsVector(), {0, 1, 0, 0});
  ExpectVecNear(pitch.Up().AsVector(), {0, 0, -1, 0});
  EXPECT_EQ(pitch.PitchAngle(), 90.0f);
  TGLBaseSceneObject roll;
  roll.SetRollAngle(90);  // about Direction = +Z
  ExpectVecNear(roll.Up().AsVector(), {-1, 0, 0, 0});
  EXPECT_EQ(roll.Direction().AsVector(), ZHmgVector);
}

TEST(TransformTest, SettingTheCurrentAngleTouchesNothing) {
  TCountingObject o;
  o.SetTurnAngle(30);
  o.Matrix();
  const TVector4f dir = o.Direction().AsVector();
  const TGLObjectChanges flags = o.Changes();
  const int notes = o.Notifications;
  o.SetTurnAngle(30);
  EXPECT_EQ(o.Direction().AsVector(), dir);
  EXPECT_EQ(o.Changes(), flags);
  EXPECT_EQ(o.Notifications, notes);
}

TEST(TransformTest, DirectionAndUpStayOrthonormal) {
  {
    // Direction parallel to Up: right falls back to Z x Up = (-1, 0, 0).
    TGLBaseSceneObject o;
    o.Direction().SetVector(0, 1, 0);
    EXPECT_EQ(o.Direction().AsVector(), YHmgVector);
    EXPECT_EQ(o.Up().AsVector(), (TVector4f{0, 0, -1, 0}));
  }
  {
    // A zero Direction is replaced by +Z, then Up is re-derived against it.
    TGLBaseSceneObject o;
    o.Direction().SetVector(1, 0, 0);
    o.Direction().SetCoordinate(0, 0);
    EXPECT_EQ(o.Direction().AsVector(), ZHmgVector);
    EXPECT_EQ(o.Up().AsVector(), YHmgVector);
  }
  {
    // Writing Up keeps Up and bends Direction within their plane.
    TGLBaseSceneObject o;
    o.Up().SetVector(0, 1, 1);
    const float h = float(1 / std::sqrt(2.0));
    ExpectVecNear(o.Up().AsVector(), {0, h, h, 0});
    ExpectVecNear(o.Direction().AsVector(), {0, -h, h, 0});
  }
  {
    // Whole-holder assignment ignores an all-zero Direction.
    TGLBaseSceneObject o;
    TGLCoordinates3 zero(nullptr, NullHmgVector, TGLCoordinatesStyle::csVector);
    o.SetDirection(zero);
    EXPECT_EQ(o.Direction().AsVector(), ZHmgVector);
  }
}

TEST(TransformTest, OneWriteIsOneCoordinateChangeAndOneNotification) {
  TGLWorld scene;
  TRecordingBuffer buffer;
  scene.AddBuffer(&buffer);
  auto* o = scene.Objects().AddNewChild<TCountingObject>();
  o->Matrix();  // nothing stale now but the absolute matrices
  o->AbsoluteMatrix();
  o->InvAbsoluteMatrix();
  o->Position().SetCoordinate(0, 1);
  o->Position().SetCoordinate(0, 1);  // not yet rebuilt: no second marking
  // First write: the transformation notice plus the holder's own chain; second: the chain.
  EXPECT_EQ(o->CoordinateChanges, 2);
  EXPECT_EQ(o->Notifications, 3);
  EXPECT_EQ(buffer.Count(), 3);

  auto* fresh = scene.Objects().AddNewChild<TCountingObject>();
  fresh->Position().SetCoordinate(2, 4);  // a new object is marked already
  EXPECT_EQ(fresh->CoordinateChanges, 1);
  EXPECT_EQ(fresh->Notifications, 1);
}

TEST(TransformTest, ManyWritesCostOneRebuildAtTheFirstRead) {
  TGLBaseSceneObject o;
  o.Matrix();
  for (int i = 1; i <= 50; ++i) o.Position().SetCoordinate(0, float(i));
  EXPECT_EQ(o.LocalMatrix().W, NullHmgPoint) << "rebuilt eagerly";
  EXPECT_TRUE(o.Changes() & ocTransformation);
  EXPECT_EQ(o.Matrix().W, (TVector4f{50, 0, 0, 1}));
  EXPECT_FALSE(o.Changes() & ocTransformation);
}

TEST(TransformTest, MarkingStopsAtMarkedSubtrees) {
  TGLBaseSceneObject root;
  auto* a = root.AddNewChild<TGLBaseSceneObject>();
  auto* b = a->AddNewChild<TGLBaseSceneObject>();
  b->AbsoluteMatrix();
  b->InvAbsoluteMatrix();
  EXPECT_FALSE(a->Changes() & ocAbsoluteMatrix);
  root.Position().SetCoordinate(0, 1);
  EXPECT_TRUE(b->Changes() & ocAbsoluteMatrix);
  EXPECT_TRUE(b->Changes() & ocInvAbsoluteMatrix);
  EXPECT_FALSE(b->Changes() & ocTransformation) << "descendants keep their local matrix";
  EXPECT_EQ(b->AbsolutePosition(), (TVector4f{1, 0, 0, 1}));
}

TEST(TransformTest, InverseAbsoluteMatrixOnRigidAndScaledPaths) {
  for (float s : {1.0f, 2.0f}) {
    TGLBaseSceneObject parent;
    auto* o = parent.AddNewChild<TGLBaseSceneObject>();
    parent.Position().SetPoint(3, -1, 2);
    parent.SetTurnAngle(30);
    o->Position().SetPoint(1, 2, 3);
    o->SetTurnAngle(-50);
    o->Scale().SetVector(s, s, s);
    const TMatrix4f p = MultiplyMatrices(o->InvAbsoluteMatrix(), o->AbsoluteMatrix());
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) EXPECT_NEAR(p[i][j], i == j ? 1 : 0, 2e-6) << s;
  }
}

TEST(TransformTest, AbsoluteVectorsAndWrites) {
  TGLBaseSceneObject parent;
  auto* o = parent.AddNewChild<TGLBaseSceneObject>();
  parent.Position().SetPoint(5, 0, 0);
  parent.Scale().SetVector(2, 2, 2);
  o->SetAbsolutePosition({7, 0, 0, 1});
  ExpectVecNear(o->Position().AsVector(), {1, 0, 0, 1});
  ExpectVecNear(o->AbsolutePosition(), {7, 0, 0, 1});
  EXPECT_EQ(o->AbsoluteScale(), (TVector4f{2, 2, 2, 0}));
  EXPECT_EQ(o->AbsoluteDirection(), ZHmgVector);
  EXPECT_EQ(o->AbsoluteZVector(), (TVector4f{0, 0, 2, 0}));
  EXPECT_EQ(o->AbsoluteRight(), XHmgVector);
  EXPECT_EQ(o->AbsoluteLeft(), (TVector4f{-1, 0, 0, 0}));
  EXPECT_FLOAT_EQ(o->DistanceTo(TVector3f{7, 3, 4}), 5);
  EXPECT_EQ(o->SqrDistanceTo(nullptr), 0.0f);
}

TEST(TransformTest, SetMatrixAndResetRotations) {
  TGLBaseSceneObject o;
  TMatrix4f m = MultiplyMatrices(ScalingMatrix({2, 3, 4}), AxisRotationMatrix({0, 1, 0}, -cPI / 2));
  m.W = {1, 2, 3, 1};
  o.SetMatrix(m);
  ExpectVecNear(o.Direction().AsVector(), {1, 0, 0, 0});
  ExpectVecNear(o.Scale().AsVector(), {2, 3, 4, 0});
  EXPECT_EQ(o.Position().AsVector(), (TVector4f{1, 2, 3, 1}));
  // The next read rebuilds from the holders and lands on the same matrix.
  const TMatrix4f& r = o.Matrix();
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(r[i][j], m[i][j], 1e-6);

  o.ResetRotations();
  EXPECT_EQ(o.Direction().AsVector(), ZHmgVector);
  EXPECT_EQ(o.Rotation().AsVector(), (TVector4f{0, 0, 0, 1}));
  EXPECT_FALSE(o.Changes() & ocTransformation);
  EXPECT_EQ(o.Matrix().X, (TVector4f{2, 0, 0, 0}));
  EXPECT_EQ(o.Matrix().W, (TVector4f{1, 2, 3, 1}));
}

TEST(TransformTest, LoadedForcesPositionWToOne) {
  TGLBaseSceneObject o;
  o.SetLoading(true);
  o.Position().SetDirectW(0);
  o.SetTurnAngle(190);  // while loading only the wrapped angle is stored
  EXPECT_EQ(o.Direction().AsVector(), ZHmgVector);
  EXPECT_EQ(o.TurnAngle(), -170.0f);
  o.Loaded();
  EXPECT_FALSE(o.IsLoading());
  EXPECT_EQ(o.Position().W(), 1.0f);
}

}  // namespace
}  // namespace ukh
