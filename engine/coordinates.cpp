// Coordinates set, normalise, stream and report to their owner.
#include "engine/coordinates.h"

#include "engine/scene_object.h"
#include "engine/vector_geometry.h"

namespace hk {

TGLCoordinates::TGLCoordinates(TGLNotifiable* owner, const TVector& value,
                               TGLCoordinatesStyle style)
    : TGLUpdateAbleObject(owner), coords_(value), default_(value), style_(style) {}

void TGLCoordinates::NotifyChange(TGLNotifiable* sender) {
    if (auto* obj = dynamic_cast<TGLBaseSceneObject*>(Owner())) {
        if (!IsUpdating()) {
            obj->VectorPropertyChanged(this);
        }
        return;
    }
    TGLUpdateAbleObject::NotifyChange(sender);
}

void TGLCoordinates::Changed() {
    NotifyChange(this);
}

void TGLCoordinates::SetX(float v) {
    coords_.x = v;
    Changed();
}
void TGLCoordinates::SetY(float v) {
    coords_.y = v;
    Changed();
}
void TGLCoordinates::SetZ(float v) {
    coords_.z = v;
    Changed();
}
void TGLCoordinates::SetW(float v) {
    coords_.w = v;
    Changed();
}

void TGLCoordinates::SetAsVector(const TVector& v) {
    coords_ = v;
    if (style_ == csPoint) {
        coords_.w = 1;
    } else if (style_ == csVector) {
        coords_.w = 0;
    }
    Changed();
}

void TGLCoordinates::SetVector(float x, float y, float z) {
    coords_ = {x, y, z, 0};
    Changed();
}

void TGLCoordinates::SetPoint(float x, float y, float z) {
    coords_ = {x, y, z, 1};
    Changed();
}

void TGLCoordinates::SetVector(float x, float y, float z, float w) {
    coords_ = {x, y, z, w};
    Changed();
}

void TGLCoordinates::SetAsAffineVector(const TAffineVector& v) {
    coords_.x = v.x;
    coords_.y = v.y;
    coords_.z = v.z;
    Changed();
}

void TGLCoordinates::AddOffset(const TAffineVector& d) {
    coords_.x += d.x;
    coords_.y += d.y;
    coords_.z += d.z;
    Changed();
}

void TGLCoordinates::Normalize() {
    coords_ = VectorNormalize(coords_);
    Changed();
}

float TGLCoordinates::VectorLength() const {
    return hk::VectorLength(coords_);
}

void TGLCoordinates::WriteData(TBinaryWriter& w) const {
    w.WriteFloat(coords_.x);
    w.WriteFloat(coords_.y);
    w.WriteFloat(coords_.z);
    w.WriteFloat(coords_.w);
}

void TGLCoordinates::ReadData(TBinaryReader& r) {
    if (r.Remaining() < 16) {
        r.Fail("truncated Coordinates value");
    }
    TVector v;
    v.x = r.ReadFloat();
    v.y = r.ReadFloat();
    v.z = r.ReadFloat();
    v.w = r.ReadFloat();
    coords_ = v;
    Changed();
}

bool TGLCoordinates::NeedsStoring() const {
    return !VectorEquals(coords_, default_);
}

} // namespace hk
