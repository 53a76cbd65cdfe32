// Scene-graph node: tree, coordinates, matrices, bounding queries and the per-object render
// step of the scene walk.
#include "engine/scene_object.h"

#include "engine/behaviours.h"
#include "engine/merged_children.h"
#include "engine/scene.h"
#include "engine/scene_buffer_client.h"
#include "engine/sorting.h"
#include "engine/state_cache.h"
#include "engine/vector_geometry.h"

#include <GL/gl.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>

namespace hk {

namespace {

constexpr float cOrbitPoleMargin = 0.025f;

std::uint64_t NextStructureVersion() {
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}

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

TGLBaseSceneObject::TGLBaseSceneObject()
    : position_(this, NullHmgPoint, csPoint), rotation_(this, NullHmgVector, csVector),
      direction_(this, ZHmgVector, csVector), up_(this, YHmgVector, csVector),
      scale_(this, XYZHmgVector, csVector) {
    structureVersion_ = NextStructureVersion();
}

TGLBaseSceneObject::~TGLBaseSceneObject() {
    NotifyFreeing();
    FreeDescendantCameras();
    if (scene_ != nullptr) {
        scene_->ObjectDestroyed(this);
    }
    effects_.reset();
    behaviours_.reset();
    DestroyLists();
    FreeChildren();
}

// ---- tree --------------------------------------------------------------------------------

TGLBaseSceneObject* TGLBaseSceneObject::Children(int index) const {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    return children_[index].get();
}

int TGLBaseSceneObject::Index() const {
    if (parent_ == nullptr) {
        return -1;
    }
    for (int i = 0; i < parent_->Count(); ++i) {
        if (parent_->children_[i].get() == this) {
            return i;
        }
    }
    return -1;
}

bool TGLBaseSceneObject::HasSubChildren() const {
    for (const auto& c : children_) {
        if (c->Count() > 0) {
            return true;
        }
    }
    return false;
}

TGLBaseSceneObject* TGLBaseSceneObject::AppendChild(std::unique_ptr<TGLBaseSceneObject> child) {
    return Insert(Count(), std::move(child));
}

TGLBaseSceneObject* TGLBaseSceneObject::Insert(int index,
                                               std::unique_ptr<TGLBaseSceneObject> child) {
    if (!child) {
        return nullptr;
    }
    TGLBaseSceneObject* raw = child.get();
    if (scene_ != nullptr) {
        raw->RegisterLightsOfSubtree(scene_);
    }
    index = std::clamp(index, 0, Count());
    children_.insert(children_.begin() + index, std::move(child));
    raw->parent_ = this;
    raw->SetSceneOfSubtree(scene_);
    NotifyTransformChanged();
    raw->NotifyTransformChanged();
    return raw;
}

std::unique_ptr<TGLBaseSceneObject> TGLBaseSceneObject::Detach(int index) {
    std::unique_ptr<TGLBaseSceneObject> out = std::move(children_[index]);
    children_.erase(children_.begin() + index);
    out->parent_ = nullptr;
    return out;
}

std::unique_ptr<TGLBaseSceneObject> TGLBaseSceneObject::RemoveChild(TGLBaseSceneObject* child,
                                                                    bool keepChildren) {
    int index = child ? child->Index() : -1;
    if (index < 0 || child->parent_ != this) {
        return nullptr;
    }
    if (scene_ != nullptr) {
        child->UnregisterLightsOfSubtree(scene_);
        scene_->ObjectDestroyed(child);
        if (!keepChildren) {
            // The scene's camera or rendering object may sit deeper in the removed subtree.
            child->ForgetSubtreeIn(scene_);
        }
    }
    std::unique_ptr<TGLBaseSceneObject> out = Detach(index);
    if (keepChildren) {
        BeginUpdate();
        while (out->Count() > 0) {
            AppendChild(out->Detach(0));
        }
        EndUpdate();
    } else {
        ReportChange();
    }
    // A detached object keeps no link into a scene that may go away before it does.
    out->SetSceneOfSubtree(nullptr);
    out->NotifyTransformChanged();
    return out;
}

void TGLBaseSceneObject::MoveTo(TGLBaseSceneObject* newParent) {
    if (newParent == nullptr || newParent == parent_) {
        return;
    }
    // Refuse to move an object under its own subtree.
    for (TGLBaseSceneObject* p = newParent; p != nullptr; p = p->parent_) {
        if (p == this) {
            return;
        }
    }
    if (parent_ == nullptr) {
        return; // the caller owns a parentless object and appends it itself
    }
    newParent->AppendChild(parent_->RemoveChild(this, false));
}

void TGLBaseSceneObject::FreeDescendantCameras() {
    for (int i = Count() - 1; i >= 0; --i) {
        TGLBaseSceneObject* child = children_[i].get();
        child->FreeDescendantCameras();
        if (child->IsCamera()) {
            std::unique_ptr<TGLBaseSceneObject> camera = RemoveChild(child, true);
        }
    }
}

void TGLBaseSceneObject::FreeChildren() {
    if (children_.empty()) {
        return;
    }
    FreeDescendantCameras();
    if (scene_ != nullptr) {
        for (auto& c : children_) {
            c->UnregisterLightsOfSubtree(scene_);
        }
    }
    std::vector<std::unique_ptr<TGLBaseSceneObject>> doomed;
    doomed.swap(children_);
    for (auto& c : doomed) {
        c->parent_ = nullptr;
        c.reset();
    }
    ReportChange();
}

void TGLBaseSceneObject::SetChildIndex(int index) {
    if (parent_ == nullptr) {
        return;
    }
    int current = Index();
    index = std::clamp(index, 0, parent_->Count() - 1);
    if (index == current) {
        return;
    }
    TGLScene* scene = scene_;
    if (scene) {
        scene->BeginUpdate();
    }
    auto& siblings = parent_->children_;
    std::unique_ptr<TGLBaseSceneObject> self = std::move(siblings[current]);
    siblings.erase(siblings.begin() + current);
    siblings.insert(siblings.begin() + index, std::move(self));
    parent_->ReportChange();
    if (scene) {
        scene->EndUpdate();
    }
}

void TGLBaseSceneObject::SetSceneOfSubtree(TGLScene* scene) {
    if (scene_ != scene) {
        if (scene_ != nullptr) {
            DestroyLists();
            changes_.Include(ocStructure);
        }
        scene_ = scene;
    }
    for (auto& c : children_) {
        c->SetSceneOfSubtree(scene);
    }
}

void TGLBaseSceneObject::ForgetSubtreeIn(TGLScene* scene) {
    for (auto& c : children_) {
        scene->ObjectDestroyed(c.get());
        c->ForgetSubtreeIn(scene);
    }
}

void TGLBaseSceneObject::RegisterLightsOfSubtree(TGLScene* scene) {
    if (IsLightSource()) {
        scene->AddLight(this);
    }
    for (auto& c : children_) {
        c->RegisterLightsOfSubtree(scene);
    }
}

void TGLBaseSceneObject::UnregisterLightsOfSubtree(TGLScene* scene) {
    if (IsLightSource()) {
        scene->RemoveLight(this);
    }
    for (auto& c : children_) {
        c->UnregisterLightsOfSubtree(scene);
    }
}

// ---- properties --------------------------------------------------------------------------

void TGLBaseSceneObject::SetDirection(const TVector& v) {
    if (v.x == 0 && v.y == 0 && v.z == 0) {
        return;
    }
    direction_.SetAsVector(v);
}

void TGLBaseSceneObject::SetVisible(bool v) {
    if (v != visible_) {
        visible_ = v;
        ReportChange();
    }
}

void TGLBaseSceneObject::SetShowAxes(bool v) {
    if (v != showAxes_) {
        showAxes_ = v;
        ReportChange();
    }
}

void TGLBaseSceneObject::SetObjectsSorting(TGLObjectsSorting v) {
    if (v != objectsSorting_) {
        objectsSorting_ = v;
        ReportChange();
    }
}

void TGLBaseSceneObject::SetVisibilityCulling(TGLVisibilityCulling v) {
    if (v != visibilityCulling_) {
        visibilityCulling_ = v;
        ReportChange();
    }
}

TGLBehaviours& TGLBaseSceneObject::Behaviours() {
    if (!behaviours_) {
        behaviours_ = std::make_unique<TGLBehaviours>(this);
    }
    return *behaviours_;
}

TGLObjectEffects& TGLBaseSceneObject::Effects() {
    if (!effects_) {
        effects_ = std::make_unique<TGLObjectEffects>(this);
    }
    return *effects_;
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

// ---- matrices ----------------------------------------------------------------------------

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
    if (changes_.Contains(ocTransformation)) {
        return;
    }
    changes_.Include(ocTransformation);
    MarkWorldDirtyInSubtree();
    if (!IsLoading()) {
        ReportChange();
    }
}

void TGLBaseSceneObject::StructureChanged() {
    structureVersion_ = NextStructureVersion();
    if (!changes_.Contains(ocStructure)) {
        changes_.Include(ocStructure);
        ReportChange();
    } else if (objectStyle_.Contains(osDirectDraw)) {
        ReportChange();
    }
}

// ---- navigation --------------------------------------------------------------------------

void TGLBaseSceneObject::RotateAboutAbsoluteAxes(float rx, float ry, float rz) {
    TMatrix m = ObjectMatrix();
    const float angles[3] = {rx, ry, rz};
    const TAffineVector axes[3] = {XVector, YVector, ZVector};
    for (int i = 0; i < 3; ++i) {
        if (angles[i] == 0) {
            continue;
        }
        const TMatrix& inv = InverseWorldMatrix();
        TAffineVector a = AffineTransform(axes[i], inv);
        if (VectorLength(a) < 1e-6f) {
            // The axis point maps onto the object's origin; use the world axis as a direction.
            a = AffineRotate(axes[i], inv);
        }
        m = MatrixMultiply(RotationMatrix(a, float(-DegToRad(angles[i]))), m);
    }
    SetMatrix(m);
}

void TGLBaseSceneObject::OrbitAround(TGLBaseSceneObject* target, float pitchDelta,
                                     float turnDelta) {
    if (target == nullptr || target == this) {
        return;
    }
    TAffineVector own = WorldPosition().Affine();
    TAffineVector off = VectorSubtract(own, target->WorldPosition().Affine());
    float dist = VectorLength(off);
    if (dist == 0) {
        return; // no sphere to move on
    }
    TAffineVector n = VectorNormalize(off);
    TAffineVector up = WorldUp().Affine();
    TAffineVector axis = VectorCrossProduct(up, n);
    axis = VectorLength(axis) < 0.001f ? XVector : VectorNormalize(axis);
    double cosA = std::clamp(double(VectorDotProduct(up, n)), -1.0, 1.0);
    double angle = std::acos(cosA) + DegToRad(pitchDelta);
    angle = std::clamp(angle, double(cOrbitPoleMargin), cPI - cOrbitPoleMargin);
    TAffineVector v = VectorRotateAroundAxis(up, axis, float(-angle));
    v = VectorRotateAroundAxis(v, up, float(-DegToRad(turnDelta)));
    v = VectorScale(v, dist);
    TAffineVector world = VectorAdd(own, VectorSubtract(v, off));
    if (HasTransformingParent()) {
        world = parent_->WorldToObjectPoint(world);
    }
    position_.SetPoint(world.x, world.y, world.z);
}

// ---- bounding ----------------------------------------------------------------------------

TVector TGLBaseSceneObject::UnscaledBoxExtents() {
    return {0.5f, 0.5f, 0.5f, 0};
}

TVector TGLBaseSceneObject::BoxExtents() {
    TVector e = UnscaledBoxExtents();
    TVector s = scale_.AsVector();
    return {e.x * s.x, e.y * s.y, e.z * s.z, 0};
}

float TGLBaseSceneObject::BoundingRadius() {
    return VectorLength(BoxExtents());
}
float TGLBaseSceneObject::UnscaledBoundingRadius() {
    return VectorLength(UnscaledBoxExtents());
}

TAABB TGLBaseSceneObject::UnscaledHierarchyBox() {
    TAffineVector e = UnscaledBoxExtents().Affine();
    TAABB box{VectorScale(e, -1), e};
    for (auto& c : children_) {
        box = AABBUnion(box, AABBTransform(c->UnscaledHierarchyBox(), c->ObjectMatrix()));
    }
    return box;
}

TAABB TGLBaseSceneObject::HierarchyBox() {
    return AABBScale(UnscaledHierarchyBox(), scale_.GetXYZ());
}

bool TGLBaseSceneObject::ContainsPoint(const TVector& worldPoint) {
    TAffineVector p = WorldToObjectPoint(worldPoint.Affine());
    TVector e = BoxExtents();
    TVector s = scale_.AsVector();
    for (int k = 0; k < 3; ++k) {
        if (std::fabs(p[k] * s[k]) > std::fabs(e[k])) {
            return false;
        }
    }
    return true;
}

bool TGLBaseSceneObject::RayHit(const TVector& rayStart, const TVector& rayVector,
                                TVector* hitPoint, TVector* hitNormal) {
    TVector dir = VectorNormalize(rayVector);
    if (VectorLength(dir) == 0) {
        return false;
    }
    TVector centre = WorldPosition();
    TVector i1;
    if (RayCastSphereIntersect(rayStart, dir, centre, BoundingRadius(), &i1) == 0) {
        return false;
    }
    if (hitPoint) {
        *hitPoint = i1;
    }
    if (hitNormal) {
        *hitNormal = VectorNormalize(VectorSubtract(i1, centre));
    }
    return true;
}

// ---- update, time ------------------------------------------------------------------------

void TGLBaseSceneObject::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) {
        ReportChange();
    }
}

