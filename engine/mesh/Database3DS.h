// TDatabase3DS: the chunk tree of one loaded 3DS file, built from chunk headers alone, with
// the payloads decoded on request and kept, and the name lists of objects, materials and
// keyframer nodes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/mesh/Chunk3DS.h"
#include "engine/mesh/Error3DS.h"

namespace ukh {

// Called while the tree is read: (stream position, stream size); the size is given only with
// the first call, 0 afterwards.
using TLoadProgress = std::function<void(uint32_t position, uint32_t size)>;

struct TChunkListEntry3DS {
  std::string NameStr;
  TChunkIndex Chunk = cNoChunk;
};

struct TChunkList3DS {
  uint32_t Count = 0;
  std::vector<TChunkListEntry3DS> List;
};

class TDatabase3DS {
 public:
  TDatabase3DS() = default;
  TDatabase3DS(const TDatabase3DS&) = delete;
  TDatabase3DS& operator=(const TDatabase3DS&) = delete;

  // Takes the file's bytes and reads the tree of chunk headers; throws E3DSError naming the
  // file and chunk when the structure is malformed, leaving the database empty.
  void Load(std::vector<uint8_t> bytes, std::string fileName, const TLoadProgress& progress);
  // Releases the tree, the decoded payloads and the file's bytes.
  void Clear();

  bool HasTree() const { return !FChunks.empty(); }
  TChunkIndex TopChunk() const { return FChunks.empty() ? cNoChunk : 0; }
  size_t ChunkCount() const { return FChunks.size(); }
  const TChunk3DS& Chunk(TChunkIndex i) const { return FChunks[i]; }
  const std::string& FileName() const { return FFileName; }

  // First chunk with `tag` in a pre-order walk of the subtree of `start`, start included.
  TChunkIndex FindChunk(TChunkIndex start, uint16_t tag) const;
  // `from` or the first of its following siblings with `tag`.
  TChunkIndex FindNextChunk(TChunkIndex from, uint16_t tag) const;
  // First direct child of `parent` with `tag`.
  TChunkIndex FindChild(TChunkIndex parent, uint16_t tag) const;

  // The chunk's payload record, decoded on the first request and kept.
  const TChunkData& ReadChunkData(TChunkIndex i);
  // The payload as the type its tag decodes to; a chunk whose payload is of another kind is an
  // invalid chunk structure.
  template <class T>
  T Value(TChunkIndex i) {
    const T* v = std::get_if<T>(&ReadChunkData(i));
    if (!v)
      throw E3DSError(ChunkErrorText(FFileName, FChunks[i].Tag, FChunks[i].Position,
                                     "does not hold the data its parent needs"));
    return *v;
  }
  std::string String(TChunkIndex i) { return std::string(Value<std::string_view>(i)); }
  // A bounded reader over the chunk's whole payload, for the array chunks whose records take
  // the decoded arrays over; counts as one decode.
  TChunkReader3DS PayloadReader(TChunkIndex i);

  // Payload decodes since the load (test hook: a payload is decoded at most once per record).
  uint32_t DecodeCount() const { return FDecodeCount; }

  // The parent name given to a keyframer node's NODE_HDR after loading, or none.
  const std::string* ParentName(TChunkIndex nodeHdr) const;

  // The first keyframer node of `tag` whose list name is `name`, or none; indexed on first use
  // so that looking up every target stays linear.
  TChunkIndex FindNode(uint16_t tag, const std::string& name);

  bool ObjListDirty = true, MatListDirty = true, NodeListDirty = true;
  const TChunkList3DS& ObjList();
  const TChunkList3DS& MatList();
  const TChunkList3DS& NodeList();

 private:
  void ReadTree(const TLoadProgress& progress);
  void FixKeyframerParents();

  std::vector<uint8_t> FBytes;
  std::string FFileName;
  std::vector<TChunk3DS> FChunks;
  std::vector<TChunkData> FData;
  uint32_t FDecodeCount = 0;
  std::unordered_map<TChunkIndex, std::string> FParentNames;
  TChunkList3DS FObjList, FMatList, FNodeList;
  std::unordered_map<std::string, TChunkIndex> FNodeIndex;  // key: tag in 2 bytes, then name
  bool FNodeIndexBuilt = false;
};

}  // namespace ukh
