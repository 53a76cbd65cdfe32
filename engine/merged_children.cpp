// Merged drawing of an object's plain solids: membership, recording per material and level,
// and the multi-draw of each frame.
#define GL_GLEXT_PROTOTYPES
#include "engine/merged_children.h"

#include "engine/behaviours.h"
#include "engine/custom_scene_object.h"
#include "engine/material_library.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace hk {
namespace {

// Library links are followed this deep at most (a library refuses cycles anyway).
constexpr int cMaxLinkDepth = 8;

TGLMaterial& EffectiveMaterial(TGLMaterial& material) {
    TGLMaterial* m = &material;
    for (int depth = 0; depth < cMaxLinkDepth && m->LibMaterial() != nullptr; ++depth) {
        m = &m->LibMaterial()->Material();
    }
    return *m;
}

// Triangles stand for the faces only when the faces are filled.
bool FillsFaces(TGLMaterial& material) {
    TGLMaterial& m = EffectiveMaterial(material);
    return m.FrontProperties().PolygonMode() == pmFill &&
           (!m.HasBackProperties() || m.BackProperties().PolygonMode() == pmFill);
}

void PutFace(float* out, const TGLFaceProperties& f) {
    for (const TGLColor* c : {&f.Ambient(), &f.Diffuse(), &f.Emission(), &f.Specular()}) {
        std::memcpy(out, &c->Color().x, 4 * sizeof(float));
        out += 4;
    }
    out[0] = float(f.Shininess());
}

TGLMergedChildren::TMaterialKey KeyOf(TGLMaterial& material) {
    TGLMergedChildren::TMaterialKey key;
    if (material.LibMaterial() != nullptr) {
        // A linked material applies the library's material and nothing of its own.
        key.library = material.LibMaterial();
        return key;
    }
    PutFace(key.values.data(), material.FrontProperties());
    if (material.HasBackProperties()) {
        PutFace(key.values.data() + 17, material.BackProperties());
        key.values[34] = 1;
    }
    key.values[35] = float(material.BlendingMode() + 8 * material.FaceCulling() +
                           64 * int(material.MaterialOptions().Bits()));
    return key;
}

// The child, when it can be drawn merged as it is now.
TGLCustomSceneObject* Mergeable(TGLBaseSceneObject* child) {
    auto* object = dynamic_cast<TGLCustomSceneObject*>(child);
    if (object == nullptr || object->Count() > 0 || object->ShowAxes() ||
        object->ObjectStyle().Contains(osDirectDraw) ||
        object->ObjectStyle().Contains(osIgnoreDepthBuffer) ||
        (object->HasEffects() && object->Effects().Count() > 0) || !object->RecordsGeometry() ||
        !FillsFaces(object->Material())) {
        return nullptr;
    }
    return object;
}

bool SameMatrix(const TMatrix& a, const TMatrix& b) {
    return std::memcmp(&a, &b, sizeof(TMatrix)) == 0;
}

} // namespace

TGLMergedChildren::~TGLMergedChildren() {
    DeleteBuffers();
}

void TGLMergedChildren::DeleteBuffers() {
    for (TGroup& g : groups_) {
        for (TLevel& level : g.levels) {
            if (level.vertexBuffer != 0) {
                glDeleteBuffers(1, &level.vertexBuffer);
            }
            if (level.indexBuffer != 0) {
                glDeleteBuffers(1, &level.indexBuffer);
            }
            level = TLevel{};
        }
    }
    for (TMember& m : members_) {
        m.ranges = {};
    }
}

void TGLMergedChildren::DestroyHandles() {
    DeleteBuffers();
    support_ = -1;
}

bool TGLMergedChildren::Supported() {
    if (support_ < 0) {
        // Buffer objects and multi-draws came with OpenGL 1.5.
        const auto* text = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        int major = 0, minor = 0;
        support_ = text != nullptr && std::sscanf(text, "%d.%d", &major, &minor) == 2 &&
                   (major > 1 || (major == 1 && minor >= 5));
    }
    return support_ == 1;
}

bool TGLMergedChildren::Fresh(const TMember& member) {
    TGLCustomSceneObject& o = *member.object;
    return member.version == o.StructureVersion() && SameMatrix(member.matrix, o.ObjectMatrix()) &&
           Mergeable(&o) != nullptr && KeyOf(o.Material()) == groups_[member.group].key;
}

void TGLMergedChildren::Rebuild(TGLBaseSceneObject& parent) {
    DeleteBuffers();
    members_.clear();
    groups_.clear();
    const int n = parent.Count();
    children_.resize(std::size_t(n));
    memberOfChild_.assign(std::size_t(n), -1);
    for (int i = 0; i < n; ++i) {
        TGLBaseSceneObject* child = parent.Children(i);
        children_[i] = child;
        TGLCustomSceneObject* object = Mergeable(child);
        if (object == nullptr) {
            continue;
        }
        const TMaterialKey key = KeyOf(object->Material());
        auto g = std::find_if(groups_.begin(), groups_.end(),
                              [&key](const TGroup& group) { return group.key == key; });
        if (g == groups_.end()) {
            groups_.push_back(TGroup{key, object->IsBlended(), {}, {}, nullptr});
            g = groups_.end() - 1;
        }
        TMember m;
        m.object = object;
        m.version = object->StructureVersion();
        m.matrix = object->ObjectMatrix();
        m.group = int(g - groups_.begin());
        g->members.push_back(int(members_.size()));
        memberOfChild_[i] = int(members_.size());
        members_.push_back(m);
    }
}

