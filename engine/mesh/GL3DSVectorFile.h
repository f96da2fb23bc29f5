// TGL3DSVectorFile: the 3DS importer. It reads a file with TFile3DS and turns each 3DS mesh
// into a mesh object of its owner (vertices split by smoothing group, per-corner normals, one
// face group per material group), and makes objects for keyframer nodes, lights and cameras.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "engine/math/Matrix.h"
#include "engine/mesh/File3DS.h"
#include "engine/mesh/GLMorphableMeshObject.h"
#include "engine/mesh/GLVectorFile.h"
#include "engine/scene/GLCamera.h"
#include "engine/scene/GLDummyCube.h"
#include "engine/scene/GLLightSource.h"

namespace ukh {

class TGLBaseMesh;
class TGLVectorFileFormatsList;

class EGLFile3DS : public Exception {
 public:
  explicit EGLFile3DS(const std::string& message) : Exception(message) {}
};

struct TGLFile3DSAnimationData {
  TMatrix4f ModelMatrix = IdentityHmgMatrix;
  TVector4f Color{0, 0, 0, 0};
  TVector3f TargetPos{0, 0, 0};
  float SpotLightCutOff = 0, HotSpot = 0, Roll = 0;
};

// One key track of a keyframer record: the key headers and their values, Components floats
// per key. Tracks are loaded but never evaluated, playback being off.
class TGLFile3DSAnimationKeys {
 public:
  virtual ~TGLFile3DSAnimationKeys() = default;
  virtual const char* TrackName() const = 0;
  int Count() const { return int(FKeys.size()); }
  int Components() const { return FComponents; }
  const std::vector<TKeyHeader3DS>& Keys() const { return FKeys; }
  const std::vector<float>& Values() const { return FValues; }

 protected:
  explicit TGLFile3DSAnimationKeys(int components) : FComponents(components) {}
  template <class T>
  void Load(const std::vector<TKeyHeader3DS>& keys, const std::vector<T>& values);

 private:
  int FComponents;
  std::vector<TKeyHeader3DS> FKeys;
  std::vector<float> FValues;
};

#define UKH_3DS_TRACK(Name, Components, Title)                                    \
  class Name : public TGLFile3DSAnimationKeys {                                   \
   public:                                                                        \
    Name() : TGLFile3DSAnimationKeys(Components) {}                               \
    const char* TrackName() const override { return Title; }                      \
    template <class T>                                                            \
    void LoadData(const std::vector<TKeyHeader3DS>& k, const std::vector<T>& v) { \
      Load(k, v);                                                                 \
    }                                                                             \
  };
UKH_3DS_TRACK(TGLFile3DSScaleAnimationKeys, 3, "scale")
UKH_3DS_TRACK(TGLFile3DSRotationAnimationKeys, 4, "rotation")
UKH_3DS_TRACK(TGLFile3DSPositionAnimationKeys, 3, "position")
UKH_3DS_TRACK(TGLFile3DSColorAnimationKeys, 3, "color")
UKH_3DS_TRACK(TTGLFile3DSPositionAnimationKeys, 3, "target position")
UKH_3DS_TRACK(TGLFile3DSSpotLightCutOffAnimationKeys, 1, "cut-off")
UKH_3DS_TRACK(TGLFile3DSLightHotSpotAnimationKeys, 1, "hotspot")
UKH_3DS_TRACK(TGLFile3DSRollAnimationKeys, 1, "roll")
#undef UKH_3DS_TRACK

class TGLFile3DSAnimationKeyList {
 public:
  int Count() const { return int(FList.size()); }
  TGLFile3DSAnimationKeys* operator[](int i) const { return FList.at(size_t(i)).get(); }
  void Add(std::unique_ptr<TGLFile3DSAnimationKeys> keys) { FList.push_back(std::move(keys)); }
  void Clear() { FList.clear(); }

 private:
  std::vector<std::unique_ptr<TGLFile3DSAnimationKeys>> FList;
};

class TGLFile3DSDummyObject : public TGLMorphableMeshObject {
 public:
  TGLFile3DSDummyObject() = default;
  TGLFile3DSAnimationKeyList& AnimList() { return FAnimList; }
  const TGLFile3DSAnimationData& RefTransf() const { return FRefTranf; }
  TGLFile3DSAnimationData& RefTransf() { return FRefTranf; }
  const TGLFile3DSAnimationData& AnimTransf() const { return FAnimTransf; }
  TGLFile3DSDummyObject* Parent() const { return FParent; }
  bool Static() const { return FStatic; }
  const void* AnimData() const { return FAnimData; }

