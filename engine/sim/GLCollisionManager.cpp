// Collision passes: world boxes, the sort along Z, the sweep, and client bookkeeping.
#include "engine/sim/GLCollisionManager.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/scene/GLBaseSceneObject.h"
#include "engine/sim/GLCollisionIntersect.h"

namespace ukh {
namespace {

// Below this many nodes the plain sweep is the faster of the two (measured: 1 000 boxes).
constexpr size_t cBucketedFrom = 2048;
// A box spanning more X buckets than this is swept against every row instead.
constexpr int32_t cMaxBucketSpan = 8;

std::vector<TGLCollisionManager*>& Managers() {
  static std::vector<TGLCollisionManager*> managers;
  return managers;
}

// Minimum Z as an unsigned key in the same order as the floats, with not-a-number above
// everything (+0 lands just above -0, which only breaks a tie).
uint32_t SortKey(float z) {
  if (std::isnan(z)) return 0xFFFFFFFFu;
  uint32_t bits;
  std::memcpy(&bits, &z, 4);
  return (bits & 0x80000000u) ? ~bits : (bits | 0x80000000u);
}

// Apart only when one box ends strictly before the other begins on X or on Y.
bool ApartXY(const TAABB& a, const TAABB& b) {
  return a.Max.X < b.Min.X || b.Max.X < a.Min.X || a.Max.Y < b.Min.Y || b.Max.Y < a.Min.Y;
}

// Node j can still overlap node i along Z; false also when either value is not a number.
bool ZReaches(const TCollisionNode& i, const TCollisionNode& j) {
  return j.AABB.Min.Z <= i.AABB.Max.Z;
}

}  // namespace

// A running pass. Frames of nested passes (a handler calling CheckCollisions) form a chain.
struct TGLCollisionManager::TPassFrame {
  std::vector<TCollisionNode>* Nodes;
  TPassFrame* Outer;
  const TObjectCollisionEvent* Handler;
  bool ManagerGone = false;
};

// Scratch of the bucketed sweep: the nodes sorted along Z are also filed, by index, into
// buckets along X, so that a row visits only the nodes that share a bucket with it instead of
// the whole strip of the field that overlaps it along Z.
struct TGLCollisionManager::TBroadPhase {
  // A node filed in a bucket, with copies of its minimum Z that the row scan stops on and of
  // its X extent, so that the scan reads the bucket alone and touches a node only for a pair
  // that overlaps along X.
  struct TEntry {
    uint32_t Index;  // node index; cFirstBucket set in the first bucket of the node's span
    float MinZ, MinX, MaxX;
  };
  static constexpr uint32_t cFirstBucket = 0x80000000u;
  std::vector<uint32_t> Start;       // bucket b holds Entries[Start[b] .. Start[b + 1])
  std::vector<TEntry> Entries;       // ascending node index within each bucket
  std::vector<uint32_t> Cursor;      // per bucket: the first entry past the current row
  std::vector<int32_t> First, Last;  // bucket span of each node; First < 0 for a wide node
  std::vector<uint32_t> Wide;        // wide nodes, ascending
  std::vector<uint32_t> Candidates;
};

// Keys of the sort along Z: key in the high half, node index in the low half.
struct TGLCollisionManager::TSortScratch {
  std::vector<uint64_t> Keys, Tmp;
  std::vector<TCollisionNode> Nodes;
};

// Ascending minimum Z, ties in client order. A radix sort on the keys for large passes: the
// sort is otherwise the largest share of a pass after the world boxes.
void TGLCollisionManager::SortByMinZ(std::vector<TCollisionNode>& nodes, TSortScratch& s) {
  const size_t n = nodes.size();
  s.Keys.resize(n);
  for (size_t k = 0; k < n; ++k) s.Keys[k] = uint64_t(SortKey(nodes[k].AABB.Min.Z)) << 32 | k;
  if (n < 512) {
    std::sort(s.Keys.begin(), s.Keys.end());
  } else {
    s.Tmp.resize(n);
    for (const int shift : {32, 43, 54}) {  // 11, 11 and 10 bits, each pass stable
      const uint64_t mask = shift == 54 ? 0x3FF : 0x7FF;
      uint32_t start[0x801] = {};
      for (const uint64_t x : s.Keys) ++start[((x >> shift) & mask) + 1];
      for (size_t b = 1; b < 0x801; ++b) start[b] += start[b - 1];
      for (const uint64_t x : s.Keys) s.Tmp[start[(x >> shift) & mask]++] = x;
      s.Keys.swap(s.Tmp);
    }
  }
  s.Nodes.resize(n);
  for (size_t k = 0; k < n; ++k) s.Nodes[k] = nodes[uint32_t(s.Keys[k])];
  nodes.swap(s.Nodes);
}

TGLCollisionManager::TGLCollisionManager(TComponent* owner) : TComponent(owner) {
  Managers().push_back(this);
}

TGLCollisionManager::~TGLCollisionManager() {
  BeginDestruction();
  for (TPassFrame* f = FPass; f; f = f->Outer) f->ManagerGone = true;
  for (TGLBCollision* c : FClients)
    if (c) {
      c->FManager = nullptr;
      c->FClientSlot = -1;
    }
  FClients.clear();
  auto& all = Managers();
  all.erase(std::find(all.begin(), all.end(), this));
}

TGLCollisionManager* TGLCollisionManager::FindManager(const std::string& name) {
  for (TGLCollisionManager* m : Managers())
    if (m->Name() == name) return m;
  return nullptr;
}

// ---- clients ------------------------------------------------------------------------------

void TGLCollisionManager::RegisterClient(TGLBCollision* client) {
  if (client->FManager == this) return;  // a client is listed exactly while linked to us
  client->FManager = this;
  client->FClientSlot = int32_t(FClients.size());
  FClients.push_back(client);
}

void TGLCollisionManager::DeregisterClient(TGLBCollision* client) {
  if (client->FManager != this) return;
  FClients[size_t(client->FClientSlot)] = nullptr;
  ++FHoles;
  client->FManager = nullptr;
  client->FClientSlot = -1;
  // A client leaving in the middle of a pass takes part in no further pair of it.
  for (TPassFrame* f = FPass; f; f = f->Outer)
    for (TCollisionNode& n : *f->Nodes)
      if (n.Collision == client) n.Collision = nullptr;
  if (FHoles > FClients.size() / 2) CompactClients();
}

void TGLCollisionManager::ClientChanged(TGLBCollision* client) {
  for (TPassFrame* f = FPass; f; f = f->Outer)
    for (TCollisionNode& n : *f->Nodes)
      if (n.Collision == client) {
        n.Object = client->OwnerBaseSceneObject();
        n.GroupIndex = client->FGroupIndex;
        n.BoundingMode = client->FBoundingMode;
      }
}

void TGLCollisionManager::CompactClients() const {
  if (FHoles == 0) return;
  size_t k = 0;
  for (TGLBCollision* c : FClients)
    if (c) {
      c->FClientSlot = int32_t(k);
      FClients[k++] = c;
    }
  FClients.resize(k);
  FHoles = 0;
}

int TGLCollisionManager::ClientCount() const {
  CompactClients();
  return int(FClients.size());
}

TGLBCollision* TGLCollisionManager::Client(int index) const {
  CompactClients();
  return FClients[size_t(index)];
}

// ---- the pass -----------------------------------------------------------------------------

void TGLCollisionManager::BuildNodes(std::vector<TCollisionNode>& nodes) {
  CompactClients();
  nodes.clear();
  nodes.reserve(FClients.size());
  for (TGLBCollision* c : FClients) {
    if (c->FGroupIndex < 0) continue;
    TGLBaseSceneObject* object = c->OwnerBaseSceneObject();
    if (!object) continue;  // a behaviour taken out of its list has no object
    const TAABB box = object->AxisAlignedBoundingBoxUnscaled(true);
    // No depth along Z (or not a number): never tested.
    if (!(box.Max.Z > box.Min.Z)) continue;
    nodes.push_back({c, object, AABBTransform(box, object->AbsoluteMatrix()), c->FGroupIndex,
                     c->FBoundingMode});
  }
}

bool TGLCollisionManager::TestPair(TPassFrame& frame, const TObjectCollisionEvent& handler,
                                   size_t i, size_t j) {
  const TCollisionNode& a = (*frame.Nodes)[i];
  const TCollisionNode& b = (*frame.Nodes)[j];
  if (a.GroupIndex != 0 && a.GroupIndex == b.GroupIndex) return true;
  // A behaviour taken out of its list mid-pass has no object.
  TGLBaseSceneObject* object1 = a.Object;
  TGLBaseSceneObject* object2 = b.Object;
  if (!object1 || !object2) return true;
  ++FPairTests;
  if (CheckCollisionPair(a.BoundingMode, b.BoundingMode, *object1, *object2)) {
    handler(this, object1, object2);
    if (frame.ManagerGone) return false;
  }
  return true;
}

void TGLCollisionManager::SweepSmall(TPassFrame& frame) {
  std::vector<TCollisionNode>& nodes = *frame.Nodes;
  const size_t n = nodes.size();
  for (size_t i = 0; i + 1 < n; ++i) {
    for (size_t j = i + 1; j < n && nodes[i].Collision; ++j) {
      // Sorted along Z: once one node starts above node i's top, all later ones do.
      if (!ZReaches(nodes[i], nodes[j])) break;
      if (!nodes[j].Collision || ApartXY(nodes[i].AABB, nodes[j].AABB)) continue;
      if (!TestPair(frame, *frame.Handler, i, j)) return;
    }
  }
}

// Visits exactly the pairs SweepSmall visits, in the same order: per row i the candidates are
// the nodes j > i that reach it along Z and share an X bucket with it (X-overlapping boxes
// always do, as the bucket of a coordinate never decreases with it), each pair kept only in
// the first bucket the two share, then taken in ascending j.
void TGLCollisionManager::SweepBucketed(TPassFrame& frame) {
  std::vector<TCollisionNode>& nodes = *frame.Nodes;
  const size_t n = nodes.size();
  if (!FBroad) FBroad = std::make_unique<TBroadPhase>();
  TBroadPhase& bp = *FBroad;

  double lo = INFINITY, hi = -INFINITY, widths = 0;
  size_t finite = 0;
  for (const TCollisionNode& node : nodes) {
    const float a = node.AABB.Min.X, b = node.AABB.Max.X;
    if (!std::isfinite(a) || !std::isfinite(b)) continue;
    lo = std::min(lo, double(a));
    hi = std::max(hi, double(b));
    widths += double(b) - a;
    ++finite;
  }
  // About one box width per bucket, and never more buckets than boxes.
  int32_t buckets = 1;
  double scale = 0;
  if (finite > 0 && hi > lo) {
    const double width = std::max(widths / double(finite), (hi - lo) / double(finite));
    buckets = int32_t(std::min(double(finite), std::floor((hi - lo) / width) + 1));
    scale = buckets / (hi - lo);
  }
  auto bucketOf = [&](float x) {
    const double v = std::floor((double(x) - lo) * scale);
    return int32_t(std::clamp(v, 0.0, double(buckets - 1)));
  };

  bp.First.assign(n, -1);
  bp.Last.assign(n, -1);
  bp.Wide.clear();
  bp.Start.assign(size_t(buckets) + 1, 0);
  for (size_t k = 0; k < n; ++k) {
    const float a = nodes[k].AABB.Min.X, b = nodes[k].AABB.Max.X;
    const int32_t f = std::isfinite(a) && std::isfinite(b) ? bucketOf(a) : -1;
    const int32_t l = f >= 0 ? bucketOf(b) : -1;
    if (f < 0 || l - f >= cMaxBucketSpan) {
      bp.Wide.push_back(uint32_t(k));
      continue;
    }
    bp.First[k] = f;
    bp.Last[k] = l;
    for (int32_t c = f; c <= l; ++c) ++bp.Start[size_t(c) + 1];
  }
  for (int32_t c = 0; c < buckets; ++c) bp.Start[size_t(c) + 1] += bp.Start[size_t(c)];
  bp.Entries.resize(bp.Start[size_t(buckets)]);
  bp.Cursor.assign(bp.Start.begin(), bp.Start.end() - 1);
  for (size_t k = 0; k < n; ++k)
    for (int32_t c = bp.First[k]; c >= 0 && c <= bp.Last[k]; ++c)
      bp.Entries[bp.Cursor[size_t(c)]++] = {
          uint32_t(k) | (c == bp.First[k] ? TBroadPhase::cFirstBucket : 0), nodes[k].AABB.Min.Z,
          nodes[k].AABB.Min.X, nodes[k].AABB.Max.X};
  bp.Cursor.assign(bp.Start.begin(), bp.Start.end() - 1);
  size_t wideCursor = 0;

  for (size_t i = 0; i + 1 < n; ++i) {
    while (wideCursor < bp.Wide.size() && bp.Wide[wideCursor] <= i) ++wideCursor;
    if (!nodes[i].Collision) continue;
    if (bp.First[i] < 0) {
      // A wide row is swept the plain way.
      for (size_t j = i + 1; j < n && nodes[i].Collision; ++j) {
        if (!ZReaches(nodes[i], nodes[j])) break;
        if (!nodes[j].Collision || ApartXY(nodes[i].AABB, nodes[j].AABB)) continue;
        if (!TestPair(frame, *frame.Handler, i, j)) return;
      }
      continue;
    }
    std::vector<uint32_t>& cand = bp.Candidates;
    cand.clear();
    const float top = nodes[i].AABB.Max.Z;
    const float left = nodes[i].AABB.Min.X, right = nodes[i].AABB.Max.X;
    constexpr uint32_t cIndex = ~TBroadPhase::cFirstBucket;
    for (int32_t c = bp.First[i]; c <= bp.Last[i]; ++c) {
      const uint32_t end = bp.Start[size_t(c) + 1];
      uint32_t e = bp.Cursor[size_t(c)];
      while (e < end && (bp.Entries[e].Index & cIndex) <= i) ++e;
      bp.Cursor[size_t(c)] = e;
      for (; e < end; ++e) {
        const TBroadPhase::TEntry entry = bp.Entries[e];
        if (!(entry.MinZ <= top)) break;  // as ZReaches
        // The first bucket both share is the later of their first buckets: ours, or the
        // entry's when this is its first.
        if (c != bp.First[i] && !(entry.Index & TBroadPhase::cFirstBucket)) continue;
        if (right < entry.MinX || entry.MaxX < left) continue;  // apart on X, as ApartXY
        cand.push_back(entry.Index & cIndex);
      }
    }
    for (size_t w = wideCursor; w < bp.Wide.size(); ++w) {
      const uint32_t j = bp.Wide[w];
      if (!ZReaches(nodes[i], nodes[j])) break;
      cand.push_back(j);
    }
    std::sort(cand.begin(), cand.end());
    for (const uint32_t j : cand) {
      if (!nodes[i].Collision) break;
      if (!nodes[j].Collision || ApartXY(nodes[i].AABB, nodes[j].AABB)) continue;
      if (!TestPair(frame, *frame.Handler, i, j)) return;
    }
  }
}

void TGLCollisionManager::CheckCollisions() {
  if (!OnCollision) return;
  // The handler runs from a copy: it may reassign or clear OnCollision, or free the manager.
  const TObjectCollisionEvent handler = OnCollision;
  std::vector<TCollisionNode> nested;
  TPassFrame frame{FPass ? &nested : &FNodes, FPass, &handler};
  FPass = &frame;
  struct TEnd {
    TGLCollisionManager* Self;
    TPassFrame& Frame;
    ~TEnd() {
      if (Frame.ManagerGone) return;  // nothing of the manager is left to touch
      Frame.Nodes->clear();
      Self->FPass = Frame.Outer;
    }
  } end{this, frame};

  BuildNodes(*frame.Nodes);
  if (frame.Nodes->size() < 2) return;
  if (frame.Outer) {
    TSortScratch local;
    SortByMinZ(*frame.Nodes, local);
  } else {
    if (!FSort) FSort = std::make_unique<TSortScratch>();
    SortByMinZ(*frame.Nodes, *FSort);
  }
  // A nested pass sweeps the plain way: the bucket scratch belongs to the outer one.
  if (frame.Nodes->size() < cBucketedFrom || frame.Outer)
    SweepSmall(frame);
  else
    SweepBucketed(frame);
}

}  // namespace ukh
