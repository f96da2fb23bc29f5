// Mesh objects, their list and their face groups: ownership, extents cached by revision,
// triangle walks per primitive mode, and index checks against the vertex list.
#include "engine/mesh/GLMeshObject.h"

#include <gtest/gtest.h>

#include "engine/mesh/FGVertexIndexList.h"
#include "engine/mesh/GLMeshObjectList.h"

namespace ukh {
namespace {

// Six vertices: i -> (i, 10 i, -i).
TGLMeshObject* MeshWithVertices(TGLMeshObjectList& list, const std::string& name) {
  TGLMeshObject* mo = TGLMeshObject::CreateOwned(list);
  mo->SetName(name);
  for (int i = 0; i < 6; ++i) {
    mo->Vertices().Add(float(i), float(10 * i), float(-i));
    mo->TexCoords().Add(float(i) / 10, 0, 0);
    mo->Normals().Add(0, 0, float(i));
  }
  return mo;
}

std::vector<float> Xs(const TGLAffineVectorList& l) {
  std::vector<float> x;
  for (int i = 0; i < l.Count(); ++i) x.push_back(l[i].X);
  return x;
}

TEST(GLMeshObject, ListOwnsItsObjectsAndFindsThemByExactName) {
  TGLMeshObjectList list;
  TGLMeshObject* a = MeshWithVertices(list, "Body");
  TGLMeshObject* b = MeshWithVertices(list, "body");
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(a->Owner(), &list);
  EXPECT_EQ(list[1], b);
  EXPECT_EQ(list.FindMeshByName("body"), b);
  EXPECT_EQ(list.FindMeshByName("BODY"), nullptr);
  list.Remove(a);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.FindMeshByName("Body"), nullptr);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(GLMeshObject, ExtentsAreCachedByTheVertexRevision) {
  TGLMeshObjectList list;
  TGLMeshObject* fresh = TGLMeshObject::CreateOwned(list);
  EXPECT_EQ(fresh->GetExtents(), (TAABB{{0, 0, 0}, {0, 0, 0}}));  // never changed

  TGLMeshObject* mo = MeshWithVertices(list, "m");
  EXPECT_EQ(mo->GetExtents(), (TAABB{{0, 0, -5}, {5, 50, 0}}));
  mo->Vertices().Add(-3, 100, 1);
  EXPECT_EQ(mo->GetExtents(), (TAABB{{-3, 0, -5}, {5, 100, 1}}));
  // Written through the memory without telling the list: the cache stays until the revision
  // is raised.
  mo->Vertices().List()[0] = {-9, -9, -9};
  EXPECT_EQ(mo->GetExtents().Min.X, -3.0f);
  mo->Vertices().IncRevision();
  EXPECT_EQ(mo->GetExtents().Min.X, -9.0f);

  // The list merges every object, visible or not, the fresh one's zero box included.
  mo->SetVisible(false);
  TVector3f lo, hi;
  list.GetExtents(lo, hi);
  EXPECT_EQ(lo, (TVector3f{-9, -9, -9}));
  EXPECT_EQ(hi, (TVector3f{5, 100, 1}));

  TGLMeshObjectList empty;
  empty.GetExtents(lo, hi);
  EXPECT_EQ(lo, (TVector3f{1e30f, 1e30f, 1e30f}));
  EXPECT_EQ(hi, (TVector3f{-1e30f, -1e30f, -1e30f}));
}

TEST(GLMeshObject, FaceGroupModesCountAndWalkTheirTriangles) {
  struct Case {
    TGLFaceGroupMeshMode mode;
    std::vector<int32_t> indices;
    int triangles;
    std::vector<float> walk;  // X of the emitted vertices, i.e. the vertex numbers
  } cases[] = {
      {TGLFaceGroupMeshMode::fgmmTriangles, {0, 1, 2, 3, 4, 5, 0}, 2, {0, 1, 2, 3, 4, 5}},
      {TGLFaceGroupMeshMode::fgmmFlatTriangles, {5, 4, 3}, 1, {5, 4, 3}},
      {TGLFaceGroupMeshMode::fgmmTriangleStrip, {0, 1, 2, 3, 4}, 3, {0, 1, 2, 2, 1, 3, 2, 3, 4}},
      {TGLFaceGroupMeshMode::fgmmTriangleFan, {0, 1, 2, 3}, 2, {0, 1, 2, 0, 2, 3}},
      {TGLFaceGroupMeshMode::fgmmQuads, {0, 1, 2, 3}, 2, {0, 1, 2, 0, 2, 3}},
      {TGLFaceGroupMeshMode::fgmmTriangleStrip, {0, 1}, 0, {}},
  };
  for (const Case& c : cases) {
    TGLMeshObjectList list;
    TGLMeshObject* mo = MeshWithVertices(list, "m");
    mo->SetMode(TGLMeshObjectMode::momFaceGroups);
    TFGVertexIndexList* g = TFGVertexIndexList::CreateOwned(mo->FaceGroups());
    g->SetMode(c.mode);
    for (int32_t i : c.indices) g->Add(i);
    SCOPED_TRACE(int(c.mode));
    EXPECT_EQ(g->TriangleCount(), c.triangles);
    EXPECT_EQ(mo->TriangleCount(), c.triangles);

    TGLAffineVectorList tex, nrm;
    const auto tri = mo->ExtractTriangles(&tex, &nrm);
    EXPECT_EQ(Xs(*tri), c.walk);
    ASSERT_EQ(tex.Count(), tri->Count());
    ASSERT_EQ(nrm.Count(), tri->Count());
    for (int i = 0; i < tri->Count(); ++i) {
      EXPECT_EQ(tex[i].X, (*tri)[i].X / 10);
      EXPECT_EQ(nrm[i].Z, (*tri)[i].X);
    }

    if (c.mode == TGLFaceGroupMeshMode::fgmmTriangleStrip ||
        c.mode == TGLFaceGroupMeshMode::fgmmTriangleFan) {
      g->ConvertToList();
      EXPECT_EQ(g->Mode(), TGLFaceGroupMeshMode::fgmmTriangles);
      EXPECT_EQ(g->TriangleCount(), c.triangles);
      EXPECT_EQ(Xs(*mo->ExtractTriangles()), c.walk);
    }
  }
}

TEST(GLMeshObject, IndicesOutsideTheVerticesAreRejected) {
  TGLMeshObjectList list;
  TGLMeshObject* mo = MeshWithVertices(list, "m");
  mo->SetMode(TGLMeshObjectMode::momFaceGroups);
  TFGVertexIndexList* g = TFGVertexIndexList::CreateOwned(mo->FaceGroups());
  g->VertexIndices().Add(0, 1, 6);
  TGLAffineVectorList out;
  EXPECT_THROW(g->AddToTriangles(out, nullptr, nullptr), EAssertionFailed);
  TVector3f lo, hi;
  EXPECT_THROW(g->GetExtents(lo, hi), EAssertionFailed);
  g->VertexIndices().Set(2, -1);
  EXPECT_THROW(mo->ExtractTriangles(), EAssertionFailed);
}

TEST(GLMeshObject, GroupExtentsNormalAndReverse) {
  TGLMeshObjectList list;
  TGLMeshObject* mo = TGLMeshObject::CreateOwned(list);
  mo->Vertices().Add(0, 0, 0);
  mo->Vertices().Add(2, 0, 0);
  mo->Vertices().Add(0, 3, 0);
  mo->Vertices().Add(-7, -7, -7);  // not used by the group
  TFGVertexIndexList* g = TFGVertexIndexList::CreateOwned(mo->FaceGroups());
  g->VertexIndices().Add(0, 1, 2);
  TVector3f lo, hi;
  g->GetExtents(lo, hi);
  EXPECT_EQ(lo, (TVector3f{0, 0, 0}));
  EXPECT_EQ(hi, (TVector3f{2, 3, 0}));
  EXPECT_EQ(g->GetNormal(), (TVector3f{0, 0, 1}));
  g->Reverse();
  EXPECT_EQ(g->VertexIndices()[0], 2);
  EXPECT_EQ(g->GetNormal(), (TVector3f{0, 0, -1}));
  EXPECT_EQ(g->LightMapIndex(), -1);
  EXPECT_EQ(g->MaterialName(), "");
  EXPECT_EQ(g->Owner(), &mo->FaceGroups());
}

TEST(GLMeshObject, NormalAndTexIndicesOfTheirOwn) {
  TGLMeshObjectList list;
  TGLMeshObject* mo = MeshWithVertices(list, "m");
  mo->SetMode(TGLMeshObjectMode::momFaceGroups);
  TFGVertexNormalTexIndexList* g = TFGVertexNormalTexIndexList::CreateOwned(mo->FaceGroups());
  g->Add(0, 5, 1);
  g->Add(1, 4, 2);
  g->Add(2, 3, 3);
  TGLAffineVectorList tex, nrm;
  const auto tri = mo->ExtractTriangles(&tex, &nrm);
  EXPECT_EQ(Xs(*tri), (std::vector<float>{0, 1, 2}));
  EXPECT_EQ(nrm[0].Z, 5.0f);
  EXPECT_EQ(tex[2].X, 0.3f);

  // An empty normal list falls back to the vertex indices; a short one is an internal error.
  g->NormalIndices().Clear();
  nrm.Clear();
  mo->ExtractTriangles(nullptr, &nrm);
  EXPECT_EQ(nrm[1].Z, 1.0f);
  g->TexCoordIndices().SetCount(2);
  EXPECT_THROW(mo->ExtractTriangles(), EAssertionFailed);
}

TEST(GLMeshObject, SortByMaterialKeepsTheOrderWithinAMaterial) {
  TGLMeshObjectList list;
  TGLMeshObject* mo = TGLMeshObject::CreateOwned(list);
  const char* names[] = {"b", "a", "b", "", "a"};
  for (int i = 0; i < 5; ++i) {
    TFGVertexIndexList* g = TFGVertexIndexList::CreateOwned(mo->FaceGroups());
    g->SetMaterialName(names[i]);
    g->SetLightMapIndex(i);
  }
  mo->FaceGroups().SortByMaterial();
  std::vector<int> order;
  for (int i = 0; i < 5; ++i) order.push_back(mo->FaceGroups()[i]->LightMapIndex());
  EXPECT_EQ(order, (std::vector<int>{3, 1, 4, 0, 2}));
}

TEST(GLMeshObject, TranslateBarycenterAndClear) {
  TGLMeshObjectList list;
  TGLMeshObject* mo = MeshWithVertices(list, "m");
  EXPECT_EQ(mo->GetBarycenter(), (TVector3f{2.5f, 25, -2.5f}));
  list.Translate({1, 1, 1});
  EXPECT_EQ(mo->Vertices()[0], (TVector3f{1, 1, 1}));
  EXPECT_EQ(mo->TriangleCount(), 2);  // momTriangles: six vertices
  TFGVertexIndexList::CreateOwned(mo->FaceGroups());
  mo->Clear();
  EXPECT_EQ(mo->Vertices().Count(), 0);
  EXPECT_EQ(mo->TexCoords().Count(), 0);
  EXPECT_EQ(mo->FaceGroups().Count(), 0);
  EXPECT_EQ(mo->GetBarycenter(), NullVector);
}

}  // namespace
}  // namespace ukh
