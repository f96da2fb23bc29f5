// Morphable mesh objects take on the shape of a morph target or a blend of two.
#include "engine/mesh/GLMorphableMeshObject.h"

#include <gtest/gtest.h>

#include "engine/mesh/GLMeshObjectList.h"

namespace ukh {
namespace {

TGLMeshMorphTarget* Target(TGLMorphableMeshObject& mo, float x, bool withNormals) {
  TGLMeshMorphTarget* t = TGLMeshMorphTarget::CreateOwned(mo.MorphTargets());
  t->Vertices().Add(x, 0, 0);
  t->Vertices().Add(0, x, 0);
  if (withNormals) {
    t->Normals().Add(x, 0, 0);
    t->Normals().Add(0, 0, x);
  }
  return t;
}

TEST(GLMorphableMeshObject, MorphToTakesTheTargetShape) {
  TGLMeshObjectList list;
  auto* mo = list.Add(std::make_unique<TGLMorphableMeshObject>());
  mo->Vertices().Add(9, 9, 9);
  mo->MorphTo(0);  // no targets: nothing changes
  EXPECT_EQ(mo->Vertices().Count(), 1);
  EXPECT_THROW(mo->MorphTo(1), EAssertionFailed);

  TGLMeshMorphTarget* t0 = Target(*mo, 2, true);
  Target(*mo, 4, false);
  EXPECT_EQ(t0->Owner(), &mo->MorphTargets());
  mo->MorphTo(0);
  ASSERT_EQ(mo->Vertices().Count(), 2);
  EXPECT_EQ(mo->Vertices()[1], (TVector3f{0, 2, 0}));
  EXPECT_EQ(mo->Normals()[1], (TVector3f{0, 0, 2}));
  EXPECT_EQ(mo->GetExtents(), (TAABB{{0, 0, 0}, {2, 2, 0}}));  // the revision moved on
  mo->MorphTo(1);  // a target without normals keeps the normals
  EXPECT_EQ(mo->Vertices()[0], (TVector3f{4, 0, 0}));
  EXPECT_EQ(mo->Normals()[1], (TVector3f{0, 0, 2}));
  EXPECT_THROW(mo->MorphTo(2), EAssertionFailed);
  EXPECT_THROW(mo->MorphTo(-1), EAssertionFailed);
}

TEST(GLMorphableMeshObject, LerpBlendsTwoTargets) {
  TGLMorphableMeshObject mo;
  Target(mo, 2, true);
  Target(mo, 4, true);
  mo.Lerp(0, 1, 0.5f);
  EXPECT_EQ(mo.Vertices()[0], (TVector3f{3, 0, 0}));
  EXPECT_EQ(mo.Vertices()[1], (TVector3f{0, 3, 0}));
  EXPECT_EQ(mo.Normals()[1], (TVector3f{0, 0, 1}));  // renormalised
  mo.Lerp(0, 1, 1);
  EXPECT_EQ(mo.Vertices()[0], (TVector3f{4, 0, 0}));
  EXPECT_EQ(mo.Normals()[0], (TVector3f{4, 0, 0}));  // the second target as it is

  TGLMeshMorphTarget* odd = TGLMeshMorphTarget::CreateOwned(mo.MorphTargets());
  odd->Vertices().Add(1, 1, 1);
  EXPECT_THROW(mo.Lerp(0, 2, 0.5f), EAssertionFailed);
  EXPECT_THROW(mo.Lerp(0, 3, 0.5f), EAssertionFailed);
}

TEST(GLMorphableMeshObject, ClearAndTranslateReachTheTargets) {
  TGLMorphableMeshObject mo;
  Target(mo, 2, false);
  mo.Vertices().Add(1, 1, 1);
  mo.Translate({1, 0, 0});
  EXPECT_EQ(mo.Vertices()[0], (TVector3f{2, 1, 1}));
  EXPECT_EQ(mo.MorphTargets()[0]->Vertices()[0], (TVector3f{3, 0, 0}));
  mo.Clear();
  EXPECT_EQ(mo.MorphTargets().Count(), 0);
  EXPECT_EQ(mo.Vertices().Count(), 0);
}

TEST(GLMorphableMeshObject, AssignCopiesAList) {
  TGLAffineVectorList a, b;
  for (int i = 0; i < 20; ++i) a.Add(float(i), 0, 0);
  b.Add(7, 7, 7);
  const uint32_t r = b.Revision();
  b.Assign(a);
  EXPECT_GT(b.Revision(), r);
  ASSERT_EQ(b.Count(), 20);
  EXPECT_EQ(b[19], (TVector3f{19, 0, 0}));
  b.Assign(b);
  EXPECT_EQ(b.Count(), 20);
}

}  // namespace
}  // namespace ukh
