// TGLStateCache: the mirror of the GL state of one context. Every state change of the
// engine goes through it, and GL is called only when the requested value differs from the
// one GL already holds. While a display list is being compiled, the setters record which
// attribute groups the list changes, so that calling the list later can push and pop exactly
// those groups and leave the mirror truthful.
//
// Owned by its TGLContext; valid only while that context is current.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/gl/GLApi.h"
#include "engine/math/Vector.h"

namespace ukh {

class TGLTransformation;

// Capabilities switched by Enable/Disable, each the GL capability of the same name.
enum TGLState : uint8_t {
  stAlphaTest,
  stAutoNormal,
  stBlend,
  stColorMaterial,
  stCullFace,
  stDepthTest,
  stDither,
  stFog,
  stLighting,
  stLineSmooth,
  stLineStipple,
  stIndexLogicOp,
  stColorLogicOp,
  stNormalize,
  stPointSmooth,
  stPointSprite,
  stPolygonSmooth,
  stPolygonStipple,
  stScissorTest,
  stStencilTest,
  stPolygonOffsetPoint,
  stPolygonOffsetLine,
  stPolygonOffsetFill,
  stDepthClamp,
};
inline constexpr int cGLStateCount = stDepthClamp + 1;
using TGLStates = uint32_t;  // bit (1 << TGLState)
constexpr TGLStates StateBit(TGLState s) {
  return TGLStates(1) << s;
}

// GL attribute groups, sttCurrent = GL_CURRENT_BIT through sttMultisample = GL_MULTISAMPLE_BIT.
enum TGLStateType : uint8_t {
  sttCurrent,
  sttPoint,
  sttLine,
  sttPolygon,
  sttPolygonStipple,
  sttPixelMode,
  sttLighting,
  sttFog,
  sttDepthBuffer,
  sttAccumBuffer,
  sttStencilBuffer,
  sttViewport,
  sttTransform,
  sttEnable,
  sttColorBuffer,
  sttHint,
  sttEval,
  sttList,
  sttTexture,
  sttScissor,
  sttMultisample,
};
using TGLStateTypes = uint32_t;  // bit (1 << TGLStateType)
constexpr TGLStateTypes StateTypeBit(TGLStateType t) {
  return TGLStateTypes(1) << t;
}
// The GL_*_BIT mask of a set of attribute groups.
GLbitfield AttribMask(TGLStateTypes types);

enum TGLCullFaceMode : uint8_t { cmFront, cmBack, cmFrontAndBack };
enum TGLFaceWinding : uint8_t { fwCounterClockWise, fwClockWise };
enum TGLPolygonMode : uint8_t { pmFill, pmLines, pmPoints };
enum TGLComparisonFunction : uint8_t {
  cfNever,
  cfAlways,
  cfLess,
  cfLEqual,
  cfEqual,
  cfGreater,
  cfNotEqual,
  cfGEqual,
};
enum TGLBlendFunction : uint8_t {
  bfZero,
  bfOne,
  bfSrcColor,
  bfOneMinusSrcColor,
  bfDstColor,
  bfOneMinusDstColor,
  bfSrcAlpha,
  bfOneMinusSrcAlpha,
  bfDstAlpha,
  bfOneMinusDstAlpha,
  bfConstantColor,
  bfOneMinusConstantColor,
  bfConstantAlpha,
  bfOneMinusConstantAlpha,
  bfSrcAlphaSat,
};
enum TGLTextureTarget : uint8_t {
  ttNoShape,
  ttTexture1D,
  ttTexture2D,
  ttTexture3D,
  ttTexture1DArray,
  ttTexture2DArray,
  ttTextureRect,
  ttTextureBuffer,
  ttTextureCube,
  ttTexture2DMultisample,
  ttTexture2DMultisampleArray,
  ttTextureCubeArray,
};
inline constexpr int cGLTextureTargetCount = ttTextureCubeArray + 1;

GLenum GLCapability(TGLState s);
GLenum GLFace(TGLCullFaceMode face);
GLenum GLComparisonFunction(TGLComparisonFunction f);
GLenum GLBlendFunction(TGLBlendFunction f);
GLenum GLPolygonMode(TGLPolygonMode m);
GLenum GLTextureTarget(TGLTextureTarget t);  // 0 for ttNoShape

inline constexpr int cMaxLights = 16;
inline constexpr int cMaxTextureUnits = 8;
inline constexpr int cMaxDrawBuffers = 16;
// Display-list names the cache can track: 1 to this.
inline constexpr uint32_t cMaxListName = 1048575;

// Material colours of one face, in the order the cache keeps them.
enum TGLMaterialColorSlot : uint8_t { mcEmission, mcAmbient, mcDiffuse, mcSpecular };

class TGLStateCache {
 public:
  TGLStateCache();
  TGLStateCache(const TGLStateCache&) = delete;
  TGLStateCache& operator=(const TGLStateCache&) = delete;

