// TGLCadencer: the frame clock. Each tick reads a time source, progresses the bound scene by
// the time passed, lets subscribed components progress and fires OnProgress. It ticks when
// called (cmManual), from the message loop's idle hook (cmApplicationIdle), or as fast as the
// loop allows through a tick message posted to a hidden window (cmASAP), serving pending input
// and paints between ticks.
//
// The cadencer is owned by its owner component; its scene and subscribers are links, dropped
// when those components die. All cadencers in cmASAP mode share one process-wide handler on
// the message loop of the platform they were given.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/base/Component.h"
#include "engine/base/GLUpdateAbleComponent.h"
#include "engine/scene/GLBaseSceneObject.h"
#include "platform/Platform.h"

namespace ukh {

class TGLWorld;

enum class TGLCadencerMode : uint8_t { cmManual, cmASAP, cmApplicationIdle };
enum class TGLCadencerTimeReference : uint8_t { cmRTC, cmPerformanceCounter, cmExternal };

class TGLCadencer : public TComponent {
 public:
  // `platform` supplies the clock and the message loop; none means the current platform.
  explicit TGLCadencer(TComponent* owner = nullptr, platform::IPlatform* platform = nullptr);
  // Destroying a cadencer inside its own Progress is a programming error and aborts.
  ~TGLCadencer() override;

  // One tick; the only way to tick in cmManual mode.
  void Progress();
  // Reads the reference time, converts it to cadencer time, stores it in CurrentTime.
  double GetCurrenttime();
  bool IsBusy() const { return FProgressing != 0; }
  // Cadencer time starts again from 0 now.
  void Reset();

  // Subscribers progress after the scene on every step, in subscription order.
  void Subscribe(TGLCadenceAbleComponent* component);
  void UnSubscribe(TGLCadenceAbleComponent* component);
  const std::vector<TGLCadenceAbleComponent*>& SubscribedComponents() const {
    return FSubscribedCadenceableComponents;
  }

  TGLWorld* Scene() const { return FScene; }
  void SetScene(TGLWorld* scene);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  TGLCadencerTimeReference TimeReference() const { return FTimeReference; }
  void SetTimeReference(TGLCadencerTimeReference reference) { FTimeReference = reference; }
  double TimeMultiplier() const { return FTimeMultiplier; }
  // Keeps cadencer time continuous; 0 pauses (disables) and a later non-zero value resumes.
  void SetTimeMultiplier(double multiplier);
  double MaxDeltaTime() const { return FMaxDeltaTime; }
  void SetMaxDeltaTime(double value) { FMaxDeltaTime = value; }
  double MinDeltaTime() const { return FMinDeltaTime; }
  void SetMinDeltaTime(double value) { FMinDeltaTime = value; }
  double FixedDeltaTime() const { return FFixedDeltaTime; }
  void SetFixedDeltaTime(double value) { FFixedDeltaTime = value; }
  TGLCadencerMode Mode() const { return FMode; }
  void SetMode(TGLCadencerMode mode);
  int32_t SleepLength() const { return FSleepLength; }
  void SetSleepLength(int32_t milliseconds) { FSleepLength = milliseconds; }

  double OriginTime() const { return FOriginTime; }
  void SetOriginTime(double value) { FOriginTime = value; }
  double CurrentTime() const { return FCurrentTime; }
  // The time source of cmExternal.
  void SetCurrentTime(double value) { FCurrentTime = value; }

  platform::IPlatform& Platform() const { return FPlatform; }

  TGLProgressEvent OnProgress;
  TGLProgressEvent OnTotalProgress;

  void Loaded() override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TASAPHandler;
  double GetRawReferenceTime();
  void UpdateActivation();
  void Activate();
  void Deactivate();
  bool LinkedElsewhere(TComponent* component) const;

  platform::IPlatform& FPlatform;
  int64_t FFrequency = 0;  // of the performance counter, read once

  std::vector<TGLCadenceAbleComponent*> FSubscribedCadenceableComponents;
  TGLWorld* FScene = nullptr;
  double FTimeMultiplier = 1;
  double lastTime = 0;
  double downTime = 0;
  double lastMultiplier = 1;
  bool FEnabled = false;
  int32_t FSleepLength = -1;
  TGLCadencerMode FMode = TGLCadencerMode::cmASAP;
  TGLCadencerTimeReference FTimeReference = TGLCadencerTimeReference::cmPerformanceCounter;
  double FCurrentTime = 0;
  double FOriginTime = 0;
  double FMaxDeltaTime = 0;
  double FMinDeltaTime = 0;
  double FFixedDeltaTime = 0;
  int32_t FProgressing = 0;
};

// The shared cmASAP handler, exposed for tests and benchmarks: whether one exists, its hidden
// window (0 when none) and the number the tick message was registered under.
struct TGLCadencerASAPState {
  bool HandlerExists = false;
  platform::TWindowHandle Window = 0;
  uint32_t TickMessage = 0;
  int32_t TooFastCounter = 0;
  uint32_t Timer = 0;
  size_t ListedCadencers = 0;  // non-empty entries
};
TGLCadencerASAPState GLCadencerASAPState();

}  // namespace ukh
