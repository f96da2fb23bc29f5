// A game window on the headless platform and headless windows, ready to receive a level, and
// the built-in level document as JSON for tests that change it.
#pragma once

#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "game/Form1.h"
#include "game/LevelLoader.h"
#include "platform/HeadlessPlatform.h"
#include "platform/HeadlessWindows.h"

namespace ukh::test {

class TLevelFixture {
 public:
  TLevelFixture();
  ~TLevelFixture();

  platform::THeadlessPlatform Platform;
  platform::TCurrentPlatform Current{Platform};
  platform::THeadlessWindowSystem WindowSystem;
  std::unique_ptr<game::TForm1> Form;

  game::TForm1& F() { return *Form; }
  TGLBaseSceneObject* Object(const std::string& name) {
    return Form->GLWorld1->FindSceneObject(name);
  }
  // Loads `document` (JSON text) with the embedded picture files.
  game::TLevelViewerSettings Load(const std::string& document);
};

// The built-in document, parsed.
nlohmann::ordered_json EmbeddedLevelJson();
}  // namespace ukh::test
