// The cadencer on the headless platform with a scripted clock: step rules, re-basing, events
// and subscribers, the cmASAP handler's guard, too-fast parking and error rule.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/base/Exception.h"
#include "engine/scene/GLWorld.h"
#include "engine/sim/GLCadencer.h"
#include "platform/HeadlessPlatform.h"

namespace ukh {
namespace {

using platform::THeadlessPlatform;

struct TStep {
  double DeltaTime;
  double NewTime;
  friend bool operator==(const TStep&, const TStep&) = default;
};
std::ostream& operator<<(std::ostream& os, const TStep& s) {
  return os << "{" << s.DeltaTime << ", " << s.NewTime << "}";
}

class CadencerTest : public testing::Test {
 protected:
  CadencerTest() { P.Clock().SetTime(0); }
  ~CadencerTest() override { EXPECT_FALSE(GLCadencerASAPState().HandlerExists); }

  // A cadencer bound to the scene that records its own events and the scene's steps.
  std::unique_ptr<TGLCadencer> MakeCadencer(TGLCadencerMode mode) {
    auto c = std::make_unique<TGLCadencer>(nullptr, &P);
    c->SetMode(mode);
    c->OnProgress = [this](TPersistent*, double dt, double nt) { Events.push_back({dt, nt}); };
    c->OnTotalProgress = [this](TPersistent*, double dt, double nt) { Totals.push_back({dt, nt}); };
    World.OnProgress = [this](TPersistent*, double dt, double nt) {
      SceneSteps.push_back({dt, nt});
    };
    c->SetScene(&World);
    return c;
  }
  // One round of the message loop: serves the posted tick, which ticks every cmASAP cadencer.
  void Serve() { P.Loop().ProcessMessages(); }
  size_t QueuedTicks() {
    auto s = GLCadencerASAPState();
    return s.HandlerExists ? P.Loop().QueuedCount(s.Window, s.TickMessage) : 0;
  }

