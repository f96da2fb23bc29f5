// Whole runs of the assetgen program: byte-identical output from run to run, the file list,
// and its failures.
#include "tools/assetgen/AssetGen.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace ukh::assetgen {
namespace {

namespace fs = std::filesystem;

fs::path TempDir(const std::string& tag) {
  const fs::path p =
      fs::temp_directory_path() / ("ukh_assetgen_" + tag + "_" + std::to_string(getpid()));
  fs::remove_all(p);
  return p;
}

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs the generator and returns its exit status; stdout and stderr go to `output`.
int RunAssetGen(const std::string& args, std::string* output = nullptr) {
  const fs::path log = TempDir("log");
  const std::string cmd =
      std::string(UKH_ASSETGEN_EXE) + " " + args + " >" + log.string() + " 2>&1";
  const int status = std::system(cmd.c_str());
  if (output) *output = Read(log);
  fs::remove(log);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::set<std::string> Listing(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

TEST(AssetGenTest, TwoRunsWriteByteIdenticalFiles) {
  const fs::path a = TempDir("a"), b = TempDir("b");
  ASSERT_EQ(RunAssetGen(a.string()), 0);
  ASSERT_EQ(RunAssetGen(b.string()), 0);
  const std::set<std::string> expected(AssetNames().begin(), AssetNames().end());
  EXPECT_EQ(Listing(a), expected);  // and no temporary files left behind
  EXPECT_EQ(Listing(b), expected);
  for (const std::string& name : AssetNames()) {
    const std::string fa = Read(a / name), fb = Read(b / name);
    EXPECT_FALSE(fa.empty()) << name;
    EXPECT_TRUE(fa == fb) << name << " differs between runs";
    // In-process generation gives the same bytes as the program.
    const std::vector<std::uint8_t> mine = GenerateAsset(name);
    EXPECT_TRUE(std::string(mine.begin(), mine.end()) == fa) << name;
  }
  fs::remove_all(a);
  fs::remove_all(b);
}

TEST(AssetGenTest, WritesOnlyTheNamedFiles) {
  const fs::path dir = TempDir("some");
  ASSERT_EQ(RunAssetGen(dir.string() + " 04.bmp Menu.wav"), 0);
  EXPECT_EQ(Listing(dir), (std::set<std::string>{"04.bmp", "Menu.wav"}));
  fs::remove_all(dir);
}

TEST(AssetGenTest, ListsItsFiles) {
  std::string out;
  ASSERT_EQ(RunAssetGen("--list", &out), 0);
  std::string expected;
  for (const std::string& n : AssetNames()) expected += n + "\n";
  EXPECT_EQ(out, expected);
  for (const char* required :
       {"Car_02.3ds", "Hous.3ds", "03.bmp", "04.bmp", "05.bmp", "Menu.wav", "Track01.wav"})
    EXPECT_NE(expected.find(std::string(required) + "\n"), std::string::npos) << required;
}

TEST(AssetGenTest, FailsClearlyOnBadArguments) {
  const fs::path dir = TempDir("bad");
  std::string out;
  EXPECT_EQ(RunAssetGen(dir.string() + " Nothing.bin", &out), 1);
  EXPECT_NE(out.find("unknown asset \"Nothing.bin\""), std::string::npos) << out;
  EXPECT_EQ(RunAssetGen("", &out), 2);
  EXPECT_NE(out.find("usage"), std::string::npos) << out;
  // A file where the folder should be.
  const fs::path blocker = TempDir("blocker");
  std::ofstream(blocker).put('x');
  EXPECT_EQ(RunAssetGen(blocker.string() + " 03.bmp", &out), 1);
  EXPECT_NE(out.find("assetgen:"), std::string::npos) << out;
  fs::remove(blocker);
  fs::remove_all(dir);
  EXPECT_THROW(GenerateAsset("nope.3ds"), std::invalid_argument);
}

}  // namespace
}  // namespace ukh::assetgen
