// model-info FILE.3ds: loads the model into a free form and prints one JSON object with the
// file name, every mesh object (name, vertices and triangles after import, material names),
// the totals and the extents. A file that cannot be loaded: its error on stderr, exit 1.
#include <nlohmann/json.hpp>

#include <iostream>
#include <set>

#include "engine/gl/GLMaterialLibrary.h"
#include "engine/mesh/GLFreeForm.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: model-info FILE.3ds\n";
    return 2;
  }
  // A library makes the face groups keep the file's material names; their textures are
  // not needed here.
  ukh::TGLMaterialLibrary library;
  ukh::TGLFreeForm ff;
  ff.SetMaterialLibrary(&library);
  ff.SetIgnoreMissingTextures(true);
  try {
    ff.LoadFromFile(argv[1]);
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    ff.SetMaterialLibrary(nullptr);
    return 1;
  }
  nlohmann::json out;
  out["file"] = argv[1];
  nlohmann::json meshes = nlohmann::json::array();
  long vertices = 0, triangles = 0;
  for (int i = 0; i < ff.MeshObjects().Count(); ++i) {
    const ukh::TGLMeshObject& mo = *ff.MeshObjects()[i];
    nlohmann::json m;
    m["name"] = mo.Name();
    m["vertices"] = mo.Vertices().Count();
    m["triangles"] = mo.TriangleCount();
    nlohmann::json mats = nlohmann::json::array();
    for (int g = 0; g < mo.FaceGroups().Count(); ++g)
      mats.push_back(mo.FaceGroups()[g]->MaterialName());
    m["materials"] = mats;
    vertices += mo.Vertices().Count();
    triangles += mo.TriangleCount();
    meshes.push_back(m);
  }
  out["meshes"] = meshes;
  out["totals"] = {
      {"meshes", ff.MeshObjects().Count()}, {"vertices", vertices}, {"triangles", triangles}};
  ukh::TVector3f min, max;
  ff.GetExtents(min, max);
  if (vertices > 0)
    out["extents"] = {{"min", {min.X, min.Y, min.Z}}, {"max", {max.X, max.Y, max.Z}}};
  else
    out["extents"] = nullptr;
  std::cout << out.dump(2) << "\n";
  ff.SetMaterialLibrary(nullptr);
  return 0;
}