void TGLBaseSceneObject::AdvanceTime(const TProgressTimes& times) {
    for (auto& c : children_) {
        c->AdvanceTime(times);
    }
    if (behaviours_) {
        behaviours_->DoProgress(times);
    }
    if (effects_) {
        effects_->DoProgress(times);
    }
    if (OnProgress) {
        OnProgress(this, times.deltaTime, times.newTime);
    }
}

void TGLBaseSceneObject::ReportChange() {
    if (scene_ != nullptr && !IsUpdating() && !IsLoading()) {
        scene_->NotifyChange(this);
    }
}

// ---- drawing -----------------------------------------------------------------------------

void TGLBaseSceneObject::EmitGeometry(TRenderContextInfo&) {}

TGLListHandle& TGLBaseSceneObject::ListOfLevel(int level) {
    if (level <= 0) {
        return listHandle_;
    }
    if (!coarseLists_) {
        coarseLists_ = std::make_unique<std::array<TGLListHandle, cMaxDetailLevel>>();
    }
    return (*coarseLists_)[std::size_t(std::min(level, cMaxDetailLevel) - 1)];
}

void TGLBaseSceneObject::DestroyLists() {
    listHandle_.DestroyHandle();
    coarseLists_.reset();
    compiledLevels_ = 0;
}

