// The scene: notifications to buffers, update brackets, light slots, the progress walk and
// links cleared on destruction.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/base/Exception.h"
#include "engine/scene/GLBehaviours.h"
#include "engine/scene/GLLightSource.h"
#include "engine/scene/GLWorld.h"
#include "tests/scene/SceneTestSupport.h"

namespace ukh {
namespace {

using test::TRecordingBuffer;

TEST(WorldTest, OnePositionWriteIsOneSceneNotification) {
  TGLWorld scene;
  auto* o = scene.Objects().AddNewChild<TGLBaseSceneObject>();
  TRecordingBuffer buffer;
  scene.AddBuffer(&buffer);
  scene.AddBuffer(&buffer);  // listed once
  o->Position().SetCoordinate(0, 3);
  ASSERT_EQ(buffer.Count(), 1);
  EXPECT_EQ(buffer.Senders[0], &scene);
  scene.RemoveBuffer(&buffer);
  o->Position().SetCoordinate(0, 4);
  EXPECT_EQ(buffer.Count(), 1) << "no buffer, no notification";
}

TEST(WorldTest, UpdateBracketsCollapseChangesIntoOne) {
  TGLWorld scene;
  auto* o = scene.Objects().AddNewChild<TGLBaseSceneObject>();
  TRecordingBuffer buffer;
  scene.AddBuffer(&buffer);
  o->BeginUpdate();
  for (int i = 0; i < 10; ++i) o->Position().SetCoordinate(0, float(i));
  o->SetVisible(false);
  EXPECT_EQ(buffer.Count(), 0);
  o->EndUpdate();
  EXPECT_EQ(buffer.Count(), 1);

  scene.BeginUpdate();
  scene.BeginUpdate();
  o->Position().SetCoordinate(1, 1);
  o->SetVisible(true);
  scene.EndUpdate();
  EXPECT_EQ(buffer.Count(), 1);
  scene.EndUpdate();
  EXPECT_EQ(buffer.Count(), 2);
  try {
    scene.EndUpdate();
    ADD_FAILURE();
  } catch (const EAssertionFailed& e) {
    EXPECT_STREQ(e.what(), "Assertion failure");
  }
}

TEST(WorldTest, SettersNotifyOnlyOnChange) {
  TGLWorld scene;
  auto* o = scene.Objects().AddNewChild<TGLBaseSceneObject>();
  TRecordingBuffer buffer;
  scene.AddBuffer(&buffer);
  o->SetVisible(true);
  o->SetPickable(true);
  EXPECT_EQ(buffer.Count(), 0);
  o->SetVisible(false);
  o->SetShowAxes(true);
  o->StructureChanged();  // a new object's structure is stale already: quiet
  o->ClearStructureChanged();
  o->StructureChanged();
  o->StructureChanged();  // stale again: quiet, as the object is drawn from a display list
  EXPECT_EQ(buffer.Count(), 3);
  scene.SetObjectsSorting(TGLObjectsSorting::osInherited);
  EXPECT_EQ(scene.ObjectsSorting(), TGLObjectsSorting::osRenderBlendedLast);
  scene.SetVisibilityCulling(TGLVisibilityCulling::vcInherited);
  EXPECT_EQ(scene.VisibilityCulling(), TGLVisibilityCulling::vcNone);
  EXPECT_EQ(buffer.Count(), 3);
  scene.SetObjectsSorting(TGLObjectsSorting::osNone);
  EXPECT_EQ(buffer.Count(), 4);
  // The root is drawn directly: each structure change of it reaches the buffer.
  scene.Objects().StructureChanged();
  scene.Objects().StructureChanged();
  EXPECT_EQ(buffer.Count(), 6);
}

TEST(WorldTest, LightSlots) {
  TGLWorld scene;
  auto* l1 = scene.Objects().AddNewChild<TGLLightSource>();
  auto* group = scene.Objects().AddNewChild<TGLBaseSceneObject>();
  auto* l2 = group->AddNewChild<TGLLightSource>();
  EXPECT_EQ(l1->LightID(), 0);
  EXPECT_EQ(l2->LightID(), 1);
  std::unique_ptr<TGLBaseSceneObject> gone = scene.Objects().Remove(l1, false);
  EXPECT_EQ(scene.Lights()[0], nullptr);
  EXPECT_EQ(scene.Lights()[1], l2);
  auto* l3 = scene.Objects().AddNewChild<TGLLightSource>();
  EXPECT_EQ(l3->LightID(), 0);
  EXPECT_EQ(scene.Lights()[0], l3);

  // Slots fill up to eight; a ninth light has none and keeps its ID.
  for (int i = 0; i < 6; ++i) scene.Objects().AddNewChild<TGLLightSource>();
  auto* ninth = scene.Objects().AddNewChild<TGLLightSource>();
  EXPECT_EQ(ninth->LightID(), 0);
  EXPECT_EQ(std::count(scene.Lights().begin(), scene.Lights().end(), ninth), 0);

  // A subtree with a light registers when it joins a scene's tree.
  auto sub = std::make_unique<TGLBaseSceneObject>();
  sub->AddNewChild<TGLLightSource>();
  group->DeleteChildren();  // frees slot 1
  group->AddChild(std::move(sub));
  EXPECT_NE(scene.Lights()[1], nullptr);
  scene.ShutdownAllLights();
  EXPECT_FALSE(l3->Shining());
}

class TRecordingBehaviour : public TGLBehaviour {
 public:
  TRecordingBehaviour(TGLBehaviours* owner, std::vector<std::string>* log)
      : TGLBehaviour(owner), Log(log) {}
  void DoProgress(const TGLProgressTimes&) override {
    Log->push_back(OwnerBaseSceneObject()->Name() + ".behaviour");
  }
  std::vector<std::string>* Log;
};

TEST(WorldTest, ProgressWalksLastChildFirstThenBehavioursThenTheEvent) {
  TGLWorld scene;
  std::vector<std::string> log;
  auto track = [&](TGLBaseSceneObject* o, const std::string& name) {
    o->SetName(name);
    o->Behaviours().Add(std::make_unique<TRecordingBehaviour>(&o->Behaviours(), &log));
    o->OnProgress = [&log, name](TPersistent*, double dt, double t) {
      EXPECT_EQ(dt, 0.25);
      EXPECT_EQ(t, 2.0);
      log.push_back(name + ".event");
    };
  };
  auto* a = scene.Objects().AddNewChild<TGLBaseSceneObject>();
  auto* a1 = a->AddNewChild<TGLBaseSceneObject>();
  auto* b = scene.Objects().AddNewChild<TGLBaseSceneObject>();
  track(a, "A");
  track(a1, "A1");
  track(b, "B");
  track(&scene.Objects(), "root");
  scene.OnBeforeProgress = [&](TPersistent*, double, double) { log.push_back("before"); };
  scene.OnProgress = [&](TPersistent*, double, double) { log.push_back("after"); };
  scene.Progress(0.25, 2.0);
  EXPECT_EQ(log, (std::vector<std::string>{"before", "B.behaviour", "B.event", "A1.behaviour",
                                           "A1.event", "A.behaviour", "A.event", "root.behaviour",
                                           "root.event", "after"}));
  EXPECT_EQ(scene.CurrentDeltaTime(), 0.25);
}

TEST(WorldTest, RootIsNamedAndOnlyAWorldMayOwnIt) {
  TGLWorld scene;
  EXPECT_EQ(scene.Objects().Name(), "ObjectRoot");
  EXPECT_EQ(scene.Objects().Scene(), &scene);
  EXPECT_TRUE(scene.Objects().ObjectStyle() & osDirectDraw);
  TComponent notAScene;
  EXPECT_THROW(TGLWorldRootObject root(&notAScene), EAssertionFailed);
}

// A component that links to a scene object and must see the link cleared when it dies.
class TWatcher : public TComponent {
 public:
  TGLBaseSceneObject* Target = nullptr;
  void Watch(TGLBaseSceneObject* o) {
    Target = o;
    o->FreeNotification(this);
  }
  ~TWatcher() override { BeginDestruction(); }

 protected:
  void Notification(TComponent* c, TOperation op) override {
    if (op == TOperation::opRemove && c == Target) Target = nullptr;
  }
};

TEST(WorldTest, DestroyingObjectsClearsEveryLink) {
  TWatcher watcher;
  {
    TGLWorld scene;
    TRecordingBuffer buffer;
    scene.AddBuffer(&buffer);
    auto* a = scene.Objects().AddNewChild<TGLBaseSceneObject>();
    auto* a1 = a->AddNewChild<TGLBaseSceneObject>();
    watcher.Watch(a1);
    a->DeleteChildren();
    EXPECT_EQ(watcher.Target, nullptr);
    watcher.Watch(a);
  }  // the scene dies with its tree; no buffer is told while it does
  EXPECT_EQ(watcher.Target, nullptr);
}

}  // namespace
}  // namespace ukh
