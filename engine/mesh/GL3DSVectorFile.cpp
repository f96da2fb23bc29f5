// The 3DS import: mesh records become mesh objects of the owner mesh.
#include "engine/mesh/GL3DSVectorFile.h"

#include <bit>
#include <cctype>
#include <cmath>
#include <cstring>
#include <istream>
#include <limits>
#include <unordered_map>

#include "engine/gl/GLApi.h"
#include "engine/gl/GLMaterialLibrary.h"
#include "engine/gl/GLTexture.h"
#include "engine/gl/GLTextureImage.h"
#include "engine/mesh/FGVertexIndexList.h"
#include "engine/mesh/GLBaseMesh.h"
#include "engine/mesh/GLMeshObjectList.h"

namespace ukh {

namespace {

std::string Upper(std::string_view s) {
  std::string u(s);
  for (char& c : u) c = char(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

template <class T>
const T* As(const void* p) {
  return static_cast<const T*>(p);
}

TMatrix4f ReferenceMatrix(const TMesh3DS* mesh) {
  if (!mesh) return IdentityHmgMatrix;
  const TMeshMatrix& l = mesh->LocMatrix;
  TMatrix4f m;
  m.X = {l[0], l[1], l[2], 0};
  m.Y = {l[3], l[4], l[5], 0};
  m.Z = {l[6], l[7], l[8], 0};
  m.W = {l[9], l[10], l[11], 1};
  // Mirrored axes: the 3x3 part has a negative determinant.
  const float det = l[0] * (l[4] * l[8] - l[5] * l[7]) - l[1] * (l[3] * l[8] - l[5] * l[6]) +
                    l[2] * (l[3] * l[7] - l[4] * l[6]);
  InvertMatrix(m);
  if (det < 0) {
    // Half a turn about y.
    for (TVector4f* row : {&m.X, &m.Y, &m.Z, &m.W}) {
      row->X = -row->X;
      row->Z = -row->Z;
    }
  }
  return m;
}

// Smoothing-group splitting of one mesh, written straight into the mesh object's lists:
// they are sized once for the most vertices splitting can make (a new vertex per corner, up
// to the limit), which the file's face count bounds, and trimmed at the end.
struct TSplitter {
  TVector3f *P = nullptr, *N = nullptr, *T = nullptr;
  std::unique_ptr<uint8_t[]> Used;
  std::unique_ptr<uint32_t[]> SlotMask;  // bit b: slot (v, b) holds a vertex
  std::unique_ptr<int32_t[]> Slots;      // read only where the mask says it was written
  int Counter = 0;

  int Split(int v, const TVector3f& n) {
    const int d = Counter++;
    P[d] = P[v];
    N[d] = n;
    if (T) T[d] = T[v];
    Used[size_t(d)] = 1;
    SlotMask[size_t(d)] = 0;
    return d;
  }
  void SetSlot(int v, int b, int d) {
    Slots[size_t(v) * 32 + size_t(b)] = d;
    SlotMask[size_t(v)] |= 1u << b;
  }
};

// Room for `cap` items, the count left as it is; the storage is written through List().
void Reserve(TGLBaseList& list, int cap) {
  list.Clear();
  list.SetCapacity(cap);
}
void Finish(TGLBaseList& list, int count) {
  list.SetOption(TGLBaseListOption::bloSetCountResetsMemory, false);
  list.SetCount(count);
  list.SetOption(TGLBaseListOption::bloSetCountResetsMemory, true);
  list.SetCapacity(count);
  list.IncRevision();
}

}  // namespace

// ---- key tracks -----------------------------------------------------------------------------

template <class T>
void TGLFile3DSAnimationKeys::Load(const std::vector<TKeyHeader3DS>& keys,
                                   const std::vector<T>& values) {
  static_assert(sizeof(T) % sizeof(float) == 0);
  FKeys = keys;
  const size_t n = std::min(keys.size(), values.size());
  FKeys.resize(n);
  FValues.resize(n * size_t(FComponents));
  const size_t each = std::min(sizeof(T) / sizeof(float), size_t(FComponents));
  for (size_t i = 0; i < n; ++i)
    std::memcpy(&FValues[i * size_t(FComponents)], &values[i], each * sizeof(float));
}

// ---- dummy and mesh objects ---------------------------------------------------------------

void TGLFile3DSDummyObject::LoadAnimation(const void* motionRecord) {
  FAnimList.Clear();
  FAnimData = motionRecord;
}

void TGLFile3DSDummyObject::SetParentByName(const std::string& name) {
  FParentName = name.substr(0, 64);
  FParent = nullptr;
  if (name.empty() || !Owner()) return;
  FParent = dynamic_cast<TGLFile3DSDummyObject*>(Owner()->FindMeshByName(name));
}

void TGLFile3DSDummyObject::GetExtents(TVector3f& min, TVector3f& max) {
  TGLMorphableMeshObject::GetExtents(min, max);
  if (FStatic) return;
  const float inf = std::numeric_limits<float>::infinity();
  auto finite = [inf](const TVector3f& v) {
    return std::fabs(v.X) != inf && std::fabs(v.Y) != inf && std::fabs(v.Z) != inf;
  };
  if (finite(min)) min = TransformPoint(min, FAnimTransf.ModelMatrix);
  if (finite(max)) max = TransformPoint(max, FAnimTransf.ModelMatrix);
}

TAABB TGLFile3DSDummyObject::GetExtents() {
  TAABB box;
  GetExtents(box.Min, box.Max);
  return box;
}

std::unique_ptr<TGLAffineVectorList> TGLFile3DSDummyObject::ExtractTriangles(
    TGLAffineVectorList* texCoords, TGLAffineVectorList* normals) const {
  auto tris = TGLMorphableMeshObject::ExtractTriangles(texCoords, normals);
  if (!FStatic && !(FAnimTransf.ModelMatrix == IdentityHmgMatrix)) {
    for (int i = 0; i < tris->Count(); ++i)
      tris->List()[i] = TransformPoint(tris->List()[i], FAnimTransf.ModelMatrix);
    tris->IncRevision();
  }
  return tris;
}

void TGLFile3DSMeshObject::LoadAnimation(const void* motionRecord) {
  TGLFile3DSDummyObject::LoadAnimation(motionRecord);
  const TKFMesh3DS& m = *As<TKFMesh3DS>(motionRecord);
  auto scale = std::make_unique<TGLFile3DSScaleAnimationKeys>();
  scale->LoadData(m.SKeys, m.Scale);
  auto rot = std::make_unique<TGLFile3DSRotationAnimationKeys>();
  rot->LoadData(m.RKeys, m.Rot);
  auto pos = std::make_unique<TGLFile3DSPositionAnimationKeys>();
  pos->LoadData(m.PKeys, m.Pos);
  FAnimList.Add(std::move(scale));
  FAnimList.Add(std::move(rot));
  FAnimList.Add(std::move(pos));
  if (!m.ParentStr.empty()) SetParentByName(m.ParentStr);
  FRefTranf.ModelMatrix.W.X -= m.Pivot.X;
  FRefTranf.ModelMatrix.W.Y -= m.Pivot.Y;
  FRefTranf.ModelMatrix.W.Z -= m.Pivot.Z;
  SetFrame(0);
}

void TGLFile3DSMeshObject::BuildList(TGLRenderContextInfo& rci) {
  // The identity transform of playback-off models draws exactly as a plain mesh object.
  if (FStatic || FAnimTransf.ModelMatrix == IdentityHmgMatrix) {
    TGLFile3DSDummyObject::BuildList(rci);
    return;
  }
  gl::PushMatrix();
  gl::MultMatrixf(&FAnimTransf.ModelMatrix.X.X);
  TGLFile3DSDummyObject::BuildList(rci);
  gl::PopMatrix();
}

// ---- lights -----------------------------------------------------------------------------------

TGLFile3DSOmniLightObject::TGLFile3DSOmniLightObject()
    : FLightOwned(std::make_unique<TGLFile3DSLight>()) {
  FLightSrc = FLightOwned.get();
}

TGLFile3DSOmniLightObject::~TGLFile3DSOmniLightObject() {
  if (FHost && FHost->IndexOfChild(FLightSrc) >= 0) FHost->Remove(FLightSrc, false);
}

void TGLFile3DSOmniLightObject::LoadData(TGLBaseMesh& owner, const TLight3DS& light) {
  if (FLightOwned) {
    owner.AddChild(std::move(FLightOwned));
    FHost = &owner;
  }
  FLightSrc->SetLightStyle(TGLLightStyle::lsOmni);
  FLightSrc->SetName(light.NameStr);
  SetName(light.NameStr);
  FLightSrc->Position().SetPoint(light.Pos.X, light.Pos.Y, light.Pos.Z);
  const TVector4f c{light.Color.R, light.Color.G, light.Color.B, 0};
  FLightSrc->Specular().SetColor(c);
  FLightSrc->Diffuse().SetColor(
      {c.X * light.Multiplier, c.Y * light.Multiplier, c.Z * light.Multiplier, 0});
  FLightSrc->SetShining(!light.DLOff);
  FLightSrc->FMultipler = light.Multiplier;
  FLightSrc->SetConstAttenuation(1);
  FLightSrc->SetLinearAttenuation(0);
  FLightSrc->SetQuadraticAttenuation(0);
}

void TGLFile3DSOmniLightObject::LoadAnimation(const void* motionRecord) {
  TGLFile3DSDummyObject::LoadAnimation(motionRecord);
  const TKFOmni3DS& m = *As<TKFOmni3DS>(motionRecord);
  auto pos = std::make_unique<TGLFile3DSPositionAnimationKeys>();
  pos->LoadData(m.PKeys, m.Pos);
  auto col = std::make_unique<TGLFile3DSColorAnimationKeys>();
  col->LoadData(m.CKeys, m.Color);
  FAnimList.Add(std::move(pos));
  FAnimList.Add(std::move(col));
  if (!m.ParentStr.empty()) SetParentByName(m.ParentStr);
  SetFrame(0);
}

void TGLFile3DSOmniLightObject::SetFrame(int) {
  const TVector4f& t = FAnimTransf.ModelMatrix.W;
  FLightSrc->Position().SetPoint(t.X, t.Y, t.Z);
  FLightSrc->Diffuse().SetColor(FAnimTransf.Color);
}

void TGLFile3DSSpotLightObject::LoadData(TGLBaseMesh& owner, const TLight3DS& light) {
  TGLFile3DSOmniLightObject::LoadData(owner, light);
  FLightSrc->SetLightStyle(TGLLightStyle::lsSpot);
  if (light.Spot) {
    FLightSrc->FTargetPos = light.Spot->Target;
    FLightSrc->SetSpotCutOff(light.Spot->FallOff / 2);
    FLightSrc->FHotSpot = light.Spot->Hotspot / 2;
  }
}

void TGLFile3DSSpotLightObject::LoadAnimation(const void* motionRecord) {
  TGLFile3DSDummyObject::LoadAnimation(motionRecord);
  const TKFSpot3DS& m = *As<TKFSpot3DS>(motionRecord);
  auto pos = std::make_unique<TGLFile3DSPositionAnimationKeys>();
  pos->LoadData(m.PKeys, m.Pos);
  auto col = std::make_unique<TGLFile3DSColorAnimationKeys>();
  col->LoadData(m.CKeys, m.Color);
  auto target = std::make_unique<TTGLFile3DSPositionAnimationKeys>();
  target->LoadData(m.TKeys, m.TPos);
  auto fall = std::make_unique<TGLFile3DSSpotLightCutOffAnimationKeys>();
  fall->LoadData(m.FKeys, m.Fall);
  auto hot = std::make_unique<TGLFile3DSLightHotSpotAnimationKeys>();
  hot->LoadData(m.HKeys, m.Hot);
  FAnimList.Add(std::move(pos));
  FAnimList.Add(std::move(col));
  FAnimList.Add(std::move(target));
  FAnimList.Add(std::move(fall));
  FAnimList.Add(std::move(hot));
  if (!m.ParentStr.empty()) SetParentByName(m.ParentStr);
  SetFrame(0);
}

void TGLFile3DSSpotLightObject::SetFrame(int frame) {
  TGLFile3DSOmniLightObject::SetFrame(frame);
  FLightSrc->FTargetPos = FAnimTransf.TargetPos;
  FLightSrc->SetSpotCutOff(FAnimTransf.SpotLightCutOff / 2);
  FLightSrc->FHotSpot = FAnimTransf.HotSpot / 2;
}

// ---- cameras ----------------------------------------------------------------------------------

TGLFile3DSCameraObject::TGLFile3DSCameraObject()
    : FCameraOwned(std::make_unique<TGLFile3DSCamera>()),
      FTargetOwned(std::make_unique<TGLDummyCube>()) {
  FCameraSrc = FCameraOwned.get();
  FTargetObj = FTargetOwned.get();
  FCameraSrc->SetTargetObject(FTargetObj);
}

TGLFile3DSCameraObject::~TGLFile3DSCameraObject() {
  if (!FHost) return;  // never hung: the owned members go with the object
  if (FHost->IndexOfChild(FCameraSrc) >= 0) FHost->Remove(FCameraSrc, false);
  if (FHost->IndexOfChild(FTargetObj) >= 0) FHost->Remove(FTargetObj, false);
}

void TGLFile3DSCameraObject::LoadData(TGLBaseMesh& owner, const TCamera3DS& camera) {
  if (FCameraOwned) {
    owner.AddChild(std::move(FCameraOwned));
    owner.AddChild(std::move(FTargetOwned));
    FHost = &owner;
  }
  FCameraSrc->SetName(camera.NameStr);
  SetName(camera.NameStr);
  FCameraSrc->Position().SetPoint(camera.Position.X, camera.Position.Y, camera.Position.Z);
  FTargetObj->Position().SetPoint(camera.Target.X, camera.Target.Y, camera.Target.Z);
  FCameraSrc->SetRollAngle(camera.Roll);
  FCameraSrc->SetFocalLength(camera.FOV);
}

void TGLFile3DSCameraObject::LoadAnimation(const void* motionRecord) {
  TGLFile3DSDummyObject::LoadAnimation(motionRecord);
  const TKFCamera3DS& m = *As<TKFCamera3DS>(motionRecord);
  auto pos = std::make_unique<TGLFile3DSPositionAnimationKeys>();
  pos->LoadData(m.PKeys, m.Pos);
  auto roll = std::make_unique<TGLFile3DSRollAnimationKeys>();
  roll->LoadData(m.RKeys, m.Roll);
  auto target = std::make_unique<TTGLFile3DSPositionAnimationKeys>();
  target->LoadData(m.TKeys, m.TPos);
  FAnimList.Add(std::move(pos));
  FAnimList.Add(std::move(roll));
  FAnimList.Add(std::move(target));
  SetFrame(0);
}

void TGLFile3DSCameraObject::SetFrame(int) {
  const TVector4f& t = FAnimTransf.ModelMatrix.W;
  FCameraSrc->Position().SetPoint(t.X, t.Y, t.Z);
  FCameraSrc->SetRollAngle(FAnimTransf.Roll);
  const TVector3f& p = FAnimTransf.TargetPos;
  FTargetObj->Position().SetPoint(p.X, p.Y, p.Z);
}

// ---- the importer -----------------------------------------------------------------------------

namespace {

class TImport {
 public:
  TImport(TGL3DSVectorFile& file, TGLBaseMesh& owner, TFile3DS& reader)
      : FFile(file), FOwner(owner), FReader(reader) {}
  void Run();

 private:
  std::string Where() const { return " in " + FFile.ResourceName(); }
  void ImportMesh(TMesh3DS& mesh, int meshIndex);
  void AddMorphTargets(TGLMorphableMeshObject& mo) const {
    for (int i = 0; i < FMorphTargets; ++i) TGLMeshMorphTarget::CreateOwned(mo.MorphTargets());
  }
  std::string LibMaterialName(const std::string& name);
  int LightmapIndex(const std::string& name, bool& found);
  void LoadTexture(TGLTexture& texture, const std::string& fileName, const char* kind,
                   TGLMaterialLibrary& library);

  TGL3DSVectorFile& FFile;
  TGLBaseMesh& FOwner;
  TFile3DS& FReader;
  int FMorphTargets = 0;
  bool FInvertNormals = false;
};

void TImport::LoadTexture(TGLTexture& texture, const std::string& fileName, const char* kind,
                          TGLMaterialLibrary& library) {
  try {
    texture.Image().LoadFromFile(fileName);
  } catch (const Exception& e) {
    if (FOwner.IgnoreMissingTextures()) return;
    throw EGLFile3DS(std::string("Loading ") + kind + " map texture failed: " + e.what() + " in " +
                     std::string());
    (void)library;
  }
}

std::string TImport::LibMaterialName(const std::string& name) {
  TMaterial3DS* mat = FReader.Materials().MaterialByName(name);
  if (!mat)
    throw EAssertionFailed("Material \"" + name + "\" used by a mesh is not defined" + Where());
  TGLMaterialLibrary* lib = FOwner.MaterialLibrary();
  if (!lib) return {};
  if (lib->GetLibMaterialByName(name)) return name;
  TGLLibMaterial& lm = lib->AddMaterial(name);
  TGLFaceProperties& front = lm.Material().FrontProperties();
  front.Ambient().SetColor({mat->Ambient.R, mat->Ambient.G, mat->Ambient.B, 1});
  front.Diffuse().SetColor(
      {mat->Diffuse.R, mat->Diffuse.G, mat->Diffuse.B, 1 - std::fabs(mat->Transparency)});
  const float ss = mat->ShinStrength;
  front.Specular().SetColor(
      {mat->Specular.R * ss, mat->Specular.G * ss, mat->Specular.B * ss, 1 * ss});
  const double shin = std::max(0.0, std::nearbyint(double(mat->Shininess) * 128.0));
  front.SetShininess(TGLShininess(uint32_t(std::min(shin, 4294967295.0)) & 0xFF));
  if (mat->Transparency != 0) lm.Material().SetBlendingMode(bmTransparency);
  const std::string tex = Trim(mat->Texture.Map.NameStr);
  if (!tex.empty()) {
    TGLTexture& t = lm.Material().Texture();
    LoadTexture(t, tex, "diffuse", *lib);
    t.SetEnabled(true);
    t.SetTextureMode(tmModulate);
  }
  const std::string opa = Trim(mat->Opacity.Map.NameStr);
  if (!opa.empty()) {
    TGLLibMaterial& om = lib->AddMaterial(opa);
    TGLTexture& t = om.Material().Texture();
    LoadTexture(t, opa, "opacity", *lib);
    t.SetEnabled(true);
    t.SetImageAlpha(tiaAlphaFromIntensity);
    t.SetTextureMode(tmModulate);
    lm.SetTexture2Name(om.Name());
    lm.Material().Texture().SetEnabled(true);
  }
  const std::string bump = Trim(mat->Bump.Map.NameStr);
  if (!bump.empty()) {
    TGLLibMaterial& bm = lib->AddMaterial(bump);
    TGLTexture& t = bm.Material().Texture();
    LoadTexture(t, bump, "bump", *lib);
    t.SetEnabled(true);
    t.SetImageAlpha(tiaAlphaFromIntensity);
    t.SetTextureMode(tmModulate);
    lm.Material().Texture().SetEnabled(true);
  }
  return name;
}

int TImport::LightmapIndex(const std::string& name, bool& found) {
  TGLMaterialLibrary* lib = FOwner.LightmapLibrary();
  if (!lib) return -1;
  TMaterial3DS* mat = FReader.Materials().MaterialByName(name);
  if (!mat) return -1;
  const std::string map = Trim(mat->IllumMap.Map.NameStr);
  if (map.empty()) return -1;
  TGLLibMaterial* lm = lib->GetLibMaterialByName(map);
  if (!lm) {
    lm = &lib->AddMaterial(map);
    TGLTexture& t = lm->Material().Texture();
    LoadTexture(t, map, "light", *lib);
    t.SetEnabled(true);
    t.SetTextureMode(tmModulate);
  }
  found = true;
  const auto& all = lib->Materials();
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i].get() == lm) return int(i);
  return -1;
}

void TImport::ImportMesh(TMesh3DS& mesh, int meshIndex) {
  const int nv = int(std::min<size_t>(mesh.NVertices, mesh.VertexArray.size()));
  const int nf = int(mesh.FaceArray.size());
  // Faces and material groups are checked before anything is built from them.
  for (int f = 0; f < nf; ++f) {
    const TFace3DS& face = mesh.FaceArray[size_t(f)];
    for (uint16_t c : {face.V1, face.V2, face.V3})
      if (c >= nv)
        throw EGLFile3DS("Face " + std::to_string(f) + " of mesh \"" + mesh.NameStr +
                         "\" uses vertex " + std::to_string(c) + ", but the mesh has " +
                         std::to_string(nv) + " vertices" + Where());
  }
  for (const TObjMat3DS& g : mesh.MatArray)
    for (uint16_t fn : g.FaceIndex)
      if (fn >= nf)
        throw EGLFile3DS("Material group \"" + g.NameStr + "\" of mesh \"" + mesh.NameStr +
                         "\" lists face " + std::to_string(fn) + ", but the mesh has " +
                         std::to_string(nf) + " faces" + Where());

  auto moOwned = std::make_unique<TGLFile3DSMeshObject>();
  TGLFile3DSMeshObject& mo = *FOwner.MeshObjects().Add(std::move(moOwned));
  mo.SetName(mesh.NameStr);
  AddMorphTargets(mo);
  mo.SetMode(TGLMeshObjectMode::momFaceGroups);
  (void)meshIndex;

  const bool hasTex = mesh.NTextVerts > 0;
  const int cap = std::max(nv, std::min(cMax3DSVertices, nv + 3 * nf));
  TSplitter s;
  Reserve(mo.Vertices(), cap);
  Reserve(mo.Normals(), cap);
  s.P = mo.Vertices().List();
  s.N = mo.Normals().List();
  if (hasTex) {
    Reserve(mo.TexCoords(), cap);
    s.T = mo.TexCoords().List();
  }
  s.Used.reset(new uint8_t[size_t(cap)]);
  s.SlotMask.reset(new uint32_t[size_t(cap)]);
  s.Slots.reset(new int32_t[size_t(cap) * 32]);
  if (nv > 0) {
    std::memcpy(s.P, mesh.VertexArray.data(), size_t(nv) * sizeof(TVector3f));
    std::memset(static_cast<void*>(s.N), 0, size_t(nv) * sizeof(TVector3f));
    std::memset(s.Used.get(), 0, size_t(nv));
    std::memset(s.SlotMask.get(), 0, size_t(nv) * sizeof(uint32_t));
  }
  if (hasTex) {
    // Missing texture vertices are taken as (0, 0).
    const int nt = int(std::min(size_t(nv), mesh.TextArray.size()));
    for (int j = 0; j < nt; ++j)
      s.T[j] = {mesh.TextArray[size_t(j)].U, mesh.TextArray[size_t(j)].V, 0};
    for (int j = nt; j < nv; ++j) s.T[j] = {0, 0, 0};
  }
  s.Counter = nv;

  const bool smoothing = !mesh.SmoothArray.empty();
  const uint32_t* smooth = mesh.SmoothArray.data();
  const size_t nSmooth = mesh.SmoothArray.size();
  TFace3DS* faces = mesh.FaceArray.data();
  for (int f = 0; f < nf; ++f) {
    TFace3DS& face = faces[f];
    const TVector3f p1 = s.P[face.V1], p2 = s.P[face.V2], p3 = s.P[face.V3];
    const TVector3f a{p1.X - p2.X, p1.Y - p2.Y, p1.Z - p2.Z};
    const TVector3f b{p3.X - p2.X, p3.Y - p2.Y, p3.Z - p2.Z};
    const TVector3f& l = FInvertNormals ? a : b;
    const TVector3f& r = FInvertNormals ? b : a;
    const TVector3f n{l.Y * r.Z - l.Z * r.Y, l.Z * r.X - l.X * r.Z, l.X * r.Y - l.Y * r.X};
    uint16_t corners[3] = {face.V1, face.V2, face.V3};
    if (!smoothing) {
      for (uint16_t& corner : corners) {
        const int v = corner;
        if (s.Used[size_t(v)] && s.Counter < cMax3DSVertices) {
          // No face refers to the copy by its original index, so it needs no flags.
          const int d = s.Counter++;
          s.P[d] = s.P[v];
          s.N[d] = n;
          if (s.T) s.T[d] = s.T[v];
          corner = uint16_t(d);
        } else {
          s.N[v] = n;
          s.Used[size_t(v)] = 1;
        }
      }
    } else {
      const uint32_t g = size_t(f) < nSmooth ? smooth[f] : 0;
      const int bit = g ? std::countr_zero(g) : 0;
      for (uint16_t& corner : corners) {
        const int v = corner;
        if (!s.Used[size_t(v)]) {
          s.N[v] = n;
          s.SlotMask[size_t(v)] = 0;
          if (g != 0) s.SetSlot(v, bit, v);
          s.Used[size_t(v)] = 1;
        } else if (g != 0) {
          if (s.SlotMask[size_t(v)] & (1u << bit)) {
            const int t = s.Slots[size_t(v) * 32 + size_t(bit)];
            TVector3f& sum = s.N[t];
            sum = {sum.X + n.X, sum.Y + n.Y, sum.Z + n.Z};
            corner = uint16_t(t);
          } else if (s.Counter < cMax3DSVertices) {
            const int d = s.Split(v, n);
            corner = uint16_t(d);
            s.SetSlot(v, bit, d);
            s.SetSlot(d, bit, d);
          }
        } else if (s.Counter < cMax3DSVertices) {
          corner = uint16_t(s.Split(v, n));
        }
      }
    }
    face.V1 = corners[0];
    face.V2 = corners[1];
    face.V3 = corners[2];
  }
  if (s.Counter > cap) throw EAssertionFailed();
  const int count = s.Counter;
  Finish(mo.Vertices(), count);
  // Zero normals stay zero (single precision: the one pass over the normals is a fair share
  // of the import).
  for (int i = 0; i < count; ++i) {
    TVector3f& v = s.N[i];
    const float n2 = v.X * v.X + v.Y * v.Y + v.Z * v.Z;
    if (n2 > 0) {
      const float f = 1.0f / std::sqrt(n2);
      v = {v.X * f, v.Y * f, v.Z * f};
    }
  }
  Finish(mo.Normals(), count);
  if (hasTex) Finish(mo.TexCoords(), count);

  bool lightmaps = false;
  if (!mesh.MatArray.empty()) {
    for (const TObjMat3DS& g : mesh.MatArray) {
      TFGVertexIndexList* fg = TFGVertexIndexList::CreateOwned(mo.FaceGroups());
      fg->SetMode(TGLFaceGroupMeshMode::fgmmTriangles);
      fg->SetMaterialName(LibMaterialName(g.NameStr));
      fg->SetLightMapIndex(LightmapIndex(g.NameStr, lightmaps));
      TGLIntegerList& list = fg->VertexIndices();
      Reserve(list, int(g.FaceIndex.size()) * 3);
      int32_t* out = list.List();
      for (uint16_t fn : g.FaceIndex) {
        const TFace3DS& face = faces[fn];
        *out++ = face.V1;
        *out++ = face.V2;
        *out++ = face.V3;
      }
      Finish(list, int(g.FaceIndex.size()) * 3);
    }
  } else {
    TFGVertexIndexList* fg = TFGVertexIndexList::CreateOwned(mo.FaceGroups());
    if (TGLMaterialLibrary* lib = FOwner.MaterialLibrary())
      fg->SetMaterialName(lib->AddMaterial(lib->MakeUniqueName("LibMaterial", nullptr)).Name());
    TGLIntegerList& list = fg->VertexIndices();
    Reserve(list, nf * 3);
    int32_t* out = list.List();
    for (int f = 0; f < nf; ++f) {
      *out++ = faces[f].V1;
      *out++ = faces[f].V2;
      *out++ = faces[f].V3;
    }
    Finish(list, nf * 3);
  }
  if (lightmaps) mo.LightMapTexCoords().Assign(mo.TexCoords());
}

void TImport::Run() {
  FInvertNormals = FFile.NormalsOrientation() != TGLMeshNormalsOrientation::mnoDefault;
  TObjectList& objects = FReader.Objects();
  TKeyFramer& kf = FReader.KeyFramer();
  const TKFSets3DS& sets = kf.Settings();
  const int64_t targets = int64_t(sets.Seg.SegEnd) - int64_t(sets.Seg.SegBegin) + 1;
  // A count from the file: more than a few thousand empty targets is not a model.
  FMorphTargets = int(std::clamp<int64_t>(targets, 0, 1024));

  const int meshCount = objects.MeshCount();
  for (int i = 0; i < meshCount; ++i) ImportMesh(*objects.Mesh(i), i);

  TGLMeshObjectList& list = FOwner.MeshObjects();
  const int motions = kf.MeshMotionCount();
  std::unordered_map<std::string, bool> meshNames;
  for (int i = 0; i < list.Count(); ++i) meshNames.emplace(list[i]->Name(), true);
  for (int i = 0; i < motions; ++i) {
    TKFMesh3DS* m = kf.MeshMotion(i);
    if (meshNames.count(m->NameStr)) continue;
    auto mo = std::make_unique<TGLFile3DSMeshObject>();
    mo->SetName(m->NameStr);
    TGLFile3DSMeshObject* p = list.Add(std::move(mo));
    AddMorphTargets(*p);
    p->LoadAnimation(m);
    meshNames.emplace(m->NameStr, true);
  }

  std::unordered_map<std::string, int> firstMesh, firstMotion;
  for (int i = 0; i < meshCount; ++i) firstMesh.emplace(Upper(objects.Mesh(i)->NameStr), i);
  for (int i = 0; i < motions; ++i) firstMotion.emplace(Upper(kf.MeshMotion(i)->NameStr), i);
  for (int i = 0; i < meshCount; ++i) {
    const std::string& name = objects.Mesh(i)->NameStr;
    auto* mo = dynamic_cast<TGLFile3DSMeshObject*>(list.FindMeshByName(name));
    if (!mo) continue;
    const std::string key = Upper(name);
    const auto mi = firstMesh.find(key);
    mo->RefTransf().ModelMatrix = ReferenceMatrix(objects.Mesh(mi->second));
    const auto ki = firstMotion.find(key);
    if (ki != firstMotion.end()) mo->LoadAnimation(kf.MeshMotion(ki->second));
  }

  for (int i = 0; i < objects.OmniLightCount(); ++i) {
    auto* lo = list.Add(std::make_unique<TGLFile3DSOmniLightObject>());
    AddMorphTargets(*lo);
    lo->LoadData(FOwner, *objects.OmniLight(i));
    if (i < kf.OmniLightMotionCount()) lo->LoadAnimation(kf.OmniLightMotion(i));
  }
  for (int i = 0; i < objects.SpotLightCount(); ++i) {
    auto* lo = list.Add(std::make_unique<TGLFile3DSSpotLightObject>());
    AddMorphTargets(*lo);
    lo->LoadData(FOwner, *objects.SpotLight(i));
    if (i < kf.SpotLightMotionCount()) lo->LoadAnimation(kf.SpotLightMotion(i));
  }
  for (int i = 0; i < objects.CameraCount(); ++i) {
    auto* co = list.Add(std::make_unique<TGLFile3DSCameraObject>());
    AddMorphTargets(*co);
    co->LoadData(FOwner, *objects.Camera(i));
    if (i < kf.CameraMotionCount()) co->LoadAnimation(kf.CameraMotion(i));
  }
}

}  // namespace

void TGL3DSVectorFile::LoadFromStream(std::istream& stream) {
  std::vector<char> bytes;
  stream.clear();
  stream.seekg(0, std::ios::end);
  const std::streamoff end = stream.tellg();
  if (end >= 0) {
    stream.seekg(0, std::ios::beg);
    bytes.resize(size_t(end));
    stream.read(bytes.data(), std::streamsize(end));
    bytes.resize(size_t(stream.gcount()));
  } else {
    stream.clear();
    char block[65536];
    while (stream.read(block, sizeof block) || stream.gcount() > 0)
      bytes.insert(bytes.end(), block, block + stream.gcount());
  }
  LoadFromMemory(bytes.data(), bytes.size());
}

void TGL3DSVectorFile::LoadFromMemory(const void* data, size_t size) {
  TFile3DS reader;
  reader.LoadFromMemory(data, size, ResourceName());
  TImport(*this, *Owner(), reader).Run();
}

void Register3DSVectorFileFormats(TGLVectorFileFormatsList& list) {
  TGLVectorFileClass cls{"TGL3DSVectorFile",
                         [](TGLBaseMesh* owner) -> std::unique_ptr<TGLVectorFile> {
                           return std::make_unique<TGL3DSVectorFile>(owner);
                         },
                         {"TGLVectorFile", "TGLDataFile"}};
  list.Add("3ds", "3D Studio files", cls);
  list.Add("prj", "3D Studio project files", cls);
}

}  // namespace ukh
