// The polygon's faces through the GLU tessellator.
#include "primitives/shapes/polygon.h"

#include "engine/vector_geometry.h"
#include "primitives/pipe/cubic_spline.h"

#include <GL/glu.h>

#include <array>
#include <deque>
#include <memory>
#include <vector>

namespace hk {

namespace {

// Vertices the tessellator makes at intersections live here until the face is done. A deque
// keeps their addresses stable however many the tessellator asks for.
struct CombinePool {
    std::deque<TAffineVector> vertices;
};

void GLAPIENTRY OnBegin(GLenum mode) {
    glBegin(mode);
}

void GLAPIENTRY OnVertex(void* data) {
    const auto* v = static_cast<const TAffineVector*>(data);
    glTexCoord2f(v->x, v->y);
    glVertex3fv(&v->x);
}

void GLAPIENTRY OnEnd() {
    glEnd();
}

void GLAPIENTRY OnError(GLenum) {}

void GLAPIENTRY OnCombine(GLdouble coords[3], void* [4], GLfloat[4], void** out, void* user) {
    auto* pool = static_cast<CombinePool*>(user);
    pool->vertices.push_back({float(coords[0]), float(coords[1]), float(coords[2])});
    *out = &pool->vertices.back();
}

struct TessDeleter {
    void operator()(GLUtesselator* t) const { gluDeleteTess(t); }
};

using Callback = void(GLAPIENTRY*)();

// One face through `points` (already in drawing order).
void TessellateFace(const std::vector<TAffineVector>& points, const TAffineVector* normal) {
    if (points.size() < 3) {
        return;
    }
    std::unique_ptr<GLUtesselator, TessDeleter> tess(gluNewTess());
    if (!tess) {
        return;
    }
    CombinePool pool;
    std::vector<TAffineVector> vertices = points;
    std::vector<std::array<GLdouble, 3>> coords(points.size());
    gluTessCallback(tess.get(), GLU_TESS_BEGIN, reinterpret_cast<Callback>(&OnBegin));
    gluTessCallback(tess.get(), GLU_TESS_VERTEX, reinterpret_cast<Callback>(&OnVertex));
    gluTessCallback(tess.get(), GLU_TESS_END, reinterpret_cast<Callback>(&OnEnd));
    gluTessCallback(tess.get(), GLU_TESS_ERROR, reinterpret_cast<Callback>(&OnError));
    gluTessCallback(tess.get(), GLU_TESS_COMBINE_DATA, reinterpret_cast<Callback>(&OnCombine));
    if (normal != nullptr) {
        glNormal3fv(&normal->x);
        gluTessNormal(tess.get(), normal->x, normal->y, normal->z);
    }
    gluTessBeginPolygon(tess.get(), &pool);
    gluTessBeginContour(tess.get());
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        coords[i] = {vertices[i].x, vertices[i].y, vertices[i].z};
        gluTessVertex(tess.get(), coords[i].data(), &vertices[i]);
    }
    gluTessEndContour(tess.get());
    gluTessEndPolygon(tess.get());
}

} // namespace

void TGLPolygon::SetParts(TPolygonParts value) {
    if (value != parts_) {
        parts_ = value;
        StructureChanged();
    }
}

void TGLPolygon::Assign(const TGLBaseSceneObject& source) {
    BeginUpdate();
    if (auto* src = dynamic_cast<const TGLPolygon*>(&source)) {
        SetParts(src->parts_);
    }
    TGLPolygonBase::Assign(source);
    EndUpdate();
}

void TGLPolygon::EmitGeometry(TRenderContextInfo&) {
    const int n = Nodes().Count();
    // Fewer than three nodes enclose no face.
    if (n < 3) {
        return;
    }
    bool hasNormal = false;
    TAffineVector normal;
    const TAffineVector p0 = Nodes()[0].AsAffineVector();
    normal = VectorCrossProduct(VectorSubtract(Nodes()[1].AsAffineVector(), p0),
                                VectorSubtract(Nodes()[2].AsAffineVector(), p0));
    hasNormal = !(normal.x == 0 && normal.y == 0 && normal.z == 0);
    if (hasNormal) {
        normal = VectorNormalize(normal);
    }
    const int divisions = SplineMode() != lsmLines ? Division() : 1;

    std::vector<TAffineVector> points;
    if (divisions > 1) {
        std::vector<float> x(n), y(n), z(n);
        for (int i = 0; i < n; ++i) {
            x[i] = Nodes()[i].X();
            y[i] = Nodes()[i].Y();
            z[i] = Nodes()[i].Z();
        }
        TCubicSpline spline(x.data(), y.data(), z.data(), nullptr, n);
        for (int i = 0; i <= divisions * (n - 1); ++i) {
            points.push_back(spline.SplineAffineVector(float(i) / float(divisions)));
        }
    } else {
        for (int i = 0; i < n; ++i) {
            points.push_back(Nodes()[i].AsAffineVector());
        }
    }
    if (parts_.Contains(ppTop)) {
        TessellateFace(points, hasNormal ? &normal : nullptr);
    }
    if (parts_.Contains(ppBottom)) {
        TAffineVector reversed = VectorScale(normal, -1);
        std::vector<TAffineVector> back(points.rbegin(), points.rend());
        TessellateFace(back, hasNormal ? &reversed : nullptr);
    }
}

} // namespace hk
