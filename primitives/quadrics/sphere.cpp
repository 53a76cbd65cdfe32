// The sphere: properties, extents, its strips and caps, and the marker set-up.
#include "primitives/quadrics/sphere.h"
#include "primitives/shape_property.h"

#include "engine/state_cache.h"
#include "engine/vector_geometry.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace hk {

namespace {

struct UnitPoint {
    float x, y, z;
};

// Longitude theta, latitude a on the unit sphere: Y is the polar axis, longitude 0 along +Z.
UnitPoint PointAt(double theta, double a) {
    return {float(std::sin(theta) * std::cos(a)), float(std::sin(a)),
            float(std::cos(theta) * std::cos(a))};
}

} // namespace

void TGLSphere::SetRadius(float value) {
    StoreShapeProperty(*this, radius_, value);
}
void TGLSphere::SetSlices(int value) {
    StoreShapeProperty(*this, slices_, std::max(value, 1));
}
void TGLSphere::SetStacks(int value) {
    StoreShapeProperty(*this, stacks_, std::max(value, 1));
}
void TGLSphere::SetTop(int value) {
    StoreShapeProperty(*this, top_, std::clamp(value, -90, 90));
}
void TGLSphere::SetBottom(int value) {
    StoreShapeProperty(*this, bottom_, std::clamp(value, -90, 90));
}
void TGLSphere::SetStart(int value) {
    StoreShapeProperty(*this, start_, std::clamp(value, 0, 360));
}
void TGLSphere::SetStop(int value) {
    StoreShapeProperty(*this, stop_, std::clamp(value, 0, 360));
}
void TGLSphere::SetTopCap(TCapType value) {
    StoreShapeProperty(*this, topCap_, value);
}
void TGLSphere::SetBottomCap(TCapType value) {
    StoreShapeProperty(*this, bottomCap_, value);
}

TVector TGLSphere::UnscaledBoxExtents() {
    const float r = std::fabs(radius_);
    return {r, r, r, 0};
}

void TGLSphere::Assign(const TGLBaseSceneObject& source) {
    BeginUpdate();
    if (auto* src = dynamic_cast<const TGLSphere*>(&source)) {
        SetRadius(src->radius_);
        SetSlices(src->slices_);
        SetStacks(src->stacks_);
        SetTop(src->top_);
        SetBottom(src->bottom_);
        SetStart(src->start_);
        SetStop(src->stop_);
        SetTopCap(src->topCap_);
        SetBottomCap(src->bottomCap_);
    }
    TGLQuadricObject::Assign(source);
    EndUpdate();
}

void TGLSphere::EmitGeometry(TRenderContextInfo& rci) {
    const double top = DegToRad(top_), bottom = DegToRad(bottom_);
    const double start = DegToRad(start_), stop = DegToRad(stop_);
    const double dh = (stop - start) / slices_;
    const double dv = (top - bottom) / stacks_;
    const bool inside = NormalDirection() == ndInside;
    const float sign = inside ? -1.0f : 1.0f;

    glPushAttrib(GL_POLYGON_BIT);
    const bool flipWinding = inside && rci.GLStates != nullptr;
    if (flipWinding) {
        rci.GLStates->SetFrontFaceCW(!rci.GLStates->FrontFaceCW());
    } else if (inside) {
        glFrontFace(GL_CW);
    }
    glPushMatrix();
    glScalef(radius_, radius_, radius_);

    auto cap = [&](double latitude, TCapType type, float normalY, bool fromStop) {
        glBegin(GL_TRIANGLE_FAN);
        glTexCoord2f(0.5f, 0.5f);
        glNormal3f(0, normalY * sign, 0);
        glVertex3f(0, type == ctCenter ? 0.0f : float(std::sin(latitude)), 0);
        for (int k = 0; k <= slices_; ++k) {
            const double theta = fromStop ? stop - k * dh : start + k * dh;
            const UnitPoint p = PointAt(theta, latitude);
            glTexCoord2f(float(std::sin(theta) * 0.5 + 0.5), float(std::cos(theta) * 0.5 + 0.5));
            glVertex3f(p.x, p.y, p.z);
        }
        glEnd();
    };

    if (top_ < 90 && (topCap_ == ctCenter || topCap_ == ctFlat)) {
        cap(top, topCap_, 1, false);
    }
    for (int s = 0; s < stacks_; ++s) {
        const double a0 = top - s * dv, a1 = a0 - dv;
        const float t0 = 1.0f - float(s) / float(stacks_);
        const float t1 = 1.0f - float(s + 1) / float(stacks_);
        glBegin(GL_TRIANGLE_STRIP);
        for (int k = 0; k <= slices_; ++k) {
            const double theta = start + k * dh;
            const float u = float(k) / float(slices_);
            const UnitPoint p0 = PointAt(theta, a0), p1 = PointAt(theta, a1);
            glTexCoord2f(u, t0);
            glNormal3f(p0.x * sign, p0.y * sign, p0.z * sign);
            glVertex3f(p0.x, p0.y, p0.z);
            glTexCoord2f(u, t1);
            glNormal3f(p1.x * sign, p1.y * sign, p1.z * sign);
            glVertex3f(p1.x, p1.y, p1.z);
        }
        glEnd();
    }
    if (bottom_ > -90 && (bottomCap_ == ctCenter || bottomCap_ == ctFlat)) {
        cap(bottom, bottomCap_, -1, true);
    }

    glPopMatrix();
    if (flipWinding) {
        rci.GLStates->SetFrontFaceCW(!rci.GLStates->FrontFaceCW());
    }
    glPopAttrib();
}

void SetUpMarkerSphere(TGLSphere& sphere) {
    sphere.SetName("GLSphere1");
    sphere.SetRadius(0.05f);
    sphere.Material().FrontProperties().Ambient().SetColor(0.992f, 0, 0, 1);
}

} // namespace hk
