// TGLCollisionManager: finds which of its client objects touch and reports every touching
// pair, once per pass, to its OnCollision handler. Clients are the TGLBCollision behaviours
// that name the manager; the pair tests by bounding mode are in GLCollisionIntersect.h.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/base/Component.h"
#include "engine/math/AABB.h"
#include "engine/sim/GLBCollision.h"

namespace ukh {

class TGLBaseSceneObject;

using TObjectCollisionEvent = std::function<void(TPersistent* sender, TGLBaseSceneObject* object1,
                                                 TGLBaseSceneObject* object2)>;

// One client in one pass: its object's box in world coordinates, and a copy of the client's
// object, group and mode that the client keeps up to date while the pass runs (Collision is
// cleared when the client leaves the manager during the pass).
struct TCollisionNode {
  TGLBCollision* Collision;
  TGLBaseSceneObject* Object;
  TAABB AABB;
  int32_t GroupIndex;
  TCollisionBoundingMode BoundingMode;
};

class TGLCollisionManager : public TComponent {
 public:
  explicit TGLCollisionManager(TComponent* owner = nullptr);
  // Detaches every client.
  ~TGLCollisionManager() override;

  // One pass over all clients; see the .cpp for the exact rules. Handlers may move objects,
  // and may also destroy clients (or their objects) and the manager itself: a client that
  // leaves during the pass takes part in no further pair of it, and a destroyed manager ends
  // the pass at once. An exception from a handler ends the pass and propagates.
  void CheckCollisions();

  // The clients in registration order.
  int ClientCount() const;
  TGLBCollision* Client(int index) const;

  // The first manager in creation order whose name is exactly `name`, or null.
  static TGLCollisionManager* FindManager(const std::string& name);

  // Test hook: how many pair tests (bounding-mode tests) the passes ran so far.
  uint64_t PairTestCount() const { return FPairTests; }

  TObjectCollisionEvent OnCollision;

 private:
  friend class TGLBCollision;
  struct TPassFrame;

  void RegisterClient(TGLBCollision* client);
  void DeregisterClient(TGLBCollision* client);
  // The client's mode, group or object changed: running passes take the new values.
  void ClientChanged(TGLBCollision* client);
  void CompactClients() const;
  void BuildNodes(std::vector<TCollisionNode>& nodes);
  struct TSortScratch;
  static void SortByMinZ(std::vector<TCollisionNode>& nodes, TSortScratch& scratch);
  void SweepSmall(TPassFrame& frame);
  void SweepBucketed(TPassFrame& frame);
  // Steps 2 to 4 of a pair once its boxes overlap in X and Y; false when the pass must end.
  bool TestPair(TPassFrame& frame, const TObjectCollisionEvent& handler, size_t i, size_t j);

  // Clients with holes (null) left by deregistration, closed up lazily so that leaving
  // is O(1) and the registration order survives.
  mutable std::vector<TGLBCollision*> FClients;
  mutable size_t FHoles = 0;
  // The innermost running pass, for clients leaving in the middle of one.
  TPassFrame* FPass = nullptr;
  // Scratch of the outermost pass, kept to avoid reallocating every frame.
  std::vector<TCollisionNode> FNodes;
  struct TBroadPhase;
  std::unique_ptr<TBroadPhase> FBroad;
  std::unique_ptr<TSortScratch> FSort;
  uint64_t FPairTests = 0;
};

}  // namespace ukh
