// Malformed level documents: each fault stops loading with one message naming the object and
// the property, and leaves the game window without any part of the level; the same window then
// loads a sound document.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/level/LevelFixture.h"

namespace ukh::test {
namespace {

using json = nlohmann::ordered_json;

const char* const cCollisionToManager2 =
    "0458434F4C02010201060D54474C42436F6C6C6973696F6E020202000609436F6C6C6973696F6E0200061143"
    "6F6C6C6973696F6E4D616E616765723202000200";

// The smallest level the game window accepts: the objects its rules touch and its components.
json SmallLevel() {
  json map = {{"name", "Map"}, {"class", "TGLDummyCube"}, {"children", json::array()}};
  for (int i = 9; i <= 18; ++i)
    map["children"].push_back({{"name", "Cube" + std::to_string(i)},
                               {"class", "TGLCube"},
                               {"data", {{"BehavioursData", cCollisionToManager2}}}});
  for (const char* c : {"Cylinder1", "Cylinder2"})
    map["children"].push_back(
        {{"name", c}, {"class", "TGLCylinder"}, {"properties", {{"BottomRadius", 0.3}}}});
  json objects = json::array();
  objects.push_back({{"name", "Car"}, {"class", "TGLCube"}});
  objects.push_back(map);
  objects.push_back(
      {{"name", "GLCamera1"}, {"class", "TGLCamera"}, {"properties", {{"TargetObject", "Car"}}}});
  json components = json::array();
  components.push_back(
      {{"name", "GLCadencer1"},
       {"class", "TGLCadencer"},
       {"properties", {{"Scene", "GLWorld1"}, {"OnProgress", "GLCadencer1Progress"}}}});
  components.push_back({{"name", "CollisionManager1"},
                        {"class", "TGLCollisionManager"},
                        {"properties", {{"OnCollision", "CollisionManager1Collision"}}}});
  components.push_back({{"name", "GLNavigator1"},
                        {"class", "TGLNavigator"},
                        {"properties", {{"MovingObject", "Car"}}}});
  components.push_back({{"name", "CollisionManager2"}, {"class", "TGLCollisionManager"}});
  components.push_back({{"name", "CollisionManager3"}, {"class", "TGLCollisionManager"}});
  return {{"document", "Ukhabitsa level"},
          {"version", 1},
          {"scene", {{"name", "GLWorld1"}, {"class", "TGLWorld"}, {"objects", objects}}},
          {"components", components},
          {"viewer",
           {{"name", "GLWorldViewer1"},
            {"class", "TGLWorldViewer"},
            {"properties", {{"Camera", "GLCamera1"}}}}}};
}

json& Obj(json& doc, int index) {
  return doc["scene"]["objects"][size_t(index)];
}
json& Box(json& doc, int cube) {
  return Obj(doc, 1)["children"][size_t(cube - 9)];
}

TEST(LevelErrorsTest, TheSmallLevelLoads) {
  TLevelFixture l;
  l.Load(SmallLevel().dump());
  EXPECT_EQ(l.F().CollisionManager2->ClientCount(), 10);
  EXPECT_EQ(l.F().GLCamera1->TargetObject(), l.F().Car);
}

TEST(LevelErrorsTest, BrokenDocumentsStopLoadingWithOneMessage) {
  const struct {
    const char* Fault;
    std::function<std::string()> Document;
    const char* Message;
  } rows[] = {
      {"bad syntax", [] { return SmallLevel().dump().substr(0, 40); },
       "test.json: syntax error at byte 41"},
      {"not a level",
       [] {
         json d = SmallLevel();
         d["document"] = "Ukhabica";
         return d.dump();
       },
       "test.json: property \"document\": not a Ukhabitsa level"},
      {"unknown class",
       [] {
         json d = SmallLevel();
         Obj(d, 0)["class"] = "TGLSphere";
         return d.dump();
       },
       "test.json: object \"Car\", property \"class\": unknown scene object class \"TGLSphere\""},
      {"unknown property",
       [] {
         json d = SmallLevel();
         Box(d, 9)["properties"] = {{"CubeSize", 2}};
         return d.dump();
       },
       "test.json: object \"Cube9\", property \"CubeSize\": unknown property of TGLCube"},
      {"unknown byte block",
       [] {
         json d = SmallLevel();
         Obj(d, 0)["data"] = {{"Colour", "00"}};
         return d.dump();
       },
       "test.json: object \"Car\", property \"Colour\": unknown property of TGLCube"},
      {"value of the wrong kind",
       [] {
         json d = SmallLevel();
         Box(d, 19)["properties"]["BottomRadius"] = "thin";
         return d.dump();
       },
       "test.json: object \"Cylinder1\", property \"BottomRadius\": expects a number"},
      {"missing reference",
       [] {
         json d = SmallLevel();
         Obj(d, 2)["properties"]["TargetObject"] = "Truck";
         return d.dump();
       },
       "test.json: object \"GLCamera1\", property \"TargetObject\": names \"Truck\", which the "
       "level does not have"},
      {"reference of the wrong kind",
       [] {
         json d = SmallLevel();
         d["viewer"]["properties"]["Camera"] = "Car";
         return d.dump();
       },
       "test.json: object \"GLWorldViewer1\", property \"Camera\": \"Car\" is not a camera"},
      {"byte block of the wrong length",
       [] {
         json d = SmallLevel();
         Box(d, 10)["data"]["CubeSize"] = "0000803F0000803FCDCC9D";
         return d.dump();
       },
       "test.json: object \"Cube10\", property \"CubeSize\": holds 11 bytes instead of 12"},
      {"coordinates of the wrong length",
       [] {
         json d = SmallLevel();
         Obj(d, 0)["data"] = {{"Position.Coordinates", "00"}};
         return d.dump();
       },
       "test.json: object \"Car\", property \"Position.Coordinates\": holds 1 bytes instead of 16"},
      {"not hex",
       [] {
         json d = SmallLevel();
         Box(d, 11)["data"]["CubeSize"] = "0000803G";
         return d.dump();
       },
       "test.json: object \"Cube11\", property \"CubeSize\": not a hex digit: 'G'"},
      {"archive cut short",
       [] {
         json d = SmallLevel();
         Box(d, 12)["data"]["BehavioursData"] = "0458434F4C0201";
         return d.dump();
       },
       nullptr},
      {"behaviour of an unknown manager",
       [] {
         json d = SmallLevel();
         std::string a = cCollisionToManager2;
         a.replace(a.find("32"), 2, "39");  // "CollisionManager9"
         Box(d, 13)["data"]["BehavioursData"] = a;
         return d.dump();
       },
       "test.json: object \"Cube13\", property \"BehavioursData\": names the collision manager "
       "\"CollisionManager9\", which the level does not have"},
      {"duplicate name",
       [] {
         json d = SmallLevel();
         Box(d, 15)["name"] = "cube9";
         return d.dump();
       },
       "test.json: object \"cube9\", property \"name\": a second component of that name (names "
       "are unique, in any case)"},
      {"object named like a component",
       [] {
         json d = SmallLevel();
         Box(d, 16)["name"] = "GLNavigator1";
         return d.dump();
       },
       "test.json: object \"GLNavigator1\", property \"name\": a second component of that name "
       "(names are unique, in any case)"},
      {"unknown event handler",
       [] {
         json d = SmallLevel();
         d["components"][1]["properties"]["OnCollision"] = "Crash";
         return d.dump();
       },
       "test.json: object \"CollisionManager1\", property \"OnCollision\": the game window has no "
       "collision handler \"Crash\""},
      {"component missing",
       [] {
         json d = SmallLevel();
         d["components"].erase(2);
         return d.dump();
       },
       "test.json: object \"CollisionManager2\": out of order: the game window creates "
       "GLNavigator1 first"},
      {"picture file missing",
       [] {
         json d = SmallLevel();
         Box(d, 14)["data"]["Material.Texture.Image.Picture.Data"] = {{"graphic", "TBitmap"},
                                                                      {"file", "sky.bmp"}};
         return d.dump();
       },
       "test.json: object \"Cube14\", property \"Material.Texture.Image.Picture.Data\": names the "
       "picture file \"sky.bmp\", which is not there"},
      {"object the rules need",
       [] {
         json d = SmallLevel();
         Obj(d, 1)["children"].erase(11);
         return d.dump();
       },
       "test.json: The level has no object Cylinder2"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Fault);
    TLevelFixture l;
    try {
      l.Load(row.Document());
      ADD_FAILURE() << "loaded";
    } catch (const game::ELevelError& e) {
      if (row.Message) {
        EXPECT_EQ(std::string(e.what()), row.Message);
      } else {
        EXPECT_EQ(e.Object(), "Cube12");
        EXPECT_EQ(e.Property(), "BehavioursData");
      }
    }
    // Nothing of the level stays with the window, and a sound level loads into it afterwards.
    EXPECT_EQ(l.F().GLWorld1, nullptr);
    EXPECT_EQ(l.F().GLCadencer1, nullptr);
    EXPECT_EQ(l.F().CollisionManager2, nullptr);
    EXPECT_EQ(l.F().Car, nullptr);
    l.Load(SmallLevel().dump());
    EXPECT_EQ(l.F().CollisionManager2->ClientCount(), 10);
  }
}

TEST(LevelErrorsTest, TheLevelKeepsItsOwnManagers) {
  // Managers are found by name across the process: one created earlier under the same name
  // must not take the level's behaviours.
  TGLCollisionManager stray;
  stray.SetName("CollisionManager2");
  TLevelFixture l;
  l.Load(SmallLevel().dump());
  EXPECT_EQ(stray.ClientCount(), 0);
  EXPECT_EQ(l.F().CollisionManager2->ClientCount(), 10);
}

TEST(LevelErrorsTest, TheDocumentWiresTheEvents) {
  // Manager 1 answering with the canister rule shows that the document's wiring is applied.
  json d = SmallLevel();
  d["components"][1]["properties"]["OnCollision"] = "CollisionManager3Collision";
  TLevelFixture l;
  l.Load(d.dump());
  l.F().Car->SetTag(1);
  const double oil = l.F().FOil;
  TGLBaseSceneObject* box = l.Object("Cube9");
  l.F().CollisionManager1->OnCollision(nullptr, l.F().Car, box);
  EXPECT_EQ(l.F().FOil, oil + 1);
  EXPECT_EQ(box->Position().Y(), -5.0f);
}

TEST(LevelErrorsTest, AWindowTakesOneLevel) {
  TLevelFixture l;
  l.Load(SmallLevel().dump());
  EXPECT_THROW(l.Load(SmallLevel().dump()), game::ELevelError);
  EXPECT_NE(l.F().GLWorld1, nullptr) << "the first level stays";
}

}  // namespace
}  // namespace ukh::test
