// Behaviour lists: which classes a list accepts and the text of a refusal, ownership of
// items, the class registry, progress and loading order, and the archive's class list.
#include "engine/scene/GLBehaviours.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/base/Exception.h"
#include "engine/scene/GLBaseSceneObject.h"
#include "engine/scene/XArchive.h"

namespace ukh {
namespace {

std::vector<std::string> gLog;

// A behaviour with a stored text of its own.
class TTestNote : public TGLBehaviour {
 public:
  using TGLBehaviour::TGLBehaviour;
  static const TXCollectionItemClass& StaticClass() {
    static const TXCollectionItemClass cls(
        "TTestNote", &TGLBehaviour::StaticClass(),
        [](TXCollection* o) -> std::unique_ptr<TXCollectionItem> {
          return std::make_unique<TTestNote>(o);
        },
        {.FriendlyName = "Note",
         .FriendlyDescription = {},
         .ItemCategory = {},
         .UniqueItem = false,
         .CanAddTo = nullptr});
    return cls;
  }
  const TXCollectionItemClass& ClassType() const override { return StaticClass(); }
  void WriteToFiler(TXArchiveWriter& w) const override {
    TGLBehaviour::WriteToFiler(w);
    w.WriteString(Text);
  }
  void ReadFromFiler(TXArchiveReader& r) override {
    TGLBehaviour::ReadFromFiler(r);
    Text = r.ReadString();
  }
  void Assign(const TXCollectionItem& source) override {
    TGLBehaviour::Assign(source);
    if (auto* note = dynamic_cast<const TTestNote*>(&source)) Text = note->Text;
  }
  void DoProgress(const TGLProgressTimes&) override { gLog.push_back("progress " + Name()); }
  void Loaded() override { gLog.push_back("loaded " + Name()); }
  std::string Text;
};

template <class T>
std::unique_ptr<TXCollectionItem> Make(TXCollection* o) {
  return std::make_unique<T>(o);
}

#define TEST_CLASS(Name, Base, Unique, CanAdd)                                         \
  class Name : public Base {                                                           \
   public:                                                                             \
    using Base::Base;                                                                  \
    static const TXCollectionItemClass& StaticClass() {                                \
      static const TXCollectionItemClass cls(#Name, &Base::StaticClass(), &Make<Name>, \
                                             {.FriendlyName = #Name,                   \
                                              .FriendlyDescription = {},               \
                                              .ItemCategory = {},                      \
                                              .UniqueItem = Unique,                    \
                                              .CanAddTo = CanAdd});                    \
      return cls;                                                                      \
    }                                                                                  \
    const TXCollectionItemClass& ClassType() const override { return StaticClass(); }  \
  };

bool Never(const TXCollection&) {
  return false;
}

TEST_CLASS(TTestUnique, TGLBehaviour, true, nullptr)
TEST_CLASS(TTestUniqueChild, TTestUnique, false, nullptr)
TEST_CLASS(TTestPicky, TGLBehaviour, false, &Never)
TEST_CLASS(TTestEffect, TGLEffect, false, nullptr)
TEST_CLASS(TTestItem, TXCollectionItem, false, nullptr)

class BehavioursTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gLog.clear();
    for (const TXCollectionItemClass* c :
         {&TTestNote::StaticClass(), &TTestUnique::StaticClass(), &TTestEffect::StaticClass()})
      RegisterXCollectionItemClass(*c);
  }
  void TearDown() override {
    for (const TXCollectionItemClass* c :
         {&TTestNote::StaticClass(), &TTestUnique::StaticClass(), &TTestEffect::StaticClass()})
      UnregisterXCollectionItemClass(*c);
  }
  static std::string Refusal(TGLBehaviours& list, const TXCollectionItemClass& cls) {
    try {
      list.AddNew(cls);
    } catch (const EAssertionFailed& e) {
      return e.what();
    }
    return "accepted";
  }
};