  virtual void LoadAnimation(const void* motionRecord);
  // Playback is off: the animation transform stays as constructed.
  virtual void SetFrame(int) {}

  void GetExtents(TVector3f& min, TVector3f& max) override;
  TAABB GetExtents() override;
  std::unique_ptr<TGLAffineVectorList> ExtractTriangles(
      TGLAffineVectorList* texCoords = nullptr,
      TGLAffineVectorList* normals = nullptr) const override;

 protected:
  void SetParentByName(const std::string& name);

  TGLFile3DSAnimationKeyList FAnimList;
  const void* FAnimData = nullptr;
  TGLFile3DSAnimationData FRefTranf, FAnimTransf;
  TGLFile3DSDummyObject* FParent = nullptr;
  std::string FParentName;
  bool FStatic = false;
};

class TGLFile3DSMeshObject : public TGLFile3DSDummyObject {
 public:
  TGLFile3DSMeshObject() = default;
  // `motionRecord` is a TKFMesh3DS.
  void LoadAnimation(const void* motionRecord) override;
  void BuildList(TGLRenderContextInfo& rci) override;
};

class TGLFile3DSLight : public TGLLightSource {
 public:
  explicit TGLFile3DSLight(TComponent* owner = nullptr) : TGLLightSource(owner) {}
  TVector3f FTargetPos{0, 0, 0};
  float FHotSpot = 1.0f;
  float FMultipler = 1.0f;
};

class TGLFile3DSCamera : public TGLCamera {
 public:
  explicit TGLFile3DSCamera(TComponent* owner = nullptr) : TGLCamera(owner) {}
};

// Base of the objects that hang a scene object (light, camera) under the owner mesh: the
// scene object belongs to the mesh object until it is loaded and is released with it.
class TGLFile3DSOmniLightObject : public TGLFile3DSDummyObject {
 public:
  TGLFile3DSOmniLightObject();
  ~TGLFile3DSOmniLightObject() override;
  TGLFile3DSLight* LightSrc() const { return FLightSrc; }
  virtual void LoadData(TGLBaseMesh& owner, const TLight3DS& light);
  // `motionRecord` is a TKFOmni3DS.
  void LoadAnimation(const void* motionRecord) override;
  void SetFrame(int frame) override;

 protected:
  TGLFile3DSLight* FLightSrc;

 private:
  std::unique_ptr<TGLFile3DSLight> FLightOwned;
  // The mesh the light was hung under; the light is released only while it is still there,
  // so a light the tree already destroyed is never touched.
  TGLBaseSceneObject* FHost = nullptr;
};

class TGLFile3DSSpotLightObject : public TGLFile3DSOmniLightObject {
 public:
  void LoadData(TGLBaseMesh& owner, const TLight3DS& light) override;
  // `motionRecord` is a TKFSpot3DS.
  void LoadAnimation(const void* motionRecord) override;
  void SetFrame(int frame) override;
};

class TGLFile3DSCameraObject : public TGLFile3DSDummyObject {
 public:
  TGLFile3DSCameraObject();
  ~TGLFile3DSCameraObject() override;
  TGLFile3DSCamera* CameraSrc() const { return FCameraSrc; }
  TGLDummyCube* TargetObj() const { return FTargetObj; }
  void LoadData(TGLBaseMesh& owner, const TCamera3DS& camera);
  // `motionRecord` is a TKFCamera3DS.
  void LoadAnimation(const void* motionRecord) override;
  void SetFrame(int frame) override;

 private:
  TGLFile3DSCamera* FCameraSrc;
  TGLDummyCube* FTargetObj;
  std::unique_ptr<TGLFile3DSCamera> FCameraOwned;
  std::unique_ptr<TGLDummyCube> FTargetOwned;
  TGLBaseSceneObject* FHost = nullptr;
};

class TGL3DSVectorFile : public TGLVectorFile {
 public:
  explicit TGL3DSVectorFile(TPersistent* owner) : TGLVectorFile(owner) {}
  std::string ClassName() const override { return "TGL3DSVectorFile"; }
  TGLDataFileCapabilities Capabilities() const override { return dfcRead; }
  void LoadFromStream(std::istream& stream) override;
  // The import from bytes already in memory; `LoadFromStream` reads the stream and calls it.
  void LoadFromMemory(const void* data, size_t size);
};

// Registers "3ds" and "prj" for TGL3DSVectorFile.
void Register3DSVectorFileFormats(TGLVectorFileFormatsList& list);

// The vertex limit of one mesh: indices are 16-bit in the file.
inline constexpr int cMax3DSVertices = 65535;

}  // namespace ukh
