// Highlight of a clash's two objects through their own materials.
#include "app/clash_highlight.h"

#include "collision/collision_behaviour.h"
#include "engine/behaviours.h"
#include "engine/custom_scene_object.h"
#include "engine/material.h"
#include "engine/material_library.h"

namespace hk {
namespace {

bool Collides(TGLBaseSceneObject& object) {
    return object.HasBehaviours() && object.Behaviours().GetByClass<TGLBCollision>() != nullptr;
}

// Opaque and glowing in `colour`, lit in a darker shade of it, whatever the group's colour.
void Mark(TGLMaterial& material, const TColorVector& colour) {
    const auto shade = [&colour](float k) {
        return TColorVector{colour.x * k, colour.y * k, colour.z * k, 1};
    };
    material.FrontProperties().Emission().SetColor(colour);
    material.FrontProperties().Diffuse().SetColor(shade(0.6f));
    material.FrontProperties().Ambient().SetColor(shade(0.2f));
    material.SetBlendingMode(bmOpaque);
}

} // namespace

TClashHighlight::TClashHighlight(TGLBaseSceneObject& modelRoot) : root_(modelRoot) {}

// The objects may already be gone with the scene: nothing is given back.
TClashHighlight::~TClashHighlight() = default;

void TClashHighlight::Select(int lineA, int lineB) {
    Restore();
    lineA_ = lineA;
    lineB_ = lineB;
    Apply();
}

void TClashHighlight::Clear() {
    Select(0, 0);
}

void TClashHighlight::SetDimOthers(bool on) {
    if (on == dimOthers_)
        return;
    Restore();
    dimOthers_ = on;
    Apply();
}

void TClashHighlight::BeforeRebuild() {
    saved_.clear();
    highlighted_.clear();
}

void TClashHighlight::AfterRebuild() {
    Apply();
}

std::vector<int> TClashHighlight::HighlightedLines() const {
    return highlighted_;
}

TGLMaterial& TClashHighlight::TakeOver(TGLCustomSceneObject& object) {
    TGLMaterial& material = object.Material();
    auto copy = std::make_unique<TGLMaterial>(nullptr);
    copy->Assign(material);
    saved_.push_back({&object, std::move(copy)});
    if (TGLLibMaterial* lib = material.LibMaterial()) {
        material.FrontProperties().Assign(lib->Material().FrontProperties());
        material.SetBlendingMode(lib->Material().BlendingMode());
    }
    material.SetMaterialLibrary(nullptr);
    material.SetLibMaterialName({});
    return material;
}

void TClashHighlight::Apply() {
    highlighted_.clear();
    if (lineA_ == 0 && lineB_ == 0)
        return;
    std::vector<TGLCustomSceneObject*> others;
    std::vector<int> linesA, linesB;
    for (int i = 0; i < root_.Count(); ++i) {
        auto* object = dynamic_cast<TGLCustomSceneObject*>(root_.Children(i));
        if (!object)
            continue;
        const int tag = object->Tag();
        const bool isA = tag == lineA_ && lineA_ != 0 && Collides(*object);
        const bool isB = tag == lineB_ && lineB_ != 0 && Collides(*object);
        if (isA || isB) {
            Mark(TakeOver(*object), isA ? cClashColourA : cClashColourB);
            (isA ? linesA : linesB).push_back(tag);
        } else if (dimOthers_) {
            others.push_back(object);
        }
    }
    for (TGLCustomSceneObject* object : others) {
        TGLMaterial& material = TakeOver(*object);
        material.FrontProperties().Diffuse().SetAlpha(cDimmedAlpha);
        material.SetBlendingMode(bmTransparency);
    }
    highlighted_ = linesA;
    highlighted_.insert(highlighted_.end(), linesB.begin(), linesB.end());
}

void TClashHighlight::Restore() {
    for (TSaved& s : saved_)
        s.object->Material().Assign(*s.material);
    saved_.clear();
    highlighted_.clear();
}

} // namespace hk
