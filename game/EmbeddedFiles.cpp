// Looking up the files the build embedded.
#include "game/EmbeddedFiles.h"

namespace ukh::game {

const TEmbeddedFile* FindEmbeddedFile(std::string_view name) {
  for (const TEmbeddedFile& f : EmbeddedFiles())
    if (name == f.Name) return &f;
  return nullptr;
}

}  // namespace ukh::game
