// Picking: the pick list and the buffer's selection-mode pass.
#include "engine/picking.h"

#include "engine/camera.h"
#include "engine/scene.h"
#include "engine/scene_buffer.h"

#include <GL/gl.h>

#include <algorithm>
#include <cctype>
#include <limits>

namespace hk {

namespace {

// Beyond this the selection buffer stops growing and the pick reports nothing; no drawing of the
// viewer puts that many names under one pick window.
constexpr int cMaxSelectionCapacity = 1 << 22;

bool NameLess(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
}

float WindowDepth(GLuint raw) {
    return float(double(raw >> 1) / double(std::numeric_limits<std::int32_t>::max()));
}

} // namespace

// ---- pick list -----------------------------------------------------------------------------

bool TGLPickList::Before(const TPickRecord& a, const TPickRecord& b) const {
    switch (sortType_) {
    case psName:
        return NameLess(a.AObject ? a.AObject->Name() : std::string(),
                        b.AObject ? b.AObject->Name() : std::string());
    case psMinDepth:
        return a.ZMin - b.ZMin < 0;
    case psMaxDepth:
        return a.ZMax - b.ZMax < 0;
    case psDefault:
        break;
    }
    return false;
}

void TGLPickList::AddHit(TGLBaseSceneObject* obj, const TPickSubObjects& subObjects, float zMin,
                         float zMax) {
    TPickRecord rec{obj, subObjects, zMin, zMax};
    // The list is always sorted, so inserting after the equal ones gives what a stable re-sort
    // of the whole list would.
    auto at = sortType_ == psDefault
                  ? records_.end()
                  : std::upper_bound(records_.begin(), records_.end(), rec,
                                     [this](const TPickRecord& a, const TPickRecord& b) {
                                         return Before(a, b);
                                     });
    records_.insert(at, std::move(rec));
}

TGLBaseSceneObject* TGLPickList::Hit(int i) const {
    if (i < 0 || i >= Count()) {
        return nullptr;
    }
    return records_[std::size_t(i)].AObject;
}

// ---- buffer side ---------------------------------------------------------------------------

TGLBaseSceneObject* TGLSceneBuffer::PickedObjectAt(int x, int y) {
    std::unique_ptr<TGLPickList> list = PickRegion({x - 1, y - 1, x + 1, y + 1}, 64);
    return list->Count() > 0 ? list->Hit(0) : nullptr;
}

std::unique_ptr<TGLPickList> TGLSceneBuffer::PickRegion(const TRect& rect, int objectCountGuess) {
    auto list = std::make_unique<TGLPickList>(psMinDepth);
    CollectPickHits(rect, *list, objectCountGuess);
    return list;
}

void TGLSceneBuffer::CollectPickHits(const TRect& rect, TGLPickList& list, int objectCountGuess) {
    if (camera_ == nullptr || camera_->Scene() == nullptr || !context_ || rendering_) {
        return;
    }
    TGLScene& scene = *camera_->Scene();
    context_->Activate();
    rendering_ = true;
    const TMatrix savedProjection = projectionMatrix_;
    std::vector<GLuint> selection;
    std::vector<TGLBaseSceneObject*> names;
    GLint hits = -1;
    try {
        PrepareMatrices(viewport_, renderDPI_, &rect);
        int n = std::max(objectCountGuess, 8);
        while (hits < 0) {
            if (n > cMaxSelectionCapacity) {
                break;
            }
            n *= 2;
            selection.assign(std::size_t(n) * 4, 0);
            names.clear();
            glSelectBuffer(GLsizei(selection.size()), selection.data());
            glRenderMode(GL_SELECT);
            glInitNames();
            glPushName(0);
            renderDPI_ = 96;
            RenderWalk(scene, scene.Objects(), dsPicking, &names);
            glFlush();
            hits = glRenderMode(GL_RENDER);
        }
    } catch (...) {
        glRenderMode(GL_RENDER);
        projectionMatrix_ = savedProjection;
        rendering_ = false;
        context_->Deactivate();
        throw;
    }
    projectionMatrix_ = savedProjection;
    rendering_ = false;
    context_->Deactivate();

    list.Clear();
    list.Reserve(std::max(hits, 0));
    // Each record: name count k, minimum and maximum depth, then k names. OpenGL writes whole
    // records only, but every read is still checked against the buffer's end.
    std::size_t at = 0;
    for (GLint h = 0; h < hits; ++h) {
        if (at + 3 > selection.size()) {
            break;
        }
        const GLuint k = selection[at];
        const float zMin = WindowDepth(selection[at + 1]);
        const float zMax = WindowDepth(selection[at + 2]);
        at += 3;
        if (k > selection.size() - at) {
            break;
        }
        const GLuint first = k > 0 ? selection[at] : 0;
        TPickSubObjects subObjects;
        for (GLuint j = 1; j < k; ++j) {
            subObjects.push_back(std::int32_t(selection[at + j]));
        }
        at += k;
        // Name 0 stands for no object; names are positions in this pick's table of drawn
        // objects, never addresses.
        if (first >= 1 && first <= names.size()) {
            list.AddHit(names[first - 1], subObjects, zMin, zMax);
        }
    }
}

} // namespace hk
