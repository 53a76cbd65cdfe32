// TGLLightSource: a light the render pass loads into an OpenGL light unit (GL_LIGHT0 + its
// scene slot). It draws nothing itself, is never hit by a ray and has no display list.
#pragma once

#include "engine/coordinates.h"
#include "engine/scene_object.h"

namespace hk {

enum TLightStyle { lsSpot, lsOmni, lsParallel };

class TGLLightSource : public TGLImmaterialSceneObject {
public:
    TGLLightSource();

    bool Shining() const { return shining_; }
    void SetShining(bool v);
    // A direction (w = 0); for lsParallel it is the light's position sent to OpenGL.
    TGLCoordinates& SpotDirection() { return spotDirection_; }
    const TGLCoordinates& SpotDirection() const { return spotDirection_; }
    float ConstAttenuation() const { return constAttenuation_; }
    void SetConstAttenuation(float v);
    float LinearAttenuation() const { return linearAttenuation_; }
    void SetLinearAttenuation(float v);
    float QuadraticAttenuation() const { return quadraticAttenuation_; }
    void SetQuadraticAttenuation(float v);
    float SpotCutOff() const { return spotCutOff_; }
    // Accepts values in [0, 90] and exactly 180, as OpenGL does; anything else is ignored.
    void SetSpotCutOff(float v);
    float SpotExponent() const { return spotExponent_; }
    void SetSpotExponent(float v);
    TLightStyle LightStyle() const { return lightStyle_; }
    void SetLightStyle(TLightStyle v);
    const TColorVector& Ambient() const { return ambient_; }
    void SetAmbient(const TColorVector& c);
    const TColorVector& Diffuse() const { return diffuse_; }
    void SetDiffuse(const TColorVector& c);
    const TColorVector& Specular() const { return specular_; }
    void SetSpecular(const TColorVector& c);

    // GL_LIGHT0 + the scene slot; 0 when the light has no slot (outside a scene, or a ninth
    // light).
    unsigned LightID() const;

    bool IsLightSource() const override { return true; }
    bool RayHit(const TVector& rayStart, const TVector& rayVector, TVector* hitPoint,
                TVector* hitNormal) override;
    void DrawSelfAndChildren(TRenderContextInfo& rci, bool renderSelf,
                             bool renderChildren) override;
    void VectorPropertyChanged(TGLCoordinates* sender) override;

private:
    template <class T> void Store(T& field, const T& value);

    bool shining_ = true;
    TGLCoordinates spotDirection_;
    float constAttenuation_ = 1;
    float linearAttenuation_ = 0;
    float quadraticAttenuation_ = 0;
    float spotCutOff_ = 180;
    float spotExponent_ = 0;
    TLightStyle lightStyle_ = lsSpot;
    TColorVector ambient_{0, 0, 0, 1};
    TColorVector diffuse_{1, 1, 1, 1};
    TColorVector specular_{0, 0, 0, 1};
};

} // namespace hk