unsigned TGLBaseSceneObject::DisplayListFor(TRenderContextInfo& rci) {
    if (changes_.Contains(ocStructure)) {
        changes_.Exclude(ocStructure);
        compiledLevels_ = 0;
    }
    const int level = std::clamp(rci.detailLevel, 0, cMaxDetailLevel);
    TGLListHandle& handle = ListOfLevel(level);
    const auto bit = std::uint8_t(1u << level);
    if (handle.Handle() != 0 && (compiledLevels_ & bit) != 0) {
        return handle.Handle();
    }
    unsigned list = handle.AllocateHandle();
    if (list == 0) {
        return 0;
    }
    glNewList(list, GL_COMPILE);
    try {
        EmitGeometry(rci);
    } catch (...) {
        glEndList();
        throw;
    }
    glEndList();
    compiledLevels_ |= bit;
    return list;
}

std::optional<TGLBaseSceneObject::TScreenExtent>
TGLBaseSceneObject::ScreenExtent(const TRenderContextInfo& rci) {
    if (rci.drawState != dsRendering || rci.pixelsPerUnit <= 0) {
        return std::nullopt;
    }
    const std::optional<TAABB> box = GeometryBox();
    if (!box) {
        return std::nullopt;
    }
    const TMatrix& m = WorldMatrix();
    const TVector* planes[6] = {&rci.frustum.pLeft,   &rci.frustum.pRight, &rci.frustum.pTop,
                                &rci.frustum.pBottom, &rci.frustum.pNear,  &rci.frustum.pFar};
    unsigned outsideAll = 0x3f;
    float nearestW = std::numeric_limits<float>::max();
    for (int corner = 0; corner < 8; ++corner) {
        const TAffineVector local{corner & 1 ? box->max.x : box->min.x,
                                  corner & 2 ? box->max.y : box->min.y,
                                  corner & 4 ? box->max.z : box->min.z};
        const TAffineVector p = AffineTransform(local, m);
        unsigned outside = 0;
        for (int k = 0; k < 6; ++k) {
            const TVector& q = *planes[k];
            if (q.x * p.x + q.y * p.y + q.z * p.z + q.w < 0) {
                outside |= 1u << k;
            }
        }
        outsideAll &= outside;
        const TVector& c = rci.clipW;
        nearestW = std::min(nearestW, c.x * p.x + c.y * p.y + c.z * p.z + c.w);
    }
    TScreenExtent extent;
    // Every corner beyond one plane: the whole box is.
    extent.outside = outsideAll != 0;
    if (nearestW > 1e-6f) {
        float unit = 0;
        for (int row = 0; row < 3; ++row) {
            unit = std::max(unit, VectorLength(TAffineVector{m[row][0], m[row][1], m[row][2]}));
        }
        extent.pixelsPerUnit = rci.pixelsPerUnit * unit / nearestW;
    }
    return extent;
}

