// The level document: the text form in which the game's level ships (assets/level.json),
// parsed and checked, and the error every malformed document raises. A document holds the
// scene's object tree in order, the game window's other components, the viewer's settings,
// and for each entry its plain "properties" and its byte-block "data" in the engine's stored
// forms (hex text, or a picture named by file).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "engine/base/Exception.h"

namespace ukh::game {

// Stops loading; names the document, the object and the property where it can.
class ELevelError : public Exception {
 public:
  ELevelError(const std::string& document, const std::string& object, const std::string& property,
              const std::string& problem);
  const std::string& Object() const { return FObject; }
  const std::string& Property() const { return FProperty; }

 private:
  std::string FObject, FProperty;
};

// A plain stored value.
using TLevelValue = std::variant<bool, int64_t, double, std::string>;

struct TLevelProperty {
  std::string Name;
  TLevelValue Value;
  // Whether the number was written with a fraction or exponent (1.0 rather than 1).
  bool IsReal = false;
};

// A byte block: the bytes themselves, or a picture whose BMP file is named.
struct TLevelPictureFile {
  std::string Graphic;  // "TBitmap"
  std::string File;
};
struct TLevelData {
  std::string Name;
  std::variant<std::vector<uint8_t>, TLevelPictureFile> Value;
};

struct TLevelEntry {
  std::string Name;
  std::string Class;
  std::vector<TLevelProperty> Properties;  // in document order
  std::vector<TLevelData> Data;            // in document order
  std::vector<TLevelEntry> Children;
};

struct TLevelDocument {
  std::string DocumentName;  // for messages, e.g. "level.json"
  TLevelEntry Scene;         // class TGLWorld; its children are the root's objects
  std::vector<TLevelEntry> Components;
  bool HasViewer = false;
  TLevelEntry Viewer;
};

// Parses and checks the shape of a document: syntax, the header, every entry's fields and
// value kinds, hex text. Names, classes and properties are checked by the loader.
TLevelDocument ParseLevelDocument(const std::string& text, const std::string& documentName);

}  // namespace ukh::game