TEST_F(BehavioursTest, AcceptanceRules) {
  const struct {
    std::vector<const TXCollectionItemClass*> present;
    const TXCollectionItemClass* added;
    const char* result;
  } cases[] = {
      {{}, &TTestNote::StaticClass(), "accepted"},
      {{&TTestNote::StaticClass()}, &TTestNote::StaticClass(), "accepted"},
      {{}, &TTestUnique::StaticClass(), "accepted"},
      {{&TTestUnique::StaticClass()},
       &TTestUnique::StaticClass(),
       "Addition of TTestUnique to TGLBehaviours rejected."},
      // a class derived from a unique one that is present
      {{&TTestUnique::StaticClass()},
       &TTestUniqueChild::StaticClass(),
       "Addition of TTestUniqueChild to TGLBehaviours rejected."},
      // the unique class when an item derived from it is present
      {{&TTestUniqueChild::StaticClass()},
       &TTestUnique::StaticClass(),
       "Addition of TTestUnique to TGLBehaviours rejected."},
      {{}, &TTestPicky::StaticClass(), "Addition of TTestPicky to TGLBehaviours rejected."},
      {{}, &TTestEffect::StaticClass(), "Addition of TTestEffect to TGLBehaviours rejected."},
      {{}, &TTestItem::StaticClass(), "Addition of TTestItem to TGLBehaviours rejected."},
  };
  for (const auto& c : cases) {
    TGLBaseSceneObject o;
    for (const TXCollectionItemClass* p : c.present) o.Behaviours().AddNew(*p);
    EXPECT_EQ(Refusal(o.Behaviours(), *c.added), c.result) << c.added->ClassName();
    EXPECT_EQ(o.Behaviours().Count(), int(c.present.size()) + (c.result[0] == 'a' ? 1 : 0));
  }
  // A plain collection takes any item, effects included.
  TXCollection plain(nullptr);
  EXPECT_NE(plain.AddNew<TTestEffect>(), nullptr);
  EXPECT_NE(plain.AddNew<TTestItem>(), nullptr);
  EXPECT_EQ(plain.Items(0)->Name(), "TTestEffect");
  EXPECT_EQ(static_cast<TGLBaseBehaviour*>(plain.Items(0))->OwnerBaseSceneObject(), nullptr);
}

TEST_F(BehavioursTest, OnlyASceneObjectOwnsAList) {
  TGLBaseSceneObject o;
  EXPECT_EQ(o.Behaviours().SceneObject(), &o);
  TXCollection notAnObject(nullptr);
  EXPECT_THROW(TGLBehaviours list(&notAnObject), EAssertionFailed);
  o.SetName("Car");
  EXPECT_EQ(o.Behaviours().GetNamePath(), "Car.Behaviours");
}

TEST_F(BehavioursTest, ItemsAreOwnedAndLeaveTheirListWhenFreed) {
  TGLBaseSceneObject o;
  TGLBehaviours& list = o.Behaviours();
  auto* a = list.AddNew<TTestNote>();
  auto* b = list.AddNew<TTestNote>();
  auto* c = list.AddNew<TTestNote>();
  EXPECT_EQ(a->Name(), "Note") << "named by the class's friendly name";
  EXPECT_EQ(a->OwnerBaseSceneObject(), &o);
  EXPECT_EQ(c->Index(), 2);
  delete b;
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Get(0), a);
  EXPECT_EQ(list.Get(1), c);
  EXPECT_EQ(c->Index(), 1);

  std::unique_ptr<TXCollectionItem> out = list.Extract(a);
  EXPECT_EQ(out->Owner(), nullptr);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Extract(a), nullptr);
  // Items made elsewhere come in under the same rules; an unnamed one gets the friendly name.
  auto made = std::make_unique<TTestNote>(&list);
  TXCollectionItem* added = list.Add(std::move(made));
  EXPECT_EQ(added->Name(), "Note");
  list.AddNew<TTestUnique>();
  EXPECT_THROW(list.Add(std::make_unique<TTestUnique>(&list)), EAssertionFailed);
  EXPECT_EQ(list.Count(), 3);

  list.GetOrCreate(TTestUnique::StaticClass());
  EXPECT_EQ(list.Count(), 3) << "found, not created";

  TGLBaseSceneObject other;
  other.Behaviours().AddNew<TTestUniqueChild>();
  static_cast<TTestNote*>(list.Get(1))->Text = "copied";
  other.Behaviours().Assign(list);
  ASSERT_EQ(other.Behaviours().Count(), 3);
  EXPECT_EQ(other.Behaviours().Get(2)->ClassName(), "TTestUnique");
  EXPECT_EQ(other.Behaviours().Get(1)->OwnerBaseSceneObject(), &other);
  EXPECT_EQ(static_cast<TTestNote*>(other.Behaviours().Get(1))->Text, "copied");
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(BehavioursTest, RegistryFindsExactNames) {
  EXPECT_EQ(FindXCollectionItemClass("TTestNote"), &TTestNote::StaticClass());
  EXPECT_EQ(FindXCollectionItemClass("ttestnote"), nullptr);
  EXPECT_EQ(FindXCollectionItemClass("TTestPicky"), nullptr);
  RegisterXCollectionItemClass(TTestNote::StaticClass());  // twice is harmless
  UnregisterXCollectionItemClass(TTestNote::StaticClass());
  EXPECT_EQ(FindXCollectionItemClass("TTestNote"), nullptr);
  EXPECT_THROW(RegisterXCollectionItemClass(TGLBehaviour::StaticClass()), EAssertionFailed)
      << "a class the reader cannot create";
}

