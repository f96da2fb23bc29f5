// Material libraries: name hash and lookup, unique names, links by name with the cyclic
// reference refused, and links cleared when either side goes.
#include <gtest/gtest.h>

#include <memory>

#include "engine/gl/GLLog.h"
#include "engine/gl/GLMaterialLibrary.h"
#include "tests/gl/GLTestContext.h"

namespace ukh::test {
namespace {

TEST(LibMaterialName, HashDoublesAndAddsLowBytes) {
  EXPECT_EQ(LibMaterialNameHash(""), 0);
  // length 2, then (2 * 2 + 'A') * 2 + 'b'
  EXPECT_EQ(LibMaterialNameHash("Ab"), (2 * 2 + 0x41) * 2 + 0x62);
  // Cyrillic Zhe is one UTF-16 unit, U+0416: low byte 0x16.
  EXPECT_EQ(LibMaterialNameHash("\xD0\x96"), 1 * 2 + 0x16);
  // Past 32 doublings the start value is shifted out and the sum wraps.
  const std::string longName(40, 'a');
  uint32_t h = 40;
  for (int i = 0; i < 40; ++i) h = h * 2 + 'a';
  EXPECT_EQ(LibMaterialNameHash(longName), int32_t(h));
}

TEST(MaterialLibrary, LookupNeedsTheExactNameNotJustTheHash) {
  TGLMaterialLibrary lib;
  // "Ab" and "B`" share the hash 236.
  ASSERT_EQ(LibMaterialNameHash("Ab"), LibMaterialNameHash("B`"));
  TGLLibMaterial& ab = lib.AddMaterial("Ab");
  TGLLibMaterial& b = lib.AddMaterial("B`");
  EXPECT_EQ(lib.GetLibMaterialByName("Ab"), &ab);
  EXPECT_EQ(lib.GetLibMaterialByName("B`"), &b);
  EXPECT_EQ(lib.GetLibMaterialByName("ab"), nullptr);  // case-sensitive
  EXPECT_EQ(lib.GetLibMaterialByName(""), nullptr);
}

TEST(MaterialLibrary, NamesStayUnique) {
  TGLMaterialLibrary lib;
  TGLLibMaterial& a = lib.AddMaterial("Wall");
  TGLLibMaterial& b = lib.AddMaterial("Wall");
  TGLLibMaterial& c = lib.AddMaterial("Roof");
  EXPECT_EQ(a.Name(), "Wall");
  EXPECT_EQ(b.Name(), "Wall1");
  c.SetName("Wall");
  EXPECT_EQ(c.Name(), "Wall2");
  EXPECT_EQ(lib.GetLibMaterialByName("Wall2"), &c);
  EXPECT_EQ(c.NameHashKey(), LibMaterialNameHash("Wall2"));
  a.SetName("Wall");  // its own name is not taken by anyone else
  EXPECT_EQ(a.Name(), "Wall");
}

TEST(MaterialLibrary, LinkByNameAndAnswerForTheLibraryMaterial) {
  TGLMaterialLibrary lib;
  TGLLibMaterial& glass = lib.AddMaterial("Glass");
  glass.Material().SetBlendingMode(bmTransparency);
  TGLMaterial m(nullptr);
  m.SetLibMaterialName("Glass");  // no library yet: only the name
  EXPECT_FALSE(m.MaterialIsLinkedToLib());
  m.SetMaterialLibrary(&lib);  // the stored name is resolved now
  EXPECT_EQ(m.GetLibMaterial(), &glass);
  EXPECT_TRUE(m.Blended());
  EXPECT_FALSE(m.StoresOwnProperties());
  EXPECT_EQ(&m.GetActualPrimaryMaterial(), &glass.Material());
  EXPECT_NE(m.GetActualPrimaryTexture(), nullptr);  // library materials get one at once
  ASSERT_EQ(glass.Users().size(), 1u);
  m.SetLibMaterialName("Nothing");
  EXPECT_FALSE(m.MaterialIsLinkedToLib());
  EXPECT_TRUE(glass.Users().empty());
  EXPECT_FALSE(m.Blended());
}

TEST(MaterialLibrary, CyclicReferenceIsLoggedAndRefused) {
  TGLLogCapture log;
  TGLMaterialLibrary lib;
  TGLLibMaterial& a = lib.AddMaterial("A");
  TGLLibMaterial& b = lib.AddMaterial("B");
  a.Material().SetMaterialLibrary(&lib);
  b.Material().SetMaterialLibrary(&lib);
  a.Material().SetLibMaterialName("A");  // itself
  EXPECT_FALSE(a.Material().MaterialIsLinkedToLib());
  EXPECT_EQ(a.Material().LibMaterialName(), "");
  b.Material().SetLibMaterialName("A");  // B -> A is fine
  EXPECT_EQ(b.Material().GetLibMaterial(), &a);
  a.Material().SetLibMaterialName("B");  // A -> B -> A is not
  EXPECT_FALSE(a.Material().MaterialIsLinkedToLib());
  ASSERT_EQ(log.Entries.size(), 2u);
  EXPECT_EQ(log.Entries[0].Level, TLogLevel::lkError);
  EXPECT_EQ(log.Entries[0].Message, "Cyclic reference detected in material \"A\"");
  EXPECT_EQ(log.Entries[1].Message, "Cyclic reference detected in material \"B\"");
}

TEST(MaterialLibrary, LinksAreClearedWhenEitherSideGoes) {
  auto lib = std::make_unique<TGLMaterialLibrary>();
  lib->AddMaterial("Red");
  lib->AddMaterial("Blue");
  auto user = std::make_unique<TGLMaterial>(nullptr);
  user->SetMaterialLibrary(lib.get());
  user->SetLibMaterialName("Red");
  lib->DeleteMaterial(lib->GetLibMaterialByName("Red"));
  EXPECT_FALSE(user->MaterialIsLinkedToLib());
  user->SetLibMaterialName("Blue");
  EXPECT_TRUE(user->MaterialIsLinkedToLib());
  lib.reset();
  EXPECT_FALSE(user->MaterialIsLinkedToLib());
  EXPECT_EQ(user->MaterialLibrary(), nullptr);
  // And a user dying first leaves no dangling entry behind.
  TGLMaterialLibrary lib2;
  TGLLibMaterial& green = lib2.AddMaterial("Green");
  {
    TGLMaterial shortLived(nullptr);
    shortLived.QuickAssignMaterial(&green);
    EXPECT_EQ(green.Users().size(), 1u);
    EXPECT_EQ(shortLived.LibMaterialName(), "Green");
  }
  EXPECT_TRUE(green.Users().empty());
}

TEST(MaterialLibrary, ChangeOfLibraryMaterialReachesItsUsers) {
  TGLMaterialLibrary lib;
  TGLLibMaterial& lm = lib.AddMaterial("Paint");
  int changes = 0;
  TGLMaterial user(nullptr);
  user.OnNotifyChange = [&](TPersistent*) { ++changes; };
  user.QuickAssignMaterial(&lm);
  changes = 0;
  lm.Material().FrontProperties().Diffuse().SetGreen(0.1f);
  EXPECT_EQ(changes, 1);
}

using LibraryMaterialPixels = GLTestContext;

TEST_F(LibraryMaterialPixels, LinkedMaterialDrawsWithTheLibraryMaterial) {
  TGLMaterialLibrary lib;
  TGLLibMaterial& lm = lib.AddMaterial("Green");
  lm.Material().SetMaterialOptions(moNoLighting);
  lm.Material().FrontProperties().Diffuse().SetColor({0, 1, 0, 1});
  TGLMaterial m(nullptr);
  m.FrontProperties().Diffuse().SetColor({1, 0, 0, 1});  // ignored while linked
  m.SetMaterialOptions(moNoLighting);
  m.QuickAssignMaterial(&lm);
  TGLRenderContextInfo rci;
  rci.GLStates = &States();
  ClearTo({0, 0, 0, 1});
  UsePixelProjection();
  m.Apply(rci);
  DrawQuad(0, 0, cWidth, cHeight);
  EXPECT_FALSE(m.UnApply(rci));
  EXPECT_TRUE(PixelIs(10, 10, {0, 255, 0, 255}));
}

}  // namespace
}  // namespace ukh::test
