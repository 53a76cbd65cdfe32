// TGLTorus: a ring around the object's Z axis in its XY plane, emitted as one quad strip per
// ring step.
#pragma once

#include "engine/custom_scene_object.h"

#include <cstdint>

namespace hk {

class TGLTorus : public TGLCustomSceneObject {
public:
    float MajorRadius() const { return majorRadius_; }
    void SetMajorRadius(float value);
    float MinorRadius() const { return minorRadius_; }
    void SetMinorRadius(float value);
    std::uint32_t Rings() const { return rings_; }
    // Values below 2 are stored as 2.
    void SetRings(std::uint32_t value);
    std::uint32_t Sides() const { return sides_; }
    // Values below 3 are stored as 3.
    void SetSides(std::uint32_t value);

    // (|Major|+|Minor|, |Major|+|Minor|, |Minor|).
    TVector UnscaledBoxExtents() override;
    // From a torus: the radii, rings and sides; then the scene-object part.
    virtual void Assign(const TGLBaseSceneObject& source);
    void EmitGeometry(TRenderContextInfo& rci) override;
    std::optional<TAABB> GeometryBox() override;
    // Coarser levels draw fewer rings and sides, by the finer of the tube and the ring.
    int DetailLevelFor(float pixelsPerUnit) override;
    bool RecordsGeometry() override { return true; }

private:
    float majorRadius_ = 0.4f;
    float minorRadius_ = 0.1f;
    std::uint32_t rings_ = 25;
    std::uint32_t sides_ = 15;
};

} // namespace hk
