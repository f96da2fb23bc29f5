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
#include "engine/sim/GLBCollision.h"

namespace ukh {

class TGLBaseSceneObject;

using TObjectCollisionEvent = std::function<void(TPersistent* sender, TGLBaseSceneObject* object1,
                                                 TGLBaseSceneObject* object2)>;

class TGLCollisionManager : public TComponent {
 public:
  explicit TGLCollisionManager(TComponent* owner = nullptr);
  // Detaches every client.
  ~TGLCollisionManager() override;

  // One pass over all clients (the rules are in the .cpp). Handlers may move objects,
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
  // A client with copies of what a pass reads of it, which the client keeps up to date: a
  // pass then reads the behaviours not at all, and sees a change made in the middle of it.
  struct TClient {
    TGLBCollision* Collision = nullptr;  // null: a hole left by deregistration
    TGLBaseSceneObject* Object = nullptr;
    int32_t GroupIndex = 0;
    TCollisionBoundingMode BoundingMode = TCollisionBoundingMode::cbmPoint;
  };
  struct TNode;
  struct TScratch;
  struct TPassFrame;

  void RegisterClient(TGLBCollision* client);
  void DeregisterClient(TGLBCollision* client);
  // The client's mode, group or object changed: its record takes them.
  void ClientChanged(TGLBCollision* client);
  void CompactClients() const;
  void BuildNodes(TScratch& s);
  static void SortByMinZ(TScratch& s);
  void SweepSmall(TPassFrame& frame);
  void SweepBucketed(TPassFrame& frame, TScratch& s);
  // The group rule, the bounding-mode test and the handler for a pair whose boxes overlap;
  // false when the pass must end.
  bool TestPair(TPassFrame& frame, size_t i, size_t j);

  // Clients with holes left by deregistration, closed up lazily (and never during a pass)
  // so that leaving is O(1) and the registration order survives.
  mutable std::vector<TClient> FClients;
  mutable size_t FHoles = 0;
  // The innermost running pass: the destructor ends it, and the slots hold while one runs.
  TPassFrame* FPass = nullptr;
  // Scratch of the outermost pass, kept to avoid reallocating every frame.
  std::unique_ptr<TScratch> FScratch;
  uint64_t FPairTests = 0;
};

}  // namespace ukh
