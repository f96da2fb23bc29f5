// The level loader: document entries become engine objects, checked property by property, in
// staging holders that are handed to the game window only when the whole level is built.
#include "game/LevelLoader.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "engine/gl/GLPersistentImage.h"
#include "engine/gl/GLPictureStream.h"
#include "engine/gl/GLTexture.h"
#include "engine/scene/GLBehaviours.h"
#include "engine/scene/GLCamera.h"
#include "engine/scene/GLCube.h"
#include "engine/scene/GLCylinder.h"
#include "engine/scene/GLDummyCube.h"
#include "engine/scene/GLLightSource.h"
#include "engine/sim/GLBCollision.h"
#include "game/EmbeddedFiles.h"
#include "game/LevelModels.h"

namespace ukh::game {

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

template <class E>
using TNames = std::initializer_list<std::pair<const char*, E>>;

// The components of the game window other than the scene, in the order the window holds them.
struct TComponentSlot {
  const char* Name;
  const char* Class;
};
constexpr TComponentSlot cComponents[] = {{"GLCadencer1", "TGLCadencer"},
                                          {"CollisionManager1", "TGLCollisionManager"},
                                          {"GLNavigator1", "TGLNavigator"},
                                          {"CollisionManager2", "TGLCollisionManager"},
                                          {"CollisionManager3", "TGLCollisionManager"}};

// What loading builds before the window takes it; destroyed in the window's own order (links
// into the scene go first) when loading fails.
struct TStaging {
  std::unique_ptr<TGLWorld> World;
  std::unique_ptr<TGLCadencer> Cadencer;
  std::unique_ptr<TGLCollisionManager> Manager[3];
  std::unique_ptr<TGLNavigator> Navigator;
  ~TStaging() {
    Cadencer.reset();
    Manager[2].reset();
    Manager[1].reset();
    Navigator.reset();
    Manager[0].reset();
    World.reset();
  }
};

class TBuilder {
 public:
  TBuilder(const TLevelDocument& doc, const TLevelFileSource& files, TForm1& form,
           platform::IPlatform* platform)
      : FDoc(doc), FFiles(files), FForm(form), FPlatform(platform) {}

  TLevelViewerSettings Build(TStaging& s);
  // The document's event wiring, once the window holds the components.
  void Wire() const {
    for (const auto& w : FWiring) w();
  }

 private:
  [[noreturn]] void Fail(const std::string& object, const std::string& property,
                         const std::string& problem) const {
    throw ELevelError(FDoc.DocumentName, object, property, problem);
  }

  // ---- plain values ----
  float Real(const std::string& o, const TLevelProperty& p) const {
    if (auto* i = std::get_if<int64_t>(&p.Value)) return float(*i);
    if (auto* d = std::get_if<double>(&p.Value)) return float(*d);
    Fail(o, p.Name, "expects a number");
  }
  int32_t Int(const std::string& o, const TLevelProperty& p, int64_t lo = INT32_MIN,
              int64_t hi = INT32_MAX) const {
    auto* i = std::get_if<int64_t>(&p.Value);
    if (!i) Fail(o, p.Name, "expects a whole number");
    if (*i < lo || *i > hi)
      Fail(o, p.Name,
           std::to_string(*i) + " is out of range " + std::to_string(lo) + " to " +
               std::to_string(hi));
    return int32_t(*i);
  }
  bool Bool(const std::string& o, const TLevelProperty& p) const {
    auto* b = std::get_if<bool>(&p.Value);
    if (!b) Fail(o, p.Name, "expects true or false");
    return *b;
  }
  const std::string& Text(const std::string& o, const TLevelProperty& p) const {
    auto* t = std::get_if<std::string>(&p.Value);
    if (!t) Fail(o, p.Name, "expects a text");
    return *t;
  }
  template <class E>
  E Enum(const std::string& o, const TLevelProperty& p, TNames<E> names) const {
    const std::string& t = Text(o, p);
    for (const auto& [name, value] : names)
      if (t == name) return value;
    Fail(o, p.Name, "unknown value \"" + t + "\"");
  }
  std::span<const uint8_t> Bytes(const std::string& o, const TLevelData& d, size_t size = 0) const {
    auto* b = std::get_if<std::vector<uint8_t>>(&d.Value);
    if (!b) Fail(o, d.Name, "expects hex bytes");
    if (size != 0 && b->size() != size)
      Fail(o, d.Name,
           "holds " + std::to_string(b->size()) + " bytes instead of " + std::to_string(size));
    return *b;
  }
  void Coordinates(const std::string& o, const TLevelData& d, TGLCustomCoordinates& c) const {
    c.ReadCoordinatesBytes(Bytes(o, d, 16).data());
  }
  void Color(const std::string& o, const TLevelData& d, TGLColor& c) const {
    c.LoadStoredForm(Bytes(o, d, TGLColor::cStoredSize));
  }

