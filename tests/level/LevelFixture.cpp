// The game window for level tests.
#include "tests/level/LevelFixture.h"

#include "game/EmbeddedFiles.h"
#include "game/WindowLayouts.h"

namespace ukh::test {

TLevelFixture::TLevelFixture() {
  game::TGameWindows w;
  w.Game = &WindowSystem.CreateWindow(game::Form1Layout());
  w.Menu = &WindowSystem.CreateWindow(game::Form2Layout());
  w.Loading = &WindowSystem.CreateWindow(game::Form3Layout());
  w.Win = &WindowSystem.CreateWindow(game::Form4Layout());
  Form = std::make_unique<game::TForm1>(Platform.Sound(), w);
}

TLevelFixture::~TLevelFixture() = default;

game::TLevelViewerSettings TLevelFixture::Load(const std::string& document) {
  const game::TLevelDocument doc = game::ParseLevelDocument(document, "test.json");
  return game::LoadLevel(*Form, doc, game::EmbeddedLevelFiles(), WindowSystem, &Platform);
}

nlohmann::ordered_json EmbeddedLevelJson() {
  const game::TEmbeddedFile* f = game::FindEmbeddedFile("level.json");
  return nlohmann::ordered_json::parse(
      std::string(reinterpret_cast<const char*>(f->Data), f->Size));
}

}  // namespace ukh::test
