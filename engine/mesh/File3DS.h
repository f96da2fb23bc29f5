// TFile3DS: reads a 3D Studio (3DS) file and offers its meshes, materials, lights, cameras and
// keyframer data as records, decoded on first request and kept until the next load.
//
// The whole file is read into memory once; loading builds only the tree of chunk headers.
// Every record belongs to the reader and lives until it is cleared or destroyed.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/mesh/Database3DS.h"

namespace ukh {

class TFile3DS;

class TMaterialList {
 public:
  explicit TMaterialList(TFile3DS* owner) : FOwner(owner) {}
  int Count();
  // None when the index is out of range.
  TMaterial3DS* Material(int index);
  // The first material whose name equals `name` regardless of ASCII letter case, or none.
  // The materials before it (all of them when none matches) are read first, so a broken one
  // among them raises its error.
  TMaterial3DS* MaterialByName(std::string_view name);
  void ClearList() {
    FLocalList.clear();
    FByName.clear();
  }

 private:
  TFile3DS* FOwner;
  std::vector<std::unique_ptr<TMaterial3DS>> FLocalList;  // one cache slot per entry
  // Upper-cased name -> first entry, built on the first lookup by name.
  std::unordered_map<std::string, uint32_t> FByName;
};

class TObjectList {
 public:
  explicit TObjectList(TFile3DS* owner) : FOwner(owner) {}
  int MeshCount();
  TMesh3DS* Mesh(int index);
  int OmniLightCount();
  TLight3DS* OmniLight(int index);
  int SpotLightCount();
  TLight3DS* SpotLight(int index);
  int CameraCount();
  TCamera3DS* Camera(int index);
  void ClearList();

 private:
  void Count();
  TFile3DS* FOwner;
  bool FCounted = false;
  // The named-object chunks of each kind, in list order.
  std::vector<TChunkIndex> FMeshChunks, FOmniChunks, FSpotChunks, FCameraChunks;
  std::vector<std::unique_ptr<TMesh3DS>> FMeshList;
  std::vector<std::unique_ptr<TLight3DS>> FOmniList, FSpotList;
  std::vector<std::unique_ptr<TCamera3DS>> FCameraList;
};

class TKeyFramer {
 public:
  explicit TKeyFramer(TFile3DS* owner) : FOwner(owner) {}
  const TKFSets3DS& Settings();
  int MeshMotionCount();
  TKFMesh3DS* MeshMotion(int index);
  int OmniLightMotionCount();
  TKFOmni3DS* OmniLightMotion(int index);
  int SpotLightMotionCount();
  TKFSpot3DS* SpotLightMotion(int index);
  int CameraMotionCount();
  TKFCamera3DS* CameraMotion(int index);
  // None when the keyframer has no ambient node.
  TKFAmbient3DS* AmbientLightMotion();
  void ClearList();

 private:
  void Count();
  TFile3DS* FOwner;
  bool FCounted = false, FAmbientRead = false;
  std::unique_ptr<TKFSets3DS> FSettings;
  std::vector<TChunkIndex> FMeshNodes, FOmniNodes, FSpotNodes, FCameraNodes;
  TChunkIndex FAmbientNode = cNoChunk;
  std::vector<std::unique_ptr<TKFMesh3DS>> FMeshMotionList;
  std::vector<std::unique_ptr<TKFOmni3DS>> FOmniMotionList;
  std::vector<std::unique_ptr<TKFSpot3DS>> FSpotMotionList;
  std::vector<std::unique_ptr<TKFCamera3DS>> FCameraMotionList;
  std::unique_ptr<TKFAmbient3DS> FAmbientMotion;
};

class TFile3DS {
 public:
  TFile3DS();
  ~TFile3DS();
  TFile3DS(const TFile3DS&) = delete;
  TFile3DS& operator=(const TFile3DS&) = delete;

  // Reads the stream from offset 0 to its end; the stream stays the caller's.
  void LoadFromStream(std::istream& stream);
  void LoadFromFile(const std::string& fileName);
  // Loads a copy of `size` bytes; `name` only labels error messages.
  void LoadFromMemory(const void* data, size_t size, const std::string& name = {});
  // Empties the three record caches and releases the tree.
  void ClearLists();

  TMaterialList& Materials() { return FMaterialList; }
  TObjectList& Objects() { return FObjectList; }
  TKeyFramer& KeyFramer() { return FKeyFramer; }
  TDBType3DS DatabaseType() const;
  TReleaseLevel DatabaseRelease();
  TReleaseLevel MeshRelease();
  const std::string& FileName() const { return FFileName; }
  TDatabase3DS& Database() { return FDatabase; }

  TLoadProgress OnLoadProgress;

 private:
  void Load(std::vector<uint8_t> bytes, const std::string& label);

  TDatabase3DS FDatabase;
  TMaterialList FMaterialList{this};
  TObjectList FObjectList{this};
  TKeyFramer FKeyFramer{this};
  std::string FFileName;
};

}  // namespace ukh