  // ---- capabilities ----
  void Enable(TGLState s);
  void Disable(TGLState s);
  void SetEnabled(TGLState s, bool on) { on ? Enable(s) : Disable(s); }
  // Call GL whatever the cache holds (for states the frame forces every time).
  void PerformEnable(TGLState s);
  void PerformDisable(TGLState s);
  bool IsEnabled(TGLState s) const { return (FValues.States & StateBit(s)) != 0; }
  TGLStates States() const { return FValues.States; }

  // ---- attribute groups and display lists ----
  void PushAttrib(TGLStateTypes types);
  void PopAttrib();
  // Starts compiling list `name` (1..cMaxListName); only GL_COMPILE is supported.
  void NewList(GLuint name, GLenum mode);
  void EndList();
  // Calls the list inside a push and pop of the groups its compilation recorded.
  void CallList(GLuint name);
  bool InsideList() const { return FInsideList; }
  uint32_t CurrentList() const { return FCurrentList; }
  // The groups recorded for list `name` (0 for a name never compiled).
  TGLStateTypes ListStates(GLuint name) const;
  // The context's transformation stack, told when a list is compiled and when a list that
  // loads matrices is called, so that it knows what GL's matrices are.
  void SetTransformation(TGLTransformation* transformation) { FTransformation = transformation; }

  // ---- materials ----
  // Only cmFront and cmBack ("Only cmFront or cmBack supported" otherwise).
  void SetGLMaterialColors(TGLCullFaceMode face, const TVector4f& emission,
                           const TVector4f& ambient, const TVector4f& diffuse,
                           const TVector4f& specular, int32_t shininess);
  void SetGLMaterialAlphaChannel(TGLCullFaceMode face, float alpha);
  const TVector4f& MaterialColor(TGLCullFaceMode face, TGLMaterialColorSlot slot) const {
    return FValues.MaterialColors[face][slot];
  }
  int32_t MaterialShininess(TGLCullFaceMode face) const { return FValues.MaterialShininess[face]; }

  // ---- frame buffer ----
  void SetViewPort(const TVector4i& viewport);
  const TVector4i& ViewPort() const { return FValues.ViewPort; }
  void SetColorClearValue(const TVector4f& color);
  const TVector4f& ColorClearValue() const { return FValues.ClearColor; }
  void SetDepthWriteMask(bool on);
  bool DepthWriteMask() const { return FValues.DepthWriteMask; }
  // Bits 0..3 = red, green, blue, alpha, for one draw buffer.
  void SetColorWriteMask(int buffer, uint8_t mask);
  uint8_t ColorWriteMask(int buffer) const { return FValues.ColorWriteMask[buffer]; }
  // All four channels of every draw buffer on or off.
  void SetGLColorWriting(bool on);
  void SetDepthFunc(TGLComparisonFunction f);
  TGLComparisonFunction DepthFunc() const { return FValues.DepthFunc; }
  void SetDepthRange(double zNear, double zFar);
  double DepthRangeNear() const { return FValues.DepthRange[0]; }
  double DepthRangeFar() const { return FValues.DepthRange[1]; }
  void SetBlendFunc(TGLBlendFunction src, TGLBlendFunction dst);
  void SetBlendFuncSeparate(TGLBlendFunction src, TGLBlendFunction dst, TGLBlendFunction srcAlpha,
                            TGLBlendFunction dstAlpha);
  TGLBlendFunction BlendSrc() const { return FValues.Blend[0]; }
  TGLBlendFunction BlendDst() const { return FValues.Blend[1]; }
  TGLBlendFunction BlendSrcAlpha() const { return FValues.Blend[2]; }
  TGLBlendFunction BlendDstAlpha() const { return FValues.Blend[3]; }
  void SetAlphaFunction(TGLComparisonFunction f, float ref);
  TGLComparisonFunction AlphaFunc() const { return FValues.AlphaFunc; }
  float AlphaRef() const { return FValues.AlphaRef; }
  void SetLogicOp(GLenum op);
  void SetStencilFunc(TGLComparisonFunction f, int32_t ref, uint32_t mask);

