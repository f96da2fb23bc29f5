// Fuzz target: the "XCOL" behaviour archive reader on untrusted bytes. A bad archive must fail
// with an engine error and leave the list as it was; a good one must survive write and
// re-read unchanged, resolve its managers and take part in a collision pass.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/base/Exception.h"
#include "engine/scene/GLBaseSceneObject.h"
#include "engine/sim/GLBCollision.h"
#include "engine/sim/GLCollisionManager.h"

namespace {

struct TSetup {
  ukh::TGLCollisionManager Managers[3];
  TSetup() {
    ukh::RegisterCollisionBehaviours();
    const char* names[] = {"CollisionManager1", "CollisionManager2", "CollisionManager3"};
    for (int i = 0; i < 3; ++i) {
      Managers[i].SetName(names[i]);
      Managers[i].OnCollision = [](ukh::TPersistent*, ukh::TGLBaseSceneObject*,
                                   ukh::TGLBaseSceneObject*) {};
    }
  }
};

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TSetup setup;
  ukh::TGLBaseSceneObject object, other;
  auto* kept = object.Behaviours().AddNew<ukh::TGLBCollision>();
  kept->SetManager(&setup.Managers[0]);
  kept->SetBoundingMode(ukh::TCollisionBoundingMode::cbmCube);
  other.Behaviours().AddNew<ukh::TGLBCollision>()->SetManager(&setup.Managers[0]);
  const std::vector<uint8_t> before = object.Behaviours().SaveToBytes();
  try {
    object.Behaviours().LoadFromBytes(data, size);
  } catch (const ukh::Exception&) {
    Check(object.Behaviours().Count() == 1 && object.Behaviours().Get(0) == kept);
    Check(object.Behaviours().SaveToBytes() == before);
    return 0;
  }
  const std::vector<uint8_t> written = object.Behaviours().SaveToBytes();
  ukh::TGLBaseSceneObject copy;
  copy.Behaviours().LoadFromBytes(written);
  Check(copy.Behaviours().SaveToBytes() == written);
  object.Loaded();
  // Keeps the all-touching pass of a long archive from dominating the run.
  if (object.Behaviours().Count() <= 64)
    for (auto& m : setup.Managers) m.CheckCollisions();
  return 0;
}
