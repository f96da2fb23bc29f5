// The typed records the 3DS reader hands out: meshes, materials, lights, cameras and the
// keyframer's settings and motions. Plain CPU-side data; the reader owns every record.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/math/Vector.h"

namespace ukh {

using TPoint3DS = TVector3f;

struct TTexVert3DS {
  float U = 0, V = 0;
  friend bool operator==(const TTexVert3DS&, const TTexVert3DS&) = default;
};

struct TFace3DS {
  uint16_t V1 = 0, V2 = 0, V3 = 0, Flag = 0;
  friend bool operator==(const TFace3DS&, const TFace3DS&) = default;
};

struct TFColor3DS {
  float R = 0, G = 0, B = 0;
  friend bool operator==(const TFColor3DS&, const TFColor3DS&) = default;
};

// x axis, y axis, z axis, origin; three singles each.
using TMeshMatrix = std::array<float, 12>;

enum class TDBType3DS { dbUnknown, dbMeshFile, dbProjectFile, dbMaterialFile };
enum class TReleaseLevel { rlRelease1, rlRelease2, rlRelease3, rlReleaseNotKnown };

// ---- meshes ------------------------------------------------------------------------------

struct TMapInfo3DS {
  uint16_t MapType = 0;
  float TileX = 0, TileY = 0;
  float CenX = 0, CenY = 0, CenZ = 0;
  float Scale = 0;
  std::array<float, 12> Matrix{};
  float PW = 0, PH = 0, CH = 0;
};

struct TObjMat3DS {
  std::string NameStr;
  uint16_t NFaces = 0;
  std::vector<uint16_t> FaceIndex;
};

struct TMesh3DS {
  std::string NameStr;
  bool IsHidden = false, IsvisLofter = false, IsMatte = false, IsNoCast = false, IsFast = false,
       IsNorcvShad = false, IsFrozen = false;
  uint16_t NVertices = 0;
  std::vector<TPoint3DS> VertexArray;
  uint16_t NVFlags = 0;
  std::vector<uint16_t> VFlagArray;
  uint16_t NTextVerts = 0;
  std::vector<TTexVert3DS> TextArray;
  bool UseMapInfo = false;
  TMapInfo3DS Map;
  TMeshMatrix LocMatrix{};
  uint16_t NFaces = 0;
  std::vector<TFace3DS> FaceArray;
  std::vector<uint32_t> SmoothArray;  // empty: the mesh has no smoothing groups
  bool UseBoxMap = false;
  std::array<std::string, 6> BoxMapStr;
  uint8_t MeshColor = 0;
  uint16_t NMats = 0;
  std::vector<TObjMat3DS> MatArray;
  bool UseProc = false;
  uint32_t ProcSize = 0;
  std::string ProcNameStr;
  std::vector<uint8_t> ProcData;
};

// ---- materials ---------------------------------------------------------------------------

enum class TShadeType3DS : int16_t { stWire, stFlat, stGouraud, stPhong, stMetal };
enum class TTileType3DS { ttTile, ttDecal, ttBoth };
enum class TFilterType3DS { ftPyramidal, ftSummedArea };
enum class TTintType3DS { ttRGB, ttAlpha, ttRGBLumaTint, ttAlphaTint, ttRGBTint };

struct TBitmap3DS {
  std::string NameStr;
  float Percent = 0;
  TTileType3DS Tiling = TTileType3DS::ttTile;
  bool IgnoreAlpha = false;
  TFilterType3DS Filter = TFilterType3DS::ftPyramidal;
  float Blur = 0;
  bool Mirror = false, Negative = false;
  float UScale = 1, VScale = 1, UOffset = 0, VOffset = 0, Rotation = 0;
  TTintType3DS Source = TTintType3DS::ttRGB;
  TFColor3DS Tint1;
  TFColor3DS Tint2{1, 1, 1};
  TFColor3DS RedTint{1, 0, 0}, GreenTint{0, 1, 0}, BlueTint{0, 0, 1};
  uint32_t DataSize = 0;
  std::vector<uint8_t> Data;
};

struct TMapSet3DS {
  TBitmap3DS Map, Mask;
};

struct TACubic3DS {
  bool FirstFrame = false, Flat = false;
  int32_t Size = 100, nthFrame = 1;
};

struct TRMapSet3DS {
  TBitmap3DS Map;
  bool UseAuto = false;
  TACubic3DS AutoMap;
  TBitmap3DS Mask;
};

struct TMaterial3DS {
  std::string NameStr;
  TFColor3DS Ambient, Diffuse, Specular;
  float Shininess = 0, ShinStrength = 0, Blur = 0, Transparency = 0, TransFallOff = 0,
        SelfIllumPct = 0, WireSize = 1;
  TShadeType3DS Shading = TShadeType3DS::stPhong;
  bool UseBlur = false, UseFall = false, TwoSided = false, SelFillum = false, Additive = false,
       UseWire = false, UseWireAbs = false, FaceMap = false, Soften = false;
  TMapSet3DS Texture, Texture2, Opacity, Bump, SpecMap, ShinMap, IllumMap;
  TRMapSet3DS Reflect;
};

// ---- lights and cameras ------------------------------------------------------------------

struct TAttenuation3DS {
  bool IsOn = false;
  float Inner = 0, Outer = 0;
};

struct TSpotShadow3DS {
  bool Cast = false, Type = false;  // Type: ray-traced shadows
  bool Local = false;               // the light carries its own shadow settings
  float Bias = 0, Filter = 0, RayBias = 0;
  int16_t MapSize = 0;
};

struct TSpotCone3DS {
  bool Show = false;  // DL_SEE_CONE
  bool Type = false;  // rectangular instead of circular
  bool Overshoot = false;
};

struct TSpotProjector3DS {
  bool Use = false;
  std::string BitmapStr;
};

struct TSpotLight3DS {
  TPoint3DS Target;
  float Hotspot = 0, FallOff = 0, Roll = 0, Aspect = 0;
  TSpotShadow3DS Shadows;
  TSpotCone3DS Cone;
  TSpotProjector3DS Projector;
};

struct TLight3DS {
  std::string NameStr;
  TPoint3DS Pos;
  TFColor3DS Color;
  float Multiplier = 0;
  bool DLOff = false;
  TAttenuation3DS Attenuation;
  std::vector<std::string> Exclude;
  std::unique_ptr<TSpotLight3DS> Spot;  // none for an omni light
};

struct TCamRanges3DS {
  float CamNear = 0, CamFar = 0;
};

struct TCamera3DS {
  std::string NameStr;
  TPoint3DS Position, Target;
  float Roll = 0, FOV = 0;
  bool ShowCone = false;
  TCamRanges3DS Ranges;
};

// ---- keyframer ---------------------------------------------------------------------------

struct TKFSets3DS {
  struct {
    int32_t Length = 30, CurFrame = 0;
  } Anim;
  struct {
    bool Use = false;
    int32_t SegBegin = 0, SegEnd = 30;
  } Seg;
};

struct TKeyHeader3DS {
  int32_t Time = 0;
  uint16_t RFlags = 0;
  float Tension = 0, Continuity = 0, Bias = 0, EaseTo = 0, EaseFrom = 0;
};

struct TTrackHeader3DS {
  uint16_t Flags = 0;
  uint32_t nu1 = 0, nu2 = 0, KeyCount = 0;
};

struct TKFRotKey3DS {
  float Angle = 0, X = 0, Y = 0, Z = 0;
};

struct TKFMesh3DS {
  std::string NameStr, ParentStr;
  uint16_t Flags1 = 0, Flags2 = 0;
  TPoint3DS Pivot;
  std::string InstanceStr;
  TPoint3DS BoundMin, BoundMax;
  uint32_t NPKeys = 0;
  uint16_t NPFlag = 0;
  std::vector<TKeyHeader3DS> PKeys;
  std::vector<TPoint3DS> Pos;
  uint32_t NRKeys = 0;
  uint16_t NRFlag = 0;
  std::vector<TKeyHeader3DS> RKeys;
  std::vector<TKFRotKey3DS> Rot;
  uint32_t NSKeys = 0;
  uint16_t NSFlag = 0;
  std::vector<TKeyHeader3DS> SKeys;
  std::vector<TPoint3DS> Scale;
  uint32_t NMKeys = 0;
  uint16_t NMFlag = 0;
  std::vector<TKeyHeader3DS> MKeys;
  std::vector<std::string> Morph;
  uint32_t NHKeys = 0;
  uint16_t NHFlag = 0;
  std::vector<TKeyHeader3DS> HKeys;
  float MSAngle = 0;
};

struct TKFOmni3DS {
  std::string NameStr, ParentStr;
  uint16_t Flags1 = 0, Flags2 = 0;
  uint32_t NPKeys = 0;
  uint16_t NPFlag = 0;
  std::vector<TKeyHeader3DS> PKeys;
  std::vector<TPoint3DS> Pos;
  uint32_t NCKeys = 0;
  uint16_t NCFlag = 0;
  std::vector<TKeyHeader3DS> CKeys;
  std::vector<TFColor3DS> Color;
};

struct TKFSpot3DS {
  std::string NameStr, ParentStr;
  uint16_t Flags1 = 0, Flags2 = 0;
  uint32_t NPKeys = 0;
  uint16_t NPFlag = 0;
  std::vector<TKeyHeader3DS> PKeys;
  std::vector<TPoint3DS> Pos;
  uint32_t NCKeys = 0;
  uint16_t NCFlag = 0;
  std::vector<TKeyHeader3DS> CKeys;
  std::vector<TFColor3DS> Color;
  uint32_t NHKeys = 0;
  uint16_t NHFlag = 0;
  std::vector<TKeyHeader3DS> HKeys;
  std::vector<float> Hot;
  uint32_t NFKeys = 0;
  uint16_t NFFlag = 0;
  std::vector<TKeyHeader3DS> FKeys;
  std::vector<float> Fall;
  uint32_t NRKeys = 0;
  uint16_t NRFlag = 0;
  std::vector<TKeyHeader3DS> RKeys;
  std::vector<float> Roll;
  // Target position, from the light's target node of the same name.
  std::string TParentStr;
  uint32_t NTKeys = 0;
  uint16_t NTFlag = 0;
  std::vector<TKeyHeader3DS> TKeys;
  std::vector<TPoint3DS> TPos;
  uint16_t TFlags1 = 0, TFlags2 = 0;
};

struct TKFCamera3DS {
  std::string NameStr, ParentStr;
  uint16_t Flags1 = 0, Flags2 = 0;
  uint32_t NPKeys = 0;
  uint16_t NPFlag = 0;
  std::vector<TKeyHeader3DS> PKeys;
  std::vector<TPoint3DS> Pos;
  uint32_t NFKeys = 0;
  uint16_t NFFlag = 0;
  std::vector<TKeyHeader3DS> FKeys;
  std::vector<float> FOV;
  uint32_t NRKeys = 0;
  uint16_t NRFlag = 0;
  std::vector<TKeyHeader3DS> RKeys;
  std::vector<float> Roll;
  // Target position, from the camera's target node of the same name.
  std::string TParentStr;
  uint32_t NTKeys = 0;
  uint16_t NTFlag = 0;
  std::vector<TKeyHeader3DS> TKeys;
  std::vector<TPoint3DS> TPos;
  uint16_t TFlags1 = 0, TFlags2 = 0;
};

struct TKFAmbient3DS {
  uint16_t Flags1 = 0, Flags2 = 0;
  uint32_t NCKeys = 0;
  uint16_t NCFlag = 0;
  std::vector<TKeyHeader3DS> CKeys;
  std::vector<TFColor3DS> Color;
};

}  // namespace ukh
