// Fuzzing the 3DS reader and the import together: any input ends as a model in a free form
// or as an engine error that leaves the free form empty.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "engine/mesh/GLFreeForm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ukh::TGLFreeForm ff;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  try {
    ff.LoadFromStream("fuzz.3ds", in);
    // Reading the model back touches every list the import built.
    ff.MeshObjects().TriangleCount();
    ff.AxisAlignedDimensionsUnscaled();
    for (int i = 0; i < ff.MeshObjects().Count(); ++i) {
      const ukh::TGLMeshObject& mo = *ff.MeshObjects()[i];
      for (int g = 0; g < mo.FaceGroups().Count(); ++g) {
        ukh::TGLAffineVectorList tris;
        mo.FaceGroups()[g]->AddToTriangles(tris, nullptr, nullptr);
      }
    }
  } catch (const ukh::Exception&) {
    if (ff.MeshObjects().Count() != 0 || ff.Count() != 0) std::abort();
  }
  return 0;
}