  // ---- names and references ----
  void Claim(const std::string& name, const std::string& what) {
    if (!FNames.insert(Lower(name)).second)
      Fail(name, "name", "a second " + what + " of that name (names are unique, in any case)");
  }
  struct TReference {
    std::string Object, Property, Target;
    std::function<void(TComponent*)> Set;
    std::function<bool(TComponent*)> Accepts;
    const char* Kind;
  };
  void Refer(const std::string& o, const TLevelProperty& p, const char* kind,
             std::function<bool(TComponent*)> accepts, std::function<void(TComponent*)> set) {
    FReferences.push_back({o, p.Name, Text(o, p), std::move(set), std::move(accepts), kind});
  }

  // ---- scene objects ----
  std::unique_ptr<TGLBaseSceneObject> NewObject(const TLevelEntry& e) {
    const std::string& c = e.Class;
    if (c == "TGLDummyCube") return std::make_unique<TGLDummyCube>(&FForm);
    if (c == "TGLCube") return std::make_unique<TGLCube>(&FForm);
    if (c == "TGLCylinder") return std::make_unique<TGLCylinder>(&FForm);
    if (c == "TGLLightSource") return std::make_unique<TGLLightSource>(&FForm);
    if (c == "TGLCamera") return std::make_unique<TGLCamera>(&FForm);
    if (c == "TGLFreeForm") return NewModel(&FForm);
    Fail(e.Name, "class", "unknown scene object class \"" + c + "\"");
  }
  void BuildObject(const TLevelEntry& e, TGLBaseSceneObject& parent);
  bool ObjectProperty(TGLBaseSceneObject& obj, const TLevelProperty& p);
  bool MaterialProperty(TGLCustomSceneObject& obj, const TLevelProperty& p);
  bool ObjectData(TGLBaseSceneObject& obj, const TLevelData& d);
  void PictureData(TGLCustomSceneObject& obj, const TLevelData& d);
  void BehavioursData(TGLBaseSceneObject& obj, const TLevelData& d);

  // ---- the other components ----
  void BuildComponents(TStaging& s);
  void WireEvent(const std::string& o, const TLevelProperty& p, const char* kind);
  void Viewer();