int TGLBaseSceneObject::DetailLevel(const std::optional<TScreenExtent>& extent) {
    if (!extent || extent->pixelsPerUnit <= 0) {
        return 0;
    }
    return std::clamp(DetailLevelFor(extent->pixelsPerUnit), 0, cMaxDetailLevel);
}

void TGLBaseSceneObject::DrawGeometry(TRenderContextInfo& rci) {
    rci.detailLevel = rci.drawState == dsRendering ? frameDetailLevel_ : 0;
    if (objectStyle_.Contains(osDirectDraw) || rci.bypassDisplayLists) {
        changes_.Exclude(ocStructure);
        EmitGeometry(rci);
    } else if (unsigned list = DisplayListFor(rci); list != 0) {
        glCallList(list);
    }
    rci.detailLevel = 0;
}

void TGLBaseSceneObject::DrawAxes(TRenderContextInfo& rci) {
    float l = rci.buffer ? rci.buffer->CameraDepthOfView() : 100.0f;
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_LINE_BIT | GL_CURRENT_BIT |
                 GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glEnable(GL_LINE_STIPPLE);
    glLineStipple(1, 0xCCCC);
    if (!rci.ignoreBlendingRequests) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glLineWidth(1);
    glBegin(GL_LINES);
    const struct {
        float x, y, z, r, g, b;
    } ends[6] = {{-l, 0, 0, 0.5f, 0, 0}, {l, 0, 0, 1, 0, 0},     {0, -l, 0, 0, 0.5f, 0},
                 {0, l, 0, 0, 1, 0},     {0, 0, -l, 0, 0, 0.5f}, {0, 0, l, 0, 0, 1}};
    for (const auto& e : ends) {
        glColor3f(e.r, e.g, e.b);
        glVertex3f(0, 0, 0);
        glVertex3f(e.x, e.y, e.z);
    }
    glEnd();
    glPopAttrib();
    // The attribute stack restored lighting, blending and stipple behind the cache's back
    // to the values the cache already holds, so it stays valid.
}

