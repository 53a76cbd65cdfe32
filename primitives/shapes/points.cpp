// Points from client arrays.
#define GL_GLEXT_PROTOTYPES
#include "primitives/shapes/points.h"
#include "primitives/shape_property.h"

#include "primitives/shapes/assign_scene_object.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace hk {

namespace {

bool HasExtension(const char* name) {
    const auto* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return list != nullptr && std::strstr(list, name) != nullptr;
}

bool HasPointParameters() {
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int major = 0, minor = 0;
    if (version != nullptr && std::sscanf(version, "%d.%d", &major, &minor) == 2 &&
        (major > 1 || (major == 1 && minor >= 4))) {
        return true;
    }
    return HasExtension("GL_ARB_point_parameters");
}

// Locking pays off only for larger arrays.
constexpr int cLockArraysAbove = 64;

} // namespace

void TGLPointParameters::Apply() const {
    if (!Enabled || !HasPointParameters()) {
        return;
    }
    glPointParameterf(GL_POINT_SIZE_MIN, MinSize);
    glPointParameterf(GL_POINT_SIZE_MAX, MaxSize);
    glPointParameterf(GL_POINT_FADE_THRESHOLD_SIZE, FadeThresholdSize);
    glPointParameterfv(GL_POINT_DISTANCE_ATTENUATION, &DistanceAttenuation.x);
}

void TGLPointParameters::UnApply() const {
    if (!Enabled || !HasPointParameters()) {
        return;
    }
    const float none[3] = {1, 0, 0};
    glPointParameterf(GL_POINT_SIZE_MIN, 0);
    glPointParameterf(GL_POINT_SIZE_MAX, 128);
    glPointParameterf(GL_POINT_FADE_THRESHOLD_SIZE, 1);
    glPointParameterfv(GL_POINT_DISTANCE_ATTENUATION, none);
}

TGLPoints::TGLPoints() {
    TGLObjectStyles s = ObjectStyle();
    s.Include(osDirectDraw);
    s.Include(osNoVisibilityCulling);
    SetObjectStyle(s);
}

void TGLPoints::SetPositions(const TAffineVectorList& value) {
    positions_.Assign(value);
    StructureChanged();
}

void TGLPoints::SetColors(const TVectorList& value) {
    colors_.Assign(value);
    StructureChanged();
}

void TGLPoints::SetSize(float value) {
    StoreShapeProperty(*this, size_, value);
}
void TGLPoints::SetStyle(TGLPointStyle value) {
    StoreShapeProperty(*this, style_, value);
}
void TGLPoints::SetNoZWrite(bool value) {
    StoreShapeProperty(*this, noZWrite_, value);
}

void TGLPoints::SetStatic(bool value) {
    if (value != Static()) {
        TGLObjectStyles s = ObjectStyle();
        s.Set(osDirectDraw, !value);
        SetObjectStyle(s);
        StructureChanged();
    }
}

void TGLPoints::Assign(const TGLBaseSceneObject& source) {
    BeginUpdate();
    if (auto* src = dynamic_cast<const TGLPoints*>(&source)) {
        SetPositions(src->positions_);
        SetColors(src->colors_);
        SetSize(src->size_);
        SetStyle(src->style_);
        SetNoZWrite(src->noZWrite_);
        SetStatic(src->Static());
        pointParameters_ = src->pointParameters_;
    }
    AssignSceneObject(*this, source);
    EndUpdate();
}

void TGLPoints::EmitGeometry(TRenderContextInfo&) {
    int count = positions_.Count();
    const int colorCount = colors_.Count();
    if (colorCount == 0) {
        glColor4f(1, 1, 1, 1);
    } else if (colorCount == 1) {
        glColor4fv(&colors_.List()[0].x);
    } else {
        glColorPointer(4, GL_FLOAT, 0, colors_.List());
        glEnableClientState(GL_COLOR_ARRAY);
        count = std::min(count, colorCount);
    }
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);
    static const float origin[3] = {0, 0, 0};
    if (positions_.Count() == 0) {
        glVertexPointer(3, GL_FLOAT, 0, origin);
        // A single point at the origin, coloured by the first colour when there are several.
        count = 1;
    } else {
        glVertexPointer(3, GL_FLOAT, 0, positions_.List());
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    if (noZWrite_) {
        glDepthMask(GL_FALSE);
    }
    glPointSize(size_);
    pointParameters_.Apply();
    const bool lock = count > cLockArraysAbove && HasExtension("GL_EXT_compiled_vertex_array");
    if (lock) {
        glLockArraysEXT(0, count);
    }
    switch (style_) {
    case psSquare:
        glDisable(GL_BLEND);
        break;
    case psRound:
        glEnable(GL_POINT_SMOOTH);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.5f);
        glDisable(GL_BLEND);
        break;
    case psSmooth:
        glEnable(GL_POINT_SMOOTH);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_NOTEQUAL, 0);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        break;
    case psSmoothAdditive:
        glEnable(GL_POINT_SMOOTH);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_NOTEQUAL, 0);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        break;
    case psSquareAdditive:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        break;
    }
    glDrawArrays(GL_POINTS, 0, count);
    if (lock) {
        glUnlockArraysEXT();
    }
    pointParameters_.UnApply();
    if (noZWrite_) {
        glDepthMask(GL_TRUE);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glPopAttrib();
    glAlphaFunc(GL_GREATER, 0);
}

} // namespace hk
