// TGLCoordinates: a homogeneous vector property (position, direction, up, scale, rotation
// angles) that reports each change to its owner. A scene-object owner gets
// VectorPropertyChanged; any other owner the generic change notification.
#pragma once

#include "engine/binary_stream.h"
#include "engine/update_able_object.h"
#include "engine/vector_types.h"

namespace hk {

// Point: w forced to 1 when the vector is set as a whole; vector: w forced to 0; free: w kept.
enum TGLCoordinatesStyle { csPoint, csVector, csUnknown };

class TGLCoordinates : public TGLUpdateAbleObject {
public:
    TGLCoordinates(TGLNotifiable* owner, const TVector& value, TGLCoordinatesStyle style);

    const TVector& AsVector() const { return coords_; }
    TAffineVector GetXYZ() const { return coords_.Affine(); }
    float X() const { return coords_.x; }
    float Y() const { return coords_.y; }
    float Z() const { return coords_.z; }
    float W() const { return coords_.w; }
    TGLCoordinatesStyle Style() const { return style_; }

    void SetX(float v);
    void SetY(float v);
    void SetZ(float v);
    void SetW(float v);
    // Copies all four components, then forces w by the style.
    void SetAsVector(const TVector& v);
    // x, y, z with w = 0 / w = 1, or all four as given. Each replaces the vector.
    void SetVector(float x, float y, float z);
    void SetPoint(float x, float y, float z);
    void SetVector(float x, float y, float z, float w);
    void SetAsAffineVector(const TAffineVector& v);
    void AddOffset(const TAffineVector& delta);
    // Copies the four components without any notification.
    void SetSilently(const TVector& v) { coords_ = v; }
    // x, y, z to unit length, w = 0 (a null vector stays null).
    void Normalize();
    float VectorLength() const;

    // Streamed form "Coordinates": 16 bytes, x, y, z, w little-endian. Reading throws
    // EReadError when fewer than 16 bytes remain and leaves the value unchanged.
    void WriteData(TBinaryWriter& w) const;
    void ReadData(TBinaryReader& r);
    const TVector& DefaultValue() const { return default_; }
    // True when the value differs from the default and so has to be stored.
    bool NeedsStoring() const;

    // Tells the owner (VectorPropertyChanged for a scene object).
    void NotifyChange(TGLNotifiable* sender) override;

private:
    void Changed();

    TVector coords_;
    TVector default_;
    TGLCoordinatesStyle style_;
};

} // namespace hk