  // ---- polygons, lines, points ----
  void SetCullFaceMode(TGLCullFaceMode mode);
  TGLCullFaceMode CullFaceMode() const { return FValues.CullFaceMode; }
  void SetFrontFace(TGLFaceWinding winding);
  TGLFaceWinding FrontFace() const { return FValues.FrontFace; }
  void SetPolygonMode(TGLPolygonMode mode);  // both faces
  TGLPolygonMode PolygonMode(TGLCullFaceMode face) const { return FValues.PolygonMode[face]; }
  void SetLineWidth(float width);
  void SetPointSize(float size);
  void SetLineStipple(int32_t factor, uint16_t pattern);
  void SetPolygonOffset(float factor, float units);

  // ---- shading and hints ----
  void SetShadeModel(GLenum model);  // GL_SMOOTH or GL_FLAT
  GLenum ShadeModel() const { return FValues.ShadeModel; }
  void SetPerspectiveCorrectionHint(GLenum mode);
  GLenum PerspectiveCorrectionHint() const { return FValues.PerspectiveHint; }
  void SetLightModelAmbient(const TVector4f& color);
  const TVector4f& LightModelAmbient() const { return FValues.LightModelAmbient; }
  void SetLightModelTwoSide(bool on);
  bool LightModelTwoSide() const { return FValues.LightModelTwoSide; }
  void SetColorMaterial(TGLCullFaceMode face, GLenum mode);

  // ---- lights ----
  // GL_MAX_LIGHTS, queried from GL on first use (0 until then); at most cMaxLights.
  int32_t MaxLights();
  // GL_MAX_TEXTURE_SIZE, queried from GL on first use.
  int32_t MaxTextureSize();
  bool MaxLightsKnown() const { return FMaxLights != 0; }
  bool FixedFunctionPipeLight() const { return FFixedFunctionPipeLight; }
  void SetLightEnabling(int light, bool on);
  bool LightEnabling(int light) const { return (FValues.LightEnabling >> light) & 1u; }
  // GL_POSITION and GL_SPOT_DIRECTION depend on the model-view matrix at the time of the
  // call, so they are always sent; the world values are only recorded.
  void SetLightPosition(int light, const TVector4f& position);
  void SetLightSpotDirection(int light, const TVector3f& direction);
  void SetLightWorldPosition(int light, const TVector4f& position);
  void SetLightWorldSpotDirection(int light, const TVector3f& direction);
  void SetLightAmbient(int light, const TVector4f& color);
  void SetLightDiffuse(int light, const TVector4f& color);
  void SetLightSpecular(int light, const TVector4f& color);
  void SetLightConstantAtten(int light, float value);
  void SetLightLinearAtten(int light, float value);
  void SetLightQuadraticAtten(int light, float value);
  void SetLightSpotExponent(int light, float value);
  void SetLightSpotCutoff(int light, float degrees);
  struct TLightValues {
    TVector4f WorldPosition{0, 0, 1, 0};
    TVector3f WorldSpotDirection{0, 0, -1};
    TVector4f Ambient{0, 0, 0, 1};
    TVector4f Diffuse{0, 0, 0, 1};
    TVector4f Specular{0, 0, 0, 1};
    float ConstantAtten = 1, LinearAtten = 0, QuadraticAtten = 0;
    float SpotExponent = 0, SpotCutoff = 180, SpotCosCutoff = -1;
  };
  const TLightValues& Light(int light) const { return FValues.Lights[light]; }

  // ---- textures ----
  void SetActiveTexture(int unit);
  int ActiveTexture() const { return FValues.ActiveTexture; }
  // Binds `handle` to `target` of `unit`, selecting the unit first if needed.
  void SetTextureBinding(int unit, TGLTextureTarget target, GLuint handle);
  GLuint TextureBinding(int unit, TGLTextureTarget target) const {
    return FValues.TextureBinding[unit][target];
  }
  // Forgets bindings of a deleted texture name (GL unbinds it itself).
  void TextureDeleted(GLuint handle);
  // glEnable/glDisable of a texture target on the active unit (fixed function knows 1D, 2D,
  // 3D, rectangle and cube-map targets).
  void SetActiveTextureEnabled(TGLTextureTarget target, bool on);
  bool ActiveTextureEnabled(TGLTextureTarget target) const {
    return (FValues.TextureEnabled[FValues.ActiveTexture] >> target) & 1u;
  }
  bool TextureMatrixIsIdentity(int unit) const { return FTextureMatrixIsIdentity[unit]; }
  void SetTextureMatrixIsIdentity(int unit, bool identity) {
    FTextureMatrixIsIdentity[unit] = identity;
  }
  // Loads identity into every texture matrix of units 3..0 not known to be identity.
  void ResetAllGLTextureMatrix();
  // Texture-coordinate generation on the active unit (GL_TEXTURE_GEN_S to GL_TEXTURE_GEN_Q).
  // Not mirrored: a texture's mapping mode sets it at every use, so GL is always called.
  void SetTextureGenEnabled(GLenum coordinate, bool on);

