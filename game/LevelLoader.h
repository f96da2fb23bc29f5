// Building the game window's level from its document, in the loading order the game relies
// on: the scene objects with their stored values (behaviour archives read at once), then the
// cadencer, managers and navigator, then the references between them, then every component's
// end of loading (behaviours join their managers, the cadencer posts its first tick). Also the
// window's creation step FormCreate: models and pictures from the asset files and the starting
// state of a game.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "game/Form1.h"
#include "game/LevelDocument.h"
#include "platform/Platform.h"
#include "platform/Windows.h"

namespace ukh::game {

// What the document stores for the viewer, which the window's layout creates.
struct TLevelViewerSettings {
  TGLCamera* Camera = nullptr;
  float FieldOfView = 0;
  uint32_t BackgroundColor = 0;  // window-system colour, system colours as 0xFF0000nn
};

// The bytes of a picture file the document names, or nullopt when there is none.
using TLevelFileSource =
    std::function<std::optional<std::span<const uint8_t>>(const std::string& name)>;
// The files embedded into the program with the level.
TLevelFileSource EmbeddedLevelFiles();

// Builds the document into `form`, whose components must still be unset, then binds the
// form's objects and events (BindSceneObjects, BindEvents, then the document's event
// wiring). A malformed document raises ELevelError naming the object and the property; the
// form is then left without components and nothing of the level remains. `platform` drives
// the cadencer (the current platform when null).
TLevelViewerSettings LoadLevel(TForm1& form, const TLevelDocument& document,
                               const TLevelFileSource& files, platform::IWindowSystem& windowSystem,
                               platform::IPlatform* platform = nullptr);
// The level built into the program ("level.json").
TLevelViewerSettings LoadEmbeddedLevel(TForm1& form, platform::IWindowSystem& windowSystem,
                                       platform::IPlatform* platform = nullptr);

// Where FormCreate finds an asset file: the working directory first, then beside the
// executable; the bare name when neither has it (so the error names the file).
std::string LocateAsset(const std::string& name);

// The game window's creation step. An asset that cannot be read stops it: the error's message
// (naming the file) goes to `messageBox` and the remaining steps are skipped; false then.
bool FormCreate(TForm1& form, platform::IMessageBox& messageBox);

}  // namespace ukh::game
