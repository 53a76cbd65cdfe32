// The cube: properties, extents and its quads.
#include "primitives/shapes/cube.h"
#include "engine/geometry_sink.h"
#include "primitives/shape_property.h"

#include "primitives/shapes/assign_scene_object.h"

#include <GL/gl.h>

#include <cmath>

namespace hk {

TGLCube::TGLCube() {
    TGLObjectStyles s = ObjectStyle();
    s.Include(osDirectDraw);
    SetObjectStyle(s);
}

void TGLCube::SetCubeWidth(float value) {
    StoreShapeProperty(*this, width_, value);
}
void TGLCube::SetCubeHeight(float value) {
    StoreShapeProperty(*this, height_, value);
}
void TGLCube::SetCubeDepth(float value) {
    StoreShapeProperty(*this, depth_, value);
}
void TGLCube::SetParts(TCubeParts value) {
    StoreShapeProperty(*this, parts_, value);
}
void TGLCube::SetNormalDirection(TNormalDirection value) {
    StoreShapeProperty(*this, normalDirection_, value);
}

void TGLCube::WriteCubeSize(TBinaryWriter& w) const {
    w.WriteFloat(width_);
    w.WriteFloat(height_);
    w.WriteFloat(depth_);
}

void TGLCube::ReadCubeSize(TBinaryReader& r) {
    // Read whole before any setter runs, so a short stream changes nothing.
    float size[3];
    for (float& v : size) {
        v = r.ReadFloat();
    }
    BeginUpdate();
    SetCubeWidth(size[0]);
    SetCubeHeight(size[1]);
    SetCubeDepth(size[2]);
    EndUpdate();
}

TVector TGLCube::UnscaledBoxExtents() {
    return {width_ * 0.5f, height_ * 0.5f, depth_ * 0.5f, 0};
}

std::optional<TAABB> TGLCube::GeometryBox() {
    const TVector e = UnscaledBoxExtents();
    const TAffineVector m{std::fabs(e.x), std::fabs(e.y), std::fabs(e.z)};
    return TAABB{{-m.x, -m.y, -m.z}, m};
}

void TGLCube::Assign(const TGLBaseSceneObject& source) {
    BeginUpdate();
    if (auto* src = dynamic_cast<const TGLCube*>(&source)) {
        SetCubeWidth(src->width_);
        SetCubeHeight(src->height_);
        SetCubeDepth(src->depth_);
        SetParts(src->parts_);
        SetNormalDirection(src->normalDirection_);
    }
    AssignSceneObject(*this, source);
    EndUpdate();
}

void TGLCube::EmitGeometry(TRenderContextInfo& rci) {
    const float a = width_ * 0.5f, b = height_ * 0.5f, e = depth_ * 0.5f;
    const float n = normalDirection_ == ndOutside ? 1.0f : -1.0f;
    struct Face {
        TCubePart part;
        float normal[3];
        float v[4][5]; // x, y, z, s, t
    };
    const Face faces[6] = {
        {cpFront,
         {0, 0, n},
         {{a, b, e, 1, 1}, {-a, b, e, 0, 1}, {-a, -b, e, 0, 0}, {a, -b, e, 1, 0}}},
        {cpBack,
         {0, 0, -n},
         {{a, b, -e, 0, 1}, {a, -b, -e, 0, 0}, {-a, -b, -e, 1, 0}, {-a, b, -e, 1, 1}}},
        {cpLeft,
         {-n, 0, 0},
         {{-a, b, e, 1, 1}, {-a, b, -e, 0, 1}, {-a, -b, -e, 0, 0}, {-a, -b, e, 1, 0}}},
        {cpRight,
         {n, 0, 0},
         {{a, b, e, 0, 1}, {a, -b, e, 0, 0}, {a, -b, -e, 1, 0}, {a, b, -e, 1, 1}}},
        {cpTop,
         {0, n, 0},
         {{-a, b, -e, 0, 1}, {-a, b, e, 0, 0}, {a, b, e, 1, 0}, {a, b, -e, 1, 1}}},
        {cpBottom,
         {0, -n, 0},
         {{-a, -b, -e, 0, 0}, {a, -b, -e, 1, 0}, {a, -b, e, 1, 1}, {-a, -b, e, 0, 1}}},
    };
    TGLGeometrySink& sink = GeometrySinkOf(rci);
    sink.Begin(GL_QUADS);
    for (const Face& f : faces) {
        if (!parts_.Contains(f.part)) {
            continue;
        }
        sink.Normal(f.normal[0], f.normal[1], f.normal[2]);
        for (const auto& v : f.v) {
            sink.TexCoord(v[3], v[4]);
            sink.Vertex(v[0], v[1], v[2]);
        }
    }
    sink.End();
}

} // namespace hk
