// The grouping cube: half-extents, barycentre, the optional wireframe and the amalgamated
// group list.
#include "engine/scene/GLDummyCube.h"

#include <cmath>

#include "engine/gl/GLApi.h"
#include "engine/gl/GLContext.h"
#include "engine/gl/GLStateCache.h"

namespace ukh {

TGLDummyCube::TGLDummyCube(TComponent* owner)
    : TGLCameraInvariantObject(owner),
      FEdgeColor(std::make_unique<TGLColor>(this, TVector4f{1, 1, 1, 1})) {
  FObjectStyle |= osDirectDraw;
}

TGLDummyCube::~TGLDummyCube() {
  ReleaseGroupList();
}

void TGLDummyCube::SetCubeSize(float value) {
  if (value == FCubeSize) return;
  FCubeSize = value;
  StructureChanged();
}

void TGLDummyCube::SetVisibleAtRunTime(bool value) {
  if (value == FVisibleAtRunTime) return;
  FVisibleAtRunTime = value;
  StructureChanged();
}

void TGLDummyCube::SetAmalgamate(bool value) {
  if (value == FAmalgamate) return;
  FAmalgamate = value;
  if (!FAmalgamate) ReleaseGroupList();
  StructureChanged();
}

void TGLDummyCube::Assign(const TGLBaseSceneObject& source) {
  const auto* cube = dynamic_cast<const TGLDummyCube*>(&source);
  if (!cube || cube == this) return;
  FCubeSize = cube->FCubeSize;
  FEdgeColor->SetDirectColor(cube->FEdgeColor->Color());
  FVisibleAtRunTime = cube->FVisibleAtRunTime;
  NotifyChange(this);
}

TVector4f TGLDummyCube::AxisAlignedDimensionsUnscaled() {
  const float h = std::fabs(FCubeSize) * 0.5f;
  return {h, h, h, 0};
}

bool TGLDummyCube::RayCastIntersect(const TVector4f&, const TVector4f&, TVector4f*, TVector4f*) {
  return false;
}

TVector4f TGLDummyCube::BarycenterAbsolutePosition() {
  if (Count() == 0) return AbsolutePosition();
  TVector4f sum{0, 0, 0, 0};
  for (int i = 0; i < Count(); ++i) sum = AddVector(sum, Get(i)->BarycenterAbsolutePosition());
  return ScaleVector(sum, 1.0f / float(Count()));
}

void TGLDummyCube::BuildList(TGLRenderContextInfo& rci) {
  if (!IsDesigning() && !FVisibleAtRunTime) return;
  TGLStateCache& states = *rci.GLStates;
  // The wireframe's states stay with the wireframe; the children draw as if it were not there.
  states.PushAttrib(StateTypeBit(sttEnable) | StateTypeBit(sttCurrent) | StateTypeBit(sttLine) |
                    StateTypeBit(sttLighting) | StateTypeBit(sttColorBuffer));
  states.Disable(stLighting);
  states.Enable(stLineSmooth);
  states.Enable(stLineStipple);
  states.SetLineStipple(1, 0xCCCC);
  states.Enable(stBlend);
  states.SetBlendFunc(bfSrcAlpha, bfOneMinusSrcAlpha);
  states.SetLineWidth(1);
  gl::Color4fv(FEdgeColor->AsAddress());
  const float h = FCubeSize * 0.5f;
  gl::Begin(GL_LINE_STRIP);
  gl::Vertex3f(h, -h, -h);
  gl::Vertex3f(h, h, -h);
  gl::Vertex3f(h, h, h);
  gl::Vertex3f(h, -h, h);
  gl::Vertex3f(h, -h, -h);
  gl::Vertex3f(-h, -h, -h);
  gl::Vertex3f(-h, -h, h);
  gl::Vertex3f(-h, h, h);
  gl::Vertex3f(-h, h, -h);
  gl::Vertex3f(h, h, -h);
  gl::End();
  gl::Begin(GL_LINES);
  gl::Vertex3f(h, h, h);
  gl::Vertex3f(-h, h, h);
  gl::Vertex3f(-h, -h, -h);
  gl::Vertex3f(-h, h, -h);
  gl::Vertex3f(h, -h, h);
  gl::Vertex3f(-h, -h, h);
  gl::End();
  states.PopAttrib();
}

void TGLDummyCube::DoRender(TGLRenderContextInfo& rci, bool renderSelf, bool renderChildren) {
  if (OnVisibilityDetermination && !OnVisibilityDetermination(this, rci)) return;
  if (!FAmalgamate || rci.Amalgamating) {
    TGLCameraInvariantObject::DoRender(rci, renderSelf, renderChildren);
    return;
  }
  TGLContext* context = TGLContext::CurrentGLContext();
  Assert(context != nullptr, "No current rendering context");
  TGLStateCache& states = *rci.GLStates;
  if (FGroupList.Name == 0 || FGroupList.ContextSerial != context->Serial()) {
    // A name of another context dies with that context.
    FGroupList = {};
    const uint32_t name = gl::GenLists(1);
    if (name == 0) return;
    FGroupList = {context->Serial(), name};
    states.NewList(name, GL_COMPILE);
    rci.Amalgamating = true;
    try {
      TGLCameraInvariantObject::DoRender(rci, renderSelf, renderChildren);
    } catch (...) {
      rci.Amalgamating = false;
      states.EndList();
      ReleaseGroupList();
      throw;
    }
    rci.Amalgamating = false;
    states.EndList();
  }
  states.CallList(FGroupList.Name);
}

void TGLDummyCube::StructureChanged() {
  if (FAmalgamate) ReleaseGroupList();
  TGLCameraInvariantObject::StructureChanged();
}

void TGLDummyCube::DestroyHandle() {
  ReleaseGroupList();
  TGLCameraInvariantObject::DestroyHandle();
}

void TGLDummyCube::ReleaseGroupList() {
  if (FGroupList.Name == 0) return;
  TGLContext* context = TGLContext::CurrentGLContext();
  if (context && context->Serial() == FGroupList.ContextSerial) gl::DeleteLists(FGroupList.Name, 1);
  FGroupList = {};
}

}  // namespace ukh
