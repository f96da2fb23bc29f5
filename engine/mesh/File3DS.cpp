// Loading a 3DS file into memory and the record caches over its chunk tree.
#include "engine/mesh/File3DS.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <istream>
#include <new>

#include "engine/mesh/KeyFramerReader3DS.h"
#include "engine/mesh/MaterialReader3DS.h"
#include "engine/mesh/ObjectReader3DS.h"

namespace ukh {

using namespace tag3ds;

namespace {

// The cached record of slot `index`, decoded by `read` on the first request.
template <class R, class F>
R* Cached(std::vector<std::unique_ptr<R>>& slots, const std::vector<TChunkIndex>& chunks, int index,
          F read) {
  if (index < 0 || size_t(index) >= chunks.size()) return nullptr;
  if (slots.size() != chunks.size()) slots.resize(chunks.size());
  if (!slots[index]) {
    try {
      slots[index] = read(chunks[index]);
    } catch (const std::bad_alloc&) {
      throw E3DSError(cErr3DSNoMemory);
    }
  }
  return slots[index].get();
}

// Only ASCII letters fold; other bytes compare as they are.
std::string UpperASCII(std::string_view s) {
  std::string u(s);
  for (char& c : u)
    if (c >= 'a' && c <= 'z') c = char(c - 32);
  return u;
}

TReleaseLevel Release(int32_t v) {
  switch (v) {
    case 1:
      return TReleaseLevel::rlRelease1;
    case 2:
      return TReleaseLevel::rlRelease2;
    case 3:
      return TReleaseLevel::rlRelease3;
    default:
      return TReleaseLevel::rlReleaseNotKnown;
  }
}

}  // namespace

// ---- materials -----------------------------------------------------------------------------

int TMaterialList::Count() {
  return int(FOwner->Database().MatList().Count);
}

TMaterial3DS* TMaterialList::Material(int index) {
  TDatabase3DS& db = FOwner->Database();
  const TChunkList3DS& list = db.MatList();
  if (index < 0 || uint32_t(index) >= list.Count) return nullptr;
  if (FLocalList.size() != list.Count) FLocalList.resize(list.Count);
  if (!FLocalList[index]) {
    const uint16_t top = db.Chunk(0).Tag;
    if (top != M3DMAGIC && top != CMAGIC && top != MLIBMAGIC) throw E3DSError(cErr3DSWrongDatabase);
    FLocalList[index] = ReadMaterialRecord(db, list.List[index].Chunk);
  }
  return FLocalList[index].get();
}

TMaterial3DS* TMaterialList::MaterialByName(std::string_view name) {
  const TChunkList3DS& list = FOwner->Database().MatList();
  if (FByName.empty())
    for (uint32_t i = 0; i < list.Count; ++i) FByName.emplace(UpperASCII(list.List[i].NameStr), i);
  // Every entry up to the match is read, in order: a broken entry before it fails the lookup,
  // as the import expects. The cache keeps repeated lookups cheap.
  const auto it = FByName.find(UpperASCII(name));
  const uint32_t last = it == FByName.end() ? list.Count : it->second + 1;
  for (uint32_t i = 0; i < last; ++i) Material(int(i));
  return it == FByName.end() ? nullptr : Material(int(it->second));
}

// ---- named objects -------------------------------------------------------------------------

void TObjectList::Count() {
  if (FCounted) return;
  TDatabase3DS& db = FOwner->Database();
  if (!db.HasTree()) return;
  for (const TChunkListEntry3DS& e : db.ObjList().List) {
    if (db.FindChunk(e.Chunk, N_TRI_OBJECT) != cNoChunk) FMeshChunks.push_back(e.Chunk);
    if (const TChunkIndex dl = db.FindChunk(e.Chunk, N_DIRECT_LIGHT); dl != cNoChunk)
      (db.FindChunk(dl, DL_SPOTLIGHT) != cNoChunk ? FSpotChunks : FOmniChunks).push_back(e.Chunk);
    if (db.FindChunk(e.Chunk, N_CAMERA) != cNoChunk) FCameraChunks.push_back(e.Chunk);
  }
  FCounted = true;
}

void TObjectList::ClearList() {
  FCounted = false;
  FMeshChunks.clear();
  FOmniChunks.clear();
  FSpotChunks.clear();
  FCameraChunks.clear();
  FMeshList.clear();
  FOmniList.clear();
  FSpotList.clear();
  FCameraList.clear();
}

int TObjectList::MeshCount() {
  Count();
  return int(FMeshChunks.size());
}
int TObjectList::OmniLightCount() {
  Count();
  return int(FOmniChunks.size());
}
int TObjectList::SpotLightCount() {
  Count();
  return int(FSpotChunks.size());
}
int TObjectList::CameraCount() {
  Count();
  return int(FCameraChunks.size());
}

TMesh3DS* TObjectList::Mesh(int index) {
  Count();
  TDatabase3DS& db = FOwner->Database();
  return Cached(FMeshList, FMeshChunks, index, [&db](TChunkIndex c) {
    const uint16_t top = db.Chunk(0).Tag;
    if (top != M3DMAGIC && top != CMAGIC) throw E3DSError(cErr3DSWrongDatabase);
    return ReadMeshRecord(db, c);
  });
}

TLight3DS* TObjectList::OmniLight(int index) {
  Count();
  TDatabase3DS& db = FOwner->Database();
  return Cached(FOmniList, FOmniChunks, index,
                [&db](TChunkIndex c) { return ReadLightRecord(db, c, false); });
}

TLight3DS* TObjectList::SpotLight(int index) {
  Count();
  TDatabase3DS& db = FOwner->Database();
  return Cached(FSpotList, FSpotChunks, index,
                [&db](TChunkIndex c) { return ReadLightRecord(db, c, true); });
}

TCamera3DS* TObjectList::Camera(int index) {
  Count();
  TDatabase3DS& db = FOwner->Database();
  return Cached(FCameraList, FCameraChunks, index,
                [&db](TChunkIndex c) { return ReadCameraRecord(db, c); });
}

// ---- keyframer -----------------------------------------------------------------------------

void TKeyFramer::Count() {
  if (FCounted) return;
  TDatabase3DS& db = FOwner->Database();
  if (!db.HasTree()) return;
  for (const TChunkListEntry3DS& e : db.NodeList().List) {
    switch (db.Chunk(e.Chunk).Tag) {
      case OBJECT_NODE_TAG:
        FMeshNodes.push_back(e.Chunk);
        break;
      case LIGHT_NODE_TAG:
        FOmniNodes.push_back(e.Chunk);
        break;
      case SPOTLIGHT_NODE_TAG:
        FSpotNodes.push_back(e.Chunk);
        break;
      case CAMERA_NODE_TAG:
        FCameraNodes.push_back(e.Chunk);
        break;
      case AMBIENT_NODE_TAG:
        if (FAmbientNode == cNoChunk) FAmbientNode = e.Chunk;
        break;
      default:
        break;
    }
  }
  FCounted = true;
}

void TKeyFramer::ClearList() {
  FCounted = false;
  FAmbientRead = false;
  FSettings.reset();
  FMeshNodes.clear();
  FOmniNodes.clear();
  FSpotNodes.clear();
  FCameraNodes.clear();
  FAmbientNode = cNoChunk;
  FMeshMotionList.clear();
  FOmniMotionList.clear();
  FSpotMotionList.clear();
  FCameraMotionList.clear();
  FAmbientMotion.reset();
}

const TKFSets3DS& TKeyFramer::Settings() {
  if (!FSettings) FSettings = std::make_unique<TKFSets3DS>(ReadKFSettings(FOwner->Database()));
  return *FSettings;
}

int TKeyFramer::MeshMotionCount() {
  Count();
  return int(FMeshNodes.size());
}
int TKeyFramer::OmniLightMotionCount() {
  Count();
  return int(FOmniNodes.size());
}
int TKeyFramer::SpotLightMotionCount() {
  Count();
  return int(FSpotNodes.size());
}
int TKeyFramer::CameraMotionCount() {
  Count();
  return int(FCameraNodes.size());
}

TKFMesh3DS* TKeyFramer::MeshMotion(int index) {
  Count();
  TDatabase3DS& db = FOwner->Database();
  return Cached(FMeshMotionList, FMeshNodes, index,
                [&db](TChunkIndex c) { return ReadMeshMotion(db, c); });
}

TKFOmni3DS* TKeyFramer::OmniLightMotion(int index) {
  Count();
  TDatabase3DS& db = FOwner->Database();
  return Cached(FOmniMotionList, FOmniNodes, index,
                [&db](TChunkIndex c) { return ReadOmniMotion(db, c); });
}

TKFSpot3DS* TKeyFramer::SpotLightMotion(int index) {
  Count();
  TDatabase3DS& db = FOwner->Database();
  return Cached(FSpotMotionList, FSpotNodes, index,
                [&db](TChunkIndex c) { return ReadSpotMotion(db, c); });
}

TKFCamera3DS* TKeyFramer::CameraMotion(int index) {
  Count();
  TDatabase3DS& db = FOwner->Database();
  return Cached(FCameraMotionList, FCameraNodes, index,
                [&db](TChunkIndex c) { return ReadCameraMotion(db, c); });
}

TKFAmbient3DS* TKeyFramer::AmbientLightMotion() {
  Count();
  if (!FAmbientRead && FAmbientNode != cNoChunk) {
    FAmbientMotion = ReadAmbientMotion(FOwner->Database(), FAmbientNode);
    FAmbientRead = true;
  }
  return FAmbientMotion.get();
}

// ---- the file ------------------------------------------------------------------------------

TFile3DS::TFile3DS() = default;
TFile3DS::~TFile3DS() = default;

void TFile3DS::ClearLists() {
  FMaterialList.ClearList();
  FObjectList.ClearList();
  FKeyFramer.ClearList();
  FDatabase.Clear();
}

void TFile3DS::Load(std::vector<uint8_t> bytes, const std::string& label) {
  ClearLists();
  FFileName.clear();
  FDatabase.Load(std::move(bytes), label, OnLoadProgress);
}

void TFile3DS::LoadFromStream(std::istream& stream) {
  std::vector<uint8_t> bytes;
  stream.clear();
  stream.seekg(0, std::ios::end);
  const std::streamoff end = stream.tellg();
  if (end >= 0) {
    stream.seekg(0, std::ios::beg);
    bytes.resize(size_t(end));
    stream.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(end));
    bytes.resize(size_t(stream.gcount()));
  } else {
    // Not seekable: read what is there.
    stream.clear();
    char block[65536];
    while (stream.read(block, sizeof block) || stream.gcount() > 0)
      bytes.insert(bytes.end(), block, block + stream.gcount());
  }
  Load(std::move(bytes), "(stream)");
}

