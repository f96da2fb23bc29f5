// Importer base classes and the model-format registry.
#include "engine/mesh/GLVectorFile.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "engine/mesh/GL3DSVectorFile.h"
#include "engine/mesh/GLBaseMesh.h"

namespace ukh {

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}
std::string Upper(std::string s) {
  for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::string ExtractFileExtNoDot(const std::string& fileName) {
  const size_t dot = fileName.find_last_of('.');
  const size_t slash = fileName.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && slash > dot)) return {};
  return fileName.substr(dot + 1);
}

void TGLDataFile::LoadFromFile(const std::string& fileName) {
  const size_t slash = fileName.find_last_of("/\\");
  FResourceName = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw Exception("Cannot open file \"" + fileName + "\"");
  LoadFromStream(in);
}

void TGLDataFile::SaveToFile(const std::string& fileName) {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  if (!out) throw Exception("Cannot create file \"" + fileName + "\"");
  SaveToStream(out);
}

void TGLDataFile::LoadFromStream(std::istream&) {
  throw EAssertionFailed("Import for " + ClassName() + " to TStream not available.");
}

void TGLDataFile::SaveToStream(std::ostream&) {
  throw EAssertionFailed("Export for " + ClassName() + " to TStream not available.");
}

TGLVectorFile::TGLVectorFile(TPersistent* owner)
    : TGLDataFile(owner), FMeshOwner(dynamic_cast<TGLBaseMesh*>(owner)) {
  Assert(FMeshOwner != nullptr);
}

bool TGLVectorFileClass::InheritsFrom(const std::string& name) const {
  return ClassName == name || std::find(Bases.begin(), Bases.end(), name) != Bases.end();
}

void TGLVectorFileFormatsList::Add(const std::string& ext, const std::string& desc,
                                   const TGLVectorFileClass& cls, int32_t descResID) {
  FRows.push_back({cls, Lower(ext), desc, descResID});
}

const TGLVectorFileClass* TGLVectorFileFormatsList::FindExt(const std::string& ext) const {
  const std::string e = Lower(ext);
  for (auto it = FRows.rbegin(); it != FRows.rend(); ++it)
    if (it->Extension == e) return &it->VectorFileClass;
  return nullptr;
}

const TGLVectorFileClass& TGLVectorFileFormatsList::FindFromFileName(
    const std::string& fileName) const {
  const std::string ext = ExtractFileExtNoDot(fileName);
  if (const TGLVectorFileClass* c = FindExt(ext)) return *c;
  throw EInvalidVectorFile("Unknown file extension (" + ext +
                           "), maybe you forgot to add the support unit to your uses? (GLFile" +
                           Upper(ext) + "?)");
}

void TGLVectorFileFormatsList::Remove(const std::string& className) {
  std::erase_if(FRows, [&](const TGLVectorFileFormat& r) {
    return r.VectorFileClass.InheritsFrom(className);
  });
}

TGLVectorFileFormatsList& GetVectorFileFormats() {
  static TGLVectorFileFormatsList list;
  static const bool registered = (Register3DSVectorFileFormats(list), true);
  (void)registered;
  return list;
}

}  // namespace ukh
