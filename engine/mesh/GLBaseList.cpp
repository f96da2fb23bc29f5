// Storage, growth and revision counting of the mesh model's lists.
#include "engine/mesh/GLBaseList.h"

#include <cstdlib>
#include <new>

namespace ukh {

TGLBaseList::~TGLBaseList() {
  std::free(FBaseList);
}

void TGLBaseList::SetCapacity(int value) {
  if (value < FCount) value = FCount;
  if (value == FCapacity) return;
  // Items are plain data, so realloc may move them; large blocks then grow without a copy.
  void* p = value ? std::realloc(FBaseList, size_t(value) * size_t(FItemSize)) : nullptr;
  if (value && !p) throw std::bad_alloc();
  if (!value) std::free(FBaseList);
  FBaseList = static_cast<uint8_t*>(p);
  FCapacity = value;
  IncRevision();
}

void TGLBaseList::SetCount(int value) {
  if (value < 0) throw EAssertionFailed("List count out of bounds");
  if (value == FCount) return;
  if (value > FCapacity) SetCapacity(value);
  if (value > FCount && HasOption(TGLBaseListOption::bloSetCountResetsMemory))
    std::memset(ItemAddress(FCount), 0, size_t(value - FCount) * size_t(FItemSize));
  FCount = value;
  IncRevision();
}

void TGLBaseList::AddNulls(int n) {
  if (n <= 0) return;
  const int old = FCount;
  if (old + n > FCapacity) SetCapacity(old + n);
  std::memset(ItemAddress(old), 0, size_t(n) * size_t(FItemSize));
  FCount = old + n;
  IncRevision();
}

void* TGLBaseList::AppendSlot() {
  if (FCount == FCapacity) SetCapacity(FCapacity + FGrowthDelta);
  ++FCount;
  IncRevision();
  return ItemAddress(FCount - 1);
}

void TGLBaseList::Clear() {
  if (FCount == 0 && FCapacity == 0) return;
  std::free(FBaseList);
  FBaseList = nullptr;
  FCount = 0;
  FCapacity = 0;
  IncRevision();
}

}  // namespace ukh
