// Collision manager passes: registration both ways, the handler rule, groups, the sweep's
// early stop counted in pair tests, clients freed inside a handler, and the bucketed sweep
// against a plain all-pairs reference on random scenes.
#include "engine/sim/GLCollisionManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/base/Exception.h"
#include "engine/scene/GLWorld.h"
#include "engine/scene/XCollection.h"
#include "engine/sim/GLCollisionIntersect.h"

namespace ukh {
namespace {

using M = TCollisionBoundingMode;
constexpr float cNaN = std::numeric_limits<float>::quiet_NaN();

class TTestBox : public TGLBaseSceneObject {
 public:
  using TGLBaseSceneObject::TGLBaseSceneObject;
  TVector4f HalfExtents{0.5f, 0.5f, 0.5f, 0};
  TVector4f AxisAlignedDimensionsUnscaled() override { return HalfExtents; }
};

using TPair = std::pair<std::string, std::string>;

struct TScene {
  TGLWorld World;
  TGLCollisionManager Manager;
  std::vector<TPair> Hits;

  TScene() {
    Manager.OnCollision = [this](TPersistent* sender, TGLBaseSceneObject* a,
                                 TGLBaseSceneObject* b) {
      EXPECT_EQ(sender, &Manager);
      Hits.emplace_back(a->Name(), b->Name());
    };
  }
  TTestBox* Add(const std::string& name, TVector3f at, M mode = M::cbmCube, int group = 0,
                TGLCollisionManager* manager = nullptr) {
    auto* o = World.Objects().AddNewChild<TTestBox>();
    o->SetName(name);
    o->Position().SetPoint(at);
    auto* c = o->Behaviours().AddNew<TGLBCollision>();
    c->SetBoundingMode(mode);
    c->SetGroupIndex(group);
    c->SetManager(manager ? manager : &Manager);
    return o;
  }
  static TGLBCollision* Collision(TGLBaseSceneObject* o) {
    return static_cast<TGLBCollision*>(o->Behaviours().Get(0));
  }
  std::vector<TPair> Pass() {
    Hits.clear();
    Manager.CheckCollisions();
    return Hits;
  }
};

TEST(CollisionManagerTest, ClientsJoinAndLeaveFromEitherSide) {
  TGLBaseSceneObject object;
  auto* c = object.Behaviours().AddNew<TGLBCollision>();
  auto first = std::make_unique<TGLCollisionManager>();
  TGLCollisionManager second;
  c->SetManager(first.get());
  c->SetManager(first.get());  // same manager: listed once
  EXPECT_EQ(first->ClientCount(), 1);
  c->SetManager(&second);
  EXPECT_EQ(first->ClientCount(), 0);
  ASSERT_EQ(second.ClientCount(), 1);
  EXPECT_EQ(second.Client(0), c);

  // The manager dies first: the behaviour's link is cleared.
  c->SetManager(first.get());
  first.reset();
  EXPECT_EQ(c->Manager(), nullptr);
  EXPECT_EQ(second.ClientCount(), 0);

  // The behaviour dies first: it leaves the manager; the others keep their order.
  TGLBaseSceneObject a, b, d;
  for (TGLBaseSceneObject* o : {&a, &b, &d})
    o->Behaviours().AddNew<TGLBCollision>()->SetManager(&second);
  delete b.Behaviours().Items(0);
  EXPECT_EQ(b.Behaviours().Count(), 0);
  ASSERT_EQ(second.ClientCount(), 2);
  EXPECT_EQ(second.Client(0)->OwnerBaseSceneObject(), &a);
  EXPECT_EQ(second.Client(1)->OwnerBaseSceneObject(), &d);
}

TEST(CollisionManagerDeathTest, AManagerMayOutliveMain) {
  // Held by a static made before any manager existed: it dies at exit, after the list of
  // managers would have, were that list an ordinary static. A fresh process makes sure no
  // manager came first.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        static std::unique_ptr<TGLCollisionManager> held;
        held = std::make_unique<TGLCollisionManager>();
        held->SetName("static");
        std::exit(TGLCollisionManager::FindManager("static") == held.get() ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST(CollisionManagerTest, ManagersAreFoundByExactNameInCreationOrder) {
  TGLCollisionManager m1, m2, m3;
  m1.SetName("CollisionManager1");
  m2.SetName("Twin");
  m3.SetName("Twin");
  EXPECT_EQ(TGLCollisionManager::FindManager("CollisionManager1"), &m1);
  EXPECT_EQ(TGLCollisionManager::FindManager("collisionmanager1"), nullptr);
  EXPECT_EQ(TGLCollisionManager::FindManager("Twin"), &m2);
  {
    TGLCollisionManager gone;
    gone.SetName("Gone");
  }
  EXPECT_EQ(TGLCollisionManager::FindManager("Gone"), nullptr);
}

TEST(CollisionManagerTest, WithoutHandlerAPassDoesNothing) {
  TScene s;
  s.Add("A", {0, 0, 0});
  s.Add("B", {0, 0, 0});
  s.Manager.OnCollision = nullptr;
  s.Manager.CheckCollisions();
  EXPECT_EQ(s.Manager.PairTestCount(), 0u);
}

TEST(CollisionManagerTest, GroupsDecideWhoMeets) {
  const struct {
    int groupA, groupB;
    bool meet;
  } cases[] = {{5, 5, false},  {5, 0, true},    {5, 6, true},  {0, 0, true},
               {-1, 0, false}, {-1, -1, false}, {0, -1, false}};
  for (const auto& c : cases) {
    TScene s;
    s.Add("A", {0, 0, 0}, M::cbmCube, c.groupA);
    s.Add("B", {0.5f, 0, 0.25f}, M::cbmCube, c.groupB);
    EXPECT_EQ(s.Pass().size(), c.meet ? 1u : 0u) << c.groupA << " " << c.groupB;
  }
}

TEST(CollisionManagerTest, EachTouchingPairOncePerPassLowerBoxFirst) {
  TScene s;
  s.Add("High", {0, 0, 0.5f});
  s.Add("Low", {0, 0, 0});
  s.Add("Far", {10, 0, 0});
  EXPECT_EQ(s.Pass(), (std::vector<TPair>{{"Low", "High"}}));
  EXPECT_EQ(s.Pass().size(), 1u) << "again on the next pass";
}

TEST(CollisionManagerTest, AnObjectWithoutDepthIsNeverTested) {
  TScene s;
  auto* flat = s.Add("Flat", {0, 0, 0});
  flat->HalfExtents = {5, 5, 0, 0};
  auto* nanDepth = s.Add("NaNDepth", {0, 0, 0});
  nanDepth->HalfExtents = {5, 5, cNaN, 0};
  s.Add("Box", {0, 0, 0});
  EXPECT_TRUE(s.Pass().empty());
  EXPECT_EQ(s.Manager.PairTestCount(), 0u);
}

TEST(CollisionManagerTest, SweepStopsARowAtTheFirstBoxAboveIt) {
  // All four overlap on X and Y; along Z only A-B and C-D overlap.
  TScene s;
  s.Add("A", {0, 0, 0});
  s.Add("B", {0, 0, 0.9f});
  s.Add("C", {0, 0, 50});
  s.Add("D", {0, 0, 50.5f});
  EXPECT_EQ(s.Pass(), (std::vector<TPair>{{"A", "B"}, {"C", "D"}}));
  EXPECT_EQ(s.Manager.PairTestCount(), 2u) << "far-apart pairs must never reach a test";

  // Touching along Z counts (bounds inclusive); a hair above does not reach the test.
  TScene t;
  t.Add("A", {0, 0, 0});
  t.Add("B", {0, 0, 1});
  t.Add("C", {0, 0, 2.001f});
  EXPECT_EQ(t.Pass(), (std::vector<TPair>{{"A", "B"}}));
  EXPECT_EQ(t.Manager.PairTestCount(), 1u);

  // Apart on X: no test either.
  TScene u;
  u.Add("A", {0, 0, 0});
  u.Add("B", {1.01f, 0, 0});
  EXPECT_TRUE(u.Pass().empty());
  EXPECT_EQ(u.Manager.PairTestCount(), 0u);
}

TEST(CollisionManagerTest, HandlerMayFreeClientsAndTheirObjects) {
  // Three mutually touching objects; the handler frees the second object of the first pair.
  // The freed one then takes part in no further pair, and the pass goes on with the rest.
  TScene s;
  s.Add("A", {0, 0, 0});
  s.Add("B", {0, 0, 0.1f});
  s.Add("C", {0, 0, 0.2f});
  s.Manager.OnCollision = [&](TPersistent*, TGLBaseSceneObject* a, TGLBaseSceneObject* b) {
    s.Hits.emplace_back(a->Name(), b->Name());
    if (b->Name() == "B") s.World.Objects().Remove(b, false);  // the handed-back object dies
  };
  s.Manager.CheckCollisions();
  EXPECT_EQ(s.Hits, (std::vector<TPair>{{"A", "B"}, {"A", "C"}}));
  EXPECT_EQ(s.Manager.ClientCount(), 2);

  // Freeing the first object of the pair ends its row.
  TScene t;
  t.Add("A", {0, 0, 0});
  t.Add("B", {0, 0, 0.1f});
  t.Add("C", {0, 0, 0.2f});
  t.Manager.OnCollision = [&](TPersistent*, TGLBaseSceneObject* a, TGLBaseSceneObject* b) {
    t.Hits.emplace_back(a->Name(), b->Name());
    if (a->Name() == "A") delete a->Behaviours().Items(0);
  };
  t.Manager.CheckCollisions();
  EXPECT_EQ(t.Hits, (std::vector<TPair>{{"A", "B"}, {"B", "C"}}));
}

TEST(CollisionManagerTest, ClientsLeavingAndRejoiningInAPass) {
  // A to F all touch. After (A, B) the handler takes B out of the manager and back in, and
  // takes C, D and E out: B is listed again, last, but meets no one before the next pass, and
  // the list, mostly holes now, reads right in the middle of the pass.
  TScene s;
  TTestBox* o[6];
  const char* names[] = {"A", "B", "C", "D", "E", "F"};
  for (int i = 0; i < 6; ++i) o[i] = s.Add(names[i], {0, 0, 0.1f * float(i)});
  auto client = [&](int i) { return TScene::Collision(o[i]); };
  bool first = true;
  s.Manager.OnCollision = [&](TPersistent*, TGLBaseSceneObject* a, TGLBaseSceneObject* b) {
    s.Hits.emplace_back(a->Name(), b->Name());
    if (!first) return;
    first = false;
    client(1)->SetManager(nullptr);
    client(1)->SetManager(&s.Manager);
    for (int i : {2, 3, 4}) client(i)->SetManager(nullptr);
    EXPECT_EQ(s.Manager.ClientCount(), 3);
    EXPECT_EQ(s.Manager.Client(1), client(5));
    EXPECT_EQ(s.Manager.Client(2), client(1));
  };
  s.Manager.CheckCollisions();
  EXPECT_EQ(s.Hits, (std::vector<TPair>{{"A", "B"}, {"A", "F"}}));
  EXPECT_EQ(s.Pass(), (std::vector<TPair>{{"A", "B"}, {"A", "F"}, {"B", "F"}}));
  EXPECT_EQ(s.Manager.ClientCount(), 3);
  EXPECT_EQ(s.Manager.Client(2), client(1));
}

TEST(CollisionManagerTest, ChangesMadeByAHandlerCountForTheRestOfThePass) {
  // A, B, C, D all touch. After (A, B) the handler puts C and D into one group and takes B's
  // behaviour out of its list: (A, C) and (A, D) still meet, (B, *) and (C, D) no longer do.
  TScene s;
  TTestBox* o[4];
  const char* names[] = {"A", "B", "C", "D"};
  for (int i = 0; i < 4; ++i) o[i] = s.Add(names[i], {0, 0, 0.1f * float(i)});
  std::unique_ptr<TXCollectionItem> taken;
  s.Manager.OnCollision = [&](TPersistent*, TGLBaseSceneObject* a, TGLBaseSceneObject* b) {
    s.Hits.emplace_back(a->Name(), b->Name());
    if (b == o[1]) {
      TScene::Collision(o[2])->SetGroupIndex(3);
      TScene::Collision(o[3])->SetGroupIndex(3);
      taken = o[1]->Behaviours().Extract(TScene::Collision(o[1]));
    }
  };
  s.Manager.CheckCollisions();
  EXPECT_EQ(s.Hits, (std::vector<TPair>{{"A", "B"}, {"A", "C"}, {"A", "D"}}));
  EXPECT_EQ(s.Manager.ClientCount(), 4) << "a behaviour out of its list is still a client";
  s.World.Objects().Remove(o[1], false);  // B dies; its detached behaviour lives on
  s.Hits.clear();
  s.Manager.CheckCollisions();
  EXPECT_EQ(s.Hits, (std::vector<TPair>{{"A", "C"}, {"A", "D"}}));
}

TEST(CollisionManagerTest, HandlerMayFreeTheManager) {
  TGLWorld world;
  auto manager = std::make_unique<TGLCollisionManager>();
  std::vector<TGLBCollision*> clients;
  for (int i = 0; i < 2100; ++i) {  // enough for the bucketed sweep as well
    auto* o = world.Objects().AddNewChild<TTestBox>();
    o->Position().SetPoint(0, 0, float(i) * 0.01f);
    clients.push_back(o->Behaviours().AddNew<TGLBCollision>());
    clients.back()->SetBoundingMode(M::cbmCube);
    clients.back()->SetManager(manager.get());
  }
  int calls = 0;
  manager->OnCollision = [&](TPersistent*, TGLBaseSceneObject*, TGLBaseSceneObject*) {
    ++calls;
    manager.reset();
  };
  manager->CheckCollisions();
  EXPECT_EQ(calls, 1);
  for (TGLBCollision* c : clients) EXPECT_EQ(c->Manager(), nullptr);
}

TEST(CollisionManagerTest, HandlerErrorEndsThePassAndReachesTheCaller) {
  TScene s;
  s.Add("A", {0, 0, 0});
  s.Add("B", {0, 0, 0.1f});
  s.Add("C", {0, 0, 0.2f});
  int calls = 0;
  s.Manager.OnCollision = [&](TPersistent*, TGLBaseSceneObject*, TGLBaseSceneObject*) {
    ++calls;
    throw Exception("stop");
  };
  EXPECT_THROW(s.Manager.CheckCollisions(), Exception);
  EXPECT_EQ(calls, 1);
  // The next pass starts afresh.
  EXPECT_THROW(s.Manager.CheckCollisions(), Exception);
  EXPECT_EQ(calls, 2);
}

TEST(CollisionManagerTest, NestedPassFromAHandler) {
  TScene s;
  s.Add("A", {0, 0, 0});
  s.Add("B", {0, 0, 0.1f});
  int depth = 0, calls = 0;
  s.Manager.OnCollision = [&](TPersistent*, TGLBaseSceneObject*, TGLBaseSceneObject*) {
    ++calls;
    if (depth++ == 0) s.Manager.CheckCollisions();
  };
  s.Manager.CheckCollisions();
  EXPECT_EQ(calls, 2);
}

// ---- the bucketed sweep against all pairs -------------------------------------------------

struct TRecorded {
  std::vector<std::pair<TGLBaseSceneObject*, TGLBaseSceneObject*>> Calls;
};

// Every pair the pass as written reports, from all pairs: overlapping world boxes (Z then X
// and Y, inclusive), the group rule and the pair test, with the lower minimum Z first. Scenes
// here have distinct minimum Z, so the order is fixed.
std::vector<std::pair<TGLBaseSceneObject*, TGLBaseSceneObject*>> AllPairs(
    const std::vector<TTestBox*>& objects) {
  struct TItem {
    TTestBox* Object;
    TAABB Box;
  };
  std::vector<TItem> items;
  for (TTestBox* o : objects) {
    auto* c = static_cast<TGLBCollision*>(o->Behaviours().Get(0));
    const TAABB local = o->AxisAlignedBoundingBoxUnscaled(true);
    if (c->GroupIndex() < 0 || !(local.Max.Z > local.Min.Z)) continue;
    items.push_back({o, AABBTransform(local, o->AbsoluteMatrix())});
  }
  auto nanLast = [](float a, float b) { return std::isnan(b) ? !std::isnan(a) : a < b; };
  std::sort(items.begin(), items.end(),
            [&](const TItem& a, const TItem& b) { return nanLast(a.Box.Min.Z, b.Box.Min.Z); });
  std::vector<std::pair<TGLBaseSceneObject*, TGLBaseSceneObject*>> out;
  for (size_t i = 0; i < items.size(); ++i)
    for (size_t j = i + 1; j < items.size(); ++j) {
      const TAABB &a = items[i].Box, &b = items[j].Box;
      if (!(b.Min.Z <= a.Max.Z)) continue;
      if (a.Max.X < b.Min.X || b.Max.X < a.Min.X || a.Max.Y < b.Min.Y || b.Max.Y < a.Min.Y)
        continue;
      auto* ca = static_cast<TGLBCollision*>(items[i].Object->Behaviours().Get(0));
      auto* cb = static_cast<TGLBCollision*>(items[j].Object->Behaviours().Get(0));
      if (ca->GroupIndex() != 0 && ca->GroupIndex() == cb->GroupIndex()) continue;
      if (CheckCollisionPair(ca->BoundingMode(), cb->BoundingMode(), *items[i].Object,
                             *items[j].Object))
        out.emplace_back(items[i].Object, items[j].Object);
    }
  return out;
}

TEST(CollisionManagerTest, SweepMatchesAllPairsOnRandomScenes) {
  std::mt19937 rng(20261210);
  std::uniform_real_distribution<float> unit(0, 1);
  for (int sceneNo = 0; sceneNo < 9; ++sceneNo) {
    // Both sweeps: plain below 2048 nodes, bucketed above.
    const int n = sceneNo < 3 ? 40 : sceneNo < 6 ? 300 : 3000;
    const float side = std::sqrt(float(n)) * 1.5f;
    TGLWorld world;
    TGLCollisionManager manager;
    TRecorded got;
    manager.OnCollision = [&](TPersistent*, TGLBaseSceneObject* a, TGLBaseSceneObject* b) {
      got.Calls.emplace_back(a, b);
    };
    std::vector<TTestBox*> objects;
    for (int i = 0; i < n; ++i) {
      auto* o = world.Objects().AddNewChild<TTestBox>();
      o->Position().SetPoint(unit(rng) * side, unit(rng) * 2, unit(rng) * side);
      o->SetTurnAngle(unit(rng) * 90);
      o->HalfExtents = {0.2f + unit(rng), 0.5f, 0.2f + unit(rng), 0};
      const float kind = unit(rng);
      if (kind < 0.03f)
        o->HalfExtents.X = side;  // a wall across the field
      else if (kind < 0.05f)
        o->HalfExtents.X = cNaN;  // a box that is not a number
      auto* c = o->Behaviours().AddNew<TGLBCollision>();
      c->SetBoundingMode(TCollisionBoundingMode(int(unit(rng) * 4.99f)));
      c->SetGroupIndex(int(unit(rng) * 4) - 1);
      c->SetManager(&manager);
      objects.push_back(o);
    }
    const auto expected = AllPairs(objects);
    manager.CheckCollisions();
    EXPECT_EQ(got.Calls, expected) << "scene " << sceneNo;
    EXPECT_FALSE(expected.empty());

    // Again, the handler freeing one behaviour of every other pair: a client freed in the
    // pass never shows up again in it.
    std::vector<TGLBaseSceneObject*> freed;
    int calls = 0;
    manager.OnCollision = [&](TPersistent*, TGLBaseSceneObject* a, TGLBaseSceneObject* b) {
      for (TGLBaseSceneObject* f : freed) EXPECT_TRUE(a != f && b != f);
      if (++calls % 2) return;
      TGLBaseSceneObject* victim = calls % 4 ? a : b;
      delete victim->Behaviours().Items(0);
      freed.push_back(victim);
    };
    manager.CheckCollisions();
    EXPECT_GT(freed.size(), 0u);
  }
}

}  // namespace
}  // namespace ukh