TEST_F(BehavioursTest, ProgressAndLoadedRunInListOrder) {
  TGLBaseSceneObject o;
  for (const char* name : {"first", "second", "third"})
    o.Behaviours().AddNew<TTestNote>()->SetName(name);
  o.DoProgress({});
  o.Loaded();
  EXPECT_EQ(gLog, (std::vector<std::string>{"progress first", "progress second", "progress third",
                                            "loaded first", "loaded second", "loaded third"}));
}

TEST_F(BehavioursTest, ArchiveNamesEachClassOnceThenIndexesIt) {
  TGLBaseSceneObject o;
  auto* n1 = o.Behaviours().AddNew<TTestNote>();
  n1->Text = "one";
  o.Behaviours().AddNew<TTestUnique>();
  o.Behaviours().AddNew<TTestNote>()->Text = "two";
  const std::vector<uint8_t> expected = {
      0x04, 'X',  'C',  'O', 'L', 0x02, 0x01, 0x02, 0x03, 0x06, 9,    'T',  'T',  'e',
      's',  't',  'N',  'o', 't', 'e',  0x02, 0x00, 0x06, 4,    'N',  'o',  't',  'e',
      0x02, 0x00, 0x06, 3,   'o', 'n',  'e',  0x06, 11,   'T',  'T',  'e',  's',  't',
      'U',  'n',  'i',  'q', 'u', 'e',  0x02, 0x00, 0x06, 11,   'T',  'T',  'e',  's',
      't',  'U',  'n',  'i', 'q', 'u',  'e',  0x02, 0x00, 0x02, 0x00, 0x02, 0x00, 0x06,
      4,    'N',  'o',  't', 'e', 0x02, 0x00, 0x06, 3,    't',  'w',  'o'};
  EXPECT_EQ(*WriteBehavioursData(o), expected);

  TGLBaseSceneObject copy;
  ReadBehavioursData(copy, expected.data(), expected.size());
  ASSERT_EQ(copy.Behaviours().Count(), 3);
  EXPECT_EQ(copy.Behaviours().Get(1)->ClassName(), "TTestUnique");
  EXPECT_EQ(static_cast<TTestNote*>(copy.Behaviours().Get(2))->Text, "two");
  EXPECT_EQ(*WriteBehavioursData(copy), expected);

  // A second unique item, or an effect, is refused while reading; the list stays as it was.
  std::vector<uint8_t> twice = {0x04, 'X',  'C',  'O', 'L', 0x02, 0x01, 0x02, 0x02, 0x06, 11,
                                'T',  'T',  'e',  's', 't', 'U',  'n',  'i',  'q',  'u',  'e',
                                0x02, 0x00, 0x06, 1,   'U', 0x02, 0x00, 0x02, 0x00};
  std::vector<uint8_t> effect = {0x04, 'X', 'C', 'O', 'L', 0x02, 0x01, 0x02, 0x01, 0x06, 11,
                                 'T',  'T', 'e', 's', 't', 'E',  'f',  'f',  'e',  'c',  't'};
  const struct {
    std::vector<uint8_t>* bytes;
    const char* error;
  } refusals[] = {{&twice, "Addition of TTestUnique to TGLBehaviours rejected."},
                  {&effect, "Addition of TTestEffect to TGLBehaviours rejected."}};
  for (const auto& r : refusals) {
    try {
      copy.Behaviours().LoadFromBytes(*r.bytes);
      ADD_FAILURE() << "no error";
    } catch (const EAssertionFailed& e) {
      EXPECT_STREQ(e.what(), r.error);
    }
    EXPECT_EQ(*WriteBehavioursData(copy), expected);
  }
}

}  // namespace
}  // namespace ukh