  const TLevelDocument& FDoc;
  const TLevelFileSource& FFiles;
  TForm1& FForm;
  platform::IPlatform* FPlatform;
  std::set<std::string> FNames;                    // lower case
  std::map<std::string, TComponent*> FComponents;  // lower-case name -> component
  std::vector<TGLBaseSceneObject*> FObjects;       // creation order
  std::vector<TComponent*> FOthers;                // cadencer, managers, navigator in order
  std::vector<TReference> FReferences;
  std::set<std::string> FManagerNames;
  // Each collision behaviour and the manager its archive names.
  std::vector<std::pair<TGLBCollision*, std::string>> FCollisions;
  std::vector<std::function<void()>> FWiring;
  TLevelViewerSettings FViewer;  // its camera is set with the references
};

bool TBuilder::ObjectProperty(TGLBaseSceneObject& obj, const TLevelProperty& p) {
  const std::string& o = obj.Name();
  const std::string& n = p.Name;
  if (n == "Tag")
    obj.SetTag(Int(o, p));
  else if (n == "TagFloat")
    obj.SetTagFloat(Real(o, p));
  else if (n == "Visible")
    obj.SetVisible(Bool(o, p));
  else if (n == "Pickable")
    obj.SetPickable(Bool(o, p));
  else if (n == "ShowAxes")
    obj.SetShowAxes(Bool(o, p));
  else if (n == "TurnAngle")
    obj.SetTurnAngle(Real(o, p));
  else if (n == "PitchAngle")
    obj.SetPitchAngle(Real(o, p));
  else if (n == "RollAngle")
    obj.SetRollAngle(Real(o, p));
  else if (n == "ObjectsSorting")
    obj.SetObjectsSorting(Enum<TGLObjectsSorting>(
        o, p,
        {{"osInherited", TGLObjectsSorting::osInherited},
         {"osNone", TGLObjectsSorting::osNone},
         {"osRenderFarthestFirst", TGLObjectsSorting::osRenderFarthestFirst},
         {"osRenderBlendedLast", TGLObjectsSorting::osRenderBlendedLast},
         {"osRenderNearestFirst", TGLObjectsSorting::osRenderNearestFirst}}));
  else if (n == "VisibilityCulling")
    obj.SetVisibilityCulling(
        Enum<TGLVisibilityCulling>(o, p,
                                   {{"vcInherited", TGLVisibilityCulling::vcInherited},
                                    {"vcNone", TGLVisibilityCulling::vcNone},
                                    {"vcObjectBased", TGLVisibilityCulling::vcObjectBased},
                                    {"vcHierarchical", TGLVisibilityCulling::vcHierarchical}}));
  else if (auto* dummy = dynamic_cast<TGLDummyCube*>(&obj)) {
    if (n == "CubeSize")
      dummy->SetCubeSize(Real(o, p));
    else if (n == "VisibleAtRunTime")
      dummy->SetVisibleAtRunTime(Bool(o, p));
    else if (n == "Amalgamate")
      dummy->SetAmalgamate(Bool(o, p));
    else if (n == "CamInvarianceMode")
      dummy->SetCamInvarianceMode(Enum<TGLCameraInvarianceMode>(
          o, p,
          {{"cimNone", TGLCameraInvarianceMode::cimNone},
           {"cimPosition", TGLCameraInvarianceMode::cimPosition},
           {"cimOrientation", TGLCameraInvarianceMode::cimOrientation}}));
    else
      return false;
  } else if (auto* light = dynamic_cast<TGLLightSource*>(&obj)) {
    if (n == "ConstAttenuation")
      light->SetConstAttenuation(Real(o, p));
    else if (n == "LinearAttenuation")
      light->SetLinearAttenuation(Real(o, p));
    else if (n == "QuadraticAttenuation")
      light->SetQuadraticAttenuation(Real(o, p));
    else if (n == "SpotCutOff")
      light->SetSpotCutOff(Real(o, p));
    else if (n == "SpotExponent")
      light->SetSpotExponent(Real(o, p));
    else if (n == "Shining")
      light->SetShining(Bool(o, p));
    else if (n == "LightStyle")
      light->SetLightStyle(
          Enum<TGLLightStyle>(o, p,
                              {{"lsSpot", TGLLightStyle::lsSpot},
                               {"lsOmni", TGLLightStyle::lsOmni},
                               {"lsParallel", TGLLightStyle::lsParallel},
                               {"lsParallelSpot", TGLLightStyle::lsParallelSpot}}));
    else
      return false;
  } else if (auto* camera = dynamic_cast<TGLCamera*>(&obj)) {
    if (n == "DepthOfView")
      camera->SetDepthOfView(Real(o, p));
    else if (n == "FocalLength")
      camera->SetFocalLength(Real(o, p));
    else if (n == "SceneScale")
      camera->SetSceneScale(Real(o, p));
    else if (n == "NearPlaneBias")
      camera->SetNearPlaneBias(Real(o, p));
    else if (n == "TargetObject")
      Refer(
          o, p, "scene object",
          [](TComponent* c) { return dynamic_cast<TGLBaseSceneObject*>(c) != nullptr; },
          [camera](TComponent* c) {
            camera->SetTargetObject(static_cast<TGLBaseSceneObject*>(c));
          });
    else
      return false;
  } else if (auto* custom = dynamic_cast<TGLCustomSceneObject*>(&obj)) {
    if (MaterialProperty(*custom, p)) return true;
    if (auto* cube = dynamic_cast<TGLCube*>(&obj)) {
      if (n == "NormalDirection")
        cube->SetNormalDirection(
            Enum<TGLNormalDirection>(o, p,
                                     {{"ndInside", TGLNormalDirection::ndInside},
                                      {"ndOutside", TGLNormalDirection::ndOutside}}));
      else
        return false;
    } else if (auto* cyl = dynamic_cast<TGLCylinder*>(&obj)) {
      if (n == "BottomRadius")
        cyl->SetBottomRadius(Real(o, p));
      else if (n == "TopRadius")
        cyl->SetTopRadius(Real(o, p));
      else if (n == "Height")
        cyl->SetHeight(Real(o, p));
      else if (n == "Slices")
        cyl->SetSlices(Int(o, p, 1));
      else if (n == "Stacks")
        cyl->SetStacks(Int(o, p, 1));
      else if (n == "Loops")
        cyl->SetLoops(Int(o, p, 1));
      else if (n == "Alignment")
        cyl->SetAlignment(
            Enum<TGLCylinderAlignment>(o, p,
                                       {{"caCenter", TGLCylinderAlignment::caCenter},
                                        {"caTop", TGLCylinderAlignment::caTop},
                                        {"caBottom", TGLCylinderAlignment::caBottom}}));
      else if (n == "Normals")
        cyl->SetNormals(Enum<TGLNormalSmoothing>(o, p,
                                                 {{"nsFlat", TGLNormalSmoothing::nsFlat},
                                                  {"nsSmooth", TGLNormalSmoothing::nsSmooth},
                                                  {"nsNone", TGLNormalSmoothing::nsNone}}));
      else if (n == "NormalDirection")
        cyl->SetNormalDirection(
            Enum<TGLNormalDirection>(o, p,
                                     {{"ndInside", TGLNormalDirection::ndInside},
                                      {"ndOutside", TGLNormalDirection::ndOutside}}));
      else
        return false;
    } else {
      return false;
    }
  } else {
    return false;
  }
  return true;
}

bool TBuilder::MaterialProperty(TGLCustomSceneObject& obj, const TLevelProperty& p) {
  const std::string& o = obj.Name();
  const std::string& n = p.Name;
  TGLMaterial& m = obj.Material();
  if (n == "Hint")
    obj.SetHint(Text(o, p));
  else if (n == "Material.FrontProperties.Shininess")
    m.FrontProperties().SetShininess(TGLShininess(Int(o, p, 0, cMaxShininess)));
  else if (n == "Material.BackProperties.Shininess")
    m.BackProperties().SetShininess(TGLShininess(Int(o, p, 0, cMaxShininess)));
  else if (n == "Material.BlendingMode")
    m.SetBlendingMode(Enum<TGLBlendingMode>(o, p,
                                            {{"bmOpaque", bmOpaque},
                                             {"bmTransparency", bmTransparency},
                                             {"bmAdditive", bmAdditive},
                                             {"bmAlphaTest50", bmAlphaTest50},
                                             {"bmAlphaTest100", bmAlphaTest100},
                                             {"bmModulate", bmModulate},
                                             {"bmCustom", bmCustom}}));
  else if (n == "Material.Texture.Disabled")
    m.Texture().SetDisabled(Bool(o, p));
  else if (n == "Material.Texture.ImageAlpha")
    m.Texture().SetImageAlpha(Enum<TGLTextureImageAlpha>(
        o, p,
        {{"tiaDefault", tiaDefault},
         {"tiaAlphaFromIntensity", tiaAlphaFromIntensity},
         {"tiaSuperBlackTransparent", tiaSuperBlackTransparent},
         {"tiaLuminance", tiaLuminance},
         {"tiaLuminanceSqrt", tiaLuminanceSqrt},
         {"tiaOpaque", tiaOpaque},
         {"tiaTopLeftPointColorTransparent", tiaTopLeftPointColorTransparent},
         {"tiaInverseLuminance", tiaInverseLuminance},
         {"tiaInverseLuminanceSqrt", tiaInverseLuminanceSqrt},
         {"tiaBottomRightPointColorTransparent", tiaBottomRightPointColorTransparent}}));
  else if (n == "Material.Texture.MappingMode")
    m.Texture().SetMappingMode(
        Enum<TGLTextureMappingMode>(o, p,
                                    {{"tmmUser", tmmUser},
                                     {"tmmObjectLinear", tmmObjectLinear},
                                     {"tmmEyeLinear", tmmEyeLinear},
                                     {"tmmSphere", tmmSphere},
                                     {"tmmCubeMapReflection", tmmCubeMapReflection},
                                     {"tmmCubeMapNormal", tmmCubeMapNormal},
                                     {"tmmCubeMapLight0", tmmCubeMapLight0},
                                     {"tmmCubeMapCamera", tmmCubeMapCamera}}));
  else if (n == "Material.Texture.TextureMode")
    m.Texture().SetTextureMode(Enum<TGLTextureMode>(o, p,
                                                    {{"tmDecal", tmDecal},
                                                     {"tmModulate", tmModulate},
                                                     {"tmBlend", tmBlend},
                                                     {"tmReplace", tmReplace},
                                                     {"tmAdd", tmAdd}}));
  else
    return false;
  return true;
}

bool TBuilder::ObjectData(TGLBaseSceneObject& obj, const TLevelData& d) {
  const std::string& o = obj.Name();
  const std::string& n = d.Name;
  if (n == "Position.Coordinates")
    Coordinates(o, d, obj.Position());
  else if (n == "Direction.Coordinates")
    Coordinates(o, d, obj.Direction());
  else if (n == "Up.Coordinates")
    Coordinates(o, d, obj.Up());
  else if (n == "Scale.Coordinates")
    Coordinates(o, d, obj.Scale());
  else if (n == "BehavioursData")
    BehavioursData(obj, d);
  else if (auto* dummy = dynamic_cast<TGLDummyCube*>(&obj)) {
    if (n == "EdgeColor.Color")
      Color(o, d, dummy->EdgeColor());
    else
      return false;
  } else if (auto* light = dynamic_cast<TGLLightSource*>(&obj)) {
    if (n == "Ambient.Color")
      Color(o, d, light->Ambient());
    else if (n == "Diffuse.Color")
      Color(o, d, light->Diffuse());
    else if (n == "Specular.Color")
      Color(o, d, light->Specular());
    else if (n == "SpotDirection.Coordinates")
      Coordinates(o, d, light->SpotDirection());
    else
      return false;
  } else if (dynamic_cast<TGLCamera*>(&obj)) {
    return false;
  } else if (auto* custom = dynamic_cast<TGLCustomSceneObject*>(&obj)) {
    static const std::pair<const char*, TGLFaceProperties& (TGLMaterial::*)()> sides[] = {
        {"Material.FrontProperties.", &TGLMaterial::FrontProperties},
        {"Material.BackProperties.", &TGLMaterial::BackProperties}};
    static const std::pair<const char*, TGLColor& (TGLFaceProperties::*)()> colours[] = {
        {"Ambient.Color", &TGLFaceProperties::Ambient},
        {"Diffuse.Color", &TGLFaceProperties::Diffuse},
        {"Emission.Color", &TGLFaceProperties::Emission},
        {"Specular.Color", &TGLFaceProperties::Specular}};
    for (const auto& [side, face] : sides)
      for (const auto& [colour, get] : colours)
        if (n == std::string(side) + colour) {
          Color(o, d, ((custom->Material().*face)().*get)());
          return true;
        }
    if (n == "Material.Texture.Image.Picture.Data")
      PictureData(*custom, d);
    else if (auto* cube = dynamic_cast<TGLCube*>(&obj); cube && n == TGLCube::cCubeSizePropertyName)
      cube->LoadCubeSizeStoredForm(Bytes(o, d, TGLCube::cCubeSizeStoredSize));
    else
      return false;
  } else {
    return false;
  }
  return true;
}

void TBuilder::PictureData(TGLCustomSceneObject& obj, const TLevelData& d) {
  const std::string& o = obj.Name();
  auto* image = dynamic_cast<TGLPictureImage*>(&obj.Material().Texture().Image());
  if (!image) Fail(o, d.Name, "the texture holds no picture image");
  std::vector<uint8_t> stored;
  if (auto* file = std::get_if<TLevelPictureFile>(&d.Value)) {
    if (file->Graphic != cBitmapClassName)
      Fail(o, d.Name, "unknown graphic class \"" + file->Graphic + "\"");
    const auto bytes = FFiles ? FFiles(file->File) : std::nullopt;
    if (!bytes)
      Fail(o, d.Name, "names the picture file \"" + file->File + "\", which is not there");
    if (bytes->size() > UINT32_MAX) Fail(o, d.Name, "the picture file is too large");
    // The stored form: the class name behind its length, the byte count, the BMP file.
    const std::string cls = cBitmapClassName;
    stored.reserve(1 + cls.size() + 4 + bytes->size());
    stored.push_back(uint8_t(cls.size()));
    stored.insert(stored.end(), cls.begin(), cls.end());
    const uint32_t n = uint32_t(bytes->size());
    for (int i = 0; i < 4; ++i) stored.push_back(uint8_t(n >> (8 * i)));
    stored.insert(stored.end(), bytes->begin(), bytes->end());
  } else {
    const auto bytes = Bytes(o, d);
    stored.assign(bytes.begin(), bytes.end());
  }
  image->Picture().ReadData(stored.data(), stored.size(), o + "." + d.Name);
}

void TBuilder::BehavioursData(TGLBaseSceneObject& obj, const TLevelData& d) {
  const auto bytes = Bytes(obj.Name(), d);
  ReadBehavioursData(obj, bytes.data(), bytes.size());
  TGLBehaviours& list = obj.Behaviours();
  for (int i = 0; i < list.Count(); ++i) {
    auto* collision = dynamic_cast<TGLBCollision*>(list.Get(i));
    if (!collision) continue;
    const std::string& manager = collision->ManagerName();
    if (!manager.empty() && !FManagerNames.count(manager))
      Fail(obj.Name(), d.Name,
           "names the collision manager \"" + manager + "\", which the level does not have");
    FCollisions.emplace_back(collision, manager);
  }
}

void TBuilder::BuildObject(const TLevelEntry& e, TGLBaseSceneObject& parent) {
  Claim(e.Name, "component");
  std::unique_ptr<TGLBaseSceneObject> obj = NewObject(e);
  obj->SetLoading(true);
  obj->SetName(e.Name);
  TGLBaseSceneObject* raw = obj.get();
  // The engine's own message for a stored form it refuses (archives, pictures) is kept, with
  // the object and the property it came from.
  auto guarded = [&](const std::string& property, auto&& apply) {
    try {
      if (!apply()) Fail(e.Name, property, "unknown property of " + e.Class);
    } catch (const ELevelError&) {
      throw;
    } catch (const std::exception& ex) {
      Fail(e.Name, property, ex.what());
    }
  };
  for (const TLevelProperty& p : e.Properties)
    guarded(p.Name, [&] { return ObjectProperty(*raw, p); });
  for (const TLevelData& d : e.Data) guarded(d.Name, [&] { return ObjectData(*raw, d); });
  parent.AddChild(std::move(obj));
  FObjects.push_back(raw);
  FComponents[Lower(e.Name)] = raw;
  for (const TLevelEntry& child : e.Children) BuildObject(child, *raw);
}

void TBuilder::WireEvent(const std::string& o, const TLevelProperty& p, const char* kind) {
  const std::string& handler = Text(o, p);
  TForm1* form = &FForm;
  if (std::string(kind) == "OnProgress") {
    if (handler != "GLCadencer1Progress")
      Fail(o, p.Name, "the game window has no progress handler \"" + handler + "\"");
    FWiring.push_back([form] {
      form->GLCadencer1->OnProgress = [form](TPersistent* s, double dt, double t) {
        form->GLCadencer1Progress(s, dt, t);
      };
    });
    return;
  }
  using THandler = void (TForm1::*)(TPersistent*, TGLBaseSceneObject*, TGLBaseSceneObject*);
  static const std::pair<const char*, THandler> handlers[] = {
      {"CollisionManager1Collision", &TForm1::CollisionManager1Collision},
      {"CollisionManager2Collision", &TForm1::CollisionManager2Collision},
      {"CollisionManager3Collision", &TForm1::CollisionManager3Collision}};
  for (const auto& [name, method] : handlers) {
    if (handler != name) continue;
    const std::string component = o;
    FWiring.push_back([form, component, method] {
      TGLCollisionManager* m = component == "CollisionManager1"   ? form->CollisionManager1.get()
                               : component == "CollisionManager2" ? form->CollisionManager2.get()
                                                                  : form->CollisionManager3.get();
      m->OnCollision = [form, method](TPersistent* s, TGLBaseSceneObject* a,
                                      TGLBaseSceneObject* b) { (form->*method)(s, a, b); };
    });
    return;
  }
  Fail(o, p.Name, "the game window has no collision handler \"" + handler + "\"");
}

void TBuilder::BuildComponents(TStaging& s) {
  size_t next = 0;
  for (const TLevelEntry& e : FDoc.Components) {
    Claim(e.Name, "component");
    const TComponentSlot* slot = nullptr;
    for (const TComponentSlot& c : cComponents)
      if (e.Name == c.Name) slot = &c;
    if (!slot) Fail(e.Name, "name", "the game window has no component of that name");
    if (e.Class != slot->Class)
      Fail(e.Name, "class", "is a " + std::string(slot->Class) + ", not a " + e.Class);
    if (slot != &cComponents[next])
      Fail(e.Name, "",
           "out of order: the game window creates " + std::string(cComponents[next].Name) +
               " first");
    ++next;
    TComponent* made = nullptr;
    if (e.Class == "TGLCadencer") {
      s.Cadencer = std::make_unique<TGLCadencer>(&FForm, FPlatform);
      made = s.Cadencer.get();
    } else if (e.Class == "TGLNavigator") {
      s.Navigator = std::make_unique<TGLNavigator>(&FForm);
      made = s.Navigator.get();
    } else {
      const int index = e.Name.back() - '1';
      s.Manager[index] = std::make_unique<TGLCollisionManager>(&FForm);
      made = s.Manager[index].get();
    }
    made->SetLoading(true);
    made->SetName(e.Name);
    FComponents[Lower(e.Name)] = made;
    FOthers.push_back(made);

    for (const TLevelProperty& p : e.Properties) {
      const std::string& n = p.Name;
      if (auto* cad = dynamic_cast<TGLCadencer*>(made)) {
        if (n == "Scene") {
          if (Lower(Text(e.Name, p)) != Lower(FDoc.Scene.Name))
            Fail(e.Name, n, "names \"" + Text(e.Name, p) + "\", which is not the level's scene");
          FReferences.push_back(
              {e.Name, n, FDoc.Scene.Name,
               [cad](TComponent* c) { cad->SetScene(static_cast<TGLWorld*>(c)); },
               [](TComponent* c) { return dynamic_cast<TGLWorld*>(c) != nullptr; }, "scene"});
        } else if (n == "OnProgress")
          WireEvent(e.Name, p, "OnProgress");
        else if (n == "Enabled")
          cad->SetEnabled(Bool(e.Name, p));
        else if (n == "Mode")
          cad->SetMode(
              Enum<TGLCadencerMode>(e.Name, p,
                                    {{"cmManual", TGLCadencerMode::cmManual},
                                     {"cmASAP", TGLCadencerMode::cmASAP},
                                     {"cmApplicationIdle", TGLCadencerMode::cmApplicationIdle}}));
        else if (n == "MaxDeltaTime")
          cad->SetMaxDeltaTime(Real(e.Name, p));
        else if (n == "MinDeltaTime")
          cad->SetMinDeltaTime(Real(e.Name, p));
        else if (n == "FixedDeltaTime")
          cad->SetFixedDeltaTime(Real(e.Name, p));
        else if (n == "SleepLength")
          cad->SetSleepLength(Int(e.Name, p, -1));
        else
          Fail(e.Name, n, "unknown property of TGLCadencer");
      } else if (auto* nav = dynamic_cast<TGLNavigator*>(made)) {
        if (n == "MovingObject")
          Refer(
              e.Name, p, "scene object",
              [](TComponent* c) { return dynamic_cast<TGLBaseSceneObject*>(c) != nullptr; },
              [nav](TComponent* c) { nav->SetMovingObject(static_cast<TGLBaseSceneObject*>(c)); });
        else if (n == "UseVirtualUp")
          nav->SetUseVirtualUp(Bool(e.Name, p));
        else
          Fail(e.Name, n, "unknown property of TGLNavigator");
      } else {
        if (n == "OnCollision")
          WireEvent(e.Name, p, "OnCollision");
        else
          Fail(e.Name, n, "unknown property of TGLCollisionManager");
      }
    }
    for (const TLevelData& d : e.Data) {
      auto* nav = dynamic_cast<TGLNavigator*>(made);
      if (nav && d.Name == "VirtualUp.Coordinates") {
        const auto b = Bytes(e.Name, d, 16);
        TGLCoordinates3 up(nullptr, {0, 0, 0, 0}, TGLCoordinatesStyle::csVector);
        up.ReadCoordinatesBytes(b.data());
        nav->SetVirtualUp(up.AsVector());
      } else {
        Fail(e.Name, d.Name, "unknown property of " + e.Class);
      }
    }
  }
  if (next < std::size(cComponents))
    Fail(cComponents[next].Name, "", "missing: the game window needs this component");
}

void TBuilder::Viewer() {
  TLevelViewerSettings& v = FViewer;
  if (!FDoc.HasViewer) return;
  const TLevelEntry& e = FDoc.Viewer;
  Claim(e.Name, "component");
  if (e.Class != "TGLWorldViewer") Fail(e.Name, "class", "the viewer is a TGLWorldViewer");
  if (!e.Data.empty()) Fail(e.Name, e.Data.front().Name, "unknown property of TGLWorldViewer");
  for (const TLevelProperty& p : e.Properties) {
    if (p.Name == "Camera") {
      TLevelViewerSettings* out = &FViewer;
      Refer(
          e.Name, p, "camera", [](TComponent* c) { return dynamic_cast<TGLCamera*>(c) != nullptr; },
          [out](TComponent* c) { out->Camera = static_cast<TGLCamera*>(c); });
    } else if (p.Name == "FieldOfView") {
      v.FieldOfView = Real(e.Name, p);
    } else if (p.Name == "Buffer.BackgroundColor") {
      if (std::holds_alternative<int64_t>(p.Value)) {
        v.BackgroundColor = uint32_t(Int(e.Name, p, 0, INT32_MAX));
      } else {
        // The system colours the toolkit names, as 0xFF000000 + the colour index.
        static const std::pair<const char*, uint32_t> names[] = {
            {"clScrollBar", 0}, {"clBackground", 1}, {"clActiveCaption", 2},
            {"clWindow", 5},    {"clWindowText", 8}, {"clBtnFace", 15}};
        const std::string& t = Text(e.Name, p);
        bool found = false;
        for (const auto& [name, index] : names)
          if (t == name) {
            v.BackgroundColor = 0xFF000000u | index;
            found = true;
          }
        if (!found) Fail(e.Name, p.Name, "unknown colour \"" + t + "\"");
      }
    } else {
      Fail(e.Name, p.Name, "unknown property of TGLWorldViewer");
    }
  }
}

TLevelViewerSettings TBuilder::Build(TStaging& s) {
  if (FDoc.Scene.Class != "TGLWorld") Fail(FDoc.Scene.Name, "class", "the scene is a TGLWorld");
  if (!FDoc.Scene.Properties.empty())
    Fail(FDoc.Scene.Name, FDoc.Scene.Properties.front().Name, "unknown property of TGLWorld");
  if (!FDoc.Scene.Data.empty())
    Fail(FDoc.Scene.Name, FDoc.Scene.Data.front().Name, "unknown property of TGLWorld");
  for (const TLevelEntry& e : FDoc.Components)
    if (e.Class == "TGLCollisionManager") FManagerNames.insert(e.Name);
  RegisterCollisionBehaviours();

  // 1. The scene and its objects, each with its stored values.
  Claim(FDoc.Scene.Name, "component");
  s.World = std::make_unique<TGLWorld>(&FForm);
  s.World->SetLoading(true);
  s.World->SetName(FDoc.Scene.Name);
  FComponents[Lower(FDoc.Scene.Name)] = s.World.get();
  for (const TLevelEntry& e : FDoc.Scene.Children) BuildObject(e, s.World->Objects());

  // 2. The cadencer, the managers and the navigator.
  BuildComponents(s);
  Viewer();

  // 3. References, now that every component exists.
  for (const TReference& r : FReferences) {
    auto it = FComponents.find(Lower(r.Target));
    if (it == FComponents.end())
      Fail(r.Object, r.Property, "names \"" + r.Target + "\", which the level does not have");
    if (!r.Accepts(it->second))
      Fail(r.Object, r.Property, "\"" + r.Target + "\" is not a " + r.Kind);
    r.Set(it->second);
  }

  // 4. End of loading: objects (behaviours join their managers), the scene, then the other
  // components in creation order (the cadencer posts its first tick).
  for (TGLBaseSceneObject* o : FObjects) o->Loaded();
  s.World->Loaded();
  for (TComponent* c : FOthers) c->Loaded();
  // Managers are found by name across the process; another level alive with the same names
  // must not capture this level's behaviours.
  for (auto& [collision, name] : FCollisions) {
    TGLCollisionManager* own =
        name.empty() ? nullptr : static_cast<TGLCollisionManager*>(FComponents.at(Lower(name)));
    if (collision->Manager() != own) collision->SetManager(own);
  }
  return FViewer;
}

}  // namespace