  THeadlessPlatform P;
  TGLWorld World;
  std::vector<TStep> Events, Totals, SceneSteps;
};

// ---- step rules ----------------------------------------------------------------------------

TEST_F(CadencerTest, DefaultsMakeOneStepPerTickWithTheTimeSinceThePreviousOne) {
  P.Clock().SetTime(10.0);  // cadencer time starts at 0 here
  auto c = MakeCadencer(TGLCadencerMode::cmASAP);
  ASSERT_EQ(QueuedTicks(), 1u);  // the first tick is posted on activation
  const double times[] = {10.5, 10.75, 10.75, 11.0};
  double last = 0, sum = 0;
  std::vector<TStep> expected, expectedScene;
  for (double t : times) {
    P.Clock().SetTime(t);
    Serve();
    double now = t - 10.0;
    double delta = now - last;
    sum += delta;
    expected.push_back({delta, now});
    if (delta != 0) expectedScene.push_back({delta, now});
    last = now;
    EXPECT_EQ(QueuedTicks(), 1u);  // and the next one after each tick
  }
  EXPECT_EQ(Events, expected);
  EXPECT_EQ(Events.back().NewTime, sum);
  // A tick with no time passed fires OnProgress with 0 but does not progress the scene.
  EXPECT_EQ(Events[2].DeltaTime, 0.0);
  EXPECT_EQ(SceneSteps, expectedScene);
  EXPECT_EQ(Totals.size(), Events.size());
}

TEST_F(CadencerTest, ClockGoingBackSkipsTheTick) {
  auto c = MakeCadencer(TGLCadencerMode::cmManual);
  P.Clock().SetTime(1.0);
  c->Progress();
  P.Clock().SetTime(0.5);
  c->Progress();
  EXPECT_EQ(Events, (std::vector<TStep>{{1.0, 1.0}}));
  EXPECT_EQ(Totals.size(), 1u);
}

struct TStepRuleCase {
  const char* Name;
  double Fixed, Min, Max;
  double Elapsed;
  std::vector<double> SceneDeltas;  // steps the scene is given
  double EventNewTime;              // OnProgress gets the same newTime on every step
  double LastTime;                  // the scene's last newTime
};

class CadencerStepRules : public CadencerTest, public testing::WithParamInterface<TStepRuleCase> {};

TEST_P(CadencerStepRules, OneTick) {
  const TStepRuleCase& r = GetParam();
  auto c = MakeCadencer(TGLCadencerMode::cmManual);
  c->SetFixedDeltaTime(r.Fixed);
  c->SetMinDeltaTime(r.Min);
  c->SetMaxDeltaTime(r.Max);
  P.Clock().SetTime(r.Elapsed);
  c->Progress();
  ASSERT_EQ(SceneSteps.size(), r.SceneDeltas.size()) << r.Name;
  ASSERT_EQ(Events.size(), r.SceneDeltas.size()) << r.Name;
  for (size_t i = 0; i < SceneSteps.size(); ++i) {
    EXPECT_EQ(SceneSteps[i].DeltaTime, r.SceneDeltas[i]) << r.Name;
    EXPECT_EQ(Events[i].NewTime, r.EventNewTime) << r.Name;
  }
  if (!SceneSteps.empty()) {
    EXPECT_EQ(SceneSteps.back().NewTime, r.LastTime) << r.Name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CadencerStepRules,
    testing::Values(
        TStepRuleCase{"FixedStepsWithCarry",
                      0.01,
                      0,
                      0,
                      0.035,
                      {0.01, 0.01, 0.01},
                      0.035,
                      0.01 + 0.01 + 0.01},
        TStepRuleCase{"FixedLongerThanElapsedWaits", 0.05, 0, 0, 0.035, {}, 0, 0},
        TStepRuleCase{"MinLongerThanElapsedWaits", 0, 0.05, 0, 0.035, {}, 0, 0},
        TStepRuleCase{"MinShorterThanElapsedSteps", 0, 0.01, 0, 0.035, {0.035}, 0.035, 0.035},
        TStepRuleCase{"MaxCutsAStall", 0, 0, 0.1, 2.0, {0.1}, 0.1, 0.1},
        TStepRuleCase{"MaxAboveElapsedKeepsIt", 0, 0, 0.1, 0.05, {0.05}, 0.05, 0.05},
        TStepRuleCase{"FixedUnderMax", 0.04, 0, 0.1, 2.0, {0.04, 0.04}, 0.1, 0.04 + 0.04}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CadencerTest, FixedStepCarriesTheRemainderToTheNextTick) {
  auto c = MakeCadencer(TGLCadencerMode::cmManual);
  c->SetFixedDeltaTime(0.01);
  P.Clock().SetTime(0.035);
  c->Progress();
  const double afterFirst = 0.01 + 0.01 + 0.01;  // lastTime advanced by 0.03 only
  EXPECT_EQ(SceneSteps.back().NewTime, afterFirst);
  EXPECT_EQ(Totals, (std::vector<TStep>{{0.035, 0.0}}));
  P.Clock().SetTime(0.041);  // 0.005 carried + 0.006 new: one more step
  c->Progress();
  EXPECT_EQ(SceneSteps.size(), 4u);
  EXPECT_EQ(SceneSteps.back().NewTime, afterFirst + 0.01);
  EXPECT_EQ(Totals.back(), (TStep{0.041 - afterFirst, afterFirst}));
}

TEST_F(CadencerTest, MaxStepDropsTheStalledTimeFromTheClock) {
  auto c = MakeCadencer(TGLCadencerMode::cmManual);
  c->SetMaxDeltaTime(0.1);
  const double origin = c->OriginTime();
  P.Clock().SetTime(2.0);
  c->Progress();
  EXPECT_EQ(c->OriginTime(), origin + (2.0 - 0.1));
  P.Clock().SetTime(2.05);
  c->Progress();
  ASSERT_EQ(Events.size(), 2u);
  EXPECT_EQ(Events[0], (TStep{0.1, 0.1}));
  const double now = 2.05 - c->OriginTime();
  EXPECT_EQ(Events[1], (TStep{now - 0.1, now}));
  EXPECT_NEAR(Events[1].DeltaTime, 0.05, 1e-12);  // 1.9 s are gone for good
}

TEST_F(CadencerTest, TimeDisabledDoesNotCount) {
  auto c = MakeCadencer(TGLCadencerMode::cmManual);
  P.Clock().SetTime(1.0);
  c->Progress();
  c->SetEnabled(false);
  P.Clock().SetTime(6.0);
  c->Progress();  // disabled: nothing
  EXPECT_EQ(Events.size(), 1u);
  c->SetEnabled(true);
  P.Clock().SetTime(6.25);
  c->Progress();
  ASSERT_EQ(Events.size(), 2u);
  EXPECT_EQ(Events[1], (TStep{0.25, 1.25}));
}

TEST_F(CadencerTest, TimeMultiplierScalesAndStaysContinuous) {
  auto c = MakeCadencer(TGLCadencerMode::cmManual);
  P.Clock().SetTime(1.0);
  c->Progress();
  c->SetTimeMultiplier(2);
  P.Clock().SetTime(1.5);
  c->Progress();
  EXPECT_EQ(Events.back(), (TStep{1.0, 2.0}));
  c->SetTimeMultiplier(0);  // pauses
  EXPECT_FALSE(c->Enabled());
  P.Clock().SetTime(3.5);
  c->SetTimeMultiplier(2);
  EXPECT_TRUE(c->Enabled());
  P.Clock().SetTime(4.0);
  c->Progress();
  EXPECT_EQ(Events.back(), (TStep{1.0, 3.0}));
}

TEST_F(CadencerTest, ResetStartsTheClockAgain) {
  auto c = MakeCadencer(TGLCadencerMode::cmManual);
  P.Clock().SetTime(3.0);
  c->Progress();
  c->Reset();
  P.Clock().SetTime(3.5);
  c->Progress();
  EXPECT_EQ(Events.back(), (TStep{0.5, 0.5}));
}

TEST_F(CadencerTest, TimeReferences) {
  auto c = MakeCadencer(TGLCadencerMode::cmManual);
  c->SetTimeReference(TGLCadencerTimeReference::cmRTC);
  P.Clock().SetDateTimeBase(0);
  P.Clock().SetTime(2.0);
  c->SetOriginTime(0);
  EXPECT_NEAR(c->GetCurrenttime(), 2.0, 1e-9);  // days × 86400

  c->SetTimeReference(TGLCadencerTimeReference::cmExternal);
  c->SetCurrentTime(7.5);
  EXPECT_EQ(c->GetCurrenttime(), 7.5);
  EXPECT_EQ(c->CurrentTime(), 7.5);

  c->SetTimeReference(TGLCadencerTimeReference(9));
  try {
    c->GetCurrenttime();
    FAIL();
  } catch (const EAssertionFailed& e) {
    EXPECT_STREQ(e.what(), "Assertion failure");
  }
}

TEST_F(CadencerTest, WithoutAPerformanceCounterTheTickCountServes) {
  P.Clock().SetFrequency(0);
  auto c = MakeCadencer(TGLCadencerMode::cmManual);
  P.Clock().SetTime(1.25);
  c->Progress();
  EXPECT_EQ(Events, (std::vector<TStep>{{1.25, 1.25}}));
}

// ---- subscribers and links -----------------------------------------------------------------

class TRecorder : public TGLCadenceAbleComponent {
 public:
  TRecorder(std::vector<std::string>& log, std::string name) : FLog(log), FName(std::move(name)) {}
  void DoProgress(const TGLProgressTimes& t) override {
    FLog.push_back(FName + " " + std::to_string(t.DeltaTime));
    if (Action) Action();
  }
  std::function<void()> Action;

 private:
  std::vector<std::string>& FLog;
  std::string FName;
};

TEST_F(CadencerTest, SceneThenSubscribersInOrderThenOnProgress) {
  std::vector<std::string> log;
  auto c = MakeCadencer(TGLCadencerMode::cmManual);
  World.OnProgress = [&](TPersistent*, double, double) { log.push_back("scene"); };
  c->OnProgress = [&](TPersistent*, double, double) { log.push_back("event"); };
  TRecorder a(log, "a"), b(log, "b");
  c->Subscribe(&a);
  c->Subscribe(&b);
  c->Subscribe(&a);  // no duplicates
  P.Clock().SetTime(0.5);
  c->Progress();
  EXPECT_EQ(log, (std::vector<std::string>{"scene", "a 0.500000", "b 0.500000", "event"}));

  log.clear();
  c->UnSubscribe(&a);
  P.Clock().SetTime(1.0);
  c->Progress();
  EXPECT_EQ(log, (std::vector<std::string>{"scene", "b 0.500000", "event"}));
}

TEST_F(CadencerTest, SubscriberTimesAreTheSceneStepTimes) {
  std::vector<TGLProgressTimes> seen;
  struct TTimes : TGLCadenceAbleComponent {
    std::vector<TGLProgressTimes>* Seen;
    void DoProgress(const TGLProgressTimes& t) override { Seen->push_back(t); }
  } s;
  s.Seen = &seen;
  auto c = MakeCadencer(TGLCadencerMode::cmManual);
  c->SetFixedDeltaTime(0.25);
  c->Subscribe(&s);
  P.Clock().SetTime(0.5);
  c->Progress();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].DeltaTime, 0.25);
  EXPECT_EQ(seen[0].NewTime, 0.25);
  EXPECT_EQ(seen[1].NewTime, 0.5);
}

TEST_F(CadencerTest, DestroyedSubscribersAndSceneAreDroppedAndTickingGoesOn) {
  std::vector<std::string> log;
  auto c = MakeCadencer(TGLCadencerMode::cmASAP);
  auto a = std::make_unique<TRecorder>(log, "a");
  TRecorder b(log, "b");
  c->Subscribe(a.get());
  c->Subscribe(&b);
  // `a` destroys itself while progressing; `b`, now at index 0, is skipped for this step.
  a->Action = [&] { a.reset(); };
  P.Clock().SetTime(0.5);
  Serve();
  EXPECT_EQ(log, (std::vector<std::string>{"a 0.500000"}));
  EXPECT_EQ(c->SubscribedComponents().size(), 1u);

  auto world = std::make_unique<TGLWorld>();
  c->SetScene(world.get());
  world.reset();
  EXPECT_EQ(c->Scene(), nullptr);
  log.clear();
  P.Clock().SetTime(1.0);
  Serve();
  EXPECT_EQ(log, (std::vector<std::string>{"b 0.500000"}));
  EXPECT_EQ(Events.size(), 2u);
}

TEST_F(CadencerTest, DestroyingTheCadencerFirstLeavesTheSceneUnlinked) {
  auto c = MakeCadencer(TGLCadencerMode::cmASAP);
  c.reset();
  EXPECT_FALSE(GLCadencerASAPState().HandlerExists);
  Serve();  // the tick queued for the gone handler is dropped
  EXPECT_TRUE(Events.empty());
}

// ---- activation and the cmASAP handler -----------------------------------------------------

TEST_F(CadencerTest, ActivationNeedsASceneAndEnabled) {
  auto c = std::make_unique<TGLCadencer>(nullptr, &P);
  EXPECT_FALSE(GLCadencerASAPState().HandlerExists);
  c->SetScene(&World);
  EXPECT_EQ(GLCadencerASAPState().ListedCadencers, 1u);
  EXPECT_EQ(QueuedTicks(), 1u);
  c->SetEnabled(false);
  EXPECT_EQ(GLCadencerASAPState().ListedCadencers, 0u);
  EXPECT_EQ(QueuedTicks(), 0u);
  c->SetEnabled(true);
  EXPECT_EQ(QueuedTicks(), 1u);
  c->SetMode(TGLCadencerMode::cmManual);
  EXPECT_EQ(GLCadencerASAPState().ListedCadencers, 0u);
  c->SetMode(TGLCadencerMode::cmASAP);
  EXPECT_EQ(GLCadencerASAPState().ListedCadencers, 1u);
  c->SetScene(nullptr);
  EXPECT_EQ(GLCadencerASAPState().ListedCadencers, 0u);
}

TEST_F(CadencerTest, LoadingDefersActivationToLoaded) {
  auto c = std::make_unique<TGLCadencer>(nullptr, &P);
  c->SetLoading(true);
  c->SetScene(&World);
  EXPECT_FALSE(GLCadencerASAPState().HandlerExists);
  c->Loaded();
  EXPECT_EQ(QueuedTicks(), 1u);
}

TEST_F(CadencerTest, ManualModeTicksOnlyWhenCalled) {
  auto c = MakeCadencer(TGLCadencerMode::cmManual);
  EXPECT_FALSE(GLCadencerASAPState().HandlerExists);
  EXPECT_EQ(P.Loop().QueuedCount(), 0u);
  P.Clock().SetTime(1.0);
  Serve();
  EXPECT_TRUE(Events.empty());
  c->Progress();
  EXPECT_EQ(Events.size(), 1u);
}

TEST_F(CadencerTest, IdleModeTicksFromTheIdleHook) {
  auto c = MakeCadencer(TGLCadencerMode::cmApplicationIdle);
  ASSERT_TRUE(P.Loop().HasIdleHandler());
  P.Clock().SetTime(0.5);
  EXPECT_TRUE(P.Loop().CallIdle());  // wants more idle calls
  EXPECT_EQ(Events.size(), 1u);
  c->SetMode(TGLCadencerMode::cmManual);
  EXPECT_FALSE(P.Loop().HasIdleHandler());
}

TEST_F(CadencerTest, InputPendingBeforeATickIsServedBeforeItsStep) {
  std::vector<std::string> log;
  auto c = MakeCadencer(TGLCadencerMode::cmASAP);
  c->OnProgress = [&](TPersistent*, double, double) { log.push_back("step"); };
  Serve();
  // A click arriving while the next tick is already queued.
  P.Loop().PostInput([&] { log.push_back("click"); });
  Serve();
  Serve();
  // The queued tick serves the click in its own message processing, before its step.
  EXPECT_EQ(log, (std::vector<std::string>{"step", "click", "step", "step"}));
}

TEST_F(CadencerTest, ATickMessageServedInsideATickIsIgnoredAndNotReposted) {
  auto c = MakeCadencer(TGLCadencerMode::cmASAP);
  // A second tick message queued behind the handler's own: the tick's message processing
  // serves it while the guard is set.
  auto s = GLCadencerASAPState();
  P.Loop().PostMessage(s.Window, s.TickMessage);
  ASSERT_EQ(QueuedTicks(), 2u);
  Serve();
  EXPECT_EQ(Events.size(), 1u);
  EXPECT_EQ(QueuedTicks(), 1u);  // only the running tick posted its successor
}

TEST_F(CadencerTest, ProgressFromInsideTheScenesProgressionReturnsAtOnce) {
  auto c = MakeCadencer(TGLCadencerMode::cmManual);
  int sceneCalls = 0;
  World.OnProgress = [&](TPersistent*, double, double) {
    ++sceneCalls;
    EXPECT_TRUE(c->IsBusy());
    c->Progress();
  };
  P.Clock().SetTime(0.5);
  c->Progress();
  EXPECT_EQ(sceneCalls, 1);
  EXPECT_EQ(Events.size(), 1u);
  EXPECT_FALSE(c->IsBusy());
}

TEST_F(CadencerTest, ProgressFromOnProgressRunsNested) {
  auto c = MakeCadencer(TGLCadencerMode::cmManual);
  int depth = 0;
  c->OnProgress = [&](TPersistent*, double dt, double nt) {
    Events.push_back({dt, nt});
    if (depth++ == 0) c->Progress();
  };
  P.Clock().SetTime(0.5);
  c->Progress();
  EXPECT_EQ(Events, (std::vector<TStep>{{0.5, 0.5}, {0.0, 0.5}}));
}

TEST_F(CadencerTest, TooFastTicksParkOnAOneMillisecondTimerOnce) {
  auto c = MakeCadencer(TGLCadencerMode::cmASAP);
  // The clock stands still: every tick arrives in the millisecond it was posted.
  for (int i = 0; i < 5000; ++i) Serve();
  EXPECT_EQ(Events.size(), 5000u);
  EXPECT_EQ(GLCadencerASAPState().TooFastCounter, 5000);
  Serve();  // the 5001st is swallowed and the handler parks
  EXPECT_EQ(Events.size(), 5000u);
  auto s = GLCadencerASAPState();
  EXPECT_EQ(s.Timer, 1u);
  EXPECT_TRUE(P.Loop().TimerActive(s.Window, 1));
  EXPECT_EQ(QueuedTicks(), 0u);
  Serve();  // not yet due
  EXPECT_EQ(Events.size(), 5000u);
  P.Clock().Advance(0.001);
  Serve();  // the timer message ticks, stops the timer and posts the next tick
  EXPECT_EQ(Events.size(), 5001u);
  EXPECT_FALSE(P.Loop().TimerActive(s.Window, 1));
  EXPECT_EQ(GLCadencerASAPState().Timer, 0u);
  EXPECT_EQ(QueuedTicks(), 1u);
}

TEST_F(CadencerTest, TicksSpreadOverMillisecondsNeverPark) {
  auto c = MakeCadencer(TGLCadencerMode::cmASAP);
  for (int i = 0; i < 6000; ++i) {
    if (i % 2 == 0) P.Clock().Advance(0.001);
    Serve();
  }
  EXPECT_EQ(Events.size(), 6000u);
  EXPECT_EQ(GLCadencerASAPState().Timer, 0u);
  EXPECT_LE(GLCadencerASAPState().TooFastCounter, 1);
}

TEST_F(CadencerTest, AnErrorIsReportedOnceAndStopsAllTicks) {
  auto c = MakeCadencer(TGLCadencerMode::cmASAP);
  c->OnProgress = [](TPersistent*, double, double) { throw Exception("Frame failed"); };
  P.Clock().SetTime(0.1);
  Serve();
  EXPECT_EQ(P.Loop().ErrorReports, (std::vector<std::string>{"Frame failed"}));
  EXPECT_EQ(P.MessageBox().Shown, (std::vector<std::string>{"Frame failed"}));
  EXPECT_FALSE(c->Enabled());
  EXPECT_FALSE(c->IsBusy());
  for (int i = 0; i < 10; ++i) {
    P.Clock().Advance(0.1);
    Serve();
  }
  EXPECT_EQ(P.Loop().ErrorReports.size(), 1u);
  EXPECT_EQ(QueuedTicks(), 0u);
}

TEST_F(CadencerTest, AnErrorInTheSceneRestoresTheNestingCount) {
  auto c = MakeCadencer(TGLCadencerMode::cmManual);
  World.OnProgress = [](TPersistent*, double, double) { throw Exception("Scene failed"); };
  P.Clock().SetTime(0.1);
  EXPECT_THROW(c->Progress(), Exception);
  EXPECT_FALSE(c->IsBusy());
  World.OnProgress = nullptr;
  P.Clock().SetTime(0.2);
  c->Progress();  // not mistaken for a call from inside the scene
  EXPECT_EQ(Events.size(), 1u);
}

TEST_F(CadencerTest, OneFailingCadencerDoesNotStopAnother) {
  auto good = MakeCadencer(TGLCadencerMode::cmASAP);
  auto bad = std::make_unique<TGLCadencer>(nullptr, &P);
  bad->OnProgress = [](TPersistent*, double, double) { throw Exception("Bad"); };
  bad->SetScene(&World);
  P.Clock().SetTime(0.1);
  Serve();
  P.Clock().SetTime(0.2);
  Serve();
  EXPECT_EQ(P.Loop().ErrorReports.size(), 1u);
  EXPECT_EQ(Events.size(), 2u);
  EXPECT_FALSE(bad->Enabled());
  EXPECT_TRUE(good->Enabled());
}

TEST_F(CadencerTest, ATerminatingApplicationDisablesInsteadOfTicking) {
  auto c = MakeCadencer(TGLCadencerMode::cmASAP);
  P.Loop().Terminate();
  P.Clock().SetTime(0.1);
  Serve();
  EXPECT_TRUE(Events.empty());
  EXPECT_FALSE(c->Enabled());
}

TEST_F(CadencerTest, CadencerDisabledByAClickBeforeItsStepDoesNotStep) {
  auto c = MakeCadencer(TGLCadencerMode::cmASAP);
  // The click lands behind the first tick, which serves it in its own message processing.
  P.Loop().PostInput([&] { c->SetEnabled(false); });
  P.Clock().SetTime(0.1);
  Serve();
  EXPECT_TRUE(Events.empty());
}

using CadencerDeathTest = CadencerTest;

TEST_F(CadencerDeathTest, DestroyingACadencerInsideItsOwnProgressAborts) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        auto c = std::make_unique<TGLCadencer>(nullptr, &P);
        c->SetMode(TGLCadencerMode::cmManual);
        c->OnProgress = [&](TPersistent*, double, double) { c.reset(); };
        c->Progress();
      },
      "destroyed during its own Progress");
}

}  // namespace
}  // namespace ukh
