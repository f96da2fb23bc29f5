// Item collections: acceptance, ownership, the class registry and the "XCOL" archive.
#include "engine/scene/XCollection.h"

#include <algorithm>
#include <cstring>

#include "engine/base/Exception.h"
#include "engine/scene/XArchive.h"

namespace ukh {
namespace {

// The four payload bytes of the magic integer.
constexpr uint8_t cMagic[4] = {'X', 'C', 'O', 'L'};
constexpr int32_t cArchiveVersion = 1;

std::vector<const TXCollectionItemClass*>& Registry() {
  static std::vector<const TXCollectionItemClass*> registry;
  return registry;
}

}  // namespace

// ---- class records and the registry -------------------------------------------------------

TXCollectionItemClass::TXCollectionItemClass(std::string className,
                                             const TXCollectionItemClass* parent, TFactory create,
                                             TTraits traits)
    : FClassName(std::move(className)),
      FParent(parent),
      FCreate(create),
      FTraits(std::move(traits)) {}

bool TXCollectionItemClass::InheritsFrom(const TXCollectionItemClass& ancestor) const {
  for (const TXCollectionItemClass* c = this; c; c = c->FParent)
    if (c == &ancestor) return true;
  return false;
}

bool TXCollectionItemClass::CanAddTo(const TXCollection& collection) const {
  return FTraits.CanAddTo ? FTraits.CanAddTo(collection) : true;
}

std::unique_ptr<TXCollectionItem> TXCollectionItemClass::Create(TXCollection* owner) const {
  Assert(FCreate != nullptr);
  return FCreate(owner);
}

void RegisterXCollectionItemClass(const TXCollectionItemClass& itemClass) {
  // Only classes the reader can instantiate are of any use in the registry.
  Assert(itemClass.CanCreate());
  auto& r = Registry();
  if (std::find(r.begin(), r.end(), &itemClass) == r.end()) r.push_back(&itemClass);
}

void UnregisterXCollectionItemClass(const TXCollectionItemClass& itemClass) {
  auto& r = Registry();
  r.erase(std::remove(r.begin(), r.end(), &itemClass), r.end());
}

const TXCollectionItemClass* FindXCollectionItemClass(const std::string& className) {
  for (const TXCollectionItemClass* c : Registry())
    if (c->ClassName() == className) return c;
  return nullptr;
}

// ---- items --------------------------------------------------------------------------------

const TXCollectionItemClass& TXCollectionItem::StaticClass() {
  static const TXCollectionItemClass cls("TXCollectionItem", nullptr, nullptr, {});
  return cls;
}

TXCollectionItem::~TXCollectionItem() {
  if (!FOwner) return;
  auto& list = FOwner->FList;
  for (auto it = list.begin(); it != list.end(); ++it)
    if (it->get() == this) {
      (void)it->release();  // we are already being destroyed
      list.erase(it);
      break;
    }
}

int TXCollectionItem::Index() const {
  return FOwner ? FOwner->IndexOf(this) : -1;
}

void TXCollectionItem::Assign(const TXCollectionItem& source) {
  FName = source.FName;
}

void TXCollectionItem::WriteToFiler(TXArchiveWriter& writer) const {
  writer.WriteInteger(0);
  writer.WriteString(FName);
}

void TXCollectionItem::ReadFromFiler(TXArchiveReader& reader) {
  Assert(reader.ReadInteger() == 0);
  FName = reader.ReadString();
}

// ---- collection ---------------------------------------------------------------------------

int TXCollection::IndexOf(const TXCollectionItem* item) const {
  for (size_t i = 0; i < FList.size(); ++i)
    if (FList[i].get() == item) return int(i);
  return -1;
}

TXCollectionItem* TXCollection::GetByClass(const TXCollectionItemClass& itemClass) const {
  for (auto& item : FList)
    if (item->ClassType().InheritsFrom(itemClass)) return item.get();
  return nullptr;
}

const TXCollectionItemClass& TXCollection::ItemsClass() const {
  return TXCollectionItem::StaticClass();
}

bool TXCollection::CanAdd(const TXCollectionItemClass& itemClass) const {
  if (!itemClass.CanAddTo(*this)) return false;
  if (itemClass.UniqueItem() && GetByClass(itemClass)) return false;
  for (auto& item : FList) {
    const TXCollectionItemClass& present = item->ClassType();
    if (present.UniqueItem() && itemClass.InheritsFrom(present)) return false;
  }
  return true;
}

void TXCollection::Append(std::unique_ptr<TXCollectionItem> item) {
  item->FOwner = this;
  FList.push_back(std::move(item));
  FList.back()->OwnerChanged();
}

TXCollectionItem* TXCollection::AddNew(const TXCollectionItemClass& itemClass) {
  if (!CanAdd(itemClass))
    throw EAssertionFailed("Addition of " + itemClass.ClassName() + " to " + ClassName() +
                           " rejected.");
  std::unique_ptr<TXCollectionItem> item = itemClass.Create(this);
  item->FName = itemClass.FriendlyName();
  TXCollectionItem* raw = item.get();
  Append(std::move(item));
  return raw;
}

TXCollectionItem* TXCollection::Add(std::unique_ptr<TXCollectionItem> item) {
  Assert(item != nullptr && (item->FOwner == nullptr || item->FOwner == this) &&
         IndexOf(item.get()) < 0);
  const TXCollectionItemClass& itemClass = item->ClassType();
  if (!CanAdd(itemClass)) {
    item->FOwner = nullptr;
    throw EAssertionFailed("Addition of " + itemClass.ClassName() + " to " + ClassName() +
                           " rejected.");
  }
  if (item->FName.empty()) item->FName = itemClass.FriendlyName();
  TXCollectionItem* raw = item.get();
  Append(std::move(item));
  return raw;
}

std::unique_ptr<TXCollectionItem> TXCollection::Extract(TXCollectionItem* item) {
  const int i = IndexOf(item);
  if (i < 0) return nullptr;
  std::unique_ptr<TXCollectionItem> owned = std::move(FList[size_t(i)]);
  FList.erase(FList.begin() + i);
  owned->FOwner = nullptr;
  owned->OwnerChanged();
  return owned;
}

void TXCollection::Delete(int index) {
  Assert(index >= 0 && index < Count());
  Extract(Items(index));  // freed here, already detached
}

void TXCollection::Clear() {
  while (!FList.empty()) {
    std::unique_ptr<TXCollectionItem> item = std::move(FList.back());
    FList.pop_back();
    item->FOwner = nullptr;
    item->OwnerChanged();
  }
}

void TXCollection::Assign(const TXCollection& source) {
  if (&source == this) return;
  Clear();
  for (auto& item : source.FList) AddNew(item->ClassType())->Assign(*item);
}

void TXCollection::Loaded() {
  // An item's Loaded may free items; the index is re-checked every time.
  for (size_t i = 0; i < FList.size(); ++i) FList[i]->Loaded();
}

// ---- archive ------------------------------------------------------------------------------

void TXCollection::WriteToFiler(TXArchiveWriter& writer) const {
  const auto magic = uint32_t(cMagic[0]) | uint32_t(cMagic[1]) << 8 | uint32_t(cMagic[2]) << 16 |
                     uint32_t(cMagic[3]) << 24;
  writer.WriteInteger32(int32_t(magic));
  writer.WriteInteger(cArchiveVersion);
  writer.WriteInteger(Count());
  std::vector<const TXCollectionItemClass*> classes;
  for (auto& item : FList) {
    const TXCollectionItemClass* cls = &item->ClassType();
    auto it = std::find(classes.begin(), classes.end(), cls);
    if (it == classes.end()) {
      classes.push_back(cls);
      writer.WriteString(cls->ClassName());
    } else {
      writer.WriteInteger(int32_t(it - classes.begin()));
    }
    item->WriteToFiler(writer);
  }
}

void TXCollection::ReadItems(TXArchiveReader& reader) {
  uint8_t head[4];
  if (reader.NextIsInteger()) {
    const auto value = uint32_t(reader.ReadInteger());
    for (int k = 0; k < 4; ++k) head[k] = uint8_t(value >> (8 * k));
  } else {
    reader.ReadRaw(head, 4);
  }
  int32_t count;
  if (std::memcmp(head, cMagic, 4) == 0) {
    FArchiveVersion = reader.ReadInteger();
    count = reader.ReadInteger();
  } else {
    // An archive without magic starts with its count.
    FArchiveVersion = 0;
    count = int32_t(uint32_t(head[0]) | uint32_t(head[1]) << 8 | uint32_t(head[2]) << 16 |
                    uint32_t(head[3]) << 24);
  }
  // Nothing is reserved from the count: every item consumes bytes, so a count beyond the data
  // ends at the reader's end-of-data error.
  std::vector<const TXCollectionItemClass*> classes;
  for (int32_t n = 0; n < count; ++n) {
    const TXCollectionItemClass* cls;
    const TValueType tag = reader.NextValue();
    if (tag == TValueType::vaString || tag == TValueType::vaLString) {
      const std::string name = reader.ReadString();
      cls = FindXCollectionItemClass(name);
      if (!cls)
        throw EAssertionFailed("Class " + name +
                               " unknown. Add the relevant unit to your \"uses\".");
      classes.push_back(cls);
    } else {
      const int32_t index = reader.ReadInteger();
      if (index < 0 || size_t(index) >= classes.size())
        throw EAssertionFailed("Invalid classlistIndex: " + std::to_string(index));
      cls = classes[size_t(index)];
    }
    AddNew(*cls)->ReadFromFiler(reader);
  }
}

void TXCollection::ReadFromFiler(TXArchiveReader& reader) {
  std::vector<std::unique_ptr<TXCollectionItem>> previous = std::move(FList);
  FList.clear();
  const int32_t previousVersion = FArchiveVersion;
  try {
    ReadItems(reader);
  } catch (...) {
    Clear();
    FList = std::move(previous);
    FArchiveVersion = previousVersion;
    throw;
  }
  for (auto& item : previous) {
    item->FOwner = nullptr;
    item->OwnerChanged();
  }
  previous.clear();
}

std::vector<uint8_t> TXCollection::SaveToBytes() const {
  TXArchiveWriter writer;
  WriteToFiler(writer);
  return writer.TakeBytes();
}

void TXCollection::LoadFromBytes(const uint8_t* data, size_t size) {
  TXArchiveReader reader(data, size);
  ReadFromFiler(reader);
}

}  // namespace ukh