TLevelFileSource EmbeddedLevelFiles() {
  return [](const std::string& name) -> std::optional<std::span<const uint8_t>> {
    if (const TEmbeddedFile* f = FindEmbeddedFile(name)) return std::span(f->Data, f->Size);
    return std::nullopt;
  };
}

TLevelViewerSettings LoadLevel(TForm1& form, const TLevelDocument& document,
                               const TLevelFileSource& files, platform::IWindowSystem& windowSystem,
                               platform::IPlatform* platform) {
  if (form.GLWorld1 || form.GLCadencer1 || form.CollisionManager1 || form.GLNavigator1 ||
      form.CollisionManager2 || form.CollisionManager3)
    throw ELevelError(document.DocumentName, "", "", "the game window already holds a level");
  TStaging s;
  TBuilder builder(document, files, form, platform);
  TLevelViewerSettings viewer = builder.Build(s);

  form.GLWorld1 = std::move(s.World);
  form.GLCadencer1 = std::move(s.Cadencer);
  form.CollisionManager1 = std::move(s.Manager[0]);
  form.GLNavigator1 = std::move(s.Navigator);
  form.CollisionManager2 = std::move(s.Manager[1]);
  form.CollisionManager3 = std::move(s.Manager[2]);
  try {
    form.BindSceneObjects();
    form.BindEvents(windowSystem);
    builder.Wire();
  } catch (const std::exception& e) {
    // Back to an empty window, in the window's own destruction order.
    form.GLCadencer1.reset();
    form.CollisionManager3.reset();
    form.CollisionManager2.reset();
    form.GLNavigator1.reset();
    form.CollisionManager1.reset();
    form.GLWorld1.reset();
    form.Car = nullptr;
    form.GLCamera1 = nullptr;
    form.Boxes = {};
    form.Cylinder1 = form.Cylinder2 = nullptr;
    throw ELevelError(document.DocumentName, "", "", e.what());
  }
  return viewer;
}

