// TGLSphere: a sphere (or a band of one between two latitudes and longitudes) around the
// object's Y axis, with optional caps; the marker sphere of the viewer is one.
#pragma once

#include "primitives/quadrics/quadric_object.h"

namespace hk {

enum TCapType { ctNone, ctCenter, ctFlat };

class TGLSphere : public TGLQuadricObject {
public:
    float Radius() const { return radius_; }
    void SetRadius(float value);
    int Slices() const { return slices_; }
    // Values below 1 are stored as 1.
    void SetSlices(int value);
    int Stacks() const { return stacks_; }
    // Values below 1 are stored as 1.
    void SetStacks(int value);
    // Latitudes in degrees, clamped into [-90, 90].
    int Top() const { return top_; }
    void SetTop(int value);
    int Bottom() const { return bottom_; }
    void SetBottom(int value);
    // Longitudes in degrees, clamped into [0, 360].
    int Start() const { return start_; }
    void SetStart(int value);
    int Stop() const { return stop_; }
    void SetStop(int value);
    TCapType TopCap() const { return topCap_; }
    void SetTopCap(TCapType value);
    TCapType BottomCap() const { return bottomCap_; }
    void SetBottomCap(TCapType value);

    // (|Radius|, |Radius|, |Radius|).
    TVector UnscaledBoxExtents() override;
    void Assign(const TGLBaseSceneObject& source) override;
    // Stacks triangle strips of 2 (Slices + 1) vertices from Top down to Bottom, and the caps
    // that are asked for.
    void EmitGeometry(TRenderContextInfo& rci) override;

private:
    float radius_ = 0.5f;
    int slices_ = 16;
    int stacks_ = 16;
    int top_ = 90;
    int bottom_ = -90;
    int start_ = 0;
    int stop_ = 360;
    TCapType topCap_ = ctNone;
    TCapType bottomCap_ = ctNone;
};

// Sets `sphere` up as the viewer's blinking marker "GLSphere1": radius 0.05, front ambient
// (0.992, 0, 0), otherwise the defaults.
void SetUpMarkerSphere(TGLSphere& sphere);

} // namespace hk
