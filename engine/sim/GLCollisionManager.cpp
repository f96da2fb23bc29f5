// Collision passes: world boxes, the sort along Z, the sweep, and client bookkeeping.
#include "engine/sim/GLCollisionManager.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/math/AABB.h"
#include "engine/scene/GLBaseSceneObject.h"
#include "engine/sim/GLCollisionIntersect.h"

namespace ukh {
namespace {

// Below this many nodes the plain sweep is the faster of the two (measured: 1 000 boxes).
constexpr size_t cBucketedFrom = 2048;
// A box spanning more X buckets than this is swept against every row instead.
constexpr int32_t cMaxBucketSpan = 8;
// How far ahead of its use the memory of a client or a pair is asked for.
constexpr size_t cPrefetchAhead = 8;

// Never destroyed: a manager that outlives main (a static one) still leaves it at exit.
std::vector<TGLCollisionManager*>& Managers() {
  static auto* managers = new std::vector<TGLCollisionManager*>;
  return *managers;
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

// Box b can still overlap box a along Z, b starting no lower than a; false also when either
// value is not a number.
bool ZReaches(const TAABB& a, const TAABB& b) {
  return b.Min.Z <= a.Max.Z;
}

// Sorts keys by their bits from `low` up to `high` (exclusive), keeping the order of keys
// equal there: in radix passes of at most 11 bits, or by a comparison sort for a short array
// (whose keys are then compared whole, which is the same order when the bits below `low`
// already ascend).
void RadixSort(std::vector<uint64_t>& keys, std::vector<uint64_t>& tmp, int low, int high) {
  if (keys.size() < 1024) {
    std::sort(keys.begin(), keys.end());
    return;
  }
  tmp.resize(keys.size());
  const int bits = high - low;
  const int passes = (bits + 10) / 11, digit = (bits + passes - 1) / passes;
  const uint64_t mask = (uint64_t(1) << digit) - 1;
  for (int pass = 0; pass < passes; ++pass) {
    const int shift = low + pass * digit;
    uint32_t start[(1 << 11) + 1] = {};
    for (const uint64_t x : keys) ++start[((x >> shift) & mask) + 1];
    for (size_t b = 1; b <= mask + 1; ++b) start[b] += start[b - 1];
    for (const uint64_t x : keys) tmp[start[(x >> shift) & mask]++] = x;
    keys.swap(tmp);
  }
}

}  // namespace

// One client in one pass: its slot in the client list, where the pass reads the client's
// current object, group and mode (a hole once the client has left), and its object's box in
// world coordinates.
struct TGLCollisionManager::TNode {
  uint32_t Slot;
  TAABB AABB;
};

// A box filed in an X bucket of the bucketed sweep, linked to the one filed there before it.
struct TBucketEntry {
  TAABB Box;
  uint32_t Index;
  int32_t First;  // first bucket of the box's span
  uint32_t Next;  // 1 + the entry's place, 0 for none
};

// The buffers of one pass, kept by the manager from pass to pass for the outermost one.
struct TGLCollisionManager::TScratch {
  std::vector<TNode> Built;  // in client order
  std::vector<TNode> Nodes;  // sorted along Z: the pass runs on these
  // Sort keys: SortKey(minimum Z) above the index in Built.
  std::vector<uint64_t> Keys, Tmp;
  // The extent along X of the boxes whose X bounds are numbers, for the buckets.
  double MinX, MaxX, Widths;
  size_t FiniteX;
  // Bucketed sweep: per X bucket, the list of the boxes earlier in Z order that may still
  // reach the current row along Z (Head, 1 + the place of the latest entry, 0 for none), the
  // entries of all lists in the order they were filed; boxes too wide for buckets, in Z
  // order; the pairs found, as (i << shift) | j with i < j.
  std::vector<uint32_t> Head;
  std::vector<TBucketEntry> Entries;
  std::vector<uint32_t> Wide;
  std::vector<uint64_t> Pairs;
};

// A running pass. Frames of nested passes (a handler calling CheckCollisions) form a chain.
struct TGLCollisionManager::TPassFrame {
  const std::vector<TNode>* Nodes;
  TPassFrame* Outer;
  const TObjectCollisionEvent* Handler;
  bool ManagerGone = false;
};

TGLCollisionManager::TGLCollisionManager(TComponent* owner) : TComponent(owner) {
  Managers().push_back(this);
}

TGLCollisionManager::~TGLCollisionManager() {
  BeginDestruction();
  for (TPassFrame* f = FPass; f; f = f->Outer) f->ManagerGone = true;
  for (const TClient& c : FClients)
    if (c.Collision) {
      c.Collision->FManager = nullptr;
      c.Collision->FClientSlot = -1;
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
  FClients.push_back(
      {client, client->OwnerBaseSceneObject(), client->FGroupIndex, client->FBoundingMode});
}

// A client leaving in the middle of a pass leaves a hole in its slot, so it takes part in no
// further pair of the pass (nor does it when it joins again, in a new slot).
void TGLCollisionManager::DeregisterClient(TGLBCollision* client) {
  if (client->FManager != this) return;
  FClients[size_t(client->FClientSlot)] = {};
  ++FHoles;
  client->FManager = nullptr;
  client->FClientSlot = -1;
  if (FHoles > FClients.size() / 2) CompactClients();
}

void TGLCollisionManager::ClientChanged(TGLBCollision* client) {
  FClients[size_t(client->FClientSlot)] = {client, client->OwnerBaseSceneObject(),
                                           client->FGroupIndex, client->FBoundingMode};
}

// Not while a pass runs: its nodes refer to the slots.
void TGLCollisionManager::CompactClients() const {
  if (FHoles == 0 || FPass) return;
  size_t k = 0;
  for (const TClient& c : FClients)
    if (c.Collision) {
      c.Collision->FClientSlot = int32_t(k);
      FClients[k++] = c;
    }
  FClients.resize(k);
  FHoles = 0;
}

int TGLCollisionManager::ClientCount() const {
  return int(FClients.size() - FHoles);
}

TGLBCollision* TGLCollisionManager::Client(int index) const {
  CompactClients();
  if (FHoles == 0) return FClients[size_t(index)].Collision;
  for (const TClient& c : FClients)  // in a pass, with holes
    if (c.Collision && index-- == 0) return c.Collision;
  return nullptr;
}

// ---- the pass -----------------------------------------------------------------------------

void TGLCollisionManager::BuildNodes(TScratch& s) {
  s.Built.clear();
  s.Keys.clear();
  s.MinX = INFINITY;
  s.MaxX = -INFINITY;
  s.Widths = 0;
  s.FiniteX = 0;
  const size_t count = FClients.size();
  for (size_t k = 0; k < count; ++k) {
    // The objects lie all over memory: their loads are started some clients ahead.
    if (k + cPrefetchAhead < count)
      if (const TGLBaseSceneObject* o = FClients[k + cPrefetchAhead].Object) o->PrefetchBounds();
    const TClient& c = FClients[k];
    if (!c.Collision || c.GroupIndex < 0) continue;
    TGLBaseSceneObject* object = c.Object;
    if (!object) continue;  // a behaviour taken out of its list has no object
    const TAABB local = object->AxisAlignedBoundingBoxUnscaled(true);
    // No depth along Z (or not a number): never tested.
    if (!(local.Max.Z > local.Min.Z)) continue;
    const TAABB box = AABBTransform(local, object->AbsoluteMatrix());
    s.Keys.push_back(uint64_t(SortKey(box.Min.Z)) << 32 | s.Built.size());
    s.Built.push_back({uint32_t(k), box});
    if (std::isfinite(box.Min.X) && std::isfinite(box.Max.X)) {
      s.MinX = std::min(s.MinX, double(box.Min.X));
      s.MaxX = std::max(s.MaxX, double(box.Max.X));
      s.Widths += double(box.Max.X) - box.Min.X;
      ++s.FiniteX;
    }
  }
}

// Ascending minimum Z, ties in client order: a radix sort of the keys, then the nodes are
// gathered into that order.
void TGLCollisionManager::SortByMinZ(TScratch& s) {
  const size_t n = s.Built.size();
  // The index in the low half, and no more bits of it than it needs.
  int bits = 1;
  while (bits < 32 && (uint64_t(1) << bits) < n) ++bits;
  for (uint64_t& key : s.Keys) key = key >> 32 << bits | (key & 0xFFFFFFFFu);
  RadixSort(s.Keys, s.Tmp, bits, bits + 32);  // the indices ascend already
  const uint64_t mask = (uint64_t(1) << bits) - 1;
  s.Nodes.resize(n);
  for (size_t k = 0; k < n; ++k) {
    if (k + 2 * cPrefetchAhead < n)
      __builtin_prefetch(&s.Built[s.Keys[k + 2 * cPrefetchAhead] & mask]);
    s.Nodes[k] = s.Built[s.Keys[k] & mask];
  }
}

bool TGLCollisionManager::TestPair(TPassFrame& frame, size_t i, size_t j) {
  const TClient& a = FClients[(*frame.Nodes)[i].Slot];
  const TClient& b = FClients[(*frame.Nodes)[j].Slot];
  if (!a.Collision || !b.Collision) return true;
  if (a.GroupIndex != 0 && a.GroupIndex == b.GroupIndex) return true;
  // A behaviour taken out of its list mid-pass has no object.
  TGLBaseSceneObject* object1 = a.Object;
  TGLBaseSceneObject* object2 = b.Object;
  if (!object1 || !object2) return true;
  ++FPairTests;
  if (CheckCollisionPair(a.BoundingMode, b.BoundingMode, *object1, *object2)) {
    (*frame.Handler)(this, object1, object2);
    if (frame.ManagerGone) return false;
  }
  return true;
}

void TGLCollisionManager::SweepSmall(TPassFrame& frame) {
  const std::vector<TNode>& nodes = *frame.Nodes;
  const size_t n = nodes.size();
  for (size_t i = 0; i + 1 < n; ++i) {
    for (size_t j = i + 1; j < n && FClients[nodes[i].Slot].Collision; ++j) {
      // Sorted along Z: once one node starts above node i's top, all later ones do.
      if (!ZReaches(nodes[i].AABB, nodes[j].AABB)) break;
      if (ApartXY(nodes[i].AABB, nodes[j].AABB)) continue;
      if (!TestPair(frame, i, j)) return;
    }
  }
}

// Tests exactly the pairs SweepSmall tests, in the same order. As the nodes are sorted along
// Z, SweepSmall visits a pair i < j exactly when j starts along Z at or below the top of i
// (and once j starts above it, every later node does too). The pairs that also overlap on X
// and Y are collected first, each once, then sorted by (i, j) and tested.
//
// The rows are filed into buckets along X, each bucket listing the boxes earlier in Z order
// that may still reach the current row; a row is paired with the lists of the buckets it
// spans. X-overlapping boxes always share a bucket, as the bucket of a coordinate never
// decreases with it, and a pair is kept only in the first bucket the two share. The lists
// stay as small as the strip of one box's depth is crowded, so apart from reading the rows
// in order the sweep works within the cache. Wide boxes (spanning many buckets, or not a
// number on X) are paired by plain scans.
void TGLCollisionManager::SweepBucketed(TPassFrame& frame, TScratch& s) {
  const std::vector<TNode>& nodes = *frame.Nodes;
  const size_t n = nodes.size();

  // About one box width per bucket, and never more buckets than boxes.
  int32_t buckets = 1;
  double scale = 0;
  const double lo = s.MinX, hi = s.MaxX;
  if (s.FiniteX > 0 && hi > lo) {
    const double width = std::max(s.Widths, hi - lo) / double(s.FiniteX);
    buckets = int32_t(std::min(double(s.FiniteX), std::floor((hi - lo) / width) + 1));
    scale = buckets / (hi - lo);
  }
  auto bucketOf = [&](float x) {
    const double v = std::floor((double(x) - lo) * scale);
    return int32_t(std::clamp(v, 0.0, double(buckets - 1)));
  };

  int shift = 1;
  while (shift < 32 && (uint64_t(1) << shift) < n) ++shift;
  std::vector<uint64_t>& pairs = s.Pairs;
  pairs.clear();
  auto pair = [shift](uint64_t i, uint64_t j) { return i << shift | j; };
  s.Head.assign(size_t(buckets), 0);
  s.Entries.clear();
  s.Wide.clear();
  for (size_t j = 0; j < n; ++j) {
    const TAABB& box = nodes[j].AABB;
    if (!std::isfinite(box.Min.X) || !std::isfinite(box.Max.X)) {
      s.Wide.push_back(uint32_t(j));
      continue;
    }
    const int32_t first = bucketOf(box.Min.X), last = bucketOf(box.Max.X);
    if (last - first >= cMaxBucketSpan) {
      s.Wide.push_back(uint32_t(j));
      continue;
    }
    for (int32_t c = first; c <= last; ++c) {
      uint32_t* link = &s.Head[size_t(c)];
      while (*link) {
        TBucketEntry& e = s.Entries[*link - 1];
        if (!ZReaches(e.Box, box)) {  // and so for every later row too
          *link = e.Next;
          continue;
        }
        if (std::max(e.First, first) == c && !ApartXY(e.Box, box))
          pairs.push_back(pair(e.Index, j));
        link = &e.Next;
      }
      // The lists live in one array filed in Z order: what a row reads lies near its end.
      s.Entries.push_back({box, uint32_t(j), first, s.Head[size_t(c)]});
      s.Head[size_t(c)] = uint32_t(s.Entries.size());
    }
  }
  if (!s.Wide.empty()) {
    size_t w0 = 0;
    for (size_t i = 0; i + 1 < n; ++i) {
      while (w0 < s.Wide.size() && s.Wide[w0] < i) ++w0;
      if (w0 < s.Wide.size() && s.Wide[w0] == i) {
        for (size_t j = i + 1; j < n && ZReaches(nodes[i].AABB, nodes[j].AABB); ++j)
          if (!ApartXY(nodes[i].AABB, nodes[j].AABB)) pairs.push_back(pair(i, j));
        continue;
      }
      for (size_t w = w0; w < s.Wide.size(); ++w) {
        const uint32_t j = s.Wide[w];
        if (!ZReaches(nodes[i].AABB, nodes[j].AABB)) break;
        if (!ApartXY(nodes[i].AABB, nodes[j].AABB)) pairs.push_back(pair(i, j));
      }
    }
  }
  RadixSort(pairs, s.Tmp, 0, 2 * shift);

  const uint64_t mask = (uint64_t(1) << shift) - 1;
  // The client records and objects of the pairs lie anywhere in memory: their loads are
  // started some pairs ahead of the tests, the records first.
  for (size_t k = 0; k < pairs.size(); ++k) {
    if (k + 2 * cPrefetchAhead < pairs.size()) {
      const uint64_t next = pairs[k + 2 * cPrefetchAhead];
      for (const uint64_t m : {next >> shift, next & mask})
        __builtin_prefetch(&FClients[nodes[m].Slot]);
    }
    if (k + cPrefetchAhead < pairs.size()) {
      const uint64_t next = pairs[k + cPrefetchAhead];
      for (const uint64_t m : {next >> shift, next & mask})
        if (const TGLBaseSceneObject* o = FClients[nodes[m].Slot].Object) o->PrefetchTransforms();
    }
    if (!TestPair(frame, size_t(pairs[k] >> shift), size_t(pairs[k] & mask))) return;
  }
}

// A pass: every client with a group of zero or more and an object gets one world box (the
// object's unscaled box with its children, through its absolute matrix), unless the box has
// no depth along Z; the boxes are sorted by minimum Z (ties in client order, not-a-number
// last); each box is paired with the later ones until one starts above its top, pairs apart
// on X or Y skipped; two clients of one non-zero group never meet; the rest get the test of
// their bounding modes, and each touching pair goes to OnCollision, the lower box first.
void TGLCollisionManager::CheckCollisions() {
  if (!OnCollision) return;
  // The handler runs from a copy: it may reassign or clear OnCollision, or free the manager.
  const TObjectCollisionEvent handler = OnCollision;
  // A nested pass has buffers of its own: the outer one's are in use.
  std::unique_ptr<TScratch> nested;
  if (FPass)
    nested = std::make_unique<TScratch>();
  else if (!FScratch)
    FScratch = std::make_unique<TScratch>();
  TScratch& s = FPass ? *nested : *FScratch;
  CompactClients();
  TPassFrame frame{&s.Nodes, FPass, &handler};
  FPass = &frame;
  struct TEnd {
    TGLCollisionManager* Self;
    TPassFrame& Frame;
    ~TEnd() {
      if (Frame.ManagerGone) return;  // nothing of the manager is left to touch
      Self->FPass = Frame.Outer;
      if (Self->FHoles > Self->FClients.size() / 2) Self->CompactClients();
    }
  } end{this, frame};

  BuildNodes(s);
  if (s.Built.size() < 2) return;
  SortByMinZ(s);
  if (s.Nodes.size() < cBucketedFrom)
    SweepSmall(frame);
  else
    SweepBucketed(frame, s);
}

}  // namespace ukh
