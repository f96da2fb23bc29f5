// Drawing of the mesh model: mesh objects declare their lists as GL client arrays once per
// BuildList, and each face group issues one glDrawElements over them.
#include <functional>

#include "engine/base/Exception.h"
#include "engine/gl/GLApi.h"
#include "engine/gl/GLMaterialLibrary.h"
#include "engine/gl/GLRenderContextInfo.h"
#include "engine/gl/GLStateCache.h"
#include "engine/mesh/FGVertexIndexList.h"
#include "engine/mesh/GLMeshObject.h"
#include "engine/mesh/GLMeshObjectList.h"

namespace ukh {

namespace {

GLenum Primitive(TGLFaceGroupMeshMode mode) {
  switch (mode) {
    case TGLFaceGroupMeshMode::fgmmTriangles:
    case TGLFaceGroupMeshMode::fgmmFlatTriangles:
      return GL_TRIANGLES;
    case TGLFaceGroupMeshMode::fgmmTriangleStrip:
      return GL_TRIANGLE_STRIP;
    case TGLFaceGroupMeshMode::fgmmTriangleFan:
      return GL_TRIANGLE_FAN;
    case TGLFaceGroupMeshMode::fgmmQuads:
      return GL_QUADS;
  }
  throw EAssertionFailed();
}

// A run of groups with one library material, drawn between its Apply and UnApply.
void DrawWithMaterial(TGLLibMaterial* material, TGLRenderContextInfo& rci,
                      const std::function<void()>& draw) {
  if (!material) {
    draw();
    return;
  }
  material->Apply(rci);
  do {
    draw();
  } while (material->UnApply(rci));
}

int32_t gRenderGroupCounter = 0;  // process-wide, main thread only

}  // namespace

// ---- face groups ------------------------------------------------------------------------

TGLMeshObject* TGLFaceGroup::MeshObject() {
  return FOwner ? FOwner->Owner() : nullptr;
}

void TGLFaceGroup::PrepareMaterialLibraryCache(TGLMaterialLibrary* library) {
  FMaterialCache =
      (library && !FMaterialName.empty()) ? library->GetLibMaterialByName(FMaterialName) : nullptr;
}

void TGLFaceGroups::PrepareMaterialLibraryCache(TGLMaterialLibrary* library) {
  for (auto& g : FList) g->PrepareMaterialLibraryCache(library);
}

void TFGVertexIndexList::BuildList(TGLRenderContextInfo& rci) {
  if (FVertexIndices.Count() == 0) return;
  TGLMeshObject* mo = MeshObject();
  if (!mo) return;
  mo->DeclareArraysToOpenGL(rci, false);
  gl::DrawElements(Primitive(FMode), FVertexIndices.Count(), GL_UNSIGNED_INT,
                   FVertexIndices.List());
}

void TFGVertexNormalTexIndexList::BuildList(TGLRenderContextInfo&) {
  const TGLMeshObject* mo = MeshObject();
  if (!mo || VertexIndices().Count() == 0) return;
  const int n = VertexIndices().Count();
  if ((FNormalIndices.Count() > 0 && FNormalIndices.Count() < n) ||
      (FTexCoordIndices.Count() > 0 && FTexCoordIndices.Count() < n))
    throw EAssertionFailed();
  const GLenum prim = Primitive(Mode());
  if (prim == GL_QUADS) throw EAssertionFailed();
  const TGLIntegerList& nIdx = FNormalIndices.Count() ? FNormalIndices : VertexIndices();
  const TGLIntegerList& tIdx = FTexCoordIndices.Count() ? FTexCoordIndices : VertexIndices();
  const bool colors = mo->Colors().Count() > 0;
  gl::Begin(prim);
  for (int i = 0; i < n; ++i) {
    const int v = VertexIndices()[i];
    // Checked reads: these indices are not tied to the vertex list.
    if (mo->Normals().Count() > 0) {
      const TVector3f n = mo->Normals().Get(nIdx[i]);
      gl::Normal3fv(&n.X);
    }
    if (colors) {
      const TVector4f c = mo->Colors().Get(v);
      gl::Color4fv(&c.X);
    }
    if (mo->TexCoords().Count() > 0) {
      const TVector3f t = mo->TexCoords().Get(tIdx[i]);
      gl::TexCoord2fv(&t.X);
    }
    const TVector3f p = mo->Vertices().Get(v);
    gl::Vertex3fv(&p.X);
  }
  gl::End();
}

// ---- mesh objects -------------------------------------------------------------------------

void TGLMeshObject::PrepareBuildList(TGLRenderContextInfo& rci) {
  if (FMode != TGLMeshObjectMode::momFaceGroups || !rci.MaterialLibrary) return;
  for (int i = 0; i < FFaceGroups.Count(); ++i)
    if (TGLLibMaterial* m = FFaceGroups[i]->MaterialCache()) m->Material().PrepareBuildList();
}

void TGLMeshObject::DeclareArraysToOpenGL(TGLRenderContextInfo& rci, bool force) {
  if (FArraysDeclared && !force) return;
  const bool picking = rci.DrawState == TGLDrawState::dsPicking;
  FNormalsArray = FColorsArray = FTexCoordsArray = false;
  if (!rci.IgnoreMaterials) {
    if (Normals().Count() > 0) {
      gl::EnableClientState(GL_NORMAL_ARRAY);
      gl::NormalPointer(GL_FLOAT, 0, Normals().List());
      FNormalsArray = true;
    } else {
      gl::DisableClientState(GL_NORMAL_ARRAY);
    }
    if (FColors.Count() > 0) {
      gl::EnableClientState(GL_COLOR_ARRAY);
      gl::ColorPointer(4, GL_FLOAT, 0, FColors.List());
      FColorsArray = true;
    } else {
      gl::DisableClientState(GL_COLOR_ARRAY);
    }
    if (FTexCoords.Count() > 0 && !picking) {
      // Only s and t of each stored triple.
      gl::EnableClientState(GL_TEXTURE_COORD_ARRAY);
      gl::TexCoordPointer(2, GL_FLOAT, sizeof(TVector3f), FTexCoords.List());
      FTexCoordsArray = true;
    } else {
      gl::DisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
  } else {
    gl::DisableClientState(GL_NORMAL_ARRAY);
    gl::DisableClientState(GL_COLOR_ARRAY);
    gl::DisableClientState(GL_TEXTURE_COORD_ARRAY);
  }
  if (Vertices().Count() > 0) {
    gl::EnableClientState(GL_VERTEX_ARRAY);
    gl::VertexPointer(3, GL_FLOAT, 0, Vertices().List());
  } else {
    gl::DisableClientState(GL_VERTEX_ARRAY);
  }
  // Compiled vertex arrays are left out: the engine's GL layer does not reach the extension's
  // entry points, and client arrays draw the same.
  FArraysLocked = false;
  FLastLightMapIndex = -1;
  FArraysDeclared = true;
  FLightMapArrayEnabled = false;
}

void TGLMeshObject::DisableOpenGLArrays(TGLRenderContextInfo& rci) {
  if (!FArraysDeclared) return;
  if (Vertices().Count() > 0) gl::DisableClientState(GL_VERTEX_ARRAY);
  if (!rci.IgnoreMaterials) {
    if (FNormalsArray) gl::DisableClientState(GL_NORMAL_ARRAY);
    if (FColorsArray) gl::DisableClientState(GL_COLOR_ARRAY);
    if (FTexCoordsArray) gl::DisableClientState(GL_TEXTURE_COORD_ARRAY);
  }
  FArraysDeclared = false;
}

void TGLMeshObject::BuildList(TGLRenderContextInfo& rci) {
  FArraysDeclared = false;
  TGLStateCache& states = *rci.GLStates;
  const bool colorsInUse = FColors.Count() == Vertices().Count();
  if (colorsInUse) {
    states.Enable(stColorMaterial);
    states.SetColorMaterial(cmFrontAndBack, GL_AMBIENT_AND_DIFFUSE);
    const TVector4f emission{0, 0, 0, 1}, ambient{0.2f, 0.2f, 0.2f, 1},
        diffuse{0.8f, 0.8f, 0.8f, 1}, specular{0, 0, 0, 1};
    states.SetGLMaterialColors(cmFront, emission, ambient, diffuse, specular, 0);
    states.SetGLMaterialColors(cmBack, emission, ambient, diffuse, specular, 0);
  }
  switch (FMode) {
    case TGLMeshObjectMode::momTriangles:
    case TGLMeshObjectMode::momTriangleStrip:
      if (Vertices().Count() > 0) {
        DeclareArraysToOpenGL(rci, false);
        const bool normals = Normals().Count() == Vertices().Count();
        const bool tex = FTexCoords.Count() == Vertices().Count();
        const bool colors = FColors.Count() == Vertices().Count();
        gl::Begin(FMode == TGLMeshObjectMode::momTriangles ? GL_TRIANGLES : GL_TRIANGLE_STRIP);
        for (int i = 0; i < Vertices().Count(); ++i) {
          if (normals) gl::Normal3fv(&Normals()[i].X);
          if (colors) gl::Color4fv(&FColors[i].X);
          if (tex) gl::TexCoord2fv(&FTexCoords[i].X);
          gl::Vertex3fv(&Vertices()[i].X);
        }
        gl::End();
      }
      break;
    case TGLMeshObjectMode::momFaceGroups:
      if (!rci.MaterialLibrary) {
        for (int i = 0; i < FFaceGroups.Count(); ++i) FFaceGroups[i]->BuildList(rci);
      } else if (!GroupByMaterial()) {
        int i = 0;
        while (i < FFaceGroups.Count()) {
          TGLLibMaterial* m = FFaceGroups[i]->MaterialCache();
          int j = i + 1;
          if (m)
            while (j < FFaceGroups.Count() && FFaceGroups[j]->MaterialCache() == m) ++j;
          DrawWithMaterial(m, rci, [&] {
            for (int k = i; k < j; ++k) FFaceGroups[k]->BuildList(rci);
          });
          i = j;
        }
        states.SetEnabled(stCullFace, rci.BufferFaceCull);
      } else {
        const int32_t id = ++gRenderGroupCounter;
        for (int i = 0; i < FFaceGroups.Count(); ++i) {
          TGLFaceGroup* g = FFaceGroups[i];
          if (g->RenderGroupID() == id) continue;
          TGLLibMaterial* m = g->MaterialCache();
          DrawWithMaterial(m, rci, [&] {
            for (int k = i; k < FFaceGroups.Count(); ++k) {
              TGLFaceGroup* h = FFaceGroups[k];
              if (h->RenderGroupID() == id || h->MaterialCache() != m) continue;
              h->SetRenderGroupID(id);
              h->BuildList(rci);
            }
          });
        }
        states.SetEnabled(stCullFace, rci.BufferFaceCull);
      }
      break;
    default:
      throw EAssertionFailed();
  }
  DisableOpenGLArrays(rci);
}

// ---- mesh object list -------------------------------------------------------------------

void TGLMeshObjectList::PrepareMaterialLibraryCache(TGLMaterialLibrary* library) {
  for (auto& mo : FList) mo->PrepareMaterialLibraryCache(library);
}

void TGLMeshObjectList::PrepareBuildList(TGLRenderContextInfo& rci) {
  for (auto& mo : FList)
    if (mo->Visible()) mo->PrepareBuildList(rci);
}

void TGLMeshObjectList::BuildList(TGLRenderContextInfo& rci) {
  for (auto& mo : FList)
    if (mo->Visible()) mo->BuildList(rci);
}

}  // namespace ukh
