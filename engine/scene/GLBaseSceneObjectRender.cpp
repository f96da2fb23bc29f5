// The render traversal of scene objects: visibility, the per-level model matrix, display-list
// caching of each object's geometry, and the sorted drawing of children.
#include <cmath>
#include <utility>

#include "engine/base/Exception.h"
#include "engine/gl/GLApi.h"
#include "engine/gl/GLContext.h"
#include "engine/gl/GLStateCache.h"
#include "engine/gl/GLTransformation.h"
#include "engine/scene/GLBaseSceneObject.h"

namespace ukh {

namespace {

// A sphere is clipped as soon as it lies wholly behind one of the six planes.
bool IsVolumeClipped(const TVector4f& center, float radius, const TVector4f (&frustum)[6]) {
  const float negRadius = -radius;
  for (const TVector4f& p : frustum) {
    const double d =
        double(p.X) * center.X + double(p.Y) * center.Y + double(p.Z) * center.Z + double(p.W);
    if (float(d) < negRadius) return true;
  }
  return false;
}

// Ascending keys; objects move with their keys.
void QuickSort(std::vector<float>& keys, std::vector<TGLBaseSceneObject*>& objs, int lo, int hi) {
  while (lo < hi) {
    const float pivot = keys[(lo + hi) / 2];
    int i = lo, j = hi;
    while (i <= j) {
      while (keys[i] < pivot) ++i;
      while (keys[j] > pivot) --j;
      if (i <= j) {
        std::swap(keys[i], keys[j]);
        std::swap(objs[i], objs[j]);
        ++i;
        --j;
      }
    }
    // Recurse into the smaller half so the depth stays logarithmic.
    if (j - lo < hi - i) {
      QuickSort(keys, objs, lo, j);
      lo = i;
    } else {
      QuickSort(keys, objs, i, hi);
      hi = j;
    }
  }
}

// Red X, green Y, blue Z, dotted, from -length to +length.
void DrawAxes(TGLRenderContextInfo& rci, uint16_t pattern) {
  TGLStateCache& states = *rci.GLStates;
  const float length = rci.Rcci.FarClippingDistance - rci.Rcci.NearClippingDistance;
  const float l = length > 0 ? length : 1;
  states.PushAttrib(StateTypeBit(sttEnable) | StateTypeBit(sttCurrent) | StateTypeBit(sttLine) |
                    StateTypeBit(sttLighting));
  states.Disable(stLighting);
  states.Enable(stLineStipple);
  states.SetLineStipple(1, pattern);
  states.SetLineWidth(1);
  gl::Begin(GL_LINES);
  gl::Color3f(0.5f, 0, 0);
  gl::Vertex3f(0, 0, 0);
  gl::Vertex3f(-l, 0, 0);
  gl::Color3f(1, 0, 0);
  gl::Vertex3f(0, 0, 0);
  gl::Vertex3f(l, 0, 0);
  gl::Color3f(0, 0.5f, 0);
  gl::Vertex3f(0, 0, 0);
  gl::Vertex3f(0, -l, 0);
  gl::Color3f(0, 1, 0);
  gl::Vertex3f(0, 0, 0);
  gl::Vertex3f(0, l, 0);
  gl::Color3f(0, 0, 0.5f);
  gl::Vertex3f(0, 0, 0);
  gl::Vertex3f(0, 0, -l);
  gl::Color3f(0, 0, 1);
  gl::Vertex3f(0, 0, 0);
  gl::Vertex3f(0, 0, l);
  gl::End();
  states.PopAttrib();
}

uint64_t CurrentContextSerial() {
  TGLContext* context = TGLContext::CurrentGLContext();
  Assert(context != nullptr, "No current rendering context");
  return context->Serial();
}

}  // namespace

void TGLBaseSceneObject::Render(TGLRenderContextInfo& rci) {
  if (rci.DrawState == TGLDrawState::dsPicking && !Pickable()) return;

  bool drawSelf = true;
  bool drawChildren = Count() > 0;
  switch (rci.VisibilityCulling) {
    case TGLVisibilityCulling::vcInherited:
    case TGLVisibilityCulling::vcNone:
      break;
    case TGLVisibilityCulling::vcObjectBased:
      if (!(FObjectStyle & osNoVisibilityCulling))
        drawSelf = !IsVolumeClipped(BarycenterAbsolutePosition(),
                                    VectorLength(AxisAlignedDimensions()), rci.Rcci.Frustum);
      break;
    case TGLVisibilityCulling::vcHierarchical:
      if (!(FObjectStyle & osNoVisibilityCulling)) {
        // The cached box is in object space; the frustum is in world space.
        const TAABB box =
            AABBTransform(BBToAABB(BoundingBoxIncludingChildrenEx()), AbsoluteMatrix());
        const TVector3f c = ScaleVector(AddVector(box.Min, box.Max), 0.5f);
        const float radius = VectorDistance(box.Min, box.Max) * 0.5f;
        drawSelf = !IsVolumeClipped(PointMake(c), radius, rci.Rcci.Frustum);
      }
      drawChildren = drawChildren && drawSelf;
      break;
    default:
      throw EAssertionFailed("Unknown visibility culling option");
  }
  if (!drawSelf && !drawChildren) return;

  TGLTransformation& pipeline = *rci.PipelineTransformation;
  pipeline.Push();
  try {
    if (FChanges & ocTransformation) RebuildMatrix();
    if (rci.ProxySubObject)
      pipeline.SetModelMatrix(MultiplyMatrices(LocalMatrix(), pipeline.ModelMatrix()));
    else
      pipeline.SetModelMatrix(AbsoluteMatrix());

    TGLStateCache& states = *rci.GLStates;
    const bool ignoreDepth = (FObjectStyle & osIgnoreDepthBuffer) != 0;
    if (drawSelf) {
      if (ShowAxes()) DrawAxes(rci, 0xCCCC);
      const bool depthWasOn = states.IsEnabled(stDepthTest);
      if (ignoreDepth) states.Disable(stDepthTest);
      DoRender(rci, true, drawChildren);
      if (ignoreDepth && depthWasOn) states.Enable(stDepthTest);
    } else {
      const bool toggle = ignoreDepth && rci.BufferDepthTest;
      if (toggle) states.Disable(stDepthTest);
      DoRender(rci, false, drawChildren);
      if (toggle) states.Enable(stDepthTest);
    }
  } catch (...) {
    pipeline.Pop();
    throw;
  }
  // Whatever is drawn next sets its own model matrix first (objects draw themselves before
  // their children), so reloading the parent's model-view here would be a wasted call; the
  // scene render brings GL back in line when the tree is done.
  pipeline.PopKeepModelView();
}

void TGLBaseSceneObject::DoRender(TGLRenderContextInfo& rci, bool renderSelf, bool renderChildren) {
  if (renderSelf) RenderSelf(rci);
  if (renderChildren) RenderChildren(0, Count() - 1, rci);
}

void TGLBaseSceneObject::RenderSelf(TGLRenderContextInfo& rci) {
  if ((FObjectStyle & osDirectDraw) || rci.Amalgamating) {
    BuildList(rci);
    return;
  }
  const uint32_t name = GetHandle(rci);
  if (name != 0) rci.GLStates->CallList(name);
}

void TGLBaseSceneObject::BuildList(TGLRenderContextInfo&) {}

uint32_t TGLBaseSceneObject::GetHandle(TGLRenderContextInfo& rci) {
  const uint64_t serial = CurrentContextSerial();
  TListHandle* handle = nullptr;
  for (TListHandle& h : FListHandle)
    if (h.ContextSerial == serial) handle = &h;
  if (!handle) {
    const uint32_t name = gl::GenLists(1);
    if (name == 0) return 0;
    FListHandle.push_back({serial, name, true});
    handle = &FListHandle.back();
  }
  if (FChanges & ocStructure) {
    ClearStructureChanged();
    // The geometry changed for every context that holds a copy of it.
    for (TListHandle& h : FListHandle) h.DataChanged = true;
  }
  if (!handle->DataChanged) return handle->Name;

  TGLStateCache& states = *rci.GLStates;
  states.NewList(handle->Name, GL_COMPILE);
  try {
    BuildList(rci);
  } catch (...) {
    states.EndList();
    throw;
  }
  states.EndList();
  handle->DataChanged = false;
  return handle->Name;
}

bool TGLBaseSceneObject::ListHandleAllocated() const {
  if (FChanges & ocStructure) return false;
  TGLContext* context = TGLContext::CurrentGLContext();
  if (!context) return false;
  for (const TListHandle& h : FListHandle)
    if (h.ContextSerial == context->Serial()) return !h.DataChanged;
  return false;
}

void TGLBaseSceneObject::DestroyHandle() {
  if (FListHandle.empty()) return;
  TGLContext* context = TGLContext::CurrentGLContext();
  const uint64_t serial = context ? context->Serial() : 0;
  // Names of contexts that are not current die with their context.
  for (const TListHandle& h : FListHandle)
    if (h.ContextSerial == serial) gl::DeleteLists(h.Name, 1);
  FListHandle.clear();
}

void TGLBaseSceneObject::RenderChildren(int first, int last, TGLRenderContextInfo& rci) {
  if (first > last || last >= Count() || first < 0) return;
  const TGLVisibilityCulling savedCulling = rci.VisibilityCulling;
  if (VisibilityCulling() != TGLVisibilityCulling::vcInherited)
    rci.VisibilityCulling = VisibilityCulling();

  if (first == last) {
    TGLBaseSceneObject* child = Get(first);
    if (child->Visible()) child->Render(rci);
  } else {
    const TGLObjectsSorting savedSorting = rci.ObjectsSorting;
    if (ObjectsSorting() != TGLObjectsSorting::osInherited) rci.ObjectsSorting = ObjectsSorting();
    distList.clear();
    objList.clear();
    const size_t step = size_t(Count());
    auto collect = [&](TGLBaseSceneObject* child, float key) {
      // Grown in steps of the number of children, then reused frame after frame.
      if (distList.size() == distList.capacity()) {
        distList.reserve(distList.capacity() + step);
        objList.reserve(objList.capacity() + step);
      }
      distList.push_back(key);
      objList.push_back(child);
    };
    auto sqrDistance = [&](TGLBaseSceneObject* child) {
      return VectorDistance2(child->BarycenterAbsolutePosition(), rci.CameraPosition);
    };
    try {
      switch (rci.ObjectsSorting) {
        case TGLObjectsSorting::osNone:
          for (int i = first; i <= last; ++i)
            if (Get(i)->Visible()) Get(i)->Render(rci);
          break;
        case TGLObjectsSorting::osRenderFarthestFirst:
          for (int i = first; i <= last; ++i)
            if (Get(i)->Visible()) collect(Get(i), 1 + sqrDistance(Get(i)));
          break;
        case TGLObjectsSorting::osRenderBlendedLast:
          for (int i = first; i <= last; ++i) {
            TGLBaseSceneObject* child = Get(i);
            if (!child->Visible()) continue;
            if (child->Blended())
              collect(child, 1 + sqrDistance(child));
            else
              child->Render(rci);
          }
          break;
        case TGLObjectsSorting::osRenderNearestFirst:
          for (int i = first; i <= last; ++i)
            if (Get(i)->Visible()) collect(Get(i), -1 - sqrDistance(Get(i)));
          break;
        default:
          throw EAssertionFailed();
      }
      if (!distList.empty()) {
        QuickSort(distList, objList, 0, int(distList.size()) - 1);
        for (size_t i = objList.size(); i-- > 0;) objList[i]->Render(rci);
      }
    } catch (...) {
      rci.ObjectsSorting = savedSorting;
      rci.VisibilityCulling = savedCulling;
      throw;
    }
    rci.ObjectsSorting = savedSorting;
  }
  rci.VisibilityCulling = savedCulling;
}

}  // namespace ukh
