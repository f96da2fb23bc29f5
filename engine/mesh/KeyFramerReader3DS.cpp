// Keyframer settings and node motions: node headers, parent names and the key tracks.
#include "engine/mesh/KeyFramerReader3DS.h"

namespace ukh {

using namespace tag3ds;

namespace {

struct TNodeHeader {
  std::string Name, Parent;
  uint16_t Flags1 = 0, Flags2 = 0;
};

TNodeHeader ReadNodeHeader(TDatabase3DS& db, TChunkIndex node) {
  const TChunkIndex hdr = db.FindChunk(node, NODE_HDR);
  if (hdr == cNoChunk) throw E3DSError(cErr3DSInvalidChunk);
  const TNodeHdrData h = db.Value<TNodeHdrData>(hdr);
  TNodeHeader r;
  r.Name = h.Name;
  r.Flags1 = h.Flags1;
  r.Flags2 = h.Flags2;
  if (const std::string* p = db.ParentName(hdr))
    r.Parent = *p;
  else if (const TChunkIndex pc = db.FindChunk(hdr, PARENT_NAME); pc != cNoChunk)
    r.Parent = db.String(pc);
  return r;
}

// Name, parent and flags of a keyframer node, into the motion record read from it.
template <class TMotion>
void ReadNodeHeaderInto(TDatabase3DS& db, TChunkIndex node, TMotion& m) {
  TNodeHeader h = ReadNodeHeader(db, node);
  m.NameStr = std::move(h.Name);
  m.ParentStr = std::move(h.Parent);
  m.Flags1 = h.Flags1;
  m.Flags2 = h.Flags2;
}

// Reads the first track of `tag` in the node's subtree; a missing track leaves count 0. Each key
// holds at least a frame and its flags besides the value, so the key count is checked against
// the data before anything is reserved.
template <class V, class F>
void ReadTrack(TDatabase3DS& db, TChunkIndex node, uint16_t tag, uint32_t& count, uint16_t& flags,
               std::vector<TKeyHeader3DS>& keys, std::vector<V>* values, size_t minValueBytes,
               F readValue) {
  count = 0;
  flags = 0;
  keys.clear();
  if (values) values->clear();
  const TChunkIndex t = db.FindChunk(node, tag);
  if (t == cNoChunk) return;
  TChunkReader3DS r = db.PayloadReader(t);
  const TTrackHeader3DS h = r.ReadTrackHeader();
  if (h.KeyCount > r.Remaining() / (6 + minValueBytes))
    r.Fail("holds a key count larger than its data");
  keys.reserve(h.KeyCount);
  if (values) values->reserve(h.KeyCount);
  for (uint32_t i = 0; i < h.KeyCount; ++i) {
    keys.push_back(r.ReadKeyHeader());
    if (values) values->push_back(readValue(r));
  }
  count = h.KeyCount;
  flags = h.Flags;
}

const auto kPoint = [](TChunkReader3DS& r) { return r.ReadPoint(); };
const auto kColor = [](TChunkReader3DS& r) { return r.ReadColor(); };
const auto kSingle = [](TChunkReader3DS& r) { return r.ReadSingle(); };

void ReadPointTrack(TDatabase3DS& db, TChunkIndex node, uint16_t tag, uint32_t& n, uint16_t& f,
                    std::vector<TKeyHeader3DS>& keys, std::vector<TPoint3DS>& v) {
  ReadTrack(db, node, tag, n, f, keys, &v, 12, kPoint);
}
void ReadSingleTrack(TDatabase3DS& db, TChunkIndex node, uint16_t tag, uint32_t& n, uint16_t& f,
                     std::vector<TKeyHeader3DS>& keys, std::vector<float>& v) {
  ReadTrack(db, node, tag, n, f, keys, &v, 4, kSingle);
}
void ReadColorTrack(TDatabase3DS& db, TChunkIndex node, uint32_t& n, uint16_t& f,
                    std::vector<TKeyHeader3DS>& keys, std::vector<TFColor3DS>& v) {
  ReadTrack(db, node, COL_TRACK_TAG, n, f, keys, &v, 12, kColor);
}

template <class R>
void ReadTargetTrack(TDatabase3DS& db, uint16_t targetTag, R& rec) {
  // The target node (camera or spot target) of the same name.
  const TChunkIndex t = db.FindNode(targetTag, rec.NameStr);
  if (t == cNoChunk) return;
  const TNodeHeader h = ReadNodeHeader(db, t);
  rec.TParentStr = h.Parent;
  rec.TFlags1 = h.Flags1;
  rec.TFlags2 = h.Flags2;
  ReadPointTrack(db, t, POS_TRACK_TAG, rec.NTKeys, rec.NTFlag, rec.TKeys, rec.TPos);
}

void CheckNode(TDatabase3DS& db, TChunkIndex node, uint16_t tag) {
  if (db.Chunk(node).Tag != tag) throw E3DSError(cErr3DSWrongObject);
}

}  // namespace

TKFSets3DS ReadKFSettings(TDatabase3DS& db) {
  if (!db.HasTree()) throw E3DSError(cErr3DSNotCreated);
  const uint16_t top = db.Chunk(0).Tag;
  if (top != M3DMAGIC && top != CMAGIC) throw E3DSError(cErr3DSWrongDatabase);
  TKFSets3DS s;
  const TChunkIndex kf = db.FindChild(0, KFDATA);
  if (kf == cNoChunk) return s;
  if (const TChunkIndex h = db.FindChild(kf, KFHDR); h != cNoChunk)
    s.Anim.Length = db.Value<TKFHdrData>(h).AnimLength;
  if (const TChunkIndex t = db.FindChild(kf, KFCURTIME); t != cNoChunk)
    s.Anim.CurFrame = db.Value<int32_t>(t);
  if (const TChunkIndex g = db.FindChild(kf, KFSEG); g != cNoChunk) {
    const TKFSegData seg = db.Value<TKFSegData>(g);
    s.Seg.Use = true;
    s.Seg.SegBegin = seg.First;
    s.Seg.SegEnd = seg.Last;
  }
  return s;
}

std::unique_ptr<TKFMesh3DS> ReadMeshMotion(TDatabase3DS& db, TChunkIndex node) {
  CheckNode(db, node, OBJECT_NODE_TAG);
  auto m = std::make_unique<TKFMesh3DS>();
  ReadNodeHeaderInto(db, node, *m);
  if (const TChunkIndex c = db.FindChunk(node, INSTANCE_NAME); c != cNoChunk) {
    m->InstanceStr = db.String(c);
    m->NameStr.append(".").append(m->InstanceStr);
  }
  if (const TChunkIndex c = db.FindChunk(node, PIVOT); c != cNoChunk)
    m->Pivot = db.Value<TPoint3DS>(c);
  if (const TChunkIndex c = db.FindChunk(node, BOUNDBOX); c != cNoChunk) {
    const TBoundBoxData b = db.Value<TBoundBoxData>(c);
    m->BoundMin = b.Min;
    m->BoundMax = b.Max;
  }
  if (const TChunkIndex c = db.FindChunk(node, MORPH_SMOOTH); c != cNoChunk)
    m->MSAngle = db.Value<float>(c);
  ReadPointTrack(db, node, POS_TRACK_TAG, m->NPKeys, m->NPFlag, m->PKeys, m->Pos);
  ReadTrack(db, node, ROT_TRACK_TAG, m->NRKeys, m->NRFlag, m->RKeys, &m->Rot, 16,
            [](TChunkReader3DS& r) {
              TKFRotKey3DS k;
              k.Angle = r.ReadSingle();
              k.X = r.ReadSingle();
              k.Y = r.ReadSingle();
              k.Z = r.ReadSingle();
              return k;
            });
  ReadPointTrack(db, node, SCL_TRACK_TAG, m->NSKeys, m->NSFlag, m->SKeys, m->Scale);
  ReadTrack(db, node, MORPH_TRACK_TAG, m->NMKeys, m->NMFlag, m->MKeys, &m->Morph, 1,
            [](TChunkReader3DS& r) { return std::string(r.ReadString()); });
  ReadTrack(db, node, HIDE_TRACK_TAG, m->NHKeys, m->NHFlag, m->HKeys,
            static_cast<std::vector<int>*>(nullptr), 0, [](TChunkReader3DS&) { return 0; });
  return m;
}

std::unique_ptr<TKFOmni3DS> ReadOmniMotion(TDatabase3DS& db, TChunkIndex node) {
  CheckNode(db, node, LIGHT_NODE_TAG);
  auto m = std::make_unique<TKFOmni3DS>();
  ReadNodeHeaderInto(db, node, *m);
  ReadPointTrack(db, node, POS_TRACK_TAG, m->NPKeys, m->NPFlag, m->PKeys, m->Pos);
  ReadColorTrack(db, node, m->NCKeys, m->NCFlag, m->CKeys, m->Color);
  return m;
}

std::unique_ptr<TKFSpot3DS> ReadSpotMotion(TDatabase3DS& db, TChunkIndex node) {
  CheckNode(db, node, SPOTLIGHT_NODE_TAG);
  auto m = std::make_unique<TKFSpot3DS>();
  ReadNodeHeaderInto(db, node, *m);
  ReadPointTrack(db, node, POS_TRACK_TAG, m->NPKeys, m->NPFlag, m->PKeys, m->Pos);
  ReadColorTrack(db, node, m->NCKeys, m->NCFlag, m->CKeys, m->Color);
  ReadSingleTrack(db, node, HOT_TRACK_TAG, m->NHKeys, m->NHFlag, m->HKeys, m->Hot);
  ReadSingleTrack(db, node, FALL_TRACK_TAG, m->NFKeys, m->NFFlag, m->FKeys, m->Fall);
  ReadSingleTrack(db, node, ROLL_TRACK_TAG, m->NRKeys, m->NRFlag, m->RKeys, m->Roll);
  ReadTargetTrack(db, L_TARGET_NODE_TAG, *m);
  return m;
}

std::unique_ptr<TKFCamera3DS> ReadCameraMotion(TDatabase3DS& db, TChunkIndex node) {
  CheckNode(db, node, CAMERA_NODE_TAG);
  auto m = std::make_unique<TKFCamera3DS>();
  ReadNodeHeaderInto(db, node, *m);
  ReadPointTrack(db, node, POS_TRACK_TAG, m->NPKeys, m->NPFlag, m->PKeys, m->Pos);
  ReadSingleTrack(db, node, FOV_TRACK_TAG, m->NFKeys, m->NFFlag, m->FKeys, m->FOV);
  ReadSingleTrack(db, node, ROLL_TRACK_TAG, m->NRKeys, m->NRFlag, m->RKeys, m->Roll);
  ReadTargetTrack(db, TARGET_NODE_TAG, *m);
  return m;
}

std::unique_ptr<TKFAmbient3DS> ReadAmbientMotion(TDatabase3DS& db, TChunkIndex node) {
  CheckNode(db, node, AMBIENT_NODE_TAG);
  auto m = std::make_unique<TKFAmbient3DS>();
  if (const TChunkIndex hdr = db.FindChunk(node, NODE_HDR); hdr != cNoChunk) {
    const TNodeHdrData h = db.Value<TNodeHdrData>(hdr);
    m->Flags1 = h.Flags1;
    m->Flags2 = h.Flags2;
  }
  ReadColorTrack(db, node, m->NCKeys, m->NCFlag, m->CKeys, m->Color);
  return m;
}

}  // namespace ukh