void TGLMergedChildren::Sync(TGLBaseSceneObject& parent) {
    const int n = parent.Count();
    bool same = n == int(children_.size());
    for (int i = 0; same && i < n; ++i) {
        same = parent.Children(i) == children_[i];
    }
    if (!same) {
        Rebuild(parent);
        return;
    }
    // Members that changed and children that could now take part are drawn on their own;
    // when there are many, everything is recorded again.
    int changed = 0;
    for (int i = 0; i < n; ++i) {
        const int m = memberOfChild_[i];
        if (m >= 0) {
            members_[m].fresh = Fresh(members_[m]);
            changed += !members_[m].fresh;
        } else if (children_[i]->Visible() && Mergeable(children_[i]) != nullptr) {
            ++changed;
        }
    }
    if (changed > std::max(32, n / 8)) {
        Rebuild(parent);
    }
}

void TGLMergedChildren::Record(TGroup& group, int level, TRenderContextInfo& rci) {
    TLevel& target = group.levels[level];
    target.recorded = true;
    recorder_.Clear();
    const int savedLevel = rci.detailLevel;
    TGLGeometrySink* savedSink = rci.geometrySink;
    struct TRestore {
        TRenderContextInfo& rci;
        int level;
        TGLGeometrySink* sink;
        ~TRestore() {
            rci.detailLevel = level;
            rci.geometrySink = sink;
        }
    } restore{rci, savedLevel, savedSink};
    rci.detailLevel = level;
    rci.geometrySink = &recorder_;
    for (int index : group.members) {
        TMember& m = members_[index];
        if (!m.fresh) {
            continue; // drawn on its own until everything is recorded again
        }
        const std::size_t vertices = recorder_.Vertices().size();
        const std::size_t indices = recorder_.Indices().size();
        recorder_.SetBase(m.matrix);
        m.object->EmitGeometry(rci);
        if (!recorder_.Ok()) {
            recorder_.Truncate(vertices, indices);
            recorder_.ClearFailure();
            continue;
        }
        m.ranges[level] = {std::uint32_t(indices),
                           std::int32_t(recorder_.Indices().size() - indices)};
    }
    if (recorder_.Indices().empty()) {
        return;
    }
    glGenBuffers(1, &target.vertexBuffer);
    glGenBuffers(1, &target.indexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, target.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER,
                 GLsizeiptr(recorder_.Vertices().size() * sizeof(TGLRecordedVertex)),
                 recorder_.Vertices().data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, target.indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 GLsizeiptr(recorder_.Indices().size() * sizeof(std::uint32_t)),
                 recorder_.Indices().data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    recorder_.Clear();
}

void TGLMergedChildren::Draw(TGLBaseSceneObject& parent, TRenderContextInfo& rci) {
    drawnCount_ = 0;
    drawnGroups_ = 0;
    if (rci.drawState != dsRendering || rci.ignoreMaterials || rci.bypassDisplayLists ||
        rci.GLStates == nullptr || !Supported()) {
        return;
    }
    Sync(parent);
    for (TMember& m : members_) {
        TGLCustomSceneObject& o = *m.object;
        if (!m.fresh || !o.Visible() || (groups_[m.group].blended && !rci.unsortedBlending)) {
            continue;
        }
        if (!o.ChooseFrameDetail(rci)) {
            o.drawnMerged_ = true; // culled
            continue;
        }
        const int level = std::clamp(o.FrameDetailLevel(), 0, cMaxDetailLevel);
        TGroup& g = groups_[m.group];
        if (!g.levels[level].recorded) {
            Record(g, level, rci);
        }
        const TRange& range = m.ranges[level];
        if (range.count < 0) {
            continue;
        }
        TLevel& l = g.levels[level];
        l.counts.push_back(range.count);
        l.offsets.push_back(reinterpret_cast<const void*>(std::uintptr_t(range.first) * 4));
        if (g.drawnBy == nullptr) {
            g.drawnBy = &o;
        }
        o.drawnMerged_ = true;
        ++drawnCount_;
    }
    DrawGroups(rci, false);
}

void TGLMergedChildren::DrawBlended(TRenderContextInfo& rci) {
    if (rci.drawState == dsRendering && rci.unsortedBlending && !groups_.empty()) {
        // Unsorted, a near solid writing depth first would hide the far ones behind it;
        // without depth writes every one shows through, blended in another order only.
        glDepthMask(GL_FALSE);
        DrawGroups(rci, true);
        glDepthMask(GL_TRUE);
    }
}

void TGLMergedChildren::DrawGroups(TRenderContextInfo& rci, bool blended) {
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    for (TGroup& g : groups_) {
        if (g.drawnBy == nullptr || g.blended != blended) {
            continue;
        }
        ++drawnGroups_;
        TGLMaterial& material = g.drawnBy->Material();
        material.ApplyMaterial(rci);
        do {
            for (TLevel& l : g.levels) {
                if (l.counts.empty()) {
                    continue;
                }
                glBindBuffer(GL_ARRAY_BUFFER, l.vertexBuffer);
                glVertexPointer(3, GL_FLOAT, sizeof(TGLRecordedVertex), nullptr);
                glNormalPointer(GL_FLOAT, sizeof(TGLRecordedVertex),
                                reinterpret_cast<const void*>(3 * sizeof(float)));
                glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, l.indexBuffer);
                glMultiDrawElements(GL_TRIANGLES, l.counts.data(), GL_UNSIGNED_INT,
                                    l.offsets.data(), GLsizei(l.counts.size()));
            }
        } while (material.UnapplyMaterial(rci));
        for (TLevel& l : g.levels) {
            l.counts.clear();
            l.offsets.clear();
        }
        g.drawnBy = nullptr;
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glPopClientAttrib();
}

} // namespace hk
