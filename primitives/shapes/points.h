// TGLPoints: point markers drawn from client arrays in one call each frame, with square, round,
// smooth and additive styles and optional distance-attenuated sizes.
#pragma once

#include "engine/scene_object.h"
#include "engine/vector_lists.h"

namespace hk {

enum TGLPointStyle { psSquare, psRound, psSmooth, psSmoothAdditive, psSquareAdditive };

// Distance attenuation of point sizes (needs point parameters from OpenGL 1.4 or the ARB
// extension; without them nothing is applied).
class TGLPointParameters {
public:
    bool Enabled = false;
    float MinSize = 0;
    float MaxSize = 128;
    float FadeThresholdSize = 1;
    // Constant, linear and quadratic terms.
    TAffineVector DistanceAttenuation{1, 0, 0};

    void Apply() const;
    // Back to the OpenGL defaults.
    void UnApply() const;
};

class TGLPoints : public TGLImmaterialSceneObject {
public:
    // Direct drawing and no visibility culling.
    TGLPoints();

    // Changing either list directly needs StructureChanged() afterwards.
    TAffineVectorList& Positions() { return positions_; }
    TVectorList& Colors() { return colors_; }
    void SetPositions(const TAffineVectorList& value);
    void SetColors(const TVectorList& value);

    float Size() const { return size_; }
    void SetSize(float value);
    TGLPointStyle Style() const { return style_; }
    void SetStyle(TGLPointStyle value);
    bool NoZWrite() const { return noZWrite_; }
    void SetNoZWrite(bool value);
    // True compiles the points into a display list; false draws them directly.
    bool Static() const { return !ObjectStyle().Contains(osDirectDraw); }
    void SetStatic(bool value);
    TGLPointParameters& PointParameters() { return pointParameters_; }

    virtual void Assign(const TGLBaseSceneObject& source);
    // Without positions one point at the origin; with several colours no more points than
    // colours.
    void EmitGeometry(TRenderContextInfo& rci) override;

private:
    TAffineVectorList positions_;
    TVectorList colors_;
    float size_ = 1.0f;
    TGLPointStyle style_ = psSquare;
    bool noZWrite_ = false;
    TGLPointParameters pointParameters_;
};

} // namespace hk
