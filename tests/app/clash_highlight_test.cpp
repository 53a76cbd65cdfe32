// The clash highlight on the sample's scene: for every clash, with and without dimming and
// across a rebuild, only the two objects (and, dimmed, the others) change, each is given back
// exactly, and the library's materials never change.
#include "app/clash_highlight.h"
#include "app/clash_model.h"
#include "app/collision_report.h"
#include "app/colour_rules.h"
#include "app/data_file.h"
#include "app/scene_builder.h"
#include "app/viewer_scene.h"
#include "engine/custom_scene_object.h"
#include "engine/material.h"
#include "engine/material_library.h"
#include "primitives/shapes/dummy_cube.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

namespace hk {
namespace {

using TRgba = std::array<float, 4>;
using TLook = std::tuple<TRgba, TRgba, TRgba, std::string, int>;

TRgba Rgba(const TColorVector& c) {
    return {c.x, c.y, c.z, c.w};
}

TLook LookOf(const TGLMaterial& m) {
    const TGLFaceProperties& f = m.FrontProperties();
    return {Rgba(f.Emission().Color()), Rgba(f.Diffuse().Color()), Rgba(f.Ambient().Color()),
            m.LibMaterialName(), int(m.BlendingMode())};
}

// Every built object's own material and every library material, by position.
std::vector<TLook> Looks(TViewerScene& scene) {
    std::vector<TLook> looks;
    TGLBaseSceneObject& root = *scene.GLDummyCube1;
    for (int i = 0; i < root.Count(); ++i)
        if (auto* o = dynamic_cast<TGLCustomSceneObject*>(root.Children(i)))
            looks.push_back(LookOf(o->Material()));
    for (int i = 0; i < scene.GLMaterialLibrary1.Materials().Count(); ++i)
        looks.push_back(LookOf(scene.GLMaterialLibrary1.Materials()[i]->Material()));
    return looks;
}

TEST(ClashHighlight, ChangesOnlyTheChosenObjectsAndGivesEverythingBack) {
    TDocument doc;
    TMemoryLog log;
    LoadColourRules(doc, std::string(HK_TEST_DATA_DIR) + "/hkviewer.csv");
    ASSERT_TRUE(LoadDataFile(doc, std::string(HK_TEST_DATA_DIR) + "/box.csv", "500", true, log));
    TViewerScene scene;
    BuildScene(doc, scene, log, HK_TEST_DATA_DIR);
    TClashModel clashes;
    clashes.IndexItems(doc);
    TCollisionCheck check(scene.CollisionManager1, log, &clashes);
    check.RunCycle();
    ASSERT_EQ(clashes.Rows().size(), 6u);

    const std::vector<TLook> plain = Looks(scene);
    const std::size_t objects =
        plain.size() - std::size_t(scene.GLMaterialLibrary1.Materials().Count());
    TClashHighlight highlight(*scene.GLDummyCube1);
    for (bool dim : {false, true}) {
        highlight.SetDimOthers(dim);
        EXPECT_EQ(Looks(scene), plain) << "nothing selected, nothing changed";
        for (const TClash& clash : clashes.Rows()) {
            highlight.Select(clash.a.lineNo, clash.b.lineNo);
            EXPECT_EQ(highlight.HighlightedLines(),
                      (std::vector<int>{clash.a.lineNo, clash.b.lineNo}));
            // A rebuild in between: the highlight comes back on the new objects.
            highlight.BeforeRebuild();
            BuildScene(doc, scene, log, HK_TEST_DATA_DIR);
            highlight.AfterRebuild();
            const std::vector<TLook> marked = Looks(scene);
            ASSERT_EQ(marked.size(), plain.size());
            TGLBaseSceneObject& root = *scene.GLDummyCube1;
            std::size_t k = 0;
            for (int i = 0; i < root.Count(); ++i) {
                auto* o = dynamic_cast<TGLCustomSceneObject*>(root.Children(i));
                if (!o)
                    continue;
                const bool chosen = o->Tag() == clash.a.lineNo || o->Tag() == clash.b.lineNo;
                const TRgba glow = std::get<0>(marked[k]);
                if (chosen)
                    EXPECT_EQ(glow,
                              Rgba(o->Tag() == clash.a.lineNo ? cClashColourA : cClashColourB));
                else if (dim)
                    EXPECT_EQ(std::get<1>(marked[k])[3], cDimmedAlpha);
                else
                    EXPECT_EQ(marked[k], plain[k]);
                ++k;
            }
            for (std::size_t m = objects; m < plain.size(); ++m)
                EXPECT_EQ(marked[m], plain[m]) << "library material " << m - objects;
        }
        highlight.Clear();
        EXPECT_EQ(Looks(scene), plain);
        EXPECT_TRUE(highlight.HighlightedLines().empty());
    }
}

} // namespace
} // namespace hk