void TFile3DS::LoadFromFile(const std::string& fileName) {
  std::FILE* f = std::fopen(fileName.c_str(), "rb");
  if (!f) throw E3DSError("Cannot open file \"" + fileName + "\". " + std::strerror(errno));
  std::vector<uint8_t> bytes;
  bool ok = std::fseek(f, 0, SEEK_END) == 0;
  const long size = ok ? std::ftell(f) : -1;
  ok = ok && size >= 0 && std::fseek(f, 0, SEEK_SET) == 0;
  if (ok) {
    bytes.resize(size_t(size));
    ok = std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
  }
  std::fclose(f);
  if (!ok) throw E3DSError("Cannot read file \"" + fileName + "\"");
  Load(std::move(bytes), fileName);
  FFileName = fileName;
}

void TFile3DS::LoadFromMemory(const void* data, size_t size, const std::string& name) {
  const auto* p = static_cast<const uint8_t*>(data);
  Load(std::vector<uint8_t>(p, p + size), name.empty() ? "(memory)" : name);
}

TDBType3DS TFile3DS::DatabaseType() const {
  if (!FDatabase.HasTree()) return TDBType3DS::dbUnknown;
  switch (FDatabase.Chunk(0).Tag) {
    case M3DMAGIC:
      return TDBType3DS::dbMeshFile;
    case CMAGIC:
      return TDBType3DS::dbProjectFile;
    case MLIBMAGIC:
      return TDBType3DS::dbMaterialFile;
    default:
      return TDBType3DS::dbUnknown;
  }
}

TReleaseLevel TFile3DS::DatabaseRelease() {
  const TChunkIndex v = FDatabase.FindChild(FDatabase.TopChunk(), M3D_VERSION);
  return v == cNoChunk ? TReleaseLevel::rlReleaseNotKnown : Release(FDatabase.Value<int32_t>(v));
}

TReleaseLevel TFile3DS::MeshRelease() {
  const TChunkIndex md = FDatabase.HasTree() ? FDatabase.FindChunk(0, MDATA) : cNoChunk;
  const TChunkIndex v = FDatabase.FindChild(md, MESH_VERSION);
  return v == cNoChunk ? TReleaseLevel::rlReleaseNotKnown : Release(FDatabase.Value<int32_t>(v));
}

}  // namespace ukh
