// Importers and the model-format registry: TGLDataFile, the base of every file importer;
// TGLVectorFile, the base of mesh importers; TGLVectorFileFormatsList, which maps a file
// name's extension to the importer that reads it.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "engine/base/Exception.h"
#include "engine/base/GLUpdateAbleObject.h"

namespace ukh {

class TGLBaseMesh;

enum class TGLMeshNormalsOrientation : uint8_t { mnoDefault, mnoInvert };

enum TGLDataFileCapability : uint8_t { dfcRead = 1, dfcWrite = 2 };
using TGLDataFileCapabilities = uint8_t;

class EInvalidVectorFile : public Exception {
 public:
  explicit EInvalidVectorFile(const std::string& message) : Exception(message) {}
};

class TGLDataFile : public TGLUpdateAbleObject {
 public:
  explicit TGLDataFile(TPersistent* owner) : TGLUpdateAbleObject(owner) {}
  TGLDataFile(const TGLDataFile&) = delete;
  TGLDataFile& operator=(const TGLDataFile&) = delete;

  // The class name reported in the "not available" messages.
  virtual std::string ClassName() const { return "TGLDataFile"; }
  virtual TGLDataFileCapabilities Capabilities() const { return dfcRead; }
  // Sets the resource name to the name without its directory, then reads the file.
  virtual void LoadFromFile(const std::string& fileName);
  virtual void SaveToFile(const std::string& fileName);
  virtual void LoadFromStream(std::istream& stream);
  virtual void SaveToStream(std::ostream& stream);
  virtual void Initialize() {}

  const std::string& ResourceName() const { return FResourceName; }
  void SetResourceName(const std::string& name) { FResourceName = name; }

 private:
  std::string FResourceName;
};

class TGLVectorFile : public TGLDataFile {
 public:
  // `owner` must be a mesh.
  explicit TGLVectorFile(TPersistent* owner);
  std::string ClassName() const override { return "TGLVectorFile"; }
  TGLBaseMesh* Owner() const { return FMeshOwner; }
  TGLMeshNormalsOrientation NormalsOrientation() const { return FNormalsOrientation; }
  void SetNormalsOrientation(TGLMeshNormalsOrientation v) { FNormalsOrientation = v; }

 protected:
  TGLMeshNormalsOrientation FNormalsOrientation = TGLMeshNormalsOrientation::mnoDefault;

 private:
  TGLBaseMesh* FMeshOwner;
};

// A registry row's class reference: the class's name and how to make one for a mesh. `Base`
// names the classes it inherits from, for Remove.
struct TGLVectorFileClass {
  std::string ClassName;
  std::function<std::unique_ptr<TGLVectorFile>(TGLBaseMesh* owner)> Create;
  std::vector<std::string> Bases;
  bool InheritsFrom(const std::string& name) const;
};

struct TGLVectorFileFormat {
  TGLVectorFileClass VectorFileClass;
  std::string Extension;  // lower-cased, without the dot
  std::string Description;
  int32_t DescResID = 0;
};

class TGLVectorFileFormatsList {
 public:
  TGLVectorFileFormatsList() = default;
  TGLVectorFileFormatsList(const TGLVectorFileFormatsList&) = delete;
  TGLVectorFileFormatsList& operator=(const TGLVectorFileFormatsList&) = delete;

  void Add(const std::string& ext, const std::string& desc, const TGLVectorFileClass& cls,
           int32_t descResID = 0);
  // The last registered row for the extension (compared lower-cased), or none.
  const TGLVectorFileClass* FindExt(const std::string& ext) const;
  // The importer for the file name's extension; EInvalidVectorFile when none is registered.
  const TGLVectorFileClass& FindFromFileName(const std::string& fileName) const;
  // Deletes every row whose class is or inherits from `className`.
  void Remove(const std::string& className);
  int Count() const { return int(FRows.size()); }
  const TGLVectorFileFormat& operator[](int i) const { return FRows.at(size_t(i)); }

 private:
  std::vector<TGLVectorFileFormat> FRows;
};

// The process's registry, created on first use with the built-in formats registered.
TGLVectorFileFormatsList& GetVectorFileFormats();

// The part of the name from its last dot, without the dot; empty when there is none (a dot
// in a directory name does not count).
std::string ExtractFileExtNoDot(const std::string& fileName);

}  // namespace ukh
