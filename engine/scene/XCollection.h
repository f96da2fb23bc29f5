// Item collections with a stored form: TXCollection owns an ordered list of TXCollectionItem,
// decides which item classes it accepts, and writes and reads itself as an "XCOL" archive.
// Item classes are described by TXCollectionItemClass records; the process-wide registry of
// those records is how a reader turns a stored class name back into an item.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/base/Persistent.h"

namespace ukh {

class TXCollection;
class TXCollectionItem;
class TXArchiveReader;
class TXArchiveWriter;

// The class reference of an item class: its name, its ancestor, its class-level answers and
// how to create an item of it. One static record per class (see StaticClass below).
class TXCollectionItemClass {
 public:
  using TFactory = std::unique_ptr<TXCollectionItem> (*)(TXCollection* owner);
  using TCanAddTo = bool (*)(const TXCollection& collection);

  struct TTraits {
    std::string FriendlyName;
    std::string FriendlyDescription;
    std::string ItemCategory;
    bool UniqueItem = false;
    TCanAddTo CanAddTo = nullptr;  // null: may be added anywhere
  };

  // `create` is null for classes that are never instantiated from stored form.
  TXCollectionItemClass(std::string className, const TXCollectionItemClass* parent, TFactory create,
                        TTraits traits);
  TXCollectionItemClass(const TXCollectionItemClass&) = delete;
  TXCollectionItemClass& operator=(const TXCollectionItemClass&) = delete;

  const std::string& ClassName() const { return FClassName; }
  const TXCollectionItemClass* ClassParent() const { return FParent; }
  // True for the class itself and for every class derived from `ancestor`.
  bool InheritsFrom(const TXCollectionItemClass& ancestor) const;

  const std::string& FriendlyName() const { return FTraits.FriendlyName; }
  const std::string& FriendlyDescription() const { return FTraits.FriendlyDescription; }
  const std::string& ItemCategory() const { return FTraits.ItemCategory; }
  bool UniqueItem() const { return FTraits.UniqueItem; }
  bool CanAddTo(const TXCollection& collection) const;
  bool CanCreate() const { return FCreate != nullptr; }
  // Creates an unattached item whose owner link is `owner`; see TXCollection::AddNew.
  std::unique_ptr<TXCollectionItem> Create(TXCollection* owner) const;

 private:
  std::string FClassName;
  const TXCollectionItemClass* FParent;
  TFactory FCreate;
  TTraits FTraits;
};

// The process-wide registry. The records are static objects of the modules that define them;
// a module registers its classes from an explicit start-up call (static initialisers of a
// static library are dropped by the linker when nothing else references their object file).
// Registering twice is harmless.
void RegisterXCollectionItemClass(const TXCollectionItemClass& itemClass);
void UnregisterXCollectionItemClass(const TXCollectionItemClass& itemClass);
// The first registered class of that exact name, or null.
const TXCollectionItemClass* FindXCollectionItemClass(const std::string& className);

class TXCollectionItem : public TPersistent {
 public:
  // `owner` is the collection the item is meant for; it does not take ownership here (see
  // TXCollection::Add / AddNew, which check acceptance and append).
  explicit TXCollectionItem(TXCollection* owner = nullptr) : FOwner(owner) {}
  // An item still in a collection leaves it: the collection lets go without freeing it.
  ~TXCollectionItem() override;

  static const TXCollectionItemClass& StaticClass();
  virtual const TXCollectionItemClass& ClassType() const { return StaticClass(); }
  const std::string& ClassName() const { return ClassType().ClassName(); }

  TXCollection* Owner() const { return FOwner; }
  int Index() const;
  virtual const std::string& Name() const { return FName; }
  virtual void SetName(const std::string& name) { FName = name; }

  // Copies the name; derived classes copy their own data when `source` is of their class.
  virtual void Assign(const TXCollectionItem& source);
  // Base data: version 0, then the name.
  virtual void WriteToFiler(TXArchiveWriter& writer) const;
  virtual void ReadFromFiler(TXArchiveReader& reader);
  virtual void Loaded() {}

 protected:
  // Called after the item joined a collection or left it (Owner() tells which).
  virtual void OwnerChanged() {}

 private:
  friend class TXCollection;
  TXCollection* FOwner;
  std::string FName;
};

class TXCollection : public TPersistent {
 public:
  explicit TXCollection(TPersistent* owner) : FOwner(owner) {}
  ~TXCollection() override { Clear(); }

  virtual const char* ClassName() const { return "TXCollection"; }
  TPersistent* Owner() const { return FOwner; }
  int Count() const { return int(FList.size()); }
  TXCollectionItem* Items(int index) const { return FList[size_t(index)].get(); }
  TXCollectionItem* operator[](int index) const { return Items(index); }
  int IndexOf(const TXCollectionItem* item) const;
  // The first item of `itemClass` or a class derived from it, or null.
  TXCollectionItem* GetByClass(const TXCollectionItemClass& itemClass) const;
  int32_t ArchiveVersion() const { return FArchiveVersion; }

  // The base class of the items this collection is meant for.
  virtual const TXCollectionItemClass& ItemsClass() const;
  // The class's CanAddTo; no second item of a unique class; nothing derived from a unique
  // class already present.
  virtual bool CanAdd(const TXCollectionItemClass& itemClass) const;

  // Creates an item of the class and appends it, named by the class's FriendlyName. Throws
  // "Addition of <class> to <collection class> rejected." when the class is refused.
  TXCollectionItem* AddNew(const TXCollectionItemClass& itemClass);
  template <class T>
  T* AddNew() {
    return static_cast<T*>(AddNew(T::StaticClass()));
  }
  // Appends an item made elsewhere, under the same acceptance rule; an unnamed item gets its
  // class's FriendlyName. The item must not belong to another collection.
  TXCollectionItem* Add(std::unique_ptr<TXCollectionItem> item);
  // Hands an item back without freeing it; null when it is not ours.
  std::unique_ptr<TXCollectionItem> Extract(TXCollectionItem* item);
  void Delete(int index);
  // Frees every item, each first detached from the collection.
  void Clear();
  // Replaces the items with copies of the source's: same classes, each item assigned.
  void Assign(const TXCollection& source);

  void Loaded();
  virtual std::string GetNamePath() const { return {}; }

  // The "XCOL" archive (version 1).
  void WriteToFiler(TXArchiveWriter& writer) const;
  // Replaces the items with those of the archive. On any error the items from before the
  // call are back in place, the partly read ones are gone, and the error propagates.
  void ReadFromFiler(TXArchiveReader& reader);
  std::vector<uint8_t> SaveToBytes() const;
  void LoadFromBytes(const uint8_t* data, size_t size);
  void LoadFromBytes(const std::vector<uint8_t>& bytes) {
    LoadFromBytes(bytes.data(), bytes.size());
  }

 private:
  friend class TXCollectionItem;
  void Append(std::unique_ptr<TXCollectionItem> item);
  void ReadItems(TXArchiveReader& reader);

  TPersistent* FOwner;
  std::vector<std::unique_ptr<TXCollectionItem>> FList;
  int32_t FArchiveVersion = 0;
};

}  // namespace ukh
