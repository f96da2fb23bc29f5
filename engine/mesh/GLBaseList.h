// TGLBaseList: contiguous storage of fixed-size items that grows by a fixed delta and counts
// its revisions, so that caches built from a list (extents, buffer objects) know when to
// rebuild. TGLTypedList gives it a typed view; the mesh model's lists derive from that.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

#include "engine/base/Exception.h"
#include "engine/base/Persistent.h"

namespace ukh {

enum class TGLBaseListOption : uint8_t { bloExternalMemory = 1, bloSetCountResetsMemory = 2 };

class TGLBaseList : public TPersistent {
 public:
  ~TGLBaseList() override;

  int Count() const { return FCount; }
  // Raising the count with bloSetCountResetsMemory zero-fills the new items.
  void SetCount(int value);
  int Capacity() const { return FCapacity; }
  void SetCapacity(int value);
  int GrowthDelta() const { return FGrowthDelta; }
  void SetGrowthDelta(int value) { FGrowthDelta = value > 0 ? value : 1; }
  int ItemSize() const { return FItemSize; }
  uint32_t Revision() const { return FRevision; }
  // For changes made to the items through their memory.
  void IncRevision() { ++FRevision; }
  bool HasOption(TGLBaseListOption o) const { return FOptions & uint8_t(o); }
  void SetOption(TGLBaseListOption o, bool on) {
    FOptions = on ? uint8_t(FOptions | uint8_t(o)) : uint8_t(FOptions & ~uint8_t(o));
  }
  std::string FTagString;

  // Appends n zero items.
  void AddNulls(int n);
  // Empties the list and releases its storage.
  void Clear();
  const void* BaseList() const { return FBaseList; }

 protected:
  TGLBaseList(int itemSize, int growthDelta) : FGrowthDelta(growthDelta), FItemSize(itemSize) {}
  // Room for one more item at the end: the capacity grows by the delta when the list is full.
  void* AppendSlot();
  void* ItemAddress(int index) { return FBaseList + size_t(index) * size_t(FItemSize); }
  const void* ItemAddress(int index) const { return FBaseList + size_t(index) * size_t(FItemSize); }
  void CheckIndex(int index) const {
    if (index < 0 || index >= FCount) throw EAssertionFailed("List index out of bounds");
  }

 private:
  int FCount = 0;
  int FCapacity = 0;
  int FGrowthDelta;
  uint8_t FOptions = uint8_t(TGLBaseListOption::bloSetCountResetsMemory);
  uint32_t FRevision = 0;
  uint8_t* FBaseList = nullptr;
  int FItemSize;
};

// The typed view `FList` of a base list; items must be plain data.
template <class T>
class TGLTypedList : public TGLBaseList {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  // Unchecked access for hot loops; Get and Set check the index.
  const T& operator[](int index) const { return List()[index]; }
  T Get(int index) const {
    CheckIndex(index);
    return List()[index];
  }
  void Set(int index, const T& item) {
    CheckIndex(index);
    List()[index] = item;
    IncRevision();
  }
  int Add(const T& item) {
    const T copy = item;  // the item may live in this list's storage, which may move
    std::memcpy(AppendSlot(), &copy, sizeof(T));
    return Count() - 1;
  }
  T* List() { return static_cast<T*>(ItemAddress(0)); }
  const T* List() const { return static_cast<const T*>(ItemAddress(0)); }

 protected:
  explicit TGLTypedList(int growthDelta = 16) : TGLBaseList(sizeof(T), growthDelta) {}
};

}  // namespace ukh