bool TGLBaseSceneObject::PassesVisibilityCulling(const TRenderContextInfo& rci) {
    if (objectStyle_.Contains(osNoVisibilityCulling)) {
        return true;
    }
    if (rci.visibilityCulling == vcObjectBased) {
        return !IsVolumeClipped(WorldPosition().Affine(), BoundingRadius(), rci.frustum);
    }
    if (rci.visibilityCulling == vcHierarchical) {
        // The world matrix carries the scale, so the unscaled box is placed with it.
        return !IsVolumeClipped(AABBTransform(UnscaledHierarchyBox(), WorldMatrix()), rci.frustum);
    }
    return true;
}

bool TGLBaseSceneObject::ChooseFrameDetail(const TRenderContextInfo& rci) {
    frameDetailLevel_ = 0;
    if (!PassesVisibilityCulling(rci)) {
        return false;
    }
    const std::optional<TScreenExtent> extent = ScreenExtent(rci);
    frameDetailLevel_ = std::int8_t(DetailLevel(extent));
    return !extent || !extent->outside;
}

void TGLBaseSceneObject::SetMergeChildren(bool on) {
    if (on != MergeChildren()) {
        merged_ = on ? std::make_unique<TGLMergedChildren>() : nullptr;
        ReportChange();
    }
}

