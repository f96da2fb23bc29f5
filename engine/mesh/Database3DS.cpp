// Reading the 3DS chunk tree from headers only, the payload cache and the name lists.
#include "engine/mesh/Database3DS.h"

#include <cstdio>
#include <new>

namespace ukh {

using namespace tag3ds;

namespace {

bool IsMagic(uint16_t tag) {
  return tag == M3DMAGIC || tag == MLIBMAGIC || tag == CMAGIC;
}

uint16_t Word(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
uint32_t Cardinal(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

std::string Format(const char* fmt, unsigned a, unsigned b = 0, unsigned c = 0) {
  char buf[160];
  std::snprintf(buf, sizeof buf, fmt, a, b, c);
  return buf;
}

}  // namespace

void TDatabase3DS::Clear() {
  FChunks.clear();
  FChunks.shrink_to_fit();
  FData.clear();
  FData.shrink_to_fit();
  FBytes.clear();
  FBytes.shrink_to_fit();
  FParentNames.clear();
  FFileName.clear();
  FDecodeCount = 0;
  ObjListDirty = MatListDirty = NodeListDirty = true;
  FObjList = {};
  FMatList = {};
  FNodeList = {};
  FNodeIndex.clear();
  FNodeIndexBuilt = false;
}

void TDatabase3DS::Load(std::vector<uint8_t> bytes, std::string fileName,
                        const TLoadProgress& progress) {
  Clear();
  FBytes = std::move(bytes);
  FFileName = std::move(fileName);
  try {
    if (FBytes.size() < 6)
      throw E3DSError("3DS file \"" + FFileName + "\" " +
                      Format("is %u bytes long, too short for a chunk header", FBytes.size()));
    if (FBytes.size() > 0xFFFFFFFFu)
      throw E3DSError("3DS file \"" + FFileName + "\" is larger than 4 GiB");
    TChunk3DS top;
    top.Tag = Word(FBytes.data());
    top.Size = Cardinal(FBytes.data() + 2);
    top.Position = 0;
    top.End = 1;
    FChunks.push_back(top);
    if (!IsMagic(top.Tag)) return;
    if (progress) progress(0, uint32_t(FBytes.size()));
    ReadTree(progress);
    FixKeyframerParents();
  } catch (const std::bad_alloc&) {
    Clear();
    throw E3DSError(cErr3DSNoMemory);
  } catch (...) {
    Clear();
    throw;
  }
}

void TDatabase3DS::ReadTree(const TLoadProgress& progress) {
  const uint8_t* file = FBytes.data();
  const uint32_t fileSize = uint32_t(FBytes.size());
  const TChunk3DS top = FChunks[0];
  if (top.Size < 6)
    throw E3DSError(ChunkErrorText(FFileName, top.Tag, 0,
                                   Format("has a length of %u, less than its header", top.Size)));
  if (top.Size > fileSize)
    throw E3DSError(ChunkErrorText(
        FFileName, top.Tag, 0,
        Format("runs past the end of the file: length %u, file %u bytes (truncated file?)",
               top.Size, fileSize)));
  // Rough guess from typical chunk sizes, so that the table rarely grows.
  FChunks.reserve(fileSize / 24 + 16);

  struct TOpen {
    TChunkIndex Index;
    uint32_t End;
    TChunkIndex LastChild;
    bool XData;
  };
  std::vector<TOpen> open;
  open.reserve(32);
  open.push_back({0, top.Size, cNoChunk, false});
  uint32_t pos = 6 + OwnDataSize(top, file, FFileName);

  while (!open.empty()) {
    TOpen& o = open.back();
    if (pos >= o.End) {
      FChunks[o.Index].End = TChunkIndex(FChunks.size());
      pos = o.End;
      open.pop_back();
      continue;
    }
    const uint32_t left = o.End - pos;
    const TChunk3DS& parent = FChunks[o.Index];
    if (left < 6)
      throw E3DSError(ChunkErrorText(
          FFileName, parent.Tag, parent.Position,
          Format("ends with %u bytes at offset %u, too few for a chunk header", left, pos)));
    const uint16_t tag = Word(file + pos);
    const uint32_t size = Cardinal(file + pos + 2);
    if (progress) progress(pos, 0);

    if (o.XData) {
      // Extended data: only application chunks are kept; a stray chunk ends the entry and one
      // that does not fit is stepped over header by header.
      if (tag < XDATA_APPNAME || tag > XDATA_LAST) {
        pos = o.End;
        continue;
      }
      if (size < 6)
        throw E3DSError(ChunkErrorText(FFileName, tag, pos,
                                       Format("has a length of %u, less than its header", size)));
      if (size > left) {
        pos += 6;
        continue;
      }
    } else {
      if (size < 6)
        throw E3DSError(ChunkErrorText(FFileName, tag, pos,
                                       Format("has a length of %u, less than its header", size)));
      if (size > left)
        throw E3DSError(ChunkErrorText(
            FFileName, tag, pos,
            Format("runs past the end of its parent: length %u, %u bytes left in chunk 0x%04X",
                   size, left, parent.Tag)));
    }

    const TChunkIndex index = TChunkIndex(FChunks.size());
    TChunk3DS c;
    c.Tag = tag;
    c.Size = size;
    c.Position = pos;
    FChunks.push_back(c);
    if (o.LastChild == cNoChunk)
      FChunks[o.Index].Children = index;
    else
      FChunks[o.LastChild].Sibling = index;
    o.LastChild = index;

    const bool xdata = o.XData || tag == XDATA_ENTRY;
    const uint32_t own = xdata && tag != XDATA_ENTRY ? size - 6 : OwnDataSize(c, file, FFileName);
    if (own == size - 6) {  // a leaf
      FChunks[index].End = index + 1;
      pos += size;
      continue;
    }
    const uint32_t end = pos + size;
    pos += 6 + own;
    open.push_back({index, end, cNoChunk, xdata});
  }
}

void TDatabase3DS::FixKeyframerParents() {
  const TChunkIndex kf = FindChunk(0, KFDATA);
  if (kf == cNoChunk) return;
  struct TNode {
    int16_t ID = 0;
    uint16_t Tag = 0;
    std::string_view Name, InstStr;
    int16_t ParentID = 0;
  };
  static constexpr uint16_t kNodeTags[] = {TARGET_NODE_TAG, OBJECT_NODE_TAG,   CAMERA_NODE_TAG,
                                           LIGHT_NODE_TAG,  L_TARGET_NODE_TAG, SPOTLIGHT_NODE_TAG};
  auto isNodeTag = [](uint16_t t) {
    for (uint16_t n : kNodeTags)
      if (n == t) return true;
    return false;
  };
  std::vector<TNode> nodes;
  bool unnumbered = false;
  for (TChunkIndex c = FChunks[kf].Children; c != cNoChunk; c = FChunks[c].Sibling) {
    if (!isNodeTag(FChunks[c].Tag)) continue;
    TNode& n = nodes.emplace_back();
    const TChunkIndex hdr = FindChunk(c, NODE_HDR);
    if (hdr == cNoChunk) continue;
    const TNodeHdrData h = Value<TNodeHdrData>(hdr);
    n.Name = h.Name;
    const TChunkIndex id = FindChunk(c, NODE_ID);
    n.ID = id == cNoChunk ? int16_t(-1) : Value<int16_t>(id);
    n.Tag = FChunks[c].Tag;
    n.ParentID = h.ParentIndex;
    if (n.Tag == OBJECT_NODE_TAG) {
      const TChunkIndex inst = FindChunk(c, INSTANCE_NAME);
      if (inst != cNoChunk) n.InstStr = Value<std::string_view>(inst);
    }
    if (n.ID == -1) unnumbered = true;
  }
  if (unnumbered)
    for (size_t i = 0; i < nodes.size(); ++i) nodes[i].ID = int16_t(i);

  // First node of each ID; a map keeps this linear however many nodes a file declares.
  std::unordered_map<int16_t, size_t> firstOfId;
  for (size_t i = 0; i < nodes.size(); ++i) firstOfId.emplace(nodes[i].ID, i);

  for (uint16_t tag : kNodeTags) {
    for (TChunkIndex c = FindNextChunk(FChunks[kf].Children, tag); c != cNoChunk;
         c = FindNextChunk(FChunks[c].Sibling, tag)) {
      const TChunkIndex hdr = FindChunk(c, NODE_HDR);
      const TChunkIndex id = FindChunk(c, NODE_ID);
      if (hdr == cNoChunk || id == cNoChunk) continue;
      const auto self = firstOfId.find(Value<int16_t>(id));
      if (self == firstOfId.end() || nodes[self->second].ParentID == -1) continue;
      const auto parent = firstOfId.find(nodes[self->second].ParentID);
      if (parent == firstOfId.end()) continue;
      const TNode& p = nodes[parent->second];
      std::string name(p.Name);
      if (!p.InstStr.empty()) name.append(".").append(p.InstStr);
      if (name.empty()) continue;
      FParentNames.emplace(hdr, std::move(name));
    }
  }
}

TChunkIndex TDatabase3DS::FindNode(uint16_t tag, const std::string& name) {
  auto key = [](uint16_t t, const std::string& n) {
    std::string k(2, '\0');
    std::memcpy(k.data(), &t, 2);
    return k + n;
  };
  if (!FNodeIndexBuilt) {
    for (const TChunkListEntry3DS& e : NodeList().List)
      FNodeIndex.emplace(key(FChunks[e.Chunk].Tag, e.NameStr), e.Chunk);
    FNodeIndexBuilt = true;
  }
  const auto it = FNodeIndex.find(key(tag, name));
  return it == FNodeIndex.end() ? cNoChunk : it->second;
}

TChunkIndex TDatabase3DS::FindChunk(TChunkIndex start, uint16_t tag) const {
  if (start == cNoChunk) return cNoChunk;
  const TChunkIndex end = FChunks[start].End;
  for (TChunkIndex i = start; i < end; ++i)
    if (FChunks[i].Tag == tag) return i;
  return cNoChunk;
}

TChunkIndex TDatabase3DS::FindNextChunk(TChunkIndex from, uint16_t tag) const {
  for (TChunkIndex c = from; c != cNoChunk; c = FChunks[c].Sibling)
    if (FChunks[c].Tag == tag) return c;
  return cNoChunk;
}

TChunkIndex TDatabase3DS::FindChild(TChunkIndex parent, uint16_t tag) const {
  if (parent == cNoChunk) return cNoChunk;
  return FindNextChunk(FChunks[parent].Children, tag);
}

const TChunkData& TDatabase3DS::ReadChunkData(TChunkIndex i) {
  TChunk3DS& c = FChunks[i];
  if (c.Data == 0xFFFFFFFFu) {
    TChunkData d = DecodeChunkData(c, FBytes.data(), FFileName);
    ++FDecodeCount;
    c.Data = uint32_t(FData.size());
    FData.push_back(std::move(d));
  }
  return FData[c.Data];
}

TChunkReader3DS TDatabase3DS::PayloadReader(TChunkIndex i) {
  const TChunk3DS& c = FChunks[i];
  ++FDecodeCount;
  const uint8_t* begin = FBytes.data() + c.Position + 6;
  return TChunkReader3DS(begin, begin + (c.Size - 6), FFileName, c);
}

const std::string* TDatabase3DS::ParentName(TChunkIndex nodeHdr) const {
  const auto it = FParentNames.find(nodeHdr);
  return it == FParentNames.end() ? nullptr : &it->second;
}

const TChunkList3DS& TDatabase3DS::ObjList() {
  if (ObjListDirty && HasTree()) {
    FObjList = {};
    const TChunkIndex md = FindChunk(0, MDATA);
    for (TChunkIndex c = FindChunk(md, NAMED_OBJECT); c != cNoChunk;
         c = FindNextChunk(FChunks[c].Sibling, NAMED_OBJECT))
      FObjList.List.push_back({String(c), c});
    FObjList.Count = uint32_t(FObjList.List.size());
    ObjListDirty = false;
  }
  return FObjList;
}

const TChunkList3DS& TDatabase3DS::MatList() {
  if (MatListDirty && HasTree()) {
    FMatList = {};
    TChunkIndex md = FindChunk(0, MDATA);
    if (md == cNoChunk) md = FindChunk(0, MLIBMAGIC);
    for (TChunkIndex c = FindChunk(md, MAT_ENTRY); c != cNoChunk;
         c = FindNextChunk(FChunks[c].Sibling, MAT_ENTRY)) {
      const TChunkIndex name = FindChunk(c, MAT_NAME);
      FMatList.List.push_back({name == cNoChunk ? std::string() : String(name), c});
    }
    FMatList.Count = uint32_t(FMatList.List.size());
    MatListDirty = false;
  }
  return FMatList;
}

const TChunkList3DS& TDatabase3DS::NodeList() {
  if (NodeListDirty && HasTree()) {
    FNodeList = {};
    const TChunkIndex kf = FindChunk(0, KFDATA);
    for (TChunkIndex c = kf == cNoChunk ? cNoChunk : FChunks[kf].Children; c != cNoChunk;
         c = FChunks[c].Sibling) {
      const uint16_t tag = FChunks[c].Tag;
      if (tag < AMBIENT_NODE_TAG || tag > SPOTLIGHT_NODE_TAG) continue;
      std::string name;
      const TChunkIndex hdr = FindChunk(c, NODE_HDR);
      if (hdr != cNoChunk) name = std::string(Value<TNodeHdrData>(hdr).Name);
      if (tag == OBJECT_NODE_TAG) {
        const TChunkIndex inst = FindChunk(c, INSTANCE_NAME);
        if (inst != cNoChunk) name.append(".").append(Value<std::string_view>(inst));
      }
      FNodeList.List.push_back({std::move(name), c});
    }
    FNodeList.Count = uint32_t(FNodeList.List.size());
    NodeListDirty = false;
  }
  return FNodeList;
}

}  // namespace ukh
