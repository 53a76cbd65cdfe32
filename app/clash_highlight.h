// TClashHighlight: marks the two objects of the selected clash in the 3D view, A and B each in
// an emissive colour of its own, and on request dims every other built object. Only the built
// objects' own materials change, and each is given back as it was: group materials, group
// colours and the library's materials ("MatSurface") are never touched.
#pragma once

#include "engine/vector_types.h"

#include <memory>
#include <vector>

namespace hk {

class TGLBaseSceneObject;
class TGLCustomSceneObject;
class TGLMaterial;

// Emission of object A and of object B of a highlighted clash.
inline constexpr TColorVector cClashColourA{1.0f, 0.25f, 0.0f, 1.0f};
inline constexpr TColorVector cClashColourB{0.0f, 0.55f, 1.0f, 1.0f};
// Diffuse alpha of the other objects while they are dimmed.
inline constexpr float cDimmedAlpha = 0.12f;

class TClashHighlight {
public:
    // modelRoot holds the built objects (GLDummyCube1); it outlives the highlight.
    explicit TClashHighlight(TGLBaseSceneObject& modelRoot);
    TClashHighlight(const TClashHighlight&) = delete;
    TClashHighlight& operator=(const TClashHighlight&) = delete;
    ~TClashHighlight();

    // Highlights the built objects with a collision behaviour whose Tag is lineA (A) or lineB
    // (B); 0 or a line with no such object highlights nothing on that side. Gives back what
    // an earlier selection changed first.
    void Select(int lineA, int lineB);
    // Gives every changed material back; the selection is empty.
    void Clear();
    // "他を半透明": while on and a clash is selected, every other built object is dimmed.
    void SetDimOthers(bool on);
    bool DimOthers() const { return dimOthers_; }

    // Before a rebuild frees the built objects: drops the saved materials without giving
    // them back (their objects are going). AfterRebuild applies the selection to the new
    // objects with the same Tags.
    void BeforeRebuild();
    void AfterRebuild();

    // The Tags of the highlighted objects, A's first; empty without a selection.
    std::vector<int> HighlightedLines() const;

private:
    struct TSaved {
        TGLCustomSceneObject* object;
        std::unique_ptr<TGLMaterial> material;
    };

    void Apply();
    void Restore();
    // Saves the object's material and gives it its own copy of the properties it draws with.
    TGLMaterial& TakeOver(TGLCustomSceneObject& object);

    TGLBaseSceneObject& root_;
    int lineA_ = 0, lineB_ = 0;
    bool dimOthers_ = false;
    std::vector<TSaved> saved_;
    std::vector<int> highlighted_;
};

} // namespace hk
