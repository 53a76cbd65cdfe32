// Camera invariance, the dummy cube's wireframe box and amalgamated children.
#include "primitives/shapes/dummy_cube.h"

#include "engine/vector_geometry.h"
#include "primitives/shapes/assign_scene_object.h"
#include "primitives/shapes/wire_figures.h"

#include <GL/gl.h>

#include <cmath>

namespace hk {

// ---- camera invariance -------------------------------------------------------------------

void TGLCameraInvariantObject::SetCamInvarianceMode(TGLCameraInvarianceMode value) {
    if (value != camInvarianceMode_) {
        camInvarianceMode_ = value;
        NotifyChange(this);
    }
}

void TGLCameraInvariantObject::DrawSelfAndChildren(TRenderContextInfo& rci, bool renderSelf,
                                                   bool renderChildren) {
    if (camInvarianceMode_ == cimNone) {
        DrawInvariant(rci, renderSelf, renderChildren);
        return;
    }
    glPushMatrix();
    TMatrix m;
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    if (camInvarianceMode_ == cimPosition) {
        m[3] = {0, 0, 0, 1};
    } else {
        // Keep the place and the lengths of the axes, drop the rotation.
        const float sx = VectorLength(m[0].Affine()), sy = VectorLength(m[1].Affine()),
                    sz = VectorLength(m[2].Affine());
        m[0] = {sx, 0, 0, 0};
        m[1] = {0, sy, 0, 0};
        m[2] = {0, 0, sz, 0};
    }
    glLoadMatrixf(m.data());
    DrawInvariant(rci, renderSelf, renderChildren);
    glPopMatrix();
}

void TGLCameraInvariantObject::DrawInvariant(TRenderContextInfo& rci, bool renderSelf,
                                             bool renderChildren) {
    TGLImmaterialSceneObject::DrawSelfAndChildren(rci, renderSelf, renderChildren);
}

// ---- dummy cube --------------------------------------------------------------------------

TGLDummyCube::TGLDummyCube() : edgeColor_(this, clrWhite) {
    edgeColor_.SetColor(clrWhite);
    TGLObjectStyles s = ObjectStyle();
    s.Include(osDirectDraw);
    SetObjectStyle(s);
}

void TGLDummyCube::SetCubeSize(float value) {
    if (value != cubeSize_) {
        cubeSize_ = value;
        StructureChanged();
    }
}

void TGLDummyCube::SetVisibleAtRunTime(bool value) {
    if (value != visibleAtRunTime_) {
        visibleAtRunTime_ = value;
        StructureChanged();
    }
}

void TGLDummyCube::SetAmalgamate(bool value) {
    if (value != amalgamate_) {
        amalgamate_ = value;
        amalgamatedValid_ = false;
        StructureChanged();
    }
}

TVector TGLDummyCube::UnscaledBoxExtents() {
    const float h = std::fabs(cubeSize_) * 0.5f;
    return {h, h, h, 0};
}

bool TGLDummyCube::RayHit(const TVector&, const TVector&, TVector*, TVector*) {
    return false;
}

TVector TGLDummyCube::BarycenterPosition() {
    if (Count() == 0) {
        return TGLCameraInvariantObject::BarycenterPosition();
    }
    TVector sum{0, 0, 0, 0};
    for (int i = 0; i < Count(); ++i) {
        sum = VectorAdd(sum, Children(i)->BarycenterPosition());
    }
    TVector mean = VectorScale(sum, 1.0f / float(Count()));
    mean.w = 1;
    return mean;
}

void TGLDummyCube::Assign(const TGLBaseSceneObject& source) {
    BeginUpdate();
    if (auto* src = dynamic_cast<const TGLDummyCube*>(&source)) {
        SetCubeSize(src->cubeSize_);
        SetEdgeColor(src->edgeColor_.Color());
        SetVisibleAtRunTime(src->visibleAtRunTime_);
        SetAmalgamate(src->amalgamate_);
        SetCamInvarianceMode(src->CamInvarianceMode());
        OnVisibilityDetermination = src->OnVisibilityDetermination;
    }
    AssignSceneObject(*this, source);
    EndUpdate();
}

void TGLDummyCube::EmitGeometry(TRenderContextInfo& rci) {
    if (visibleAtRunTime_) {
        DrawWireframeBox(rci, cubeSize_, edgeColor_.Color(), true);
    }
}

void TGLDummyCube::DestroyHandles() {
    amalgamatedList_.DestroyHandle();
    amalgamatedValid_ = false;
    TGLCameraInvariantObject::DestroyHandles();
}

void TGLDummyCube::DrawInvariant(TRenderContextInfo& rci, bool renderSelf, bool renderChildren) {
    if (OnVisibilityDetermination && !OnVisibilityDetermination(this, rci)) {
        return;
    }
    // Picking needs each child under its own name, so it walks the children as usual.
    if (!amalgamate_ || rci.drawState == dsPicking || !renderChildren) {
        TGLCameraInvariantObject::DrawInvariant(rci, renderSelf, renderChildren);
        return;
    }
    if (renderSelf) {
        EmitGeometry(rci);
    }
    if (Changes().Contains(ocStructure)) {
        amalgamatedValid_ = false;
        ClearStructureChanged();
    }
    if (!amalgamatedValid_) {
        unsigned list = amalgamatedList_.AllocateHandle();
        if (list == 0) {
            TGLCameraInvariantObject::DrawInvariant(rci, false, true);
            return;
        }
        glNewList(list, GL_COMPILE);
        const bool bypass = rci.bypassDisplayLists;
        rci.bypassDisplayLists = true;
        TGLCameraInvariantObject::DrawInvariant(rci, false, true);
        rci.bypassDisplayLists = bypass;
        glEndList();
        amalgamatedValid_ = true;
    }
    glCallList(amalgamatedList_.Handle());
}

} // namespace hk