  // ---- pixel store ----
  void SetPackAlignment(int32_t value);
  void SetUnpackAlignment(int32_t value);
  void SetUnpackRowLength(int32_t value);
  void SetUnpackSkipRows(int32_t value);
  void SetUnpackSkipPixels(int32_t value);
  int32_t PackAlignment() const { return FValues.PackAlignment; }
  int32_t UnpackAlignment() const { return FValues.UnpackAlignment; }
  int32_t UnpackRowLength() const { return FValues.UnpackRowLength; }
  int32_t UnpackSkipRows() const { return FValues.UnpackSkipRows; }
  int32_t UnpackSkipPixels() const { return FValues.UnpackSkipPixels; }

 private:
  // Everything the cache mirrors, kept together so PushAttrib can save and restore it.
  struct TValues {
    TGLStates States = 0;
    uint16_t LightEnabling = 0;
    TVector4f MaterialColors[2][4];
    int32_t MaterialShininess[2] = {0, 0};
    TLightValues Lights[cMaxLights];
    TVector4f LightModelAmbient{0.2f, 0.2f, 0.2f, 1};
    bool LightModelTwoSide = false;
    GLenum ShadeModel = GL_SMOOTH;
    GLenum PerspectiveHint = GL_DONT_CARE;
    TGLCullFaceMode ColorMaterialFace = cmFrontAndBack;
    GLenum ColorMaterialMode = GL_AMBIENT_AND_DIFFUSE;
    TVector4i ViewPort{0, 0, 0, 0};
    TVector4f ClearColor{0, 0, 0, 0};
    bool DepthWriteMask = true;
    std::array<uint8_t, cMaxDrawBuffers> ColorWriteMask;
    TGLComparisonFunction DepthFunc = cfLess;
    double DepthRange[2] = {0, 1};
    TGLBlendFunction Blend[4] = {bfOne, bfZero, bfOne, bfZero};
    TGLComparisonFunction AlphaFunc = cfAlways;
    float AlphaRef = 0;
    GLenum LogicOp = GL_COPY;
    TGLComparisonFunction StencilFunc = cfAlways;
    int32_t StencilRef = 0;
    uint32_t StencilMask = 0xFFFFFFFFu;
    TGLCullFaceMode CullFaceMode = cmBack;
    TGLFaceWinding FrontFace = fwCounterClockWise;
    TGLPolygonMode PolygonMode[2] = {pmFill, pmFill};
    float LineWidth = 1, PointSize = 1;
    int32_t LineStippleFactor = 1;
    uint16_t LineStipplePattern = 0xFFFF;
    float PolygonOffset[2] = {0, 0};
    int32_t PackAlignment = 4, UnpackAlignment = 4;
    int32_t UnpackRowLength = 0, UnpackSkipRows = 0, UnpackSkipPixels = 0;
    int ActiveTexture = 0;
    GLuint TextureBinding[cMaxTextureUnits][cGLTextureTargetCount] = {};
    uint16_t TextureEnabled[cMaxTextureUnits] = {};  // bit per TGLTextureTarget
  };

  // True if GL must be called: outside a list, when the value differs (and it is stored);
  // inside a list always, recording `type` and leaving the cache as it is.
  template <class T>
  bool Changes(T& cached, const T& value, TGLStateTypes types) {
    if (FInsideList) {
      Record(types);
      return true;
    }
    if (cached == value) return false;
    cached = value;
    return true;
  }
  void Record(TGLStateTypes types) { FListStates[FCurrentList] |= types; }
  void ReissueMaterials();
  void RestoreGroups(const TValues& saved, TGLStateTypes types);
  void CheckLight(int light) const;
  void CheckUnit(int unit) const;

  TValues FValues;
  std::vector<TGLStateTypes> FListStates;  // index list name - 1, grown on demand
  std::vector<bool> FListLoadsMatrices;    // likewise
  TGLTransformation* FTransformation = nullptr;
  uint32_t FCurrentList = 0;
  bool FInsideList = false;
  bool FTextureMatrixIsIdentity[4] = {false, false, false, false};
  int32_t FMaxLights = 0;
  int32_t FMaxTextureSize = 0;
  bool FFixedFunctionPipeLight = true;
  struct TSaved {
    TGLStateTypes Types;
    TValues Values;
  };
  std::vector<TSaved> FAttribStack;
};

}  // namespace ukh
