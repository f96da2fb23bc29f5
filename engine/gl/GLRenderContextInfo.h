// TGLRenderContextInfo: the record the render traversal hands down the object tree, filled
// afresh for every scene render. It links (never owns) the scene, the buffer and the
// context's state cache and transformation stack.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/math/Vector.h"

namespace ukh {

class TGLWorld;
class TGLWorldBuffer;
class TGLBaseSceneObject;
class TGLMaterialLibrary;
class TGLStateCache;
class TGLTransformation;

enum class TGLDrawState : uint8_t { dsRendering, dsPicking, dsPrinting };
enum class TGLObjectsSorting : uint8_t {
  osInherited,
  osNone,
  osRenderFarthestFirst,
  osRenderBlendedLast,
  osRenderNearestFirst
};
enum class TGLVisibilityCulling : uint8_t { vcInherited, vcNone, vcObjectBased, vcHierarchical };
enum class TGLMaterialLevel : uint8_t {
  mlAuto,
  mlFixedFunction,
  mlMultitexturing,
  mlSM3,
  mlSM4,
  mlSM5
};

struct TGLRenderContextClippingInfo {
  TVector4f Origin;
  TVector4f ClippingDirection;
  float ViewPortRadius = 0;
  float NearClippingDistance = 0;
  float FarClippingDistance = 0;
  // left, top, right, bottom, near, far
  TVector4f Frustum[6];
};

struct TGLRenderContextInfo {
  TGLWorld* Scene = nullptr;
  TGLWorldBuffer* Buffer = nullptr;
  TVector4f CameraPosition;
  TVector4f CameraDirection;
  TVector4f CameraUp;
  struct {
    int32_t cx = 0, cy = 0;
  } ViewPortSize;
  int32_t RenderDPI = 0;
  TGLMaterialLibrary* MaterialLibrary = nullptr;
  TGLMaterialLibrary* LightMapLibrary = nullptr;
  int32_t FogDisabledCounter = 0;
  TGLDrawState DrawState = TGLDrawState::dsRendering;
  TGLObjectsSorting ObjectsSorting = TGLObjectsSorting::osInherited;
  TGLVisibilityCulling VisibilityCulling = TGLVisibilityCulling::vcInherited;
  TGLStateCache* GLStates = nullptr;
  TGLTransformation* PipelineTransformation = nullptr;
  TGLRenderContextClippingInfo Rcci;
  TVector4f SceneAmbientColor;
  bool BufferFaceCull = false;
  bool BufferLighting = false;
  bool BufferFog = false;
  bool BufferDepthTest = false;
  bool ProxySubObject = false;
  bool IgnoreMaterials = false;
  bool IgnoreBlendingRequests = false;
  bool IgnoreDepthRequests = false;
  bool Amalgamating = false;
  std::vector<TGLBaseSceneObject*>* Lights = nullptr;
  std::vector<TGLBaseSceneObject*>* AfterRenderEffects = nullptr;
  TGLMaterialLevel CurrentMaterialLevel = TGLMaterialLevel::mlAuto;
  uint16_t PrimitiveMask = 0;  // set of TGLMeshPrimitive; a frame uses 0x1FFE
  int32_t OrderCounter = 0;
};

}  // namespace ukh
