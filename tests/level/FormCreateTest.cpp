// The window's creation step on the real level with the real generated assets: models and
// pictures loaded, textures enabled, the starting state; an unreadable asset reported by name
// with the rest of the step skipped; and a scripted drive that collects Cube15 and ends at the
// wall at X = 40.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/gl/GLPersistentImage.h"
#include "engine/gl/GLTexture.h"
#include "engine/scene/GLCustomSceneObject.h"
#include "game/LevelModels.h"
#include "platform/Picture.h"
#include "tests/level/LevelFixture.h"

namespace ukh::test {
namespace {

constexpr double cPI = 3.14159265358979323846;

class FormCreateTest : public ::testing::Test {
 protected:
  void SetUp() override { L.Load(EmbeddedLevelJson().dump()); }
  TGLMaterial& Material(const std::string& name) {
    return dynamic_cast<TGLCustomSceneObject*>(L.Object(name))->Material();
  }
  int32_t PictureWidth(const std::string& name) {
    return dynamic_cast<TGLPictureImage&>(Material(name).Texture().Image()).Width();
  }
  TLevelFixture L;
};

// Runs the test's body in a fresh working directory holding the given files.
class TWorkingDirectory {
 public:
  TWorkingDirectory() : FOld(std::filesystem::current_path()) {
    FDir = std::filesystem::temp_directory_path() /
           ("ukh_level_" + std::to_string(getpid()) + "_" + std::to_string(++FCount));
    std::filesystem::create_directories(FDir);
    std::filesystem::current_path(FDir);
  }
  ~TWorkingDirectory() {
    std::filesystem::current_path(FOld);
    std::filesystem::remove_all(FDir);
  }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(FDir / name, std::ios::binary) << bytes;
  }

