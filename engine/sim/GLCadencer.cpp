// The cadencer's tick, its time references and activation, and the process-wide cmASAP
// handler that drives every cmASAP cadencer through a tick message posted to a hidden window.
#include "engine/sim/GLCadencer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "engine/base/Exception.h"
#include "engine/scene/GLWorld.h"

namespace ukh {

using platform::TMessage;
using platform::WM_TIMER;

namespace {
// Ticks arriving within the millisecond they were posted, in a row, before the handler parks
// on a one-millisecond timer.
constexpr int32_t kTooFastLimit = 5000;
constexpr uint32_t kTimerId = 1;
}  // namespace

class TASAPHandler {
 public:
  explicit TASAPHandler(platform::IPlatform& platform);
  // Destroys the hidden window; messages still queued for it are dropped.
  void Destroy();
  void WndProc(const TMessage& message);

  platform::IPlatform& FPlatform;
  int32_t FTooFastCounter = 0;
  uint32_t FTimer = 0;
  platform::TWindowHandle FWindowHandle = 0;
};

namespace {

// Entries are set to empty rather than erased while the handler may be walking the list.
std::unique_ptr<std::vector<TGLCadencer*>> vASAPCadencerList;
std::unique_ptr<TASAPHandler> vHandler;
bool vWndProcInLoop = false;
uint32_t vWMTickCadencer = 0;

bool ListHolds(const TGLCadencer* cadencer) {
  return vASAPCadencerList && std::find(vASAPCadencerList->begin(), vASAPCadencerList->end(),
                                        cadencer) != vASAPCadencerList->end();
}

// Frees the handler and the list once no cadencer is listed; never while the handler runs,
// which does the same itself when it is done.
void FreeASAPIfUnused() {
  if (vWndProcInLoop || !vASAPCadencerList) return;
  if (std::any_of(vASAPCadencerList->begin(), vASAPCadencerList->end(),
                  [](TGLCadencer* c) { return c != nullptr; }))
    return;
  if (vHandler) vHandler->Destroy();
  vHandler.reset();
  vASAPCadencerList.reset();
}

}  // namespace

TASAPHandler::TASAPHandler(platform::IPlatform& platform) : FPlatform(platform) {
  platform::IMessageLoop& loop = platform.Loop();
  vWMTickCadencer = loop.RegisterMessage("TickGLCadencer");
  FWindowHandle = loop.CreateMessageWindow([this](const TMessage& m) { WndProc(m); });
  loop.PostMessage(FWindowHandle, vWMTickCadencer);
}

void TASAPHandler::Destroy() {
  if (FTimer != 0) FPlatform.Loop().StopTimer(FWindowHandle, FTimer);
  FTimer = 0;
  if (FWindowHandle != 0) FPlatform.Loop().DestroyMessageWindow(FWindowHandle);
  FWindowHandle = 0;
}

void TASAPHandler::WndProc(const TMessage& message) {
  platform::IMessageLoop& loop = FPlatform.Loop();
  const bool isTimer = message.Msg == WM_TIMER;
  if (isTimer) {
    loop.StopTimer(FWindowHandle, FTimer);
    FTimer = 0;
  }
  if (!isTimer && message.Time == FPlatform.Clock().TickCount()) {
    if (++FTooFastCounter > kTooFastLimit) {
      if (FTimer == 0) FTimer = loop.StartTimer(FWindowHandle, kTimerId, 1);
      FTooFastCounter = 0;
    }
  } else {
    FTooFastCounter = 0;
  }
  if (FTimer != 0) return;  // parked: the timer message resumes ticking
  if (vWndProcInLoop) return;
  vWndProcInLoop = true;
  struct TGuard {
    ~TGuard() { vWndProcInLoop = false; }
  } guard;

  if (message.Msg == vWMTickCadencer || isTimer) {
    // From the last to the first; cadencers activated meanwhile wait for the next round.
    for (size_t i = vASAPCadencerList->size(); i-- > 0;) {
      TGLCadencer* cadencer = (*vASAPCadencerList)[i];
      if (!cadencer || cadencer->Mode() != TGLCadencerMode::cmASAP || !cadencer->Enabled() ||
          cadencer->FProgressing != 0)
        continue;
      if (loop.Terminated()) {
        cadencer->SetEnabled(false);
        continue;
      }
      try {
        cadencer->Progress();
      } catch (const std::exception& error) {
        loop.ReportError(error);
        // The failing step may have destroyed it (its entry is then empty).
        if ((*vASAPCadencerList)[i] == cadencer) cadencer->SetEnabled(false);
      }
    }
  }

  std::erase(*vASAPCadencerList, nullptr);
  if (!vASAPCadencerList->empty()) {
    loop.PostMessage(FWindowHandle, vWMTickCadencer);
  } else {
    // Frees this handler: nothing below may touch its members.
    vASAPCadencerList.reset();
    Destroy();
    vHandler.reset();
  }
}

TGLCadencerASAPState GLCadencerASAPState() {
  TGLCadencerASAPState state;
  state.HandlerExists = vHandler != nullptr;
  state.TickMessage = vWMTickCadencer;
  if (vHandler) {
    state.Window = vHandler->FWindowHandle;
    state.TooFastCounter = vHandler->FTooFastCounter;
    state.Timer = vHandler->FTimer;
  }
  if (vASAPCadencerList)
    state.ListedCadencers =
        size_t(std::count_if(vASAPCadencerList->begin(), vASAPCadencerList->end(),
                             [](TGLCadencer* c) { return c != nullptr; }));
  return state;
}

// ---- TGLCadencer ---------------------------------------------------------------------------

TGLCadencer::TGLCadencer(TComponent* owner, platform::IPlatform* platform)
    : TComponent(owner),
      FPlatform(platform ? *platform : platform::CurrentPlatform()),
      FFrequency(FPlatform.Clock().PerformanceFrequency()) {
  downTime = FOriginTime = GetRawReferenceTime();
  SetEnabled(true);
}

TGLCadencer::~TGLCadencer() {
  if (FProgressing != 0) {
    std::fputs("Assertion failure: a cadencer was destroyed during its own Progress\n", stderr);
    std::abort();
  }
  BeginDestruction();
  Deactivate();
  FreeASAPIfUnused();
}

double TGLCadencer::GetRawReferenceTime() {
  switch (FTimeReference) {
    case TGLCadencerTimeReference::cmRTC:
      return FPlatform.Clock().LocalDateTime() * 86400.0;
    case TGLCadencerTimeReference::cmPerformanceCounter:
      // Without a high-resolution counter the millisecond tick count has to do.
      if (FFrequency == 0) return FPlatform.Clock().TickCount() / 1000.0;
      return double(FPlatform.Clock().PerformanceCounter()) / double(FFrequency);
    case TGLCadencerTimeReference::cmExternal:
      return FCurrentTime;
  }
  throw EAssertionFailed();
}

double TGLCadencer::GetCurrenttime() {
  FCurrentTime = (GetRawReferenceTime() - FOriginTime) * FTimeMultiplier;
  return FCurrentTime;
}

void TGLCadencer::Reset() {
  lastTime = 0;
  downTime = FOriginTime = GetRawReferenceTime();
}

void TGLCadencer::Progress() {
  if (FProgressing < 0) return;  // called from inside this cadencer's scene progression
  if (FEnabled) {
    if (FSleepLength >= 0) std::this_thread::sleep_for(std::chrono::milliseconds(FSleepLength));
    if (FMode == TGLCadencerMode::cmASAP) {
      FPlatform.Loop().ProcessMessages();  // clicks and paints are served here, between steps
      if (!ListHolds(this)) return;
    }
  }
  ++FProgressing;
  struct TGuard {
    int32_t& Progressing;
    ~TGuard() { --Progressing; }
  } guard{FProgressing};

  if (!FEnabled) return;  // a message served above may have disabled it
  double newTime = GetCurrenttime();
  double deltaTime = newTime - lastTime;
  if (FMinDeltaTime > deltaTime || FFixedDeltaTime > deltaTime) return;  // time accumulates
  if (FMaxDeltaTime > 0 && deltaTime > FMaxDeltaTime) {
    // The time beyond the longest step is dropped from the clock for good.
    FOriginTime += (deltaTime - FMaxDeltaTime) / FTimeMultiplier;
    deltaTime = FMaxDeltaTime;
    newTime = lastTime + FMaxDeltaTime;
  }
  double remaining = deltaTime;
  const double totalDelta = deltaTime;
  const double lastTimeBefore = lastTime;
  if (FFixedDeltaTime > 0) deltaTime = FFixedDeltaTime;

  while (remaining >= deltaTime) {
    lastTime += deltaTime;
    if (FScene && deltaTime != 0) {
      FProgressing = -FProgressing;
      struct TNegate {
        int32_t& Progressing;
        ~TNegate() { Progressing = -Progressing; }
      } negateBack{FProgressing};
      FScene->Progress(deltaTime, lastTime);
    }
    if (!FSubscribedCadenceableComponents.empty()) {
      TGLProgressTimes times;
      times.DeltaTime = deltaTime;
      times.NewTime = lastTime;
      // By index: a subscriber may subscribe or unsubscribe others while it progresses.
      for (size_t i = 0; i < FSubscribedCadenceableComponents.size(); ++i)
        FSubscribedCadenceableComponents[i]->DoProgress(times);
    }
    if (OnProgress && !IsDesigning()) OnProgress(this, deltaTime, newTime);
    if (deltaTime <= 0) break;
    // A step too small to change the remaining time would never end the loop.
    if (remaining - deltaTime == remaining) break;
    remaining -= deltaTime;
  }
  if (OnTotalProgress && !IsDesigning()) OnTotalProgress(this, totalDelta, lastTimeBefore);
}

void TGLCadencer::SetEnabled(bool enabled) {
  if (FEnabled == enabled) return;
  FEnabled = enabled;
  if (!IsDesigning()) {
    if (enabled)
      FOriginTime = GetRawReferenceTime() + FOriginTime - downTime;  // the pause does not count
    else
      downTime = GetRawReferenceTime();
  }
  UpdateActivation();
}

void TGLCadencer::SetTimeMultiplier(double multiplier) {
  if (multiplier == FTimeMultiplier) return;
  if (multiplier == 0) {
    lastMultiplier = FTimeMultiplier;
    SetEnabled(false);
  } else {
    const double rt = GetRawReferenceTime();
    if (FTimeMultiplier == 0) {
      SetEnabled(true);
      FOriginTime = rt - (rt - FOriginTime) * lastMultiplier / multiplier;
    } else {
      FOriginTime = rt - (rt - FOriginTime) * FTimeMultiplier / multiplier;
    }
  }
  FTimeMultiplier = multiplier;
}

void TGLCadencer::SetMode(TGLCadencerMode mode) {
  if (FMode == mode) return;
  if (FMode != TGLCadencerMode::cmManual) Deactivate();
  FMode = mode;
  UpdateActivation();
}

bool TGLCadencer::LinkedElsewhere(TComponent* component) const {
  return component == FScene ||
         std::find(FSubscribedCadenceableComponents.begin(), FSubscribedCadenceableComponents.end(),
                   component) != FSubscribedCadenceableComponents.end();
}

void TGLCadencer::SetScene(TGLWorld* scene) {
  if (FScene == scene) return;
  TGLWorld* old = FScene;
  FScene = scene;
  if (old && !LinkedElsewhere(old)) RemoveFreeNotification(old);
  if (scene) FreeNotification(scene);
  UpdateActivation();
}

void TGLCadencer::Subscribe(TGLCadenceAbleComponent* component) {
  if (!component ||
      std::find(FSubscribedCadenceableComponents.begin(), FSubscribedCadenceableComponents.end(),
                component) != FSubscribedCadenceableComponents.end())
    return;
  FSubscribedCadenceableComponents.push_back(component);
  FreeNotification(component);
}

void TGLCadencer::UnSubscribe(TGLCadenceAbleComponent* component) {
  auto it = std::find(FSubscribedCadenceableComponents.begin(),
                      FSubscribedCadenceableComponents.end(), component);
  if (it == FSubscribedCadenceableComponents.end()) return;
  FSubscribedCadenceableComponents.erase(it);
  if (!LinkedElsewhere(component)) RemoveFreeNotification(component);
}

void TGLCadencer::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove) {
    // Keeps ticking without it.
    if (component == FScene) FScene = nullptr;
    std::erase(FSubscribedCadenceableComponents, component);
  }
  TComponent::Notification(component, operation);
}