TLevelViewerSettings LoadEmbeddedLevel(TForm1& form, platform::IWindowSystem& windowSystem,
                                       platform::IPlatform* platform) {
  const TEmbeddedFile* f = FindEmbeddedFile("level.json");
  if (!f) throw ELevelError("level.json", "", "", "not built into this program");
  const TLevelDocument doc =
      ParseLevelDocument(std::string(reinterpret_cast<const char*>(f->Data), f->Size), f->Name);
  return LoadLevel(form, doc, EmbeddedLevelFiles(), windowSystem, platform);
}

std::string LocateAsset(const std::string& name) {
  std::error_code ec;
  if (std::filesystem::is_regular_file(name, ec)) return name;
  char exe[4096];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n > 0) {
    exe[n] = 0;
    const std::filesystem::path beside = std::filesystem::path(exe).parent_path() / name;
    if (std::filesystem::is_regular_file(beside, ec)) return beside.string();
  }
  return name;
}

bool FormCreate(TForm1& form, platform::IMessageBox& messageBox) {
  TGLWorld& world = *form.GLWorld1;
  auto find = [&world](const std::string& name) -> TGLBaseSceneObject& {
    TGLBaseSceneObject* o = world.FindSceneObject(name);
    if (!o) throw Exception("The level has no object " + name);
    return *o;
  };
  auto material = [&find](const std::string& name) -> TGLMaterial& {
    auto* o = dynamic_cast<TGLCustomSceneObject*>(&find(name));
    if (!o) throw Exception("The level's " + name + " has no material");
    return o->Material();
  };
  // The report names the file even where the reader's own message does not.
  auto named = [](const std::string& file, const auto& load) {
    try {
      load();
    } catch (const Exception& e) {
      if (std::string(e.what()).find(file) != std::string::npos) throw;
      throw Exception(file + ": " + e.what());
    }
  };
  auto model = [&named](TGLBaseSceneObject& object, const std::string& file) {
    named(file, [&] { LoadModel(object, LocateAsset(file)); });
  };
  auto picture = [&material, &named](const std::string& object, const std::string& file) {
    named(file, [&] { material(object).Texture().Image().LoadFromFile(LocateAsset(file)); });
  };
  static const char* const cHouses[] = {"Hous01", "Hous02", "Hous03", "Hous04", "Hous05"};

  form.Fl = true;
  form.Stoped = false;
  try {
    model(*form.Car, "Car_02.3ds");
    for (const char* house : cHouses) model(find(house), "Hous.3ds");
    form.ResetStartingState();
    form.PauseButton().SetVisible(false);
    form.StartButton().SetVisible(true);
    // Cube9 last: its picture from the level is replaced, and its texture is already on.
    for (int i = 10; i <= 18; ++i) picture("Cube" + std::to_string(i), "03.bmp");
    picture("Cube9", "03.bmp");
    for (int i = 10; i <= 18; ++i)
      material("Cube" + std::to_string(i)).Texture().SetDisabled(false);
    for (const char* canister : {"Cylinder1", "Cylinder2"}) {
      material(canister).Texture().SetDisabled(false);
      picture(canister, "04.bmp");
    }
    for (const char* house : cHouses) {
      material(house).Texture().SetDisabled(false);
      picture(house, "05.bmp");
    }
    form.Car->Position().SetX(0);
    form.Car->Position().SetY(0);
    form.Car->Position().SetZ(0);
    form.Car->SetTag(1);
  } catch (const Exception& e) {
    // As the toolkit does with an error in window creation: shown, and creation goes on.
    messageBox.ShowMessage(e.what());
    return false;
  }
  return true;
}

}  // namespace ukh::game