void TGLBaseSceneObject::RenderObject(TRenderContextInfo& rci) {
    bool kids = Count() > 0;
    if (rci.visibilityCulling == vcHierarchical) {
        kids = kids && PassesVisibilityCulling(rci);
    }
    const bool self = ChooseFrameDetail(rci);
    if (!self && !kids) {
        return;
    }
    glPushMatrix();
    glMultMatrixf(ObjectMatrix().data());
    bool pushedName = false;
    if (rci.drawState == dsPicking && rci.pickNames != nullptr) {
        rci.pickNames->push_back(this);
        auto name = static_cast<GLuint>(rci.pickNames->size());
        if (rci.pushNamesForSubObjects) {
            glPushName(name);
            pushedName = true;
        } else {
            glLoadName(name);
        }
    }
    bool ignoreDepth = objectStyle_.Contains(osIgnoreDepthBuffer) && rci.GLStates && rci.buffer &&
                       rci.buffer->DepthTest();
    if (ignoreDepth) {
        rci.GLStates->Disable(stDepthTest);
    }
    if (self) {
        if (showAxes_) {
            DrawAxes(rci);
        }
        if (effects_ && effects_->Count() > 0) {
            glPushMatrix();
            effects_->RenderBefore(rci);
            glPopMatrix();
            DrawSelfAndChildren(rci, true, kids);
            glPushMatrix();
            effects_->RenderAfter(rci);
            glPopMatrix();
        } else {
            DrawSelfAndChildren(rci, true, kids);
        }
    } else {
        DrawSelfAndChildren(rci, false, true);
    }
    if (ignoreDepth) {
        rci.GLStates->Enable(stDepthTest);
    }
    if (pushedName) {
        glPopName();
    }
    glPopMatrix();
}

void TGLBaseSceneObject::DrawSelfAndChildren(TRenderContextInfo& rci, bool renderSelf,
                                             bool renderChildren) {
    if (renderSelf) {
        if (scene_) {
            scene_->SetCurrentRenderingObject(this);
        }
        DrawGeometry(rci);
    }
    if (renderChildren && Count() > 0) {
        RenderChildRange(0, Count() - 1, rci);
    }
}

std::vector<TGLBaseSceneObject*>
TGLBaseSceneObject::ChildrenInDrawOrder(int first, int last, TGLObjectsSorting sorting,
                                        const TVector& cameraPosition) {
    std::vector<TGLBaseSceneObject*> out;
    first = std::max(first, 0);
    last = std::min(last, Count() - 1);
    if (first > last) {
        return out;
    }
    auto sortedByDistance = [&](std::vector<TGLBaseSceneObject*> objs, bool farthestFirst) {
        if (objs.size() < 2) {
            return objs;
        }
        TSingleList keys;
        for (TGLBaseSceneObject* o : objs) {
            float d2 = VectorDistance2(o->BarycenterPosition(), cameraPosition) + 1;
            keys.Add(farthestFirst ? -d2 : d2);
        }
        QuickSortLists(0, keys.Count() - 1, keys, objs);
        return objs;
    };
    std::vector<TGLBaseSceneObject*> visible;
    for (int i = first; i <= last; ++i) {
        if (children_[i]->Visible()) {
            visible.push_back(children_[i].get());
        }
    }
    switch (sorting) {
    case osRenderFarthestFirst:
        return sortedByDistance(std::move(visible), true);
    case osRenderNearestFirst:
        return sortedByDistance(std::move(visible), false);
    case osRenderBlendedLast: {
        std::vector<TGLBaseSceneObject*> blended;
        for (TGLBaseSceneObject* o : visible) {
            (o->IsBlended() ? blended : out).push_back(o);
        }
        for (TGLBaseSceneObject* o : sortedByDistance(std::move(blended), true)) {
            out.push_back(o);
        }
        return out;
    }
    case osInherited:
    case osNone:
        break;
    }
    return visible;
}

void TGLBaseSceneObject::RenderChildRange(int first, int last, TRenderContextInfo& rci) {
    TGLObjectsSorting savedSorting = rci.objectsSorting;
    TGLVisibilityCulling savedCulling = rci.visibilityCulling;
    if (visibilityCulling_ != vcInherited) {
        rci.visibilityCulling = visibilityCulling_;
    }
    if (objectsSorting_ != osInherited) {
        rci.objectsSorting = objectsSorting_;
    }
    const std::vector<TGLBaseSceneObject*> order =
        ChildrenInDrawOrder(first, last, rci.objectsSorting, rci.cameraPosition);
    if (merged_ && first <= 0 && last >= Count() - 1) {
        merged_->Draw(*this, rci);
    }
    for (TGLBaseSceneObject* child : order) {
        if (child->drawnMerged_) {
            child->drawnMerged_ = false;
        } else {
            child->RenderObject(rci);
        }
    }
    rci.objectsSorting = savedSorting;
    rci.visibilityCulling = savedCulling;
}

void TGLBaseSceneObject::DestroyHandles() {
    DestroyLists();
    if (merged_) {
        merged_->DestroyHandles();
    }
    changes_.Include(ocStructure);
    for (auto& c : children_) {
        c->DestroyHandles();
    }
}

} // namespace hk
