// TGLBaseSceneObject: coordinates and matrices. Direction, up, rotation angles and scale stay
// consistent with one another; the object, world and inverse world matrices are cached under
// change flags and rebuilt on demand.
#include "engine/scene_object.h"

#include "engine/memory_hints.h"
#include "engine/vector_geometry.h"

namespace hk {

namespace {

// r := direction x up, with fallbacks when the two are (nearly) parallel.
TAffineVector RightOf(const TAffineVector& direction, const TAffineVector& up) {
    TAffineVector r = VectorCrossProduct(direction, up);
    if (VectorLength(r) < 1e-5f) {
        r = VectorCrossProduct(ZVector, up);
        if (VectorLength(r) < 1e-5f) {
            r = VectorCrossProduct(XVector, up);
        }
    }
    return r;
}

} // namespace

// ---- orientation --------------------------------------------------------------------------------

void TGLBaseSceneObject::SetDirection(const TVector& v) {
    if (v.x == 0 && v.y == 0 && v.z == 0) {
        return;
    }
    direction_.SetAsVector(v);
}

void TGLBaseSceneObject::TurnByAngle(int axisIndex, float newDegrees) {
    float old = rotation_.AsVector()[axisIndex];
    if (newDegrees == old) {
        return;
    }
    if (!IsLoading()) {
        isCalculating_ = true;
        TAffineVector d = direction_.GetXYZ(), u = up_.GetXYZ();
        TAffineVector axis = axisIndex == 0 ? VectorCrossProduct(d, u) : (axisIndex == 1 ? u : d);
        TMatrix r = RotationMatrix(axis, float(DegToRad(double(old) - newDegrees)));
        up_.SetSilently(VectorMake(VectorNormalize(AffineRotate(u, r)), 0));
        direction_.SetSilently(VectorMake(VectorNormalize(AffineRotate(d, r)), 0));
        isCalculating_ = false;
        NotifyTransformChanged();
    }
    TVector angles = rotation_.AsVector();
    angles[axisIndex] = NormalizeDegAngle(newDegrees);
    rotation_.SetSilently(angles);
}

void TGLBaseSceneObject::SetPitchAngle(float degrees) {
    TurnByAngle(0, degrees);
}
void TGLBaseSceneObject::SetTurnAngle(float degrees) {
    TurnByAngle(1, degrees);
}
void TGLBaseSceneObject::SetRollAngle(float degrees) {
    TurnByAngle(2, degrees);
}

void TGLBaseSceneObject::ApplyRotationAngles() {
    TVector a = rotation_.AsVector();
    TAffineVector d = ZVector, u = YVector;
    // The same turns as setting pitch, turn and roll one after the other from zero.
    auto turn = [&](const TAffineVector& axis, float degrees) {
        if (degrees == 0) {
            return;
        }
        TMatrix r = RotationMatrix(axis, float(-DegToRad(degrees)));
        u = VectorNormalize(AffineRotate(u, r));
        d = VectorNormalize(AffineRotate(d, r));
    };
    turn(VectorCrossProduct(d, u), a.x);
    turn(u, a.y);
    turn(d, a.z);
    direction_.SetSilently(VectorMake(d, 0));
    up_.SetSilently(VectorMake(u, 0));
    rotation_.SetSilently(
        {NormalizeDegAngle(a.x), NormalizeDegAngle(a.y), NormalizeDegAngle(a.z), 0});
}

void TGLBaseSceneObject::DirectionChanged() {
    TAffineVector d = direction_.GetXYZ();
    if (VectorLength(d) == 0) {
        d = ZVector;
    }
    d = VectorNormalize(d);
    TAffineVector r = RightOf(d, up_.GetXYZ());
    direction_.SetSilently(VectorMake(d, 0));
    up_.SetSilently(VectorMake(VectorNormalize(VectorCrossProduct(r, d)), 0));
}

void TGLBaseSceneObject::UpChanged() {
    TAffineVector u = up_.GetXYZ();
    if (VectorLength(u) == 0) {
        u = YVector;
    }
    u = VectorNormalize(u);
    TAffineVector r = RightOf(direction_.GetXYZ(), u);
    up_.SetSilently(VectorMake(u, 0));
    direction_.SetSilently(VectorMake(VectorNormalize(VectorCrossProduct(u, r)), 0));
}

void TGLBaseSceneObject::VectorPropertyChanged(TGLCoordinates* sender) {
    if (isCalculating_) {
        return;
    }
    isCalculating_ = true;
    if (sender == &direction_) {
        DirectionChanged();
    } else if (sender == &up_) {
        UpChanged();
    } else if (sender == &rotation_) {
        ApplyRotationAngles();
    }
    isCalculating_ = false;
    NotifyTransformChanged();
    if (sender == &rotation_) {
        ReportChange(); // reported even when the transform was already dirty
    }
}

// ---- matrices -----------------------------------------------------------------------------------

void TGLBaseSceneObject::RebuildMatrix() {
    TAffineVector d = direction_.GetXYZ(), u = up_.GetXYZ();
    TVector s = scale_.AsVector();
    TAffineVector left = VectorCrossProduct(u, d);
    objectMatrix_[0] = VectorMake(VectorScale(left, s.x), 0);
    objectMatrix_[1] = VectorMake(VectorScale(u, s.y), 0);
    objectMatrix_[2] = VectorMake(VectorScale(d, s.z), 0);
    objectMatrix_[3] = VectorMake(position_.GetXYZ(), 1);
    changes_.Exclude(ocTransformation);
    changes_.Include(ocAbsoluteMatrix);
    changes_.Include(ocInvAbsoluteMatrix);
}

const TMatrix& TGLBaseSceneObject::ObjectMatrix() {
    if (changes_.Contains(ocTransformation)) {
        RebuildMatrix();
    }
    return objectMatrix_;
}

void TGLBaseSceneObject::PrefetchWorldMatrices() const {
    if (worldMatrices_) {
        PrefetchBlock(worldMatrices_.get(), sizeof(*worldMatrices_));
    }
}

void TGLBaseSceneObject::EnsureWorldMatrices() {
    if (!worldMatrices_) {
        worldMatrices_ = std::make_unique<std::pair<TMatrix, TMatrix>>();
        changes_.Include(ocAbsoluteMatrix);
        changes_.Include(ocInvAbsoluteMatrix);
    }
}

bool TGLBaseSceneObject::HasTransformingParent() const {
    return parent_ != nullptr && !parent_->isSceneRoot_;
}

const TMatrix& TGLBaseSceneObject::WorldMatrix() {
    ObjectMatrix();
    EnsureWorldMatrices();
    if (changes_.Contains(ocAbsoluteMatrix)) {
        if (HasTransformingParent()) {
            worldMatrices_->first = MatrixMultiply(objectMatrix_, parent_->WorldMatrix());
        } else {
            worldMatrices_->first = objectMatrix_;
        }
        changes_.Exclude(ocAbsoluteMatrix);
        changes_.Include(ocInvAbsoluteMatrix);
    }
    return worldMatrices_->first;
}

const TMatrix& TGLBaseSceneObject::InverseWorldMatrix() {
    WorldMatrix();
    if (changes_.Contains(ocInvAbsoluteMatrix)) {
        if (VectorEquals(scale_.GetXYZ(), TAffineVector{1, 1, 1})) {
            TMatrix local = RigidInvertMatrix(objectMatrix_);
            worldMatrices_->second = HasTransformingParent()
                                         ? MatrixMultiply(parent_->InverseWorldMatrix(), local)
                                         : local;
        } else {
            worldMatrices_->second = InvertMatrix(worldMatrices_->first);
        }
        changes_.Exclude(ocInvAbsoluteMatrix);
    }
    return worldMatrices_->second;
}

void TGLBaseSceneObject::SetMatrix(const TMatrix& m) {
    direction_.SetSilently(VectorNormalize(m[2]));
    up_.SetSilently(VectorNormalize(m[1]));
    scale_.SetSilently({VectorLength(m[0]), VectorLength(m[1]), VectorLength(m[2]), 0});
    position_.SetSilently({m[3].x, m[3].y, m[3].z, 1});
    NotifyTransformChanged();
}

TVector TGLBaseSceneObject::WorldPosition() {
    return WorldMatrix()[3];
}
TVector TGLBaseSceneObject::WorldDirection() {
    return VectorNormalize(WorldMatrix()[2]);
}
TVector TGLBaseSceneObject::WorldUp() {
    return VectorNormalize(WorldMatrix()[1]);
}
TVector TGLBaseSceneObject::ObjectToWorld(const TVector& v) {
    return TransformVector(v, WorldMatrix());
}
TVector TGLBaseSceneObject::WorldToObject(const TVector& v) {
    return TransformVector(v, InverseWorldMatrix());
}
TAffineVector TGLBaseSceneObject::ObjectToWorldPoint(const TAffineVector& p) {
    return AffineTransform(p, WorldMatrix());
}
TAffineVector TGLBaseSceneObject::WorldToObjectPoint(const TAffineVector& p) {
    return AffineTransform(p, InverseWorldMatrix());
}
float TGLBaseSceneObject::SquaredDistanceTo(const TVector& worldPoint) {
    return VectorDistance2(WorldPosition(), worldPoint);
}

void TGLBaseSceneObject::MarkWorldDirtyInSubtree() {
    changes_.Include(ocAbsoluteMatrix);
    changes_.Include(ocInvAbsoluteMatrix);
    for (auto& c : children_) {
        c->MarkWorldDirtyInSubtree();
    }
}

void TGLBaseSceneObject::NotifyTransformChanged() {
    NoteSceneEdit();
    if (changes_.Contains(ocTransformation)) {
        return;
    }
    changes_.Include(ocTransformation);
    MarkWorldDirtyInSubtree();
    if (!IsLoading()) {
        ReportChange();
    }
}

} // namespace hk
