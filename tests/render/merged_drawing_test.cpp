// Solids drawn merged by material against the same solids drawn one by one, the oracle: over
// many random solids of every recordable kind (turned, scaled unevenly, mirrored, in a few
// materials, linked to a library material or blended) and after the changes a viewer makes to
// them (moved, recoloured, reshaped, hidden, dimmed), both pictures and every pick agree. And
// the quadric solids, now tessellated by the viewer, against GLU's own quadrics.
#include "engine/light_source.h"
#include "engine/material_library.h"
#include "engine/merged_children.h"
#include "primitives/quadrics/cylinder.h"
#include "primitives/quadrics/quadric_shapes.h"
#include "tests/render/gl_rig.h"
#include "tests/render/random_solids.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

namespace hk::test {
namespace {

constexpr int cWidth = 96, cHeight = 72;

std::vector<unsigned char> Frame(GLRig& rig) {
    std::vector<unsigned char> p(std::size_t(cWidth) * cHeight * 4);
    rig.buffer.RenderFrame();
    rig.buffer.RenderingContext()->Activate();
    glReadBuffer(GL_FRONT);
    glReadPixels(0, 0, cWidth, cHeight, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    rig.buffer.RenderingContext()->Deactivate();
    return p;
}

// Pixels whose colour differs by more than a rounding step.
int Differing(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    int n = 0;
    for (std::size_t i = 0; i < a.size(); i += 4) {
        n += std::abs(a[i] - b[i]) > 3 || std::abs(a[i + 1] - b[i + 1]) > 3 ||
             std::abs(a[i + 2] - b[i + 2]) > 3;
    }
    return n;
}

struct LitRig : GLRig {
    TGLMaterialLibrary library;
    LitRig() : GLRig(cWidth, cHeight) {
        if (!ok) {
            return;
        }
        buffer.SetLighting(true);
        camera->CreateChild<TGLLightSource>()->Position().SetPoint(2, 3, 4);
        TGLLibMaterial* shared = library.AddMaterial("shared");
        shared->Material().FrontProperties().Diffuse().SetColor({0.9f, 0.8f, 0.1f, 1});
    }
};

void Colour(TGLCustomSceneObject& solid, int which, TGLMaterialLibrary& library) {
    static const TColorVector cColours[] = {
        {0.8f, 0.2f, 0.2f, 1}, {0.2f, 0.7f, 0.3f, 1}, {0.3f, 0.4f, 0.9f, 1}};
    TGLMaterial& m = solid.Material();
    if (which < 3) {
        m.FrontProperties().Diffuse().SetColor(cColours[which]);
    } else if (which == 3) {
        m.SetMaterialLibrary(&library);
        m.SetLibMaterialName("shared");
    } else {
        m.FrontProperties().Diffuse().SetColor({0.9f, 0.9f, 0.9f, 0.4f});
        m.SetBlendingMode(bmTransparency);
    }
}

// Pixels drawn in one picture and left as background in the other.
int DifferentlyCovered(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b,
                       const std::vector<unsigned char>& background) {
    int n = 0;
    for (std::size_t i = 0; i < a.size(); i += 4) {
        const bool inA = std::abs(a[i] - background[i]) > 3 ||
                         std::abs(a[i + 1] - background[i + 1]) > 3 ||
                         std::abs(a[i + 2] - background[i + 2]) > 3;
        const bool inB = std::abs(b[i] - background[i]) > 3 ||
                         std::abs(b[i + 1] - background[i + 1]) > 3 ||
                         std::abs(b[i + 2] - background[i + 2]) > 3;
        n += inA != inB;
    }
    return n;
}

// Both pictures, merged and one by one, must agree; returns the merged count. A coarse frame
// draws blended solids unsorted, in another blending order: there the same pixels must be
// covered, and the opaque solids agree as in every frame.
int ExpectSamePicture(LitRig& rig, TGLBaseSceneObject& root, const char* when, int seed) {
    root.SetMergeChildren(false);
    const std::vector<unsigned char> alone = Frame(rig);
    root.SetMergeChildren(true);
    Frame(rig); // records
    const std::vector<unsigned char> merged = Frame(rig);
    const bool unsorted = rig.buffer.DetailScale() < 1;
    bool blended = false;
    for (int i = 0; i < root.Count(); ++i) {
        blended = blended || (root.Children(i)->Visible() && root.Children(i)->IsBlended());
    }
    if (unsorted && blended) {
        root.SetVisible(false);
        const std::vector<unsigned char> background = Frame(rig);
        root.SetVisible(true);
        EXPECT_LE(DifferentlyCovered(alone, merged, background), cWidth * cHeight / 500)
            << when << ", seed " << seed;
    } else {
        EXPECT_LE(Differing(alone, merged), cWidth * cHeight / 500) << when << ", seed " << seed;
    }
    return root.MergedChildren()->DrawnCount();
}

TEST(MergedDrawing, LooksAndPicksAsDrawingEverySolidOnItsOwn) {
    LitRig rig;
    HK_REQUIRE_GL(rig);
    std::uniform_real_distribution<float> across(-1.2f, 1.2f), angle(-180, 180);
    for (int seed = 1; seed <= 6; ++seed) {
        std::mt19937 random(seed);
        auto* root = rig.scene.Objects().CreateChild<TGLImmaterialSceneObject>();
        root->SetMergeChildren(true);
        root->SetTurnAngle(angle(random));
        std::vector<TGLCustomSceneObject*> solids;
        for (int i = 0; i < 40; ++i) {
            TGLCustomSceneObject* s = AddRandomSolid(*root, i % 6, random);
            s->Position().SetPoint(across(random), across(random), across(random));
            s->SetTurnAngle(angle(random));
            s->SetPitchAngle(angle(random));
            if (i % 7 == 3) {
                s->Scale().SetX(-s->Scale().X()); // mirrored
            }
            Colour(*s, int(random() % 5), rig.library);
            solids.push_back(s);
        }
        rig.buffer.SetDetailScale(seed % 2 ? 1 : cMovingDetailScale);
        EXPECT_GT(ExpectSamePicture(rig, *root, "as built", seed), 10) << "seed " << seed;
        for (int y = 4; y < cHeight; y += 9) {
            for (int x = 4; x < cWidth; x += 9) {
                TGLBaseSceneObject* merged = rig.buffer.PickedObjectAt(x, y);
                root->SetMergeChildren(false);
                EXPECT_EQ(merged, rig.buffer.PickedObjectAt(x, y)) << x << "," << y;
                root->SetMergeChildren(true);
            }
        }
        // What a viewer does to drawn solids: a clash highlight, a move, a new shape, a hidden
        // group, and every other solid dimmed.
        solids[0]->Material().FrontProperties().Emission().SetColor({1, 0.25f, 0, 1});
        solids[1]->Position().AddOffset({0.3f, 0, 0});
        dynamic_cast<TGLCylinder*>(solids[6])->SetHeight(0.2f);
        solids[2]->SetVisible(false);
        ExpectSamePicture(rig, *root, "after a few changes", seed);
        for (std::size_t i = 3; i < solids.size(); ++i) {
            Colour(*solids[i], 4, rig.library);
        }
        ExpectSamePicture(rig, *root, "with the others dimmed", seed);
        rig.scene.Objects().RemoveChild(root, false);
    }
}

// A moving frame at a reduced resolution, stretched over the view, covers the pixels the full
// frame covers up to its coarser edges, and picking stays that of the full view.
TEST(ReducedResolution, CoversWhatTheFullFrameCoversAndPicksAlike) {
    LitRig rig;
    HK_REQUIRE_GL(rig);
    std::mt19937 random(11);
    std::uniform_real_distribution<float> across(-1.2f, 1.2f), angle(-180, 180);
    auto* root = rig.scene.Objects().CreateChild<TGLImmaterialSceneObject>();
    root->SetMergeChildren(true);
    for (int i = 0; i < 30; ++i) {
        TGLCustomSceneObject* s = AddRandomSolid(*root, i % 6, random);
        s->Position().SetPoint(across(random), across(random), across(random));
        s->SetTurnAngle(angle(random));
        Colour(*s, int(random() % 5), rig.library);
    }
    root->SetVisible(false);
    const std::vector<unsigned char> background = Frame(rig);
    root->SetVisible(true);
    const std::vector<unsigned char> full = Frame(rig);
    std::vector<TGLBaseSceneObject*> picked;
    for (int y = 4; y < cHeight; y += 9) {
        for (int x = 4; x < cWidth; x += 9) {
            picked.push_back(rig.buffer.PickedObjectAt(x, y));
        }
    }
    for (float scale : {0.75f, 0.5f, 0.25f}) {
        rig.buffer.SetResolutionScale(scale);
        const std::vector<unsigned char> reduced = Frame(rig);
        // Edge pixels of a picture 1 / scale times coarser may go either way.
        EXPECT_LE(DifferentlyCovered(full, reduced, background),
                  int(cWidth * cHeight / 8 * (1 - scale)))
            << "scale " << scale;
        EXPECT_GT(Differing(reduced, background), cWidth * cHeight / 10) << "scale " << scale;
        std::size_t i = 0;
        for (int y = 4; y < cHeight; y += 9) {
            for (int x = 4; x < cWidth; x += 9) {
                EXPECT_EQ(rig.buffer.PickedObjectAt(x, y), picked[i++]) << x << "," << y;
            }
        }
    }
    rig.buffer.SetResolutionScale(1);
    EXPECT_LE(Differing(full, Frame(rig)), 0) << "back at full resolution";
}

// The viewer's quadrics lay out the vertices, winding and normals of GLU's.
TEST(QuadricShapes, DrawAsGluQuadrics) {
    LitRig rig;
    HK_REQUIRE_GL(rig);
    rig.buffer.SetFaceCulling(true);
    std::mt19937 random(5);
    std::uniform_real_distribution<float> size(0.0f, 0.9f);
    struct TBoth : TGLImmaterialSceneObject {
        bool glu = false;
        TQuadricStyle style;
        float r1 = 0, r2 = 0, h = 0;
        int slices = 0, stacks = 0, disk = 0;
        void EmitGeometry(TRenderContextInfo&) override {
            if (!glu) {
                if (disk) {
                    EmitQuadricDisk(OpenGLGeometrySink(), style, r1, r2, slices, stacks,
                                    disk == 2 ? 30.0f : 0.0f, disk == 2 ? -200.0f : 360.0f);
                } else {
                    EmitQuadricCylinder(OpenGLGeometrySink(), style, r1, r2, h, slices, stacks);
                }
                return;
            }
            GLUquadric* q = gluNewQuadric();
            gluQuadricNormals(q, !style.normals ? GLU_NONE : style.flat ? GLU_FLAT : GLU_SMOOTH);
            gluQuadricOrientation(q, style.outside ? GLU_OUTSIDE : GLU_INSIDE);
            if (disk) {
                gluPartialDisk(q, r1, r2, slices, stacks, disk == 2 ? 30 : 0,
                               disk == 2 ? -200 : 360);
            } else {
                gluCylinder(q, r1, r2, h, slices, stacks);
            }
            gluDeleteQuadric(q);
        }
    };
    auto* shape = rig.scene.Objects().CreateChild<TBoth>();
    shape->SetTurnAngle(35);
    shape->SetPitchAngle(-50);
    shape->SetObjectStyle({osDirectDraw});
    for (int i = 0; i < 60; ++i) {
        shape->style = {i % 5 != 4, i % 3 == 1, i % 2 == 0};
        shape->disk = i % 3;
        shape->r1 = i % 11 == 0 ? 0 : size(random);
        shape->r2 = size(random) + 0.05f;
        shape->h = i % 13 == 0 ? -0.5f : 2 * size(random);
        shape->slices = 2 + int(random() % 30);
        shape->stacks = 1 + int(random() % 4);
        shape->glu = true;
        const std::vector<unsigned char> glu = Frame(rig);
        shape->glu = false;
        EXPECT_EQ(Differing(glu, Frame(rig)), 0)
            << "shape " << i << " disk " << shape->disk << " r " << shape->r1 << " " << shape->r2
            << " h " << shape->h << " slices " << shape->slices << " stacks " << shape->stacks
            << " normals " << shape->style.normals << shape->style.flat << shape->style.outside;
    }
}

} // namespace
} // namespace hk::test
