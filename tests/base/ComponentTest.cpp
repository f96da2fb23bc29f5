// Destruction notifications clear links both ways.
#include "engine/base/Component.h"

#include <gtest/gtest.h>

#include <memory>

namespace ukh {
namespace {

class TLinker : public TComponent {
 public:
  TComponent* Target = nullptr;
  int Removals = 0;
  void Link(TComponent* t) {
    Target = t;
    t->FreeNotification(this);
  }
  ~TLinker() override { BeginDestruction(); }

 protected:
  void Notification(TComponent* c, TOperation op) override {
    if (op == TOperation::opRemove && c == Target) {
      Target = nullptr;
      ++Removals;
    }
  }
};

TEST(ComponentTest, DestroyedTargetClearsTheLink) {
  TLinker a;
  auto b = std::make_unique<TLinker>();
  a.Link(b.get());
  b.reset();
  EXPECT_EQ(a.Target, nullptr);
  EXPECT_EQ(a.Removals, 1);
}

TEST(ComponentTest, DestroyedWatcherLeavesNoDanglingEntry) {
  TLinker target;
  {
    TLinker watcher;
    watcher.Link(&target);
  }
  // Destroying the target now must not touch the dead watcher (ASan would report it).
  auto other = std::make_unique<TLinker>();
  other->Link(&target);
  EXPECT_EQ(other->Target, &target);
}

TEST(ComponentTest, RemoveFreeNotificationStopsTheCall) {
  TLinker a;
  auto b = std::make_unique<TLinker>();
  a.Link(b.get());
  b->RemoveFreeNotification(&a);
  b.reset();
  EXPECT_EQ(a.Removals, 0);
}

}  // namespace
}  // namespace ukh
