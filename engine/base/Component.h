// TComponent: the named, tagged component base with destruction notifications.
//
// Ownership of components is held elsewhere (std::unique_ptr in the owning object); the
// `Owner` here is only the non-owning link that notifications travel along. Links between
// components that do not own each other are cleared through FreeNotification: when a
// component dies, every component that asked to be told gets Notification(it, opRemove).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/base/Persistent.h"

namespace ukh {

enum class TOperation : uint8_t { opInsert, opRemove };

// Component state flags.
enum TComponentStateFlag : uint8_t {
  csLoading = 1 << 0,     // being read from stored form
  csDesigning = 1 << 1,   // never set in this program; kept for the rules that test it
  csDestroying = 1 << 2,  // inside the destructor
};

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* owner = nullptr) : FOwner(owner) {}
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }
  void SetOwner(TComponent* owner) { FOwner = owner; }

  const std::string& Name() const { return FName; }
  virtual void SetName(const std::string& name) { FName = name; }
  int32_t Tag() const { return FTag; }
  void SetTag(int32_t tag) { FTag = tag; }

  uint8_t ComponentState() const { return FComponentState; }
  bool IsLoading() const { return (FComponentState & csLoading) != 0; }
  bool IsDesigning() const { return (FComponentState & csDesigning) != 0; }
  bool IsDestroying() const { return (FComponentState & csDestroying) != 0; }
  void SetLoading(bool on) { SetStateFlag(csLoading, on); }

  // Called once after the component and its references were read from stored form; clears
  // the loading state.
  virtual void Loaded() { SetLoading(false); }

  // Asks that `other` be told (Notification(this, opRemove)) when this component is
  // destroyed. The link is two-way, so `other` dying first also ends it.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);

 protected:
  // Told of a component's destruction; override to clear links to it.
  virtual void Notification(TComponent* component, TOperation operation);
  // To be called first by a derived destructor that must see its links in a valid state.
  void BeginDestruction();

 private:
  void SetStateFlag(uint8_t flag, bool on) {
    FComponentState = on ? (FComponentState | flag) : (FComponentState & ~flag);
  }
  static void Unlink(std::vector<TComponent*>& list, TComponent* c);

  TComponent* FOwner = nullptr;
  std::string FName;
  int32_t FTag = 0;
  uint8_t FComponentState = 0;
  std::vector<TComponent*> FFreeNotifies;
};

}  // namespace ukh
