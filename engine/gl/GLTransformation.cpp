// The transformation stack: pushes, pops and lazily derived matrices.
#include "engine/gl/GLTransformation.h"

#include <cmath>

#include "engine/gl/GLApi.h"

namespace ukh {

TFrustum ExtractFrustumFromModelViewProjection(const TMatrix4f& m) {
  auto column = [&](int c) { return TVector4f{m.X[c], m.Y[c], m.Z[c], m.W[c]}; };
  const TVector4f c0 = column(0), c1 = column(1), c2 = column(2), c3 = column(3);
  TFrustum f;
  f.pLeft = AddVector(c3, c0);
  f.pTop = SubtractVector(c3, c1);
  f.pRight = SubtractVector(c3, c0);
  f.pBottom = AddVector(c3, c1);
  f.pNear = AddVector(c3, c2);
  f.pFar = SubtractVector(c3, c2);
  for (int i = 0; i < 6; ++i) {
    TVector4f& p = f[i];
    const double length = std::sqrt(double(p.X) * p.X + double(p.Y) * p.Y + double(p.Z) * p.Z);
    if (length > 0) p = ScaleVector(p, float(1 / length));
  }
  return f;
}

void TGLTransformation::Push() {
  if (FStackPos + 1 >= cStackSize) throw ETransformationStackOverflow();
  FStack[FStackPos + 1] = FStack[FStackPos];
  ++FStackPos;
  if (FOnPush) FOnPush();
}

void TGLTransformation::Push(const TTransformationRec& rec) {
  Push();
  FStack[FStackPos] = rec;
  if (FLoadMatricesEnabled) {
    LoadModelView();
    LoadProjection();
  }
}

void TGLTransformation::Pop() {
  if (FStackPos == 0) throw Exception("Transformation stack underflow");
  --FStackPos;
  if (FLoadMatricesEnabled) {
    LoadModelView();
    LoadProjection();
  }
}

void TGLTransformation::PopKeepModelView() {
  if (FStackPos == 0) throw Exception("Transformation stack underflow");
  --FStackPos;
  if (FLoadMatricesEnabled) LoadProjection();
}

void TGLTransformation::LoadMatrices() {
  if (!FLoadMatricesEnabled) return;
  LoadModelView();
  LoadProjection();
}

void TGLTransformation::ReplaceFromStack() {
  if (FStackPos == 0) return;
  TTransformationRec& top = FStack[FStackPos];
  const TTransformationRec& below = FStack[FStackPos - 1];
  top.FModelMatrix = below.FModelMatrix;
  top.FViewMatrix = below.FViewMatrix;
  top.FProjectionMatrix = below.FProjectionMatrix;
  top.FStates = cAllTransformationStates;
}

void TGLTransformation::IdentityAll() {
  TTransformationRec& top = FStack[FStackPos];
  top.FModelMatrix = IdentityHmgMatrix;
  top.FViewMatrix = IdentityHmgMatrix;
  top.FProjectionMatrix = IdentityHmgMatrix;
  top.FStates = cAllTransformationStates;
  if (FLoadMatricesEnabled) {
    gl::MatrixMode(GL_PROJECTION);
    gl::LoadIdentity();
    gl::MatrixMode(GL_MODELVIEW);
    gl::LoadIdentity();
    if (FCompilingList) {
      FLoadedInList = true;
      return;
    }
    FLoadedModelView = FLoadedProjection = IdentityHmgMatrix;
    FLoadedModelViewKnown = FLoadedProjectionKnown = true;
  }
}

void TGLTransformation::SetModelMatrix(const TMatrix4f& m) {
  TTransformationRec& top = FStack[FStackPos];
  top.FModelMatrix = m;
  top.FStates |=
      trsModelViewChanged | trsInvModelViewChanged | trsInvModelChanged | trsNormalModelChanged;
  if (FLoadMatricesEnabled) LoadModelView();
}

void TGLTransformation::SetViewMatrix(const TMatrix4f& m) {
  TTransformationRec& top = FStack[FStackPos];
  top.FViewMatrix = m;
  top.FStates |= trsModelViewChanged | trsInvModelViewChanged | trsViewProjChanged | trsFrustum;
  if (FLoadMatricesEnabled) LoadModelView();
}

void TGLTransformation::SetProjectionMatrix(const TMatrix4f& m) {
  TTransformationRec& top = FStack[FStackPos];
  top.FProjectionMatrix = m;
  top.FStates |= trsViewProjChanged | trsFrustum;
  if (FLoadMatricesEnabled) LoadProjection();
}

void TGLTransformation::LoadModelView() {
  const TMatrix4f& m = ModelViewMatrix();
  if (FCompilingList) {
    gl::LoadMatrixf(m.data());
    FLoadedInList = true;
    return;
  }
  // Every pop reloads the parent's matrices; most of them are what GL already holds.
  if (FLoadedModelViewKnown && FLoadedModelView == m) return;
  // Row-vector matrices laid out row after row are exactly GL's column-major layout.
  gl::LoadMatrixf(m.data());
  FLoadedModelView = m;
  FLoadedModelViewKnown = true;
}

void TGLTransformation::LoadProjection() {
  const TMatrix4f& m = ProjectionMatrix();
  if (!FCompilingList && FLoadedProjectionKnown && FLoadedProjection == m) return;
  gl::MatrixMode(GL_PROJECTION);
  gl::LoadMatrixf(m.data());
  gl::MatrixMode(GL_MODELVIEW);
  if (FCompilingList) {
    FLoadedInList = true;
    return;
  }
  FLoadedProjection = m;
  FLoadedProjectionKnown = true;
}

const TMatrix4f& TGLTransformation::ModelViewMatrix() {
  TTransformationRec& top = FStack[FStackPos];
  if (top.FStates & trsModelViewChanged) {
    top.FModelViewMatrix = MultiplyMatrices(top.FModelMatrix, top.FViewMatrix);
    top.FStates &= ~trsModelViewChanged;
  }
  return top.FModelViewMatrix;
}

const TMatrix4f& TGLTransformation::InvModelViewMatrix() {
  TTransformationRec& top = FStack[FStackPos];
  if (top.FStates & trsInvModelViewChanged) {
    top.FInvModelViewMatrix = ModelViewMatrix();
    InvertMatrix(top.FInvModelViewMatrix);
    top.FStates &= ~trsInvModelViewChanged;
  }
  return top.FInvModelViewMatrix;
}

const TMatrix4f& TGLTransformation::InvModelMatrix() {
  TTransformationRec& top = FStack[FStackPos];
  if (top.FStates & trsInvModelChanged) {
    top.FInvModelMatrix = top.FModelMatrix;
    InvertMatrix(top.FInvModelMatrix);
    top.FStates &= ~trsInvModelChanged;
  }
  return top.FInvModelMatrix;
}

const TAffineMatrix& TGLTransformation::NormalModelMatrix() {
  TTransformationRec& top = FStack[FStackPos];
  if (top.FStates & trsNormalModelChanged) {
    // Normals transform by the inverse transpose of the model matrix's upper 3x3.
    const TMatrix4f& inv = InvModelMatrix();
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) top.FNormalModelMatrix[r][c] = inv[c][r];
    top.FStates &= ~trsNormalModelChanged;
  }
  return top.FNormalModelMatrix;
}

const TMatrix4f& TGLTransformation::ViewProjectionMatrix() {
  TTransformationRec& top = FStack[FStackPos];
  if (top.FStates & trsViewProjChanged) {
    top.FViewProjectionMatrix = MultiplyMatrices(top.FViewMatrix, top.FProjectionMatrix);
    top.FStates &= ~trsViewProjChanged;
  }
  return top.FViewProjectionMatrix;
}

const TFrustum& TGLTransformation::Frustum() {
  TTransformationRec& top = FStack[FStackPos];
  if (top.FStates & trsFrustum) {
    top.FFrustum = ExtractFrustumFromModelViewProjection(ViewProjectionMatrix());
    top.FStates &= ~trsFrustum;
  }
  return top.FFrustum;
}

}  // namespace ukh
