// TGLTransformation: the model, view and projection matrices of each tree level being
// rendered, on a fixed stack of 128 records, with the derived matrices and the frustum
// recomputed on demand. With matrix loading enabled, every change is also loaded into GL.
//
// Owned by its TGLContext; valid only while that context is current.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "engine/base/Exception.h"
#include "engine/math/Matrix.h"

namespace ukh {

// A push past the last of the 128 records.
class ETransformationStackOverflow : public Exception {
 public:
  ETransformationStackOverflow() : Exception("Transformation stack overflow") {}
};

// Each member means the derived item must be recomputed.
enum TGLTransformationState : uint8_t {
  trsModelViewChanged = 1 << 0,
  trsInvModelViewChanged = 1 << 1,
  trsInvModelChanged = 1 << 2,
  trsNormalModelChanged = 1 << 3,
  trsViewProjChanged = 1 << 4,
  trsFrustum = 1 << 5,
};
using TGLTransformationStates = uint8_t;
inline constexpr TGLTransformationStates cAllTransformationStates = 0x3F;

// Six planes (a, b, c, d with a·x + b·y + c·z + d >= 0 inside), left, top, right, bottom,
// near, far.
struct TFrustum {
  TVector4f pLeft, pTop, pRight, pBottom, pNear, pFar;
  TVector4f& operator[](int i) { return (&pLeft)[i]; }
  const TVector4f& operator[](int i) const { return (&pLeft)[i]; }
};

struct TTransformationRec {
  TGLTransformationStates FStates = cAllTransformationStates;
  TMatrix4f FModelMatrix = IdentityHmgMatrix;
  TMatrix4f FViewMatrix = IdentityHmgMatrix;
  TMatrix4f FProjectionMatrix = IdentityHmgMatrix;
  TMatrix4f FInvModelMatrix = IdentityHmgMatrix;
  TAffineMatrix FNormalModelMatrix{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  TMatrix4f FModelViewMatrix = IdentityHmgMatrix;
  TMatrix4f FInvModelViewMatrix = IdentityHmgMatrix;
  TMatrix4f FViewProjectionMatrix = IdentityHmgMatrix;
  TFrustum FFrustum{};
};

// The planes of the view volume of a view-projection matrix, each normalised by the length
// of its first three components.
TFrustum ExtractFrustumFromModelViewProjection(const TMatrix4f& m);

class TGLTransformation {
 public:
  static constexpr int cStackSize = 128;

  TGLTransformation() = default;
  TGLTransformation(const TGLTransformation&) = delete;
  TGLTransformation& operator=(const TGLTransformation&) = delete;

  // Copies the top record one level up; throws ETransformationStackOverflow (leaving the
  // stack as it was) when all 128 records are in use.
  void Push();
  // Push, then make `rec` the new top and load its matrices.
  void Push(const TTransformationRec& rec);
  // Back to the record below; loads its model-view and projection matrices into GL.
  // Throws "Transformation stack underflow" at the bottom.
  void Pop();
  // Pop for a caller that sets the next model matrix itself before anything is drawn (the
  // render traversal): GL keeps the popped level's model-view until the next load; the
  // projection is loaded as by Pop. LoadMatrices brings GL back in line with the top.
  void PopKeepModelView();
  // Loads the top's model-view and projection where GL holds something else.
  void LoadMatrices();
  // The top takes the matrices of the record below it (nothing at the bottom).
  void ReplaceFromStack();
  const TTransformationRec& StackTop() const { return FStack[FStackPos]; }
  int32_t StackPos() const { return FStackPos; }

  void IdentityAll();
  void SetModelMatrix(const TMatrix4f& m);
  void SetViewMatrix(const TMatrix4f& m);
  void SetProjectionMatrix(const TMatrix4f& m);

  const TMatrix4f& ModelMatrix() const { return FStack[FStackPos].FModelMatrix; }
  const TMatrix4f& ViewMatrix() const { return FStack[FStackPos].FViewMatrix; }
  const TMatrix4f& ProjectionMatrix() const { return FStack[FStackPos].FProjectionMatrix; }
  const TMatrix4f& ModelViewMatrix();
  const TMatrix4f& InvModelViewMatrix();
  const TMatrix4f& InvModelMatrix();
  const TAffineMatrix& NormalModelMatrix();
  const TMatrix4f& ViewProjectionMatrix();
  const TFrustum& Frustum();

  bool LoadMatricesEnabled() const { return FLoadMatricesEnabled; }
  void SetLoadMatricesEnabled(bool on) { FLoadMatricesEnabled = on; }
  // Loads are skipped when GL already holds the matrix; code that changes GL's matrices
  // behind the stack's back must call this so the next load is made. IdentityAll always loads.
  void ForgetLoadedMatrices() { FLoadedModelViewKnown = FLoadedProjectionKnown = false; }
  // Told by the state cache while a display list is compiled: loads then go into the list
  // instead of GL, so they are all issued and change nothing that GL holds now.
  void SetCompilingList(bool on) {
    FCompilingList = on;
    if (on) FLoadedInList = false;
  }
  // Whether the list being compiled (or the last one) loads matrices when it is called.
  bool LoadedInList() const { return FLoadedInList; }
  void NoteLoadInList() { FLoadedInList = true; }
  std::function<void()> FOnPush;

 private:
  void LoadModelView();
  void LoadProjection();

  int32_t FStackPos = 0;
  std::array<TTransformationRec, cStackSize> FStack{};
  bool FLoadMatricesEnabled = true;
  // What GL holds, as last loaded by this stack.
  TMatrix4f FLoadedModelView = IdentityHmgMatrix;
  TMatrix4f FLoadedProjection = IdentityHmgMatrix;
  bool FLoadedModelViewKnown = false;
  bool FLoadedProjectionKnown = false;
  bool FCompilingList = false;
  bool FLoadedInList = false;
};

}  // namespace ukh
