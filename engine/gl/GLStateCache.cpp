// The state mirror's setters: each compares, records inside a display list, and calls GL.
#include "engine/gl/GLStateCache.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/base/Exception.h"
#include "engine/gl/GLTransformation.h"

namespace ukh {

namespace {

constexpr GLenum cCapabilities[cGLStateCount] = {
    GL_ALPHA_TEST,
    GL_AUTO_NORMAL,
    GL_BLEND,
    GL_COLOR_MATERIAL,
    GL_CULL_FACE,
    GL_DEPTH_TEST,
    GL_DITHER,
    GL_FOG,
    GL_LIGHTING,
    GL_LINE_SMOOTH,
    GL_LINE_STIPPLE,
    GL_INDEX_LOGIC_OP,
    GL_COLOR_LOGIC_OP,
    GL_NORMALIZE,
    GL_POINT_SMOOTH,
    GL_POINT_SPRITE,
    GL_POLYGON_SMOOTH,
    GL_POLYGON_STIPPLE,
    GL_SCISSOR_TEST,
    GL_STENCIL_TEST,
    GL_POLYGON_OFFSET_POINT,
    GL_POLYGON_OFFSET_LINE,
    GL_POLYGON_OFFSET_FILL,
    GL_DEPTH_CLAMP,
};

// The attribute group that saves each capability besides GL_ENABLE_BIT.
constexpr TGLStateType cCapabilityGroup[cGLStateCount] = {
    sttColorBuffer, sttEval,          sttColorBuffer, sttLighting, sttPolygon, sttDepthBuffer,
    sttColorBuffer, sttFog,           sttLighting,    sttLine,     sttLine,    sttColorBuffer,
    sttColorBuffer, sttTransform,     sttPoint,       sttPoint,    sttPolygon, sttPolygon,
    sttScissor,     sttStencilBuffer, sttPolygon,     sttPolygon,  sttPolygon, sttTransform,
};

constexpr GLenum cComparison[] = {GL_NEVER, GL_ALWAYS,  GL_LESS,     GL_LEQUAL,
                                  GL_EQUAL, GL_GREATER, GL_NOTEQUAL, GL_GEQUAL};
constexpr GLenum cBlend[] = {
    GL_ZERO,
    GL_ONE,
    GL_SRC_COLOR,
    GL_ONE_MINUS_SRC_COLOR,
    GL_DST_COLOR,
    GL_ONE_MINUS_DST_COLOR,
    GL_SRC_ALPHA,
    GL_ONE_MINUS_SRC_ALPHA,
    GL_DST_ALPHA,
    GL_ONE_MINUS_DST_ALPHA,
    GL_CONSTANT_COLOR,
    GL_ONE_MINUS_CONSTANT_COLOR,
    GL_CONSTANT_ALPHA,
    GL_ONE_MINUS_CONSTANT_ALPHA,
    GL_SRC_ALPHA_SATURATE,
};
constexpr GLenum cTargets[cGLTextureTargetCount] = {
    0,
    GL_TEXTURE_1D,
    GL_TEXTURE_2D,
    GL_TEXTURE_3D,
    GL_TEXTURE_1D_ARRAY,
    GL_TEXTURE_2D_ARRAY,
    GL_TEXTURE_RECTANGLE,
    GL_TEXTURE_BUFFER,
    GL_TEXTURE_CUBE_MAP,
    GL_TEXTURE_2D_MULTISAMPLE,
    GL_TEXTURE_2D_MULTISAMPLE_ARRAY,
    GL_TEXTURE_CUBE_MAP_ARRAY,
};

constexpr TGLStateTypes Bit(TGLStateType t) {
  return StateTypeBit(t);
}

bool SameRGB(const TVector4f& a, const TVector4f& b) {
  return a.X == b.X && a.Y == b.Y && a.Z == b.Z;
}

}  // namespace

GLbitfield AttribMask(TGLStateTypes types) {
  GLbitfield mask = 0;
  for (int t = sttCurrent; t <= sttScissor; ++t)
    if (types & Bit(TGLStateType(t))) mask |= GLbitfield(1) << t;
  if (types & Bit(sttMultisample)) mask |= GL_MULTISAMPLE_BIT;
  return mask;
}

GLenum GLCapability(TGLState s) {
  return cCapabilities[s];
}
GLenum GLFace(TGLCullFaceMode face) {
  return face == cmFront ? GL_FRONT : face == cmBack ? GL_BACK : GL_FRONT_AND_BACK;
}
GLenum GLComparisonFunction(TGLComparisonFunction f) {
  return cComparison[f];
}
GLenum GLBlendFunction(TGLBlendFunction f) {
  return cBlend[f];
}
GLenum GLPolygonMode(TGLPolygonMode m) {
  return m == pmFill ? GL_FILL : m == pmLines ? GL_LINE : GL_POINT;
}
GLenum GLTextureTarget(TGLTextureTarget t) {
  return cTargets[t];
}

TGLStateCache::TGLStateCache() {
  for (auto& face : FValues.MaterialColors) {
    face[mcEmission] = {0, 0, 0, 1};
    face[mcAmbient] = {0.2f, 0.2f, 0.2f, 1};
    face[mcDiffuse] = {0.8f, 0.8f, 0.8f, 1};
    face[mcSpecular] = {0, 0, 0, 1};
  }
  // GL gives light 0 a white diffuse and specular colour, every other light black.
  FValues.Lights[0].Diffuse = {1, 1, 1, 1};
  FValues.Lights[0].Specular = {1, 1, 1, 1};
  FValues.ColorWriteMask.fill(0xF);
  FAttribStack.reserve(8);
}

// ---- capabilities ------------------------------------------------------------------------

void TGLStateCache::Enable(TGLState s) {
  if (FInsideList) {
    Record(Bit(sttEnable));
  } else {
    if (FValues.States & StateBit(s)) return;
    FValues.States |= StateBit(s);
  }
  gl::Enable(cCapabilities[s]);
}

void TGLStateCache::Disable(TGLState s) {
  if (FInsideList) {
    Record(Bit(sttEnable) | (s == stColorMaterial ? Bit(sttLighting) : 0));
    gl::Disable(cCapabilities[s]);
    return;
  }
  if (!(FValues.States & StateBit(s))) return;
  FValues.States &= ~StateBit(s);
  gl::Disable(cCapabilities[s]);
  // While colour tracking was on, glColor overwrote the material; put the mirror's back.
  if (s == stColorMaterial) ReissueMaterials();
}

void TGLStateCache::PerformEnable(TGLState s) {
  if (FInsideList)
    Record(Bit(sttEnable));
  else
    FValues.States |= StateBit(s);
  gl::Enable(cCapabilities[s]);
}

void TGLStateCache::PerformDisable(TGLState s) {
  if (FInsideList)
    Record(Bit(sttEnable));
  else
    FValues.States &= ~StateBit(s);
  gl::Disable(cCapabilities[s]);
}

void TGLStateCache::ReissueMaterials() {
  for (int face = cmFront; face <= cmBack; ++face) {
    const GLenum glFace = face == cmFront ? GL_FRONT : GL_BACK;
    const auto& c = FValues.MaterialColors[face];
    gl::Materialfv(glFace, GL_EMISSION, &c[mcEmission].X);
    gl::Materialfv(glFace, GL_AMBIENT, &c[mcAmbient].X);
    gl::Materialfv(glFace, GL_DIFFUSE, &c[mcDiffuse].X);
    gl::Materialfv(glFace, GL_SPECULAR, &c[mcSpecular].X);
    gl::Materiali(glFace, GL_SHININESS, FValues.MaterialShininess[face]);
  }
}

// ---- attribute groups and lists ----------------------------------------------------------

void TGLStateCache::PushAttrib(TGLStateTypes types) {
  gl::PushAttrib(AttribMask(types));
  if (FInsideList) return;  // the list pops what it pushed when it runs
  FAttribStack.push_back({types, FValues});
}

void TGLStateCache::PopAttrib() {
  gl::PopAttrib();
  if (FInsideList || FAttribStack.empty()) return;
  RestoreGroups(FAttribStack.back().Values, FAttribStack.back().Types);
  FAttribStack.pop_back();
}

void TGLStateCache::RestoreGroups(const TValues& s, TGLStateTypes types) {
  TValues& v = FValues;
  for (int i = 0; i < cGLStateCount; ++i) {
    if (types & (Bit(sttEnable) | Bit(cCapabilityGroup[i])))
      v.States = (v.States & ~StateBit(TGLState(i))) | (s.States & StateBit(TGLState(i)));
  }
  if (types & (Bit(sttEnable) | Bit(sttLighting))) v.LightEnabling = s.LightEnabling;
  if (types & (Bit(sttEnable) | Bit(sttTexture)))
    std::copy(std::begin(s.TextureEnabled), std::end(s.TextureEnabled), v.TextureEnabled);
  if (types & Bit(sttLighting)) {
    std::copy(&s.MaterialColors[0][0], &s.MaterialColors[0][0] + 8, &v.MaterialColors[0][0]);
    v.MaterialShininess[0] = s.MaterialShininess[0];
    v.MaterialShininess[1] = s.MaterialShininess[1];
    std::copy(std::begin(s.Lights), std::end(s.Lights), v.Lights);
    v.LightModelAmbient = s.LightModelAmbient;
    v.LightModelTwoSide = s.LightModelTwoSide;
    v.ShadeModel = s.ShadeModel;
    v.ColorMaterialFace = s.ColorMaterialFace;
    v.ColorMaterialMode = s.ColorMaterialMode;
  }
  if (types & Bit(sttDepthBuffer)) {
    v.DepthWriteMask = s.DepthWriteMask;
    v.DepthFunc = s.DepthFunc;
  }
  if (types & Bit(sttColorBuffer)) {
    v.ClearColor = s.ClearColor;
    v.ColorWriteMask = s.ColorWriteMask;
    std::copy(std::begin(s.Blend), std::end(s.Blend), v.Blend);
    v.AlphaFunc = s.AlphaFunc;
    v.AlphaRef = s.AlphaRef;
    v.LogicOp = s.LogicOp;
  }
  if (types & Bit(sttPolygon)) {
    v.CullFaceMode = s.CullFaceMode;
    v.FrontFace = s.FrontFace;
    v.PolygonMode[0] = s.PolygonMode[0];
    v.PolygonMode[1] = s.PolygonMode[1];
    v.PolygonOffset[0] = s.PolygonOffset[0];
    v.PolygonOffset[1] = s.PolygonOffset[1];
  }
  if (types & Bit(sttViewport)) {
    v.ViewPort = s.ViewPort;
    v.DepthRange[0] = s.DepthRange[0];
    v.DepthRange[1] = s.DepthRange[1];
  }
  if (types & Bit(sttLine)) {
    v.LineWidth = s.LineWidth;
    v.LineStippleFactor = s.LineStippleFactor;
    v.LineStipplePattern = s.LineStipplePattern;
  }
  if (types & Bit(sttPoint)) v.PointSize = s.PointSize;
  if (types & Bit(sttStencilBuffer)) {
    v.StencilFunc = s.StencilFunc;
    v.StencilRef = s.StencilRef;
    v.StencilMask = s.StencilMask;
  }
  if (types & Bit(sttHint)) v.PerspectiveHint = s.PerspectiveHint;
  if (types & Bit(sttTexture)) {
    v.ActiveTexture = s.ActiveTexture;
    std::copy(&s.TextureBinding[0][0],
              &s.TextureBinding[0][0] + std::size(s.TextureBinding) * cGLTextureTargetCount,
              &v.TextureBinding[0][0]);
  }
}

void TGLStateCache::NewList(GLuint name, GLenum mode) {
  Assert(mode == GL_COMPILE, "Compile & executing not supported by TGLStateCache");
  Assert(!FInsideList && name >= 1 && name <= cMaxListName);
  if (FListStates.size() < name) FListStates.resize(name, 0);
  if (FListLoadsMatrices.size() < name) FListLoadsMatrices.resize(name, false);
  FCurrentList = name - 1;
  FListStates[FCurrentList] = 0;
  FInsideList = true;
  if (FTransformation) FTransformation->SetCompilingList(true);
  if (gl::CurrentFeatures().ARB_vertex_buffer_object) {
    // Geometry compiled into a list must come from client memory, never from a bound buffer.
    gl::BindBuffer(GL_ARRAY_BUFFER, 0);
    gl::BindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    for (GLuint i = 0; i < 16; ++i) gl::DisableVertexAttribArray(i);
  }
  gl::NewList(name, mode);
}

void TGLStateCache::EndList() {
  const bool wasInside = FInsideList;
  gl::EndList();
  FInsideList = false;
  if (FTransformation && wasInside) {
    FListLoadsMatrices[FCurrentList] = FTransformation->LoadedInList();
    FTransformation->SetCompilingList(false);
  }
}

TGLStateTypes TGLStateCache::ListStates(GLuint name) const {
  return name >= 1 && name <= FListStates.size() ? FListStates[name - 1] : 0;
}

void TGLStateCache::CallList(GLuint name) {
  const TGLStateTypes types = ListStates(name);
  // A list called while another is compiled changes what the outer list changes.
  if (FInsideList) Record(types);
  if (FTransformation && name >= 1 && name <= FListLoadsMatrices.size() &&
      FListLoadsMatrices[name - 1]) {
    // GL's matrices become those the list loads.
    if (FInsideList)
      FTransformation->NoteLoadInList();
    else
      FTransformation->ForgetLoadedMatrices();
  }
  if (types) {
    gl::PushAttrib(AttribMask(types));
    gl::CallList(name);
    gl::PopAttrib();
  } else {
    gl::CallList(name);
  }
}

// ---- materials ---------------------------------------------------------------------------

void TGLStateCache::SetGLMaterialColors(TGLCullFaceMode face, const TVector4f& emission,
                                        const TVector4f& ambient, const TVector4f& diffuse,
                                        const TVector4f& specular, int32_t shininess) {
  Assert(face == cmFront || face == cmBack, "Only cmFront or cmBack supported");
  const GLenum glFace = face == cmFront ? GL_FRONT : GL_BACK;
  if (FInsideList) {
    Record(Bit(sttLighting));
    gl::Materiali(glFace, GL_SHININESS, shininess);
    gl::Materialfv(glFace, GL_EMISSION, &emission.X);
    gl::Materialfv(glFace, GL_AMBIENT, &ambient.X);
    gl::Materialfv(glFace, GL_DIFFUSE, &diffuse.X);
    gl::Materialfv(glFace, GL_SPECULAR, &specular.X);
    return;
  }
  auto& c = FValues.MaterialColors[face];
  if (FValues.MaterialShininess[face] != shininess) {
    FValues.MaterialShininess[face] = shininess;
    gl::Materiali(glFace, GL_SHININESS, shininess);
  }
  if (!SameRGB(c[mcEmission], emission)) {
    c[mcEmission] = emission;
    gl::Materialfv(glFace, GL_EMISSION, &emission.X);
  }
  if (!SameRGB(c[mcAmbient], ambient)) {
    c[mcAmbient] = ambient;
    gl::Materialfv(glFace, GL_AMBIENT, &ambient.X);
  }
  if (!(c[mcDiffuse] == diffuse)) {
    c[mcDiffuse] = diffuse;
    gl::Materialfv(glFace, GL_DIFFUSE, &diffuse.X);
  }
  if (!SameRGB(c[mcSpecular], specular)) {
    c[mcSpecular] = specular;
    gl::Materialfv(glFace, GL_SPECULAR, &specular.X);
  }
}

void TGLStateCache::SetGLMaterialAlphaChannel(TGLCullFaceMode face, float alpha) {
  Assert(face == cmFront || face == cmBack, "Only cmFront or cmBack supported");
  if (!IsEnabled(stLighting)) {
    TVector4f color;
    gl::GetFloatv(GL_CURRENT_COLOR, &color.X);
    color.W = alpha;
    gl::Color4fv(&color.X);
    return;
  }
  TVector4f& diffuse = FValues.MaterialColors[face][mcDiffuse];
  const GLenum glFace = face == cmFront ? GL_FRONT : GL_BACK;
  if (FInsideList) {
    Record(Bit(sttLighting));
    const TVector4f color{diffuse.X, diffuse.Y, diffuse.Z, alpha};
    gl::Materialfv(glFace, GL_DIFFUSE, &color.X);
    return;
  }
  if (diffuse.W == alpha) return;
  diffuse.W = alpha;
  gl::Materialfv(glFace, GL_DIFFUSE, &diffuse.X);
}

// ---- frame buffer ------------------------------------------------------------------------

void TGLStateCache::SetViewPort(const TVector4i& viewport) {
  if (Changes(FValues.ViewPort, viewport, Bit(sttViewport)))
    gl::Viewport(viewport.X, viewport.Y, viewport.Z, viewport.W);
}

void TGLStateCache::SetColorClearValue(const TVector4f& color) {
  if (Changes(FValues.ClearColor, color, Bit(sttColorBuffer)))
    gl::ClearColor(color.X, color.Y, color.Z, color.W);
}

void TGLStateCache::SetDepthWriteMask(bool on) {
  if (Changes(FValues.DepthWriteMask, on, Bit(sttDepthBuffer))) gl::DepthMask(on);
}

void TGLStateCache::SetColorWriteMask(int buffer, uint8_t mask) {
  Assert(buffer >= 0 && buffer < cMaxDrawBuffers);
  mask &= 0xF;
  if (Changes(FValues.ColorWriteMask[buffer], mask, Bit(sttColorBuffer)))
    gl::ColorMaski(GLuint(buffer), mask & 1, (mask >> 1) & 1, (mask >> 2) & 1, (mask >> 3) & 1);
}

void TGLStateCache::SetGLColorWriting(bool on) {
  const uint8_t mask = on ? 0xF : 0;
  if (!FInsideList) {
    bool same = true;
    for (uint8_t m : FValues.ColorWriteMask) same = same && m == mask;
    if (same) return;
    FValues.ColorWriteMask.fill(mask);
  } else {
    Record(Bit(sttColorBuffer));
  }
  // glColorMask sets every draw buffer at once.
  gl::ColorMask(on, on, on, on);
}

void TGLStateCache::SetDepthFunc(TGLComparisonFunction f) {
  if (Changes(FValues.DepthFunc, f, Bit(sttDepthBuffer))) gl::DepthFunc(cComparison[f]);
}

void TGLStateCache::SetDepthRange(double zNear, double zFar) {
  if (FInsideList) {
    Record(Bit(sttViewport));
  } else {
    if (FValues.DepthRange[0] == zNear && FValues.DepthRange[1] == zFar) return;
    FValues.DepthRange[0] = zNear;
    FValues.DepthRange[1] = zFar;
  }
  gl::DepthRange(zNear, zFar);
}

void TGLStateCache::SetBlendFunc(TGLBlendFunction src, TGLBlendFunction dst) {
  if (FInsideList) {
    Record(Bit(sttColorBuffer));
  } else {
    TGLBlendFunction* b = FValues.Blend;
    if (b[0] == src && b[1] == dst && b[2] == src && b[3] == dst) return;
    b[0] = b[2] = src;
    b[1] = b[3] = dst;
  }
  gl::BlendFunc(cBlend[src], cBlend[dst]);
}

void TGLStateCache::SetBlendFuncSeparate(TGLBlendFunction src, TGLBlendFunction dst,
                                         TGLBlendFunction srcAlpha, TGLBlendFunction dstAlpha) {
  if (FInsideList) {
    Record(Bit(sttColorBuffer));
  } else {
    TGLBlendFunction* b = FValues.Blend;
    if (b[0] == src && b[1] == dst && b[2] == srcAlpha && b[3] == dstAlpha) return;
    b[0] = src;
    b[1] = dst;
    b[2] = srcAlpha;
    b[3] = dstAlpha;
  }
  gl::BlendFuncSeparate(cBlend[src], cBlend[dst], cBlend[srcAlpha], cBlend[dstAlpha]);
}

void TGLStateCache::SetAlphaFunction(TGLComparisonFunction f, float ref) {
  if (FInsideList) {
    Record(Bit(sttColorBuffer));
  } else {
    if (FValues.AlphaFunc == f && FValues.AlphaRef == ref) return;
    FValues.AlphaFunc = f;
    FValues.AlphaRef = ref;
  }
  gl::AlphaFunc(cComparison[f], ref);
}

void TGLStateCache::SetLogicOp(GLenum op) {
  if (Changes(FValues.LogicOp, op, Bit(sttColorBuffer))) gl::LogicOp(op);
}

void TGLStateCache::SetStencilFunc(TGLComparisonFunction f, int32_t ref, uint32_t mask) {
  if (FInsideList) {
    Record(Bit(sttStencilBuffer));
  } else {
    if (FValues.StencilFunc == f && FValues.StencilRef == ref && FValues.StencilMask == mask)
      return;
    FValues.StencilFunc = f;
    FValues.StencilRef = ref;
    FValues.StencilMask = mask;
  }
  gl::StencilFunc(cComparison[f], ref, mask);
}

// ---- polygons, lines, points -------------------------------------------------------------

void TGLStateCache::SetCullFaceMode(TGLCullFaceMode mode) {
  if (Changes(FValues.CullFaceMode, mode, Bit(sttPolygon))) gl::CullFace(GLFace(mode));
}

void TGLStateCache::SetFrontFace(TGLFaceWinding winding) {
  if (Changes(FValues.FrontFace, winding, Bit(sttPolygon)))
    gl::FrontFace(winding == fwCounterClockWise ? GL_CCW : GL_CW);
}

void TGLStateCache::SetPolygonMode(TGLPolygonMode mode) {
  if (FInsideList) {
    Record(Bit(sttPolygon));
  } else {
    if (FValues.PolygonMode[0] == mode && FValues.PolygonMode[1] == mode) return;
    FValues.PolygonMode[0] = FValues.PolygonMode[1] = mode;
  }
  gl::PolygonMode(GL_FRONT_AND_BACK, GLPolygonMode(mode));
}

void TGLStateCache::SetLineWidth(float width) {
  if (Changes(FValues.LineWidth, width, Bit(sttLine))) gl::LineWidth(width);
}

void TGLStateCache::SetPointSize(float size) {
  if (Changes(FValues.PointSize, size, Bit(sttPoint))) gl::PointSize(size);
}

void TGLStateCache::SetLineStipple(int32_t factor, uint16_t pattern) {
  if (FInsideList) {
    Record(Bit(sttLine));
  } else {
    if (FValues.LineStippleFactor == factor && FValues.LineStipplePattern == pattern) return;
    FValues.LineStippleFactor = factor;
    FValues.LineStipplePattern = pattern;
  }
  gl::LineStipple(factor, pattern);
}

void TGLStateCache::SetPolygonOffset(float factor, float units) {
  if (FInsideList) {
    Record(Bit(sttPolygon));
  } else {
    if (FValues.PolygonOffset[0] == factor && FValues.PolygonOffset[1] == units) return;
    FValues.PolygonOffset[0] = factor;
    FValues.PolygonOffset[1] = units;
  }
  gl::PolygonOffset(factor, units);
}

// ---- shading and hints -------------------------------------------------------------------

void TGLStateCache::SetShadeModel(GLenum model) {
  if (Changes(FValues.ShadeModel, model, Bit(sttLighting))) gl::ShadeModel(model);
}

void TGLStateCache::SetPerspectiveCorrectionHint(GLenum mode) {
  if (Changes(FValues.PerspectiveHint, mode, Bit(sttHint)))
    gl::Hint(GL_PERSPECTIVE_CORRECTION_HINT, mode);
}

void TGLStateCache::SetLightModelAmbient(const TVector4f& color) {
  if (Changes(FValues.LightModelAmbient, color, Bit(sttLighting)))
    gl::LightModelfv(GL_LIGHT_MODEL_AMBIENT, &color.X);
}

void TGLStateCache::SetLightModelTwoSide(bool on) {
  if (Changes(FValues.LightModelTwoSide, on, Bit(sttLighting)))
    gl::LightModeli(GL_LIGHT_MODEL_TWO_SIDE, on ? 1 : 0);
}

void TGLStateCache::SetColorMaterial(TGLCullFaceMode face, GLenum mode) {
  if (FInsideList) {
    Record(Bit(sttLighting));
  } else {
    if (FValues.ColorMaterialFace == face && FValues.ColorMaterialMode == mode) return;
    FValues.ColorMaterialFace = face;
    FValues.ColorMaterialMode = mode;
  }
  gl::ColorMaterial(GLFace(face), mode);
}

// ---- lights ------------------------------------------------------------------------------

void TGLStateCache::CheckLight(int light) const {
  Assert(light >= 0 && light < cMaxLights);
}

int32_t TGLStateCache::MaxLights() {
  if (FMaxLights == 0) {
    GLint n = 0;
    gl::GetIntegerv(GL_MAX_LIGHTS, &n);
    FMaxLights = n < 1 ? 1 : n > cMaxLights ? cMaxLights : n;
  }
  return FMaxLights;
}

int32_t TGLStateCache::MaxTextureSize() {
  if (FMaxTextureSize == 0) {
    GLint n = 0;
    gl::GetIntegerv(GL_MAX_TEXTURE_SIZE, &n);
    FMaxTextureSize = n < 64 ? 64 : n;  // GL guarantees at least 64
  }
  return FMaxTextureSize;
}

void TGLStateCache::SetLightEnabling(int light, bool on) {
  CheckLight(light);
  const uint16_t bit = uint16_t(1u << light);
  if (FInsideList) {
    Record(Bit(sttEnable) | Bit(sttLighting));
  } else {
    if (((FValues.LightEnabling & bit) != 0) == on) return;
    FValues.LightEnabling = on ? (FValues.LightEnabling | bit) : (FValues.LightEnabling & ~bit);
  }
  on ? gl::Enable(GL_LIGHT0 + light) : gl::Disable(GL_LIGHT0 + light);
}

void TGLStateCache::SetLightPosition(int light, const TVector4f& position) {
  CheckLight(light);
  if (FInsideList) Record(Bit(sttLighting));
  gl::Lightfv(GL_LIGHT0 + light, GL_POSITION, &position.X);
}

void TGLStateCache::SetLightSpotDirection(int light, const TVector3f& direction) {
  CheckLight(light);
  if (FInsideList) Record(Bit(sttLighting));
  gl::Lightfv(GL_LIGHT0 + light, GL_SPOT_DIRECTION, &direction.X);
}

void TGLStateCache::SetLightWorldPosition(int light, const TVector4f& position) {
  CheckLight(light);
  FValues.Lights[light].WorldPosition = position;
}

void TGLStateCache::SetLightWorldSpotDirection(int light, const TVector3f& direction) {
  CheckLight(light);
  FValues.Lights[light].WorldSpotDirection = direction;
}

void TGLStateCache::SetLightAmbient(int light, const TVector4f& color) {
  CheckLight(light);
  if (Changes(FValues.Lights[light].Ambient, color, Bit(sttLighting)))
    gl::Lightfv(GL_LIGHT0 + light, GL_AMBIENT, &color.X);
}

void TGLStateCache::SetLightDiffuse(int light, const TVector4f& color) {
  CheckLight(light);
  if (Changes(FValues.Lights[light].Diffuse, color, Bit(sttLighting)))
    gl::Lightfv(GL_LIGHT0 + light, GL_DIFFUSE, &color.X);
}

void TGLStateCache::SetLightSpecular(int light, const TVector4f& color) {
  CheckLight(light);
  if (Changes(FValues.Lights[light].Specular, color, Bit(sttLighting)))
    gl::Lightfv(GL_LIGHT0 + light, GL_SPECULAR, &color.X);
}

void TGLStateCache::SetLightConstantAtten(int light, float value) {
  CheckLight(light);
  if (Changes(FValues.Lights[light].ConstantAtten, value, Bit(sttLighting)))
    gl::Lightf(GL_LIGHT0 + light, GL_CONSTANT_ATTENUATION, value);
}

void TGLStateCache::SetLightLinearAtten(int light, float value) {
  CheckLight(light);
  if (Changes(FValues.Lights[light].LinearAtten, value, Bit(sttLighting)))
    gl::Lightf(GL_LIGHT0 + light, GL_LINEAR_ATTENUATION, value);
}

void TGLStateCache::SetLightQuadraticAtten(int light, float value) {
  CheckLight(light);
  if (Changes(FValues.Lights[light].QuadraticAtten, value, Bit(sttLighting)))
    gl::Lightf(GL_LIGHT0 + light, GL_QUADRATIC_ATTENUATION, value);
}

void TGLStateCache::SetLightSpotExponent(int light, float value) {
  CheckLight(light);
  if (Changes(FValues.Lights[light].SpotExponent, value, Bit(sttLighting)))
    gl::Lightf(GL_LIGHT0 + light, GL_SPOT_EXPONENT, value);
}

void TGLStateCache::SetLightSpotCutoff(int light, float degrees) {
  CheckLight(light);
  if (Changes(FValues.Lights[light].SpotCutoff, degrees, Bit(sttLighting))) {
    if (!FInsideList)
      FValues.Lights[light].SpotCosCutoff =
          degrees == 180 ? -1.0f : float(std::cos(double(degrees) * (std::numbers::pi / 180)));
    gl::Lightf(GL_LIGHT0 + light, GL_SPOT_CUTOFF, degrees);
  }
}

// ---- textures ----------------------------------------------------------------------------

void TGLStateCache::CheckUnit(int unit) const {
  Assert(unit >= 0 && unit < cMaxTextureUnits);
}

void TGLStateCache::SetActiveTexture(int unit) {
  CheckUnit(unit);
  if (Changes(FValues.ActiveTexture, unit, Bit(sttTexture)))
    gl::ActiveTexture(GLenum(GL_TEXTURE0 + unit));
}

void TGLStateCache::SetTextureBinding(int unit, TGLTextureTarget target, GLuint handle) {
  CheckUnit(unit);
  Assert(target != ttNoShape);
  if (!FInsideList && FValues.TextureBinding[unit][target] == handle) return;
  SetActiveTexture(unit);
  if (FInsideList)
    Record(Bit(sttTexture));
  else
    FValues.TextureBinding[unit][target] = handle;
  gl::BindTexture(cTargets[target], handle);
}

void TGLStateCache::TextureDeleted(GLuint handle) {
  if (handle == 0) return;
  for (auto& unit : FValues.TextureBinding)
    for (GLuint& bound : unit)
      if (bound == handle) bound = 0;
}

void TGLStateCache::SetActiveTextureEnabled(TGLTextureTarget target, bool on) {
  Assert(target != ttNoShape);
  uint16_t& bits = FValues.TextureEnabled[FValues.ActiveTexture];
  const uint16_t bit = uint16_t(1u << target);
  if (FInsideList) {
    Record(Bit(sttEnable) | Bit(sttTexture));
  } else {
    if (((bits & bit) != 0) == on) return;
    bits = on ? (bits | bit) : (bits & ~bit);
  }
  on ? gl::Enable(cTargets[target]) : gl::Disable(cTargets[target]);
}

void TGLStateCache::ResetAllGLTextureMatrix() {
  const bool multi = gl::CurrentFeatures().ARB_multitexture;
  bool any = false;
  for (int unit = 3; unit >= 0; --unit) {
    if (FTextureMatrixIsIdentity[unit]) continue;
    if (unit > 0 && !multi) {
      FTextureMatrixIsIdentity[unit] = true;  // the unit does not exist
      continue;
    }
    if (!any) gl::MatrixMode(GL_TEXTURE);
    any = true;
    if (multi) gl::ActiveTexture(GLenum(GL_TEXTURE0 + unit));
    gl::LoadIdentity();
    FTextureMatrixIsIdentity[unit] = true;
  }
  if (!any) return;
  gl::MatrixMode(GL_MODELVIEW);
  if (multi) gl::ActiveTexture(GLenum(GL_TEXTURE0 + FValues.ActiveTexture));
}

void TGLStateCache::SetTextureGenEnabled(GLenum coordinate, bool on) {
  Assert(coordinate >= GL_TEXTURE_GEN_S && coordinate <= GL_TEXTURE_GEN_Q);
  if (FInsideList) Record(Bit(sttEnable) | Bit(sttTexture));
  on ? gl::Enable(coordinate) : gl::Disable(coordinate);
}

// ---- pixel store -------------------------------------------------------------------------

void TGLStateCache::SetPackAlignment(int32_t value) {
  // glPixelStorei is never compiled into a list: it always takes effect at once.
  if (FValues.PackAlignment == value) return;
  FValues.PackAlignment = value;
  gl::PixelStorei(GL_PACK_ALIGNMENT, value);
}

void TGLStateCache::SetUnpackAlignment(int32_t value) {
  if (FValues.UnpackAlignment == value) return;
  FValues.UnpackAlignment = value;
  gl::PixelStorei(GL_UNPACK_ALIGNMENT, value);
}

void TGLStateCache::SetUnpackRowLength(int32_t value) {
  if (FValues.UnpackRowLength == value) return;
  FValues.UnpackRowLength = value;
  gl::PixelStorei(GL_UNPACK_ROW_LENGTH, value);
}

void TGLStateCache::SetUnpackSkipRows(int32_t value) {
  if (FValues.UnpackSkipRows == value) return;
  FValues.UnpackSkipRows = value;
  gl::PixelStorei(GL_UNPACK_SKIP_ROWS, value);
}

void TGLStateCache::SetUnpackSkipPixels(int32_t value) {
  if (FValues.UnpackSkipPixels == value) return;
  FValues.UnpackSkipPixels = value;
  gl::PixelStorei(GL_UNPACK_SKIP_PIXELS, value);
}

}  // namespace ukh
