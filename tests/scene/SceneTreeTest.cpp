// The object tree: order, re-parenting, removal, search, bounds and destruction.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/base/Exception.h"
#include "engine/scene/GLCamera.h"
#include "engine/scene/GLWorld.h"
#include "tests/scene/SceneTestSupport.h"

namespace ukh {
namespace {

using test::TSizedObject;

TGLBaseSceneObject* Named(TGLBaseSceneObject* parent, const std::string& name) {
  auto* o = parent->AddNewChild<TGLBaseSceneObject>();
  o->SetName(name);
  return o;
}

std::vector<std::string> ChildNames(const TGLBaseSceneObject* o) {
  std::vector<std::string> names;
  for (int i = 0; i < o->Count(); ++i) names.push_back(o->Get(i)->Name());
  return names;
}

TEST(SceneTreeTest, MoveToAppendsUnderTheNewParentOnly) {
  TGLWorld scene;
  auto* a = Named(&scene.Objects(), "A");
  auto* b = Named(&scene.Objects(), "B");
  auto* x = Named(a, "X");
  Named(b, "B1");
  x->MoveTo(b);
  EXPECT_EQ(a->Count(), 0);
  EXPECT_EQ(ChildNames(b), (std::vector<std::string>{"B1", "X"}));
  EXPECT_EQ(x->Parent(), b);
  EXPECT_EQ(x->Scene(), &scene);
  EXPECT_EQ(x->MoveTo(b), nullptr);  // already there: nothing happens
  EXPECT_EQ(b->Count(), 2);
}

TEST(SceneTreeTest, MoveToNullDetachesAndHandsTheObjectBack) {
  TGLWorld scene;
  auto* a = Named(&scene.Objects(), "A");
  Named(a, "A1");
  std::unique_ptr<TGLBaseSceneObject> detached = a->MoveTo(nullptr);
  ASSERT_EQ(detached.get(), a);
  EXPECT_EQ(scene.Objects().Count(), 0);
  EXPECT_EQ(a->Scene(), nullptr);
  EXPECT_EQ(a->Get(0)->Scene(), nullptr);
  scene.Objects().AddChild(std::move(detached));
  EXPECT_EQ(a->Get(0)->Scene(), &scene);
}

TEST(SceneTreeTest, MovingBelowItselfIsRefusedAndChangesNothing) {
  TGLBaseSceneObject root;
  auto* a = Named(&root, "A");
  auto* a1 = Named(a, "A1");
  EXPECT_THROW(a->MoveTo(a1), EAssertionFailed);
  EXPECT_THROW(a->MoveTo(a), EAssertionFailed);
  EXPECT_EQ(a->Parent(), &root);
  EXPECT_EQ(a1->Parent(), a);
}

TEST(SceneTreeTest, InsertShiftsAndLeavesTheChildBoxAlone) {
  TGLBaseSceneObject root;
  auto* first = Named(&root, "first");
  root.BoundingBoxOfChildrenEx();
  EXPECT_FALSE(root.BBChanges() & oBBcChild);
  auto x = std::make_unique<TGLBaseSceneObject>();
  x->SetName("x");
  root.Insert(0, std::move(x));
  EXPECT_EQ(first->Index(), 1);
  EXPECT_EQ(root.Get(0)->Name(), "x");
  EXPECT_FALSE(root.BBChanges() & oBBcChild) << "Insert does not mark the child box";
  Named(&root, "added");
  EXPECT_TRUE(root.BBChanges() & oBBcChild) << "AddChild does";
  root.BoundingBoxOfChildrenEx();
  root.DeleteChildren();
  EXPECT_TRUE(root.BBChanges() & oBBcChild) << "DeleteChildren does";
  EXPECT_THROW(root.Insert(5, std::make_unique<TGLBaseSceneObject>()), EAssertionFailed);
}

TEST(SceneTreeTest, RemoveKeepingChildrenAppendsThemInReverse) {
  TGLBaseSceneObject root;
  Named(&root, "other");
  auto* a = Named(&root, "a");
  Named(a, "c1");
  Named(a, "c2");
  std::unique_ptr<TGLBaseSceneObject> removed = root.Remove(a, true);
  ASSERT_EQ(removed.get(), a);
  EXPECT_EQ(ChildNames(&root), (std::vector<std::string>{"other", "c2", "c1"}));
  EXPECT_EQ(a->Count(), 0);
  EXPECT_EQ(a->Parent(), nullptr);
  EXPECT_EQ(root.Remove(a, false), nullptr) << "not a child any more";
}

TEST(SceneTreeTest, IndexSetterClampsAndReorders) {
  TGLWorld scene;
  auto* a = Named(&scene.Objects(), "a");
  Named(&scene.Objects(), "b");
  Named(&scene.Objects(), "c");
  a->SetIndex(99);
  EXPECT_EQ(ChildNames(&scene.Objects()), (std::vector<std::string>{"b", "c", "a"}));
  a->SetIndex(-3);
  EXPECT_EQ(ChildNames(&scene.Objects()), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(scene.Objects().IndexOfChild(nullptr), -1);
}

TEST(SceneTreeTest, FindChildSearchesSubtreesFirstIgnoringCase) {
  TGLWorld scene;
  auto* a = Named(&scene.Objects(), "A");
  auto* deep = Named(a, "car");
  auto* direct = Named(&scene.Objects(), "CAR");
  EXPECT_EQ(scene.Objects().FindChild("Car", true), direct);
  EXPECT_EQ(scene.Objects().FindChild("Car", false), deep);
  EXPECT_EQ(scene.FindSceneObject("a"), a);
  EXPECT_EQ(scene.FindSceneObject("none"), nullptr);
}

TEST(SceneTreeTest, BoundingBoxIncludesChildrenThroughTheirMatrices) {
  TGLBaseSceneObject dummy;  // half-extents (0.5, 0.5, 0.5)
  auto* cube = dummy.AddChild(std::make_unique<TSizedObject>(nullptr, TVector4f{1, 1, 1, 0}));
  cube->Position().SetPoint(10, 0, 0);
  EXPECT_EQ(dummy.AxisAlignedBoundingBoxUnscaled(true), (TAABB{{-0.5f, -1, -1}, {11, 1, 1}}));
  EXPECT_EQ(dummy.AxisAlignedBoundingBoxUnscaled(false),
            (TAABB{{-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}}));
  dummy.Scale().SetVector(2, 1, 1);
  EXPECT_EQ(dummy.AxisAlignedBoundingBox(true), (TAABB{{-1, -1, -1}, {22, 1, 1}}));
  EXPECT_EQ(dummy.AxisAlignedDimensions(), (TVector4f{1, 0.5f, 0.5f, 0}));
  EXPECT_FLOAT_EQ(cube->BoundingSphereRadius(), std::sqrt(3.0f));

  const THmgBoundingBox bb = dummy.BoundingBoxIncludingChildrenEx();
  const TAABB box = BBToAABB(bb);
  EXPECT_EQ(box, (TAABB{{-0.5f, -1, -1}, {11, 1, 1}}));
}

TEST(SceneTreeTest, PointInObjectAndRayCast) {
  TSizedObject o(nullptr, {1, 2, 3, 0});
  o.Position().SetPoint(10, 0, 0);
  EXPECT_TRUE(o.PointInObject({11, 2, -3}));
  EXPECT_FALSE(o.PointInObject({11.5f, 0, 0}));
  TVector4f hit, normal;
  ASSERT_TRUE(o.RayCastIntersect({0, 0, 0, 1}, {1, 0, 0, 0}, &hit, &normal));
  EXPECT_NEAR(hit.X, 10 - std::sqrt(14.0), 1e-5);
  EXPECT_NEAR(normal.X, -1, 1e-6);
  EXPECT_EQ(normal.W, 0.0f);
  EXPECT_FALSE(o.RayCastIntersect({0, 0, 0, 1}, {-1, 0, 0, 0}));
}

TEST(SceneTreeTest, CamerasAreTakenOutBeforeChildrenDie) {
  TGLBaseSceneObject root;
  auto* holder = Named(&root, "holder");
  auto* camera = holder->AddNewChild<TGLCamera>();
  auto* target = Named(camera, "target");
  std::vector<std::string> parentsOfTarget;
  target->OnAddedToParent = [&](TPersistent* sender) {
    parentsOfTarget.push_back(static_cast<TGLBaseSceneObject*>(sender)->Parent()->Name());
  };
  holder->DeleteChildren();
  // The camera's children moved up to the camera's parent before everything died.
  EXPECT_EQ(parentsOfTarget, (std::vector<std::string>{"holder"}));
  EXPECT_EQ(holder->Count(), 0);
}

TEST(SceneTreeTest, UnbalancedEndUpdateFailsAndKeepsTheCounter) {
  TGLBaseSceneObject o;
  try {
    o.EndUpdate();
    ADD_FAILURE();
  } catch (const EAssertionFailed& e) {
    EXPECT_STREQ(e.what(), "Unbalanced Begin/EndUpdate");
  }
  EXPECT_FALSE(o.IsUpdating());
}

}  // namespace
}  // namespace ukh
