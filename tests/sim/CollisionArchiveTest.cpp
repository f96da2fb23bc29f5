// The collision behaviour's stored form: the worked 64-byte archive and the car's 148-byte
// one both ways, older item versions, manager names resolved at Loaded, and the errors of a
// malformed archive, each of which leaves the list as it was.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/scene/GLBaseSceneObject.h"
#include "engine/scene/XArchive.h"
#include "engine/sim/GLBCollision.h"
#include "engine/sim/GLCollisionManager.h"

namespace ukh {
namespace {

using TBytes = std::vector<uint8_t>;
using M = TCollisionBoundingMode;

// "04 58 43" -> bytes; a quoted run "abc" -> its characters.
TBytes Hex(const std::string& text) {
  TBytes out;
  for (size_t i = 0; i < text.size();) {
    if (text[i] == ' ') {
      ++i;
    } else if (text[i] == '"') {
      const size_t end = text.find('"', i + 1);
      out.insert(out.end(), text.begin() + long(i) + 1, text.begin() + long(end));
      i = end + 1;
    } else {
      out.push_back(uint8_t(std::stoul(text.substr(i, 2), nullptr, 16)));
      i += 2;
    }
  }
  return out;
}

const std::string cHead = "04 58 43 4F 4C 02 01";
const std::string cClass = "06 0D \"TGLBCollision\"";
std::string ItemData(const std::string& manager) {
  return "02 02 02 00 06 09 \"Collision\" 02 00 06 11 \"" + manager + "\" 02 03 02 00";
}
const TBytes cOneBehaviour = Hex(cHead + " 02 01 " + cClass + " " + ItemData("CollisionManager1"));
const TBytes cCar =
    Hex(cHead + " 02 03 " + cClass + " " + ItemData("CollisionManager1") + " 02 00 " +
        ItemData("CollisionManager2") + " 02 00 " + ItemData("CollisionManager3"));

class CollisionArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterCollisionBehaviours(); }
  static TGLBCollision* At(TGLBaseSceneObject& o, int i) {
    return static_cast<TGLBCollision*>(o.Behaviours().Get(i));
  }
  static std::string ErrorOf(TGLBaseSceneObject& o, const TBytes& bytes) {
    try {
      o.Behaviours().LoadFromBytes(bytes);
    } catch (const Exception& e) {
      return e.what();
    }
    return "no error";
  }
};

TEST_F(CollisionArchiveTest, OneBehaviourIsTheWorked64Bytes) {
  ASSERT_EQ(cOneBehaviour.size(), 64u);
  TGLCollisionManager manager;
  manager.SetName("CollisionManager1");
  TGLBaseSceneObject object;
  auto* c = object.Behaviours().AddNew<TGLBCollision>();
  EXPECT_EQ(c->Name(), "Collision");
  c->SetManager(&manager);
  c->SetBoundingMode(M::cbmCube);
  EXPECT_EQ(WriteBehavioursData(object), cOneBehaviour);

  TGLBaseSceneObject copy;
  ReadBehavioursData(copy, cOneBehaviour.data(), cOneBehaviour.size());
  ASSERT_EQ(copy.Behaviours().Count(), 1);
  TGLBCollision* r = At(copy, 0);
  EXPECT_EQ(r->ClassName(), "TGLBCollision");
  EXPECT_EQ(r->Name(), "Collision");
  EXPECT_EQ(r->ManagerName(), "CollisionManager1");
  EXPECT_EQ(r->Manager(), nullptr) << "resolved only when loading ends";
  EXPECT_EQ(r->BoundingMode(), M::cbmCube);
  EXPECT_EQ(r->GroupIndex(), 0);
  EXPECT_EQ(copy.Behaviours().ArchiveVersion(), 1);
  copy.Loaded();
  EXPECT_EQ(r->Manager(), &manager);
  EXPECT_EQ(r->ManagerName(), "");
  EXPECT_EQ(WriteBehavioursData(copy), cOneBehaviour);
}

