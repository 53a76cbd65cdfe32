// The torus: properties, extents and its quad strips.
#include "primitives/quadrics/torus.h"

#include "engine/geometry_sink.h"
#include "engine/vector_types.h"
#include "primitives/detail_level.h"
#include "primitives/shapes/assign_scene_object.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace hk {

void TGLTorus::SetMajorRadius(float value) {
    if (value != majorRadius_) {
        majorRadius_ = value;
        StructureChanged();
    }
}

void TGLTorus::SetMinorRadius(float value) {
    if (value != minorRadius_) {
        minorRadius_ = value;
        StructureChanged();
    }
}

void TGLTorus::SetRings(std::uint32_t value) {
    if (value < 2) {
        value = 2;
    }
    if (value != rings_) {
        rings_ = value;
        StructureChanged();
    }
}

void TGLTorus::SetSides(std::uint32_t value) {
    if (value < 3) {
        value = 3;
    }
    if (value != sides_) {
        sides_ = value;
        StructureChanged();
    }
}

TVector TGLTorus::UnscaledBoxExtents() {
    const float r = std::fabs(majorRadius_) + std::fabs(minorRadius_);
    return {r, r, std::fabs(minorRadius_), 0};
}

std::optional<TAABB> TGLTorus::GeometryBox() {
    const TVector e = UnscaledBoxExtents();
    return TAABB{{-e.x, -e.y, -e.z}, {e.x, e.y, e.z}};
}

int TGLTorus::DetailLevelFor(float pixelsPerUnit) {
    return std::min(RoundDetailLevel(std::fabs(minorRadius_) * pixelsPerUnit),
                    RoundDetailLevel(std::fabs(majorRadius_) * pixelsPerUnit));
}

void TGLTorus::Assign(const TGLBaseSceneObject& source) {
    BeginUpdate();
    if (auto* src = dynamic_cast<const TGLTorus*>(&source)) {
        SetMajorRadius(src->majorRadius_);
        SetMinorRadius(src->minorRadius_);
        SetRings(src->rings_);
        SetSides(src->sides_);
    }
    AssignSceneObject(*this, source);
    EndUpdate();
}

// The ring angle runs clockwise seen from +Z (y = -d sin theta); every strip starts at the tube
// angle one step past 0 and ends a full turn later, closing on itself.
void TGLTorus::EmitGeometry(TRenderContextInfo& rci) {
    const auto rings = std::uint32_t(SegmentsAtLevel(int(rings_), rci.detailLevel));
    const auto sides = std::uint32_t(SegmentsAtLevel(int(sides_), rci.detailLevel));
    const double ringStep = 2 * cPI / rings;
    const double sideStep = 2 * cPI / sides;
    TGLGeometrySink& sink = GeometrySinkOf(rci);
    double cos0 = 1, sin0 = 0, theta0 = 0;
    for (std::int64_t i = std::int64_t(rings) - 1; i >= 0; --i) {
        const double theta1 = theta0 + ringStep;
        const double cos1 = std::cos(theta1), sin1 = std::sin(theta1);
        sink.Begin(GL_QUAD_STRIP);
        double phi = 0;
        for (std::int64_t j = sides; j >= 0; --j) {
            phi += sideStep;
            const double cp = std::cos(phi), sp = std::sin(phi);
            const double d = minorRadius_ * cp + majorRadius_;
            const float t = float(double(j) / sides);
            sink.TexCoord(float(double(i) / rings), t);
            sink.Normal(float(cos1 * cp), float(-sin1 * cp), float(sp));
            sink.Vertex(float(d * cos1), float(-d * sin1), float(minorRadius_ * sp));
            sink.TexCoord(float(double(i + 1) / rings), t);
            sink.Normal(float(cos0 * cp), float(-sin0 * cp), float(sp));
            sink.Vertex(float(d * cos0), float(-d * sin0), float(minorRadius_ * sp));
        }
        sink.End();
        theta0 = theta1;
        cos0 = cos1;
        sin0 = sin1;
    }
}

} // namespace hk
