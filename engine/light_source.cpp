// Light source properties; the render pass reads them in SetupLights.
#include "engine/light_source.h"

#include "engine/scene.h"
#include "engine/vector_geometry.h"

#include <GL/gl.h>

#include <type_traits>

namespace hk {

TGLLightSource::TGLLightSource() : spotDirection_(this, {0, 0, -1, 0}, csVector) {}

template <class T> void TGLLightSource::Store(T& field, const T& value) {
    if constexpr (std::is_same_v<T, TColorVector>) {
        if (VectorEquals(field, value) && field.w == value.w) {
            return;
        }
    } else if (field == value) {
        return;
    }
    field = value;
    NotifyChange(this);
}

void TGLLightSource::SetShining(bool v) {
    Store(shining_, v);
}
void TGLLightSource::SetConstAttenuation(float v) {
    Store(constAttenuation_, v);
}
void TGLLightSource::SetLinearAttenuation(float v) {
    Store(linearAttenuation_, v);
}
void TGLLightSource::SetQuadraticAttenuation(float v) {
    Store(quadraticAttenuation_, v);
}
void TGLLightSource::SetSpotCutOff(float v) {
    if ((v >= 0 && v <= 90) || v == 180) {
        Store(spotCutOff_, v);
    }
}
void TGLLightSource::SetSpotExponent(float v) {
    Store(spotExponent_, v);
}
void TGLLightSource::SetLightStyle(TLightStyle v) {
    Store(lightStyle_, v);
}
void TGLLightSource::SetAmbient(const TColorVector& c) {
    Store(ambient_, c);
}
void TGLLightSource::SetDiffuse(const TColorVector& c) {
    Store(diffuse_, c);
}
void TGLLightSource::SetSpecular(const TColorVector& c) {
    Store(specular_, c);
}

unsigned TGLLightSource::LightID() const {
    int slot = Scene() != nullptr ? Scene()->LightSlotOf(this) : -1;
    return slot < 0 ? 0u : unsigned(GL_LIGHT0 + slot);
}

bool TGLLightSource::RayHit(const TVector&, const TVector&, TVector*, TVector*) {
    return false;
}

void TGLLightSource::DrawSelfAndChildren(TRenderContextInfo& rci, bool, bool renderChildren) {
    if (renderChildren && Count() > 0) {
        RenderChildRange(0, Count() - 1, rci);
    }
}

void TGLLightSource::VectorPropertyChanged(TGLCoordinates* sender) {
    if (sender == &spotDirection_) {
        NotifyChange(this);
        return;
    }
    TGLImmaterialSceneObject::VectorPropertyChanged(sender);
}

} // namespace hk
