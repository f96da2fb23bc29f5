// Requests every record of a loaded 3DS reader, so that tests and the fuzz target exercise all
// decoders. Returns how many records were decoded.
#pragma once

#include "engine/mesh/File3DS.h"

namespace ukh::test3ds {

inline int DecodeAll(TFile3DS& f) {
  int n = 0;
  TObjectList& o = f.Objects();
  for (int i = 0; i < o.MeshCount(); ++i) n += o.Mesh(i) != nullptr;
  for (int i = 0; i < o.OmniLightCount(); ++i) n += o.OmniLight(i) != nullptr;
  for (int i = 0; i < o.SpotLightCount(); ++i) n += o.SpotLight(i) != nullptr;
  for (int i = 0; i < o.CameraCount(); ++i) n += o.Camera(i) != nullptr;
  TMaterialList& m = f.Materials();
  for (int i = 0; i < m.Count(); ++i) n += m.Material(i) != nullptr;
  TKeyFramer& k = f.KeyFramer();
  if (f.DatabaseType() == TDBType3DS::dbMeshFile || f.DatabaseType() == TDBType3DS::dbProjectFile) {
    k.Settings();
    ++n;
  }
  for (int i = 0; i < k.MeshMotionCount(); ++i) n += k.MeshMotion(i) != nullptr;
  for (int i = 0; i < k.OmniLightMotionCount(); ++i) n += k.OmniLightMotion(i) != nullptr;
  for (int i = 0; i < k.SpotLightMotionCount(); ++i) n += k.SpotLightMotion(i) != nullptr;
  for (int i = 0; i < k.CameraMotionCount(); ++i) n += k.CameraMotion(i) != nullptr;
  n += k.AmbientLightMotion() != nullptr;
  f.DatabaseRelease();
  f.MeshRelease();
  return n;
}

}  // namespace ukh::test3ds