void TGLCadencer::Loaded() {
  TComponent::Loaded();
  UpdateActivation();
}

void TGLCadencer::UpdateActivation() {
  if (IsLoading()) return;
  if ((FMode == TGLCadencerMode::cmASAP || FMode == TGLCadencerMode::cmApplicationIdle) &&
      !IsDesigning() && FScene && FEnabled)
    Activate();
  else
    Deactivate();
}

void TGLCadencer::Activate() {
  switch (FMode) {
    case TGLCadencerMode::cmASAP:
      if (!vASAPCadencerList) vASAPCadencerList = std::make_unique<std::vector<TGLCadencer*>>();
      if (!ListHolds(this)) {
        // One handler serves one message loop.
        if (vHandler) Assert(&vHandler->FPlatform.Loop() == &FPlatform.Loop());
        vASAPCadencerList->push_back(this);
        if (!vHandler) vHandler = std::make_unique<TASAPHandler>(FPlatform);
      }
      break;
    case TGLCadencerMode::cmApplicationIdle:
      FPlatform.Loop().SetIdleHandler([this] {
        Progress();
        return true;
      });
      break;
    case TGLCadencerMode::cmManual:
      break;
  }
}

void TGLCadencer::Deactivate() {
  switch (FMode) {
    case TGLCadencerMode::cmASAP:
      if (vASAPCadencerList)
        std::replace(vASAPCadencerList->begin(), vASAPCadencerList->end(), this,
                     static_cast<TGLCadencer*>(nullptr));
      FreeASAPIfUnused();
      break;
    case TGLCadencerMode::cmApplicationIdle:
      FPlatform.Loop().SetIdleHandler({});
      break;
    case TGLCadencerMode::cmManual:
      break;
  }
}

}  // namespace ukh