TEST_F(CollisionArchiveTest, TheCarsThreeBehavioursAre148Bytes) {
  ASSERT_EQ(cCar.size(), 148u);
  TGLCollisionManager m1, m2, m3;
  m1.SetName("CollisionManager1");
  m2.SetName("CollisionManager2");
  m3.SetName("CollisionManager3");
  TGLBaseSceneObject car;
  car.SetLoading(true);
  car.Behaviours().LoadFromBytes(cCar);
  ASSERT_EQ(car.Behaviours().Count(), 3);
  // Written again before loading ends: the pending names are kept.
  EXPECT_EQ(WriteBehavioursData(car), cCar);
  car.Loaded();
  TGLCollisionManager* managers[] = {&m1, &m2, &m3};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(At(car, i)->Name(), "Collision");
    EXPECT_EQ(At(car, i)->Manager(), managers[i]);
    EXPECT_EQ(At(car, i)->BoundingMode(), M::cbmCube);
    EXPECT_EQ(At(car, i)->GroupIndex(), 0);
    EXPECT_EQ(managers[i]->ClientCount(), 1);
  }
  EXPECT_EQ(WriteBehavioursData(car), cCar);

  // And built by hand, one behaviour per manager.
  TGLBaseSceneObject built;
  for (TGLCollisionManager* m : managers) {
    auto* c = built.Behaviours().AddNew<TGLBCollision>();
    c->SetManager(m);
    c->SetBoundingMode(M::cbmCube);
  }
  EXPECT_EQ(WriteBehavioursData(built), cCar);
}

TEST_F(CollisionArchiveTest, NoBehavioursNoBlockAndAnEmptyManagerNameIsUtf16) {
  TGLBaseSceneObject none;
  EXPECT_FALSE(WriteBehavioursData(none).has_value());
  none.Behaviours();
  EXPECT_FALSE(WriteBehavioursData(none).has_value()) << "an empty list is not stored either";

  TGLBaseSceneObject object;
  auto* c = object.Behaviours().AddNew<TGLBCollision>();
  c->SetBoundingMode(M::cbmPoint);
  c->SetGroupIndex(-300);
  EXPECT_EQ(*WriteBehavioursData(object),
            Hex(cHead + " 02 01 " + cClass +
                " 02 02 02 00 06 09 \"Collision\" 02 00 12 00 00 00 00 02 00 03 D4 FE"));
}

TEST_F(CollisionArchiveTest, AnUnknownManagerNameLeavesTheBehaviourUnattached) {
  TGLCollisionManager manager;
  manager.SetName("CollisionManager1");
  manager.OnCollision = [](TPersistent*, TGLBaseSceneObject*, TGLBaseSceneObject*) {
    ADD_FAILURE() << "no client should be tested";
  };
  TGLBaseSceneObject a, b;
  a.Behaviours().LoadFromBytes(cOneBehaviour);
  b.Behaviours().LoadFromBytes(
      Hex(cHead + " 02 01 " + cClass + " " + ItemData("CollisionManager9")));
  a.Loaded();
  b.Loaded();
  EXPECT_EQ(At(b, 0)->Manager(), nullptr);
  EXPECT_EQ(At(b, 0)->ManagerName(), "") << "cleared in every case";
  EXPECT_EQ(manager.ClientCount(), 1);
  manager.CheckCollisions();
  EXPECT_EQ(manager.PairTestCount(), 0u);
}

TEST_F(CollisionArchiveTest, OlderItemVersionsAndArchivesWithoutMagic) {
  const struct {
    const char* name;
    std::string bytes;
    const char* itemName;
    M mode;
    int group;
  } cases[] = {
      // no magic: the first integer is the count, archive version 0, so the behaviour base
      // carries no item data
      {"v2, old archive", "02 01 " + cClass + " 02 02 02 00 06 01 \"M\" 02 03 02 05", "Collision",
       M::cbmCube, 5},
      {"v1 has a group", cHead + " 02 01 " + cClass + " 02 01 06 01 \"M\" 02 02 03 E8 03",
       "Collision", M::cbmEllipsoid, 1000},
      {"v0 has none", cHead + " 02 01 " + cClass + " 02 00 06 01 \"M\" 02 01", "Collision",
       M::cbmSphere, 0},
      {"count as 4 raw bytes", "01 00 00 00 " + cClass + " 02 00 06 01 \"M\" 02 04", "Collision",
       M::cbmFaces, 0},
      {"name in UTF-16",
       cHead + " 02 01 " + cClass +
           " 02 02 02 00 12 02 00 00 00 23 04 45 04 02 00 14 01 00 00 00 \"M\" 02 00 02 00",
       "\xD0\xA3\xD1\x85", M::cbmPoint, 0},
  };
  for (const auto& c : cases) {
    TGLBaseSceneObject o;
    o.Behaviours().LoadFromBytes(Hex(c.bytes));
    ASSERT_EQ(o.Behaviours().Count(), 1) << c.name;
    EXPECT_EQ(At(o, 0)->Name(), c.itemName) << c.name;
    EXPECT_EQ(At(o, 0)->ManagerName(), "M") << c.name;
    EXPECT_EQ(At(o, 0)->BoundingMode(), c.mode) << c.name;
    EXPECT_EQ(At(o, 0)->GroupIndex(), c.group) << c.name;
  }
}

