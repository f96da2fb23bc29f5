// Reading the level document's JSON into entries, with every shape error named.
#include "game/LevelDocument.h"

#include <nlohmann/json.hpp>

namespace ukh::game {

namespace {

using json = nlohmann::ordered_json;

std::string Describe(const std::string& document, const std::string& object,
                     const std::string& property, const std::string& problem) {
  std::string m = document + ": ";
  if (!object.empty()) m += "object \"" + object + "\"";
  if (!property.empty())
    m += (object.empty() ? "" : ", ") + std::string("property \"") + property + "\"";
  if (!object.empty() || !property.empty()) m += ": ";
  return m + problem;
}

class TParser {
 public:
  explicit TParser(std::string document) : FDocument(std::move(document)) {}

  [[noreturn]] void Fail(const std::string& object, const std::string& property,
                         const std::string& problem) const {
    throw ELevelError(FDocument, object, property, problem);
  }

  std::vector<uint8_t> Hex(const std::string& object, const std::string& property,
                           const std::string& text) const {
    if (text.size() % 2 != 0) Fail(object, property, "hex text of odd length");
    std::vector<uint8_t> bytes(text.size() / 2);
    auto digit = [&](char c) -> int {
      if (c >= '0' && c <= '9') return c - '0';
      if (c >= 'A' && c <= 'F') return c - 'A' + 10;
      if (c >= 'a' && c <= 'f') return c - 'a' + 10;
      Fail(object, property, std::string("not a hex digit: '") + c + "'");
    };
    for (size_t i = 0; i < bytes.size(); ++i)
      bytes[i] = uint8_t(digit(text[2 * i]) * 16 + digit(text[2 * i + 1]));
    return bytes;
  }

  std::string Text(const json& node, const char* key, const std::string& object) const {
    auto it = node.find(key);
    if (it == node.end()) Fail(object, key, "missing");
    if (!it->is_string()) Fail(object, key, "not a text");
    return it->get<std::string>();
  }

  TLevelEntry Entry(const json& node, const std::string& where, bool allowChildren) const {
    if (!node.is_object()) Fail(where, "", "an entry must be an object");
    TLevelEntry e;
    e.Name = Text(node, "name", where);
    if (e.Name.empty()) Fail(where, "name", "empty");
    e.Class = Text(node, "class", e.Name);
    for (auto it = node.begin(); it != node.end(); ++it) {
      const std::string& key = it.key();
      if (key == "name" || key == "class") continue;
      if (key == "properties") {
        if (!it->is_object()) Fail(e.Name, key, "not an object");
        for (auto p = it->begin(); p != it->end(); ++p)
          e.Properties.push_back(Property(e.Name, p.key(), *p));
      } else if (key == "data") {
        if (!it->is_object()) Fail(e.Name, key, "not an object");
        for (auto d = it->begin(); d != it->end(); ++d) e.Data.push_back(Data(e.Name, d.key(), *d));
      } else if (key == "children" && allowChildren) {
        if (!it->is_array()) Fail(e.Name, key, "not a list");
        for (const json& child : *it) e.Children.push_back(Entry(child, e.Name + " (child)", true));
      } else {
        Fail(e.Name, key, "unknown entry field");
      }
    }
    return e;
  }

  TLevelProperty Property(const std::string& object, const std::string& name,
                          const json& value) const {
    TLevelProperty p;
    p.Name = name;
    if (value.is_boolean())
      p.Value = value.get<bool>();
    else if (value.is_number_integer())
      p.Value = value.get<int64_t>();
    else if (value.is_number_float()) {
      p.Value = value.get<double>();
      p.IsReal = true;
    } else if (value.is_string())
      p.Value = value.get<std::string>();
    else
      Fail(object, name, "a property holds a number, a truth value or a text");
    return p;
  }

  TLevelData Data(const std::string& object, const std::string& name, const json& value) const {
    TLevelData d;
    d.Name = name;
    if (value.is_string()) {
      d.Value = Hex(object, name, value.get<std::string>());
    } else if (value.is_object()) {
      TLevelPictureFile f;
      for (auto it = value.begin(); it != value.end(); ++it) {
        if (it.key() == "graphic" && it->is_string())
          f.Graphic = it->get<std::string>();
        else if (it.key() == "file" && it->is_string())
          f.File = it->get<std::string>();
        else
          Fail(object, name, "a picture reference holds a \"graphic\" and a \"file\" text");
      }
      if (f.Graphic.empty() || f.File.empty())
        Fail(object, name, "a picture reference holds a \"graphic\" and a \"file\" text");
      d.Value = std::move(f);
    } else {
      Fail(object, name, "a byte block is hex text or a picture reference");
    }
    return d;
  }

 private:
  std::string FDocument;
};

}  // namespace

ELevelError::ELevelError(const std::string& document, const std::string& object,
                         const std::string& property, const std::string& problem)
    : Exception(Describe(document, object, property, problem)),
      FObject(object),
      FProperty(property) {}

TLevelDocument ParseLevelDocument(const std::string& text, const std::string& documentName) {
  TParser p(documentName);
  json root;
  try {
    root = json::parse(text);
  } catch (const json::parse_error& e) {
    // nlohmann's text starts with its own prefix; the byte position is what helps.
    p.Fail("", "", "syntax error at byte " + std::to_string(e.byte));
  }
  if (!root.is_object()) p.Fail("", "", "the document must be an object");
  if (!root.contains("document") || root["document"] != "Ukhabitsa level")
    p.Fail("", "document", "not a Ukhabitsa level");
  if (!root.contains("version") || root["version"] != 1)
    p.Fail("", "version", "only version 1 is known");

  TLevelDocument doc;
  doc.DocumentName = documentName;
  for (auto it = root.begin(); it != root.end(); ++it) {
    const std::string& key = it.key();
    if (key == "document" || key == "version") continue;
    if (key == "scene") {
      if (!it->is_object()) p.Fail("", "scene", "not an object");
      json scene = *it;
      json objects = json::array();
      if (auto o = scene.find("objects"); o != scene.end()) {
        objects = *o;
        scene.erase(o);
      }
      doc.Scene = p.Entry(scene, "scene", false);
      if (!objects.is_array()) p.Fail(doc.Scene.Name, "objects", "not a list");
      for (const json& child : objects)
        doc.Scene.Children.push_back(p.Entry(child, doc.Scene.Name + " (object)", true));
    } else if (key == "components") {
      if (!it->is_array()) p.Fail("", "components", "not a list");
      for (const json& c : *it) doc.Components.push_back(p.Entry(c, "component", false));
    } else if (key == "viewer") {
      doc.Viewer = p.Entry(*it, "viewer", false);
      doc.HasViewer = true;
    } else {
      p.Fail("", key, "unknown document field");
    }
  }
  if (doc.Scene.Name.empty()) p.Fail("", "scene", "missing");
  return doc;
}

}  // namespace ukh::game