 private:
  std::filesystem::path FOld, FDir;
  static inline int FCount = 0;
};

TEST_F(FormCreateTest, LoadsModelsPicturesAndTheStartingState) {
  // Assets are found beside the test's executable, where the build put them.
  ASSERT_TRUE(game::FormCreate(L.F(), L.Platform.MessageBox()));
  EXPECT_TRUE(L.Platform.MessageBox().Shown.empty());
  game::TForm1& f = L.F();
  EXPECT_TRUE(f.Fl);
  EXPECT_FALSE(f.Stoped);
  EXPECT_EQ(f.Pause_Speed, 60.0);
  EXPECT_EQ(f.Speed, 0.0);
  EXPECT_EQ(f.FOil, 2.0);
  EXPECT_EQ(f.BoxNum, 10);
  EXPECT_FALSE(f.PauseButton().Visible());
  EXPECT_TRUE(f.StartButton().Visible());
  EXPECT_EQ(f.Car->Tag(), 1);
  EXPECT_EQ(f.Car->Position().AsVector(), (TVector4f{0, 0, 0, 1}));
  // The car's box from its mesh: 5 x 3 x 10 model units at scale 0.2.
  const TVector4f car = f.Car->AxisAlignedDimensions();
  EXPECT_NEAR(car.X, 0.5, 1e-5);
  EXPECT_NEAR(car.Y, 0.3, 1e-5);
  EXPECT_NEAR(car.Z, 1.0, 1e-5);

  const std::string dir = UKH_ASSET_DIR;
  const int32_t w03 = platform::LoadPicture(dir + "/03.bmp").Width;
  const int32_t w04 = platform::LoadPicture(dir + "/04.bmp").Width;
  const int32_t w05 = platform::LoadPicture(dir + "/05.bmp").Width;
  for (int i = 9; i <= 18; ++i) {
    const std::string name = "Cube" + std::to_string(i);
    EXPECT_FALSE(Material(name).Texture().Disabled()) << name;
    EXPECT_EQ(PictureWidth(name), w03) << name << ": Cube9's stored picture is replaced";
  }
  for (const char* name : {"Cylinder1", "Cylinder2"}) {
    EXPECT_FALSE(Material(name).Texture().Disabled()) << name;
    EXPECT_EQ(PictureWidth(name), w04) << name;
  }
  for (const char* name : {"Hous01", "Hous02", "Hous03", "Hous04", "Hous05"}) {
    EXPECT_FALSE(Material(name).Texture().Disabled()) << name;
    EXPECT_EQ(PictureWidth(name), w05) << name;
  }
  EXPECT_EQ(PictureWidth("Pole"), 756) << "the ground keeps its stored grass";
}

TEST_F(FormCreateTest, AnUnreadablePictureIsReportedByNameAndTheRestIsSkipped) {
  TWorkingDirectory cwd;
  cwd.Write("03.bmp", "BM not a bitmap");  // the working directory comes first
  EXPECT_FALSE(game::FormCreate(L.F(), L.Platform.MessageBox()));
  ASSERT_EQ(L.Platform.MessageBox().Shown.size(), 1u);
  EXPECT_NE(L.Platform.MessageBox().Shown[0].find("03.bmp"), std::string::npos)
      << L.Platform.MessageBox().Shown[0];
  // The models and the starting state came before the pictures; what follows did not run.
  EXPECT_EQ(L.F().FOil, 2.0);
  EXPECT_EQ(L.F().Car->Tag(), 0);
  EXPECT_TRUE(Material("Cylinder1").Texture().Disabled());
  EXPECT_TRUE(Material("Hous01").Texture().Disabled());
}

TEST_F(FormCreateTest, AnUnreadableModelLeavesTheGameStateAtZero) {
  TWorkingDirectory cwd;
  cwd.Write("Car_02.3ds", "not a model at all");
  EXPECT_FALSE(game::FormCreate(L.F(), L.Platform.MessageBox()));
  ASSERT_EQ(L.Platform.MessageBox().Shown.size(), 1u);
  EXPECT_NE(L.Platform.MessageBox().Shown[0].find("Car_02.3ds"), std::string::npos)
      << L.Platform.MessageBox().Shown[0];
  EXPECT_TRUE(L.F().Fl);
  EXPECT_EQ(L.F().FOil, 0.0);
  EXPECT_EQ(L.F().BoxNum, 0);
  EXPECT_EQ(L.F().Pause_Speed, 0.0);
}

// The real level through its cadencer on the scripted clock, 20 ms a tick.
TEST_F(FormCreateTest, ScriptedDriveCollectsCube15AndStopsAtTheWall) {
  ASSERT_TRUE(game::FormCreate(L.F(), L.Platform.MessageBox()));
  game::TForm1& f = L.F();
  f.GLCadencer1->SetMode(TGLCadencerMode::cmManual);
  f.GLCadencer1->SetEnabled(true);
  auto ticks = [&](int n) {
    for (int i = 0; i < n; ++i) {
      L.Platform.Clock().Advance(0.02);
      f.GLCadencer1->Progress();
    }
  };
  auto hold = [&](int32_t vk, bool down) { L.Platform.Keyboard().SetKeyDown(vk, down); };
  // Heading of travel (the car moves against its direction vector), radians from -Z toward +X.
  auto heading = [&] { return std::atan2(-f.Car->Direction().X(), f.Car->Direction().Z()); };
  // Steers toward `x, z` for one tick.
  auto steer = [&](double x, double z) {
    const TVector4f c = f.Car->Position().AsVector();
    double err = std::atan2(x - c.X, -(z - c.Z)) - heading();
    while (err > cPI) err -= 2 * cPI;
    while (err < -cPI) err += 2 * cPI;
    hold(platform::VK_LEFT, err < -0.02);
    hold(platform::VK_RIGHT, err > 0.02);
    ticks(1);
  };

  ticks(1);  // the first frame: menu
  f.MenuStartClick();
  f.Button3Click();
  ASSERT_TRUE(f.Stoped);
  // Cube15 at (7, 0, 4) lies behind the start: 3 s straight on toward -Z, then steered toward
  // it, which turns the car right around and clear of the houses.
  ticks(150);
  for (int i = 0; i < 1500 && f.BoxNum == 10; ++i) steer(7, 4);
  EXPECT_EQ(f.BoxNum, 9);
  EXPECT_EQ(L.Object("Cube15")->Position().Y(), -5.0f);
  EXPECT_TRUE(f.Stoped) << "a box does not stop the car";

  // On toward the east wall, by way of a point south of Hous01, until the wall stops the car.
  for (int i = 0; i < 3000 && f.Stoped; ++i) steer(60, -8);
  hold(platform::VK_LEFT, false);
  hold(platform::VK_RIGHT, false);
  EXPECT_FALSE(f.Stoped);
  EXPECT_EQ(f.Speed, 0.0);
  EXPECT_EQ(f.BoxNum, 9);
  const float x = f.Car->Position().X();
  EXPECT_GT(x, 38.0f);
  EXPECT_LT(x, 39.5f) << "stopped by the wall's inner face at 39.5";
  ticks(5);
  EXPECT_EQ(f.Car->Position().X(), x) << "a stopped car stays";
}

}  // namespace
}  // namespace ukh::test