TEST_F(CollisionArchiveTest, MalformedArchivesFailWithTheirTextAndChangeNothing) {
  const std::string item = " " + ItemData("CollisionManager1");
  const struct {
    const char* name;
    std::string bytes;
    std::string error;  // the whole text, or its start for the reader's own errors
    bool prefix = false;
  } cases[] = {
      {"unknown class", cHead + " 02 01 06 07 \"TGLBFoo\"" + item,
       "Class TGLBFoo unknown. Add the relevant unit to your \"uses\"."},
      {"class index past the named ones", cHead + " 02 02 " + cClass + item + " 02 01" + item,
       "Invalid classlistIndex: 1"},
      {"class index before any name", cHead + " 02 01 02 FF" + item, "Invalid classlistIndex: -1"},
      {"collision version 3", cHead + " 02 01 " + cClass + " 02 03", "Assertion failure"},
      {"collision version -1", cHead + " 02 01 " + cClass + " 02 FF", "Assertion failure"},
      {"item base version 1", cHead + " 02 01 " + cClass + " 02 02 02 01 06 01 \"C\"",
       "Assertion failure"},
      {"behaviour base version 1", cHead + " 02 01 " + cClass + " 02 02 02 00 06 01 \"C\" 02 01",
       "Assertion failure"},
      {"bounding mode 9",
       cHead + " 02 01 " + cClass + " 02 02 02 00 06 01 \"C\" 02 00 06 01 \"M\" 02 09 02 00",
       "Invalid bounding mode: 9"},
      {"empty data", "", "Behaviour archive ends early", true},
      {"three bytes", "58 43 4F", "Behaviour archive ends early", true},
      {"magic only", "04 58 43 4F 4C", "Behaviour archive ends early", true},
      {"truncated integer", cHead + " 04 01 00", "Behaviour archive ends early", true},
      {"count of 2^31 - 1", cHead + " 04 FF FF FF 7F " + cClass + item,
       "Behaviour archive ends early", true},
      {"text longer than the data", cHead + " 02 01 0C FF FF FF 7F \"TGL\"",
       "Behaviour archive ends early", true},
      {"UTF-16 text longer than the data",
       cHead + " 02 01 " + cClass + " 02 02 02 00 12 00 00 00 80 41 00",
       "Behaviour archive ends early", true},
      {"text where an integer belongs", cHead + " 06 01 \"X\"", "Behaviour archive: value tag 0x06",
       true},
      {"class name as UTF-16 is read as an index", cHead + " 02 01 12 01 00 00 00 41 00",
       "Behaviour archive: value tag 0x12", true},
  };
  TGLCollisionManager manager;
  manager.SetName("CollisionManager1");
  for (const auto& c : cases) {
    TGLBaseSceneObject o;
    o.Behaviours().LoadFromBytes(cOneBehaviour);
    o.Loaded();
    const std::string error = ErrorOf(o, Hex(c.bytes));
    if (c.prefix)
      EXPECT_EQ(error.substr(0, c.error.size()), c.error) << c.name << ": " << error;
    else
      EXPECT_EQ(error, c.error) << c.name;
    // The list from before is untouched and still registered.
    ASSERT_EQ(o.Behaviours().Count(), 1) << c.name;
    EXPECT_EQ(At(o, 0)->Manager(), &manager) << c.name;
    EXPECT_EQ(o.Behaviours().ArchiveVersion(), 1) << c.name;
    EXPECT_EQ(WriteBehavioursData(o), cOneBehaviour) << c.name;
    EXPECT_EQ(manager.ClientCount(), 1) << c.name;
  }
}

TEST_F(CollisionArchiveTest, AssignCopiesTheLinkAndSettings) {
  TGLCollisionManager manager;
  TGLBaseSceneObject a, b;
  auto* source = a.Behaviours().AddNew<TGLBCollision>();
  source->SetName("Mine");
  source->SetManager(&manager);
  source->SetBoundingMode(M::cbmEllipsoid);
  source->SetGroupIndex(7);
  auto* copy = b.Behaviours().AddNew<TGLBCollision>();
  copy->Assign(*source);
  EXPECT_EQ(copy->Name(), "Mine");
  EXPECT_EQ(copy->Manager(), &manager);
  EXPECT_EQ(copy->BoundingMode(), M::cbmEllipsoid);
  EXPECT_EQ(copy->GroupIndex(), 7);
  EXPECT_EQ(manager.ClientCount(), 2);
}

}  // namespace
}  // namespace ukh
