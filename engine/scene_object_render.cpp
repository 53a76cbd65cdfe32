// TGLBaseSceneObject: the scene walk. An object culls itself, pushes its matrix and pick name,
// draws its axes, effects and geometry, then its visible children in the order their sorting
// asks for.
#include "engine/scene_object.h"

#include "engine/behaviours.h"
#include "engine/merged_children.h"
#include "engine/scene.h"
#include "engine/scene_buffer_client.h"
#include "engine/sorting.h"
#include "engine/state_cache.h"
#include "engine/vector_geometry.h"

#include <GL/gl.h>

#include <algorithm>

namespace hk {

void TGLBaseSceneObject::DrawAxes(TRenderContextInfo& rci) {
    float l = rci.buffer ? rci.buffer->CameraDepthOfView() : 100.0f;
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_LINE_BIT | GL_CURRENT_BIT |
                 GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glEnable(GL_LINE_STIPPLE);
    glLineStipple(1, 0xCCCC);
    if (!rci.ignoreBlendingRequests) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glLineWidth(1);
    glBegin(GL_LINES);
    const struct {
        float x, y, z, r, g, b;
    } ends[6] = {{-l, 0, 0, 0.5f, 0, 0}, {l, 0, 0, 1, 0, 0},     {0, -l, 0, 0, 0.5f, 0},
                 {0, l, 0, 0, 1, 0},     {0, 0, -l, 0, 0, 0.5f}, {0, 0, l, 0, 0, 1}};
    for (const auto& e : ends) {
        glColor3f(e.r, e.g, e.b);
        glVertex3f(0, 0, 0);
        glVertex3f(e.x, e.y, e.z);
    }
    glEnd();
    glPopAttrib();
    // The attribute stack restored lighting, blending and stipple behind the cache's back
    // to the values the cache already holds, so it stays valid.
}

bool TGLBaseSceneObject::PassesVisibilityCulling(const TRenderContextInfo& rci) {
    if (objectStyle_.Contains(osNoVisibilityCulling)) {
        return true;
    }
    if (rci.visibilityCulling == vcObjectBased) {
        return !IsVolumeClipped(WorldPosition().Affine(), BoundingRadius(), rci.frustum);
    }
    if (rci.visibilityCulling == vcHierarchical) {
        // The world matrix carries the scale, so the unscaled box is placed with it.
        return !IsVolumeClipped(AABBTransform(UnscaledHierarchyBox(), WorldMatrix()), rci.frustum);
    }
    return true;
}

void TGLBaseSceneObject::SetMergeChildren(bool on) {
    if (on != MergeChildren()) {
        merged_ = on ? std::make_unique<TGLMergedChildren>() : nullptr;
        ReportChange();
    }
}

void TGLBaseSceneObject::RenderObject(TRenderContextInfo& rci) {
    bool kids = Count() > 0;
    if (rci.visibilityCulling == vcHierarchical) {
        kids = kids && PassesVisibilityCulling(rci);
    }
    const bool self = ChooseFrameDetail(rci);
    if (!self && !kids) {
        return;
    }
    glPushMatrix();
    glMultMatrixf(ObjectMatrix().data());
    bool pushedName = false;
    if (rci.drawState == dsPicking && rci.pickNames != nullptr) {
        rci.pickNames->push_back(this);
        auto name = static_cast<GLuint>(rci.pickNames->size());
        if (rci.pushNamesForSubObjects) {
            glPushName(name);
            pushedName = true;
        } else {
            glLoadName(name);
        }
    }
    bool ignoreDepth = objectStyle_.Contains(osIgnoreDepthBuffer) && rci.GLStates && rci.buffer &&
                       rci.buffer->DepthTest();
    if (ignoreDepth) {
        rci.GLStates->Disable(stDepthTest);
    }
    if (self) {
        if (showAxes_) {
            DrawAxes(rci);
        }
        if (effects_ && effects_->Count() > 0) {
            glPushMatrix();
            effects_->RenderBefore(rci);
            glPopMatrix();
            DrawSelfAndChildren(rci, true, kids);
            glPushMatrix();
            effects_->RenderAfter(rci);
            glPopMatrix();
        } else {
            DrawSelfAndChildren(rci, true, kids);
        }
    } else {
        DrawSelfAndChildren(rci, false, true);
    }
    if (ignoreDepth) {
        rci.GLStates->Enable(stDepthTest);
    }
    if (pushedName) {
        glPopName();
    }
    glPopMatrix();
}

void TGLBaseSceneObject::DrawSelfAndChildren(TRenderContextInfo& rci, bool renderSelf,
                                             bool renderChildren) {
    if (renderSelf) {
        if (scene_) {
            scene_->SetCurrentRenderingObject(this);
        }
        DrawGeometry(rci);
    }
    if (renderChildren && Count() > 0) {
        RenderChildRange(0, Count() - 1, rci);
    }
}

std::vector<TGLBaseSceneObject*>
TGLBaseSceneObject::ChildrenInDrawOrder(int first, int last, TGLObjectsSorting sorting,
                                        const TVector& cameraPosition) {
    std::vector<TGLBaseSceneObject*> out;
    first = std::max(first, 0);
    last = std::min(last, Count() - 1);
    if (first > last) {
        return out;
    }
    auto sortedByDistance = [&](std::vector<TGLBaseSceneObject*> objs, bool farthestFirst) {
        if (objs.size() < 2) {
            return objs;
        }
        TSingleList keys;
        for (TGLBaseSceneObject* o : objs) {
            float d2 = VectorDistance2(o->BarycenterPosition(), cameraPosition) + 1;
            keys.Add(farthestFirst ? -d2 : d2);
        }
        QuickSortLists(0, keys.Count() - 1, keys, objs);
        return objs;
    };
    std::vector<TGLBaseSceneObject*> visible;
    for (int i = first; i <= last; ++i) {
        if (children_[i]->Visible()) {
            visible.push_back(children_[i].get());
        }
    }
    switch (sorting) {
    case osRenderFarthestFirst:
        return sortedByDistance(std::move(visible), true);
    case osRenderNearestFirst:
        return sortedByDistance(std::move(visible), false);
    case osRenderBlendedLast: {
        std::vector<TGLBaseSceneObject*> blended;
        for (TGLBaseSceneObject* o : visible) {
            (o->IsBlended() ? blended : out).push_back(o);
        }
        for (TGLBaseSceneObject* o : sortedByDistance(std::move(blended), true)) {
            out.push_back(o);
        }
        return out;
    }
    case osInherited:
    case osNone:
        break;
    }
    return visible;
}

void TGLBaseSceneObject::RenderChildRange(int first, int last, TRenderContextInfo& rci) {
    TGLObjectsSorting savedSorting = rci.objectsSorting;
    TGLVisibilityCulling savedCulling = rci.visibilityCulling;
    if (visibilityCulling_ != vcInherited) {
        rci.visibilityCulling = visibilityCulling_;
    }
    if (objectsSorting_ != osInherited) {
        rci.objectsSorting = objectsSorting_;
    }
    const std::vector<TGLBaseSceneObject*> order =
        ChildrenInDrawOrder(first, last, rci.objectsSorting, rci.cameraPosition);
    if (merged_ && first <= 0 && last >= Count() - 1) {
        merged_->Draw(*this, rci);
    }
    for (TGLBaseSceneObject* child : order) {
        if (child->drawnMerged_) {
            child->drawnMerged_ = false;
        } else {
            child->RenderObject(rci);
        }
    }
    if (merged_ && first <= 0 && last >= Count() - 1) {
        merged_->DrawBlended(rci);
    }
    rci.objectsSorting = savedSorting;
    rci.visibilityCulling = savedCulling;
}

} // namespace hk
