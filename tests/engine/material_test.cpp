#include "engine/custom_scene_object.h"
#include "engine/material_library.h"
#include "engine/scene.h"
#include "engine/shader.h"
#include "engine/vector_geometry.h"
#include "tests/engine/scene_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace hk {
namespace {

using test::CountingBuffer;

TEST(Color, NotifiesOnlyRealChanges) {
    int changes = 0;
    TGLMaterial owner(nullptr);
    TGLColor& c = owner.FrontProperties().Diffuse();
    c.OnChange = [&](TGLUpdateAbleObject*) { ++changes; };
    EXPECT_EQ(c.Component(3), 1.0f);
    // OnChange fires only with an owner, and the owner chain ends at a material with none;
    // count at the colour itself.
    c.SetComponent(3, 1.0f);
    EXPECT_EQ(changes, 0);
    c.SetComponent(3, 0.5f);
    EXPECT_EQ(changes, 1);
    c.SetColor(c.Color());
    EXPECT_EQ(changes, 1);
    c.SetComponent(7, 0.1f); // out of range: ignored
    EXPECT_EQ(changes, 1);
    EXPECT_FLOAT_EQ(c.Alpha(), 0.5f);
}

TEST(Color, ObjectOwnedColourMarksStructureAndReportsToTheScene) {
    CountingBuffer buffer; // outlives the scene that reports to it
    TGLScene scene;
    scene.AddBuffer(&buffer);
    auto* obj = scene.Objects().CreateChild<TGLCustomSceneObject>();
    obj->ClearStructureChanged();
    TGLColor colour(obj, clrWhite);
    buffer.changes = 0;
    colour.SetRed(0.25f);
    EXPECT_TRUE(obj->Changes().Contains(ocStructure));
    EXPECT_GE(buffer.changes, 1);
    int before = buffer.changes;
    colour.SetRed(0.25f);
    EXPECT_EQ(buffer.changes, before);
}

TEST(Color, StreamsSixteenBytesAndConvertsWindowColours) {
    TGLColor c(nullptr, clrBlack);
    EXPECT_FALSE(c.NeedsStoring());
    c.SetColor(0.1f, 0.2f, 0.3f, 0.4f);
    EXPECT_TRUE(c.NeedsStoring());
    TBinaryWriter w;
    c.WriteData(w);
    ASSERT_EQ(w.Bytes().size(), 16u);
    TGLColor back(nullptr);
    TBinaryReader r(w.Bytes(), "Color");
    back.ReadData(r);
    EXPECT_FLOAT_EQ(back.Blue(), 0.3f);
    const std::string cutBytes = w.Bytes().substr(0, 15);
    TBinaryReader cut(cutBytes, "Color");
    EXPECT_THROW(back.ReadData(cut), EReadError);

    TColorVector bg = ConvertWinColor(8404992);
    EXPECT_FLOAT_EQ(bg.x, 0);
    EXPECT_NEAR(bg.y, 0.25098f, 1e-5);
    EXPECT_NEAR(bg.z, 0.50196f, 1e-5);
    EXPECT_FLOAT_EQ(bg.w, 1);
    TColorVector face = ConvertWinColor(clBtnFace, 0.5f);
    EXPECT_NEAR(face.x, 240 / 255.0f, 1e-6);
    EXPECT_FLOAT_EQ(face.w, 0.5f);
}

TEST(MaterialLibrary, LookUpIsExactAndCaseSensitive) {
    TGLMaterialLibrary lib;
    lib.AddMaterial("MatSurface");
    lib.AddMaterial("MatInner");
    EXPECT_EQ(lib.LibMaterialByName("MatSurface"), lib.Materials()[0]);
    EXPECT_EQ(lib.LibMaterialByName("matsurface"), nullptr);
    EXPECT_EQ(lib.LibMaterialByName("MatSurface "), nullptr);
    EXPECT_EQ(lib.LibMaterialByName(""), nullptr);
    // Names with the same hash are told apart by the exact comparison.
    EXPECT_EQ(ComputeNameHashKey("ab"), 2u * (2u * 2u + 'a') + 'b');
}

TEST(MaterialLibrary, NamesAreMadeUniqueExceptWhileLoading) {
    TGLMaterialLibrary lib;
    TGLLibMaterial* a = lib.Materials().Add();
    TGLLibMaterial* b = lib.Materials().Add();
    EXPECT_EQ(a->Name(), "LibMaterial");
    EXPECT_EQ(b->Name(), "LibMaterial1");
    TGLLibMaterial* c = lib.AddMaterial("LibMaterial");
    EXPECT_EQ(c->Name(), "LibMaterial2");
    b->SetName("LibMaterial1"); // unchanged: stays
    EXPECT_EQ(b->Name(), "LibMaterial1");
    c->SetName("Steel");
    EXPECT_EQ(lib.LibMaterialByName("Steel"), c);
    EXPECT_EQ(c->NameHashKey(), ComputeNameHashKey("Steel"));
    lib.BeginLoading();
    TGLLibMaterial* d = lib.AddMaterial("Steel");
    EXPECT_EQ(d->Name(), "Steel");
    lib.EndLoading();
    EXPECT_EQ(lib.LibMaterialByName("Steel"), c); // the first match wins
}

TEST(MaterialLinks, LinkResolvesUsersAndBlendedState) {
    TGLMaterialLibrary lib;
    TGLLibMaterial* surface = lib.AddMaterial("MatSurface");
    surface->Material().SetBlendingMode(bmTransparency);
    surface->Material().FrontProperties().Diffuse().SetAlpha(0.9f);
    TGLCustomSceneObject obj;
    obj.Material().SetMaterialLibrary(&lib);
    obj.Material().SetLibMaterialName("matsurface");
    EXPECT_EQ(obj.Material().LibMaterial(), nullptr);
    EXPECT_FALSE(obj.IsBlended());
    obj.Material().SetLibMaterialName("MatSurface");
    EXPECT_EQ(obj.Material().LibMaterial(), surface);
    EXPECT_TRUE(obj.IsBlended());
    ASSERT_EQ(surface->Users().size(), 1u);
    // Name before library: resolved when the library arrives.
    TGLCustomSceneObject late;
    late.Material().SetLibMaterialName("MatSurface");
    EXPECT_EQ(late.Material().LibMaterial(), nullptr);
    late.Material().SetMaterialLibrary(&lib);
    EXPECT_EQ(late.Material().LibMaterial(), surface);
    EXPECT_EQ(surface->Users().size(), 2u);
    // An unknown name unlinks and the old item forgets the user.
    late.Material().SetLibMaterialName("Nothing");
    EXPECT_EQ(late.Material().LibMaterial(), nullptr);
    EXPECT_EQ(surface->Users().size(), 1u);
}

TEST(MaterialLinks, LibraryChangesReachEveryUserObject) {
    CountingBuffer buffer; // outlives the scene that reports to it
    TGLScene scene;
    scene.AddBuffer(&buffer);
    TGLMaterialLibrary lib;
    TGLLibMaterial* surface = lib.AddMaterial("MatSurface");
    auto* a = scene.Objects().CreateChild<TGLCustomSceneObject>();
    auto* b = scene.Objects().CreateChild<TGLCustomSceneObject>();
    for (auto* o : {a, b}) {
        o->Material().SetMaterialLibrary(&lib);
        o->Material().SetLibMaterialName("MatSurface");
    }
    buffer.changes = 0;
    // The transparency slider: alpha of the first library material's front diffuse.
    lib.Materials()[0]->Material().FrontProperties().Diffuse().SetComponent(3, 0.5f);
    EXPECT_EQ(buffer.changes, 2);
    buffer.changes = 0;
    surface->Material().SetBlendingMode(bmAdditive);
    EXPECT_EQ(buffer.changes, 2);
}

TEST(MaterialLinks, FreedLibraryOrItemLeavesNoDanglingLinks) {
    auto lib = std::make_unique<TGLMaterialLibrary>();
    lib->AddMaterial("A");
    lib->AddMaterial("B");
    TGLCustomSceneObject one, two;
    one.Material().SetMaterialLibrary(lib.get());
    one.Material().SetLibMaterialName("A");
    two.Material().SetMaterialLibrary(lib.get());
    two.Material().SetLibMaterialName("B");
    lib->Materials().Delete(0);
    EXPECT_EQ(one.Material().LibMaterial(), nullptr);
    EXPECT_EQ(two.Material().LibMaterial(), lib->Materials()[0]);
    {
        // A material destroyed before its library item leaves the users list.
        TGLCustomSceneObject brief;
        brief.Material().SetMaterialLibrary(lib.get());
        brief.Material().SetLibMaterialName("B");
        EXPECT_EQ(lib->Materials()[0]->Users().size(), 2u);
    }
    EXPECT_EQ(lib->Materials()[0]->Users().size(), 1u);
    lib.reset();
    EXPECT_EQ(two.Material().LibMaterial(), nullptr);
    EXPECT_EQ(two.Material().MaterialLibrary(), nullptr);
    two.Material().SetLibMaterialName("B"); // safe without a library
    EXPECT_FALSE(two.IsBlended());
}

// Many objects linking, relinking and going away in random order: every item's users are
// exactly the materials linked to it, and a freed library leaves none of them linked.
TEST(MaterialLinks, UsersFollowARandomHistory) {
    auto lib = std::make_unique<TGLMaterialLibrary>();
    const char* names[] = {"A", "B", "C"};
    for (const char* n : names)
        lib->AddMaterial(n);
    std::vector<std::unique_ptr<TGLCustomSceneObject>> objects;
    std::mt19937 rng(3);
    for (int step = 0; step < 3000; ++step) {
        const unsigned op = rng() % 4;
        if (op == 0 || objects.empty()) {
            objects.push_back(std::make_unique<TGLCustomSceneObject>());
            objects.back()->Material().SetMaterialLibrary(lib.get());
        } else if (op == 1) {
            objects.erase(objects.begin() + std::ptrdiff_t(rng() % objects.size()));
        } else {
            TGLMaterial& m = objects[rng() % objects.size()]->Material();
            m.SetLibMaterialName(rng() % 4 == 0 ? "none" : names[rng() % 3]);
        }
    }
    for (int i = 0; i < 3; ++i) {
        std::set<const TGLMaterial*> linked;
        for (const auto& o : objects)
            if (o->Material().LibMaterial() == lib->Materials()[i])
                linked.insert(&o->Material());
        const auto& users = lib->Materials()[i]->Users();
        EXPECT_EQ(std::set<const TGLMaterial*>(users.begin(), users.end()), linked);
        EXPECT_EQ(users.size(), linked.size());
    }
    lib.reset();
    for (const auto& o : objects) {
        EXPECT_EQ(o->Material().LibMaterial(), nullptr);
        EXPECT_EQ(o->Material().MaterialLibrary(), nullptr);
    }
}

TEST(MaterialLinks, LibraryMaterialsCannotLinkInACycle) {
    TGLMaterialLibrary lib;
    TGLLibMaterial* a = lib.AddMaterial("A");
    TGLLibMaterial* b = lib.AddMaterial("B");
    a->Material().SetMaterialLibrary(&lib);
    a->Material().SetLibMaterialName("B");
    EXPECT_EQ(a->Material().LibMaterial(), b);
    b->Material().SetMaterialLibrary(&lib);
    b->Material().SetLibMaterialName("A"); // would make A and B apply each other
    EXPECT_EQ(b->Material().LibMaterial(), nullptr);
    a->Material().SetLibMaterialName("A"); // itself
    EXPECT_EQ(a->Material().LibMaterial(), nullptr);
}

TEST(Materials, BlendedModesAndDefaults) {
    TGLMaterial m(nullptr);
    EXPECT_FLOAT_EQ(m.FrontProperties().Ambient().Red(), 0.2f);
    EXPECT_FLOAT_EQ(m.FrontProperties().Diffuse().Green(), 0.8f);
    EXPECT_FLOAT_EQ(m.FrontProperties().Emission().Alpha(), 1);
    EXPECT_FALSE(m.HasBackProperties());
    const std::pair<TBlendingMode, bool> modes[] = {{bmOpaque, false},       {bmTransparency, true},
                                                    {bmAdditive, true},      {bmAlphaTest50, false},
                                                    {bmAlphaTest100, false}, {bmModulate, true}};
    for (auto [mode, blended] : modes) {
        m.SetBlendingMode(mode);
        EXPECT_EQ(m.IsBlended(), blended) << mode;
    }
    m.FrontProperties().SetShininess(500);
    EXPECT_EQ(m.FrontProperties().Shininess(), 128);
}

TEST(Materials, BlendedObjectIsDrawnAfterOpaqueSiblings) {
    TGLImmaterialSceneObject parent;
    auto* glass = parent.CreateChild<TGLCustomSceneObject>();
    glass->Material().SetBlendingMode(bmTransparency);
    glass->Material().FrontProperties().Diffuse().SetAlpha(0.9f);
    auto* wall = parent.CreateChild<TGLCustomSceneObject>();
    auto order = parent.ChildrenInDrawOrder(0, 1, osRenderBlendedLast, PointMake(0, 0, 10));
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(order[0], wall);
    EXPECT_EQ(order[1], glass);
}

TEST(Materials, AssignCopiesPropertiesAndLink) {
    TGLMaterialLibrary lib;
    lib.AddMaterial("MatInner");
    TGLMaterial src(nullptr);
    src.FrontProperties().Diffuse().SetColor(0.91f, 0.76f, 0.65f, 1);
    src.BackProperties().SetPolygonMode(pmLines);
    src.SetMaterialOptions({moNoLighting});
    src.SetMaterialLibrary(&lib);
    src.SetLibMaterialName("MatInner");
    TGLMaterial dst(nullptr);
    dst.Assign(src);
    EXPECT_FLOAT_EQ(dst.FrontProperties().Diffuse().Green(), 0.76f);
    EXPECT_EQ(dst.BackProperties().PolygonMode(), pmLines);
    EXPECT_TRUE(dst.MaterialOptions().Contains(moNoLighting));
    EXPECT_EQ(dst.LibMaterial(), lib.Materials()[0]);
}

class LoggingShader : public TGLShader {
public:
    explicit LoggingShader(std::vector<std::string>* log, int passes = 1)
        : log_(log), passes_(passes) {}

protected:
    void DoApply(TRenderContextInfo&) override { log_->push_back("apply"); }
    bool DoUnApply(TRenderContextInfo&) override {
        log_->push_back("unapply");
        return --passes_ > 0;
    }

private:
    std::vector<std::string>* log_;
    int passes_;
};

TEST(Shaders, StylesOrderPassesAndWeakLink) {
    std::vector<std::string> log;
    TGLMaterialLibrary lib;
    TGLLibMaterial* item = lib.AddMaterial("Shaded");
    TGLCustomSceneObject obj;
    obj.Material().SetMaterialLibrary(&lib);
    obj.Material().SetLibMaterialName("Shaded");
    TRenderContextInfo rci; // no state cache: the material itself sends nothing
    {
        LoggingShader twoPasses(&log, 2);
        twoPasses.SetShaderStyle(ssHighLevel);
        item->SetShader(&twoPasses);
        EXPECT_EQ(item->Shader(), &twoPasses);
        obj.Material().ApplyMaterial(rci);
        EXPECT_TRUE(obj.Material().UnapplyMaterial(rci)); // the shader asks for a second pass
        EXPECT_FALSE(obj.Material().UnapplyMaterial(rci));
        EXPECT_EQ(log, (std::vector<std::string>{"apply", "unapply", "unapply"}));
        twoPasses.SetEnabled(false);
        log.clear();
        obj.Material().ApplyMaterial(rci);
        EXPECT_FALSE(obj.Material().UnapplyMaterial(rci));
        EXPECT_TRUE(log.empty());
    }
    EXPECT_EQ(item->Shader(), nullptr) << "a freed shader leaves no dangling link";
    TGLLibMaterial loose(nullptr);
    LoggingShader s(&log);
    loose.SetShader(&s); // no library to watch the shader: refused
    EXPECT_EQ(loose.Shader(), nullptr);
}

TEST(Textures, SettingsNotifyAndAssignCopiesThem) {
    TGLMaterial m(nullptr);
    int changes = 0;
    TGLTexture& t = m.Texture();
    t.OnChange = [&](TGLUpdateAbleObject*) { ++changes; };
    EXPECT_TRUE(t.Disabled());
    t.SetTextureMode(tmModulate);
    t.SetTextureMode(tmModulate);
    EXPECT_EQ(changes, 1);
    t.SetEnabled(true);
    t.SetMappingTCoordinates({0, 1, 0, 0}); // the default: no change
    EXPECT_EQ(changes, 2);
    t.SetImageClass(ticPicFileImage);
    t.SetPictureFileName("walkway.bmp");
    t.SetMinFilter(miNearest);
    t.EnvColor().SetColor(1, 0, 0, 1);
    TGLMaterial copy(nullptr);
    copy.Assign(m);
    EXPECT_TRUE(copy.Texture().Enabled());
    EXPECT_EQ(copy.Texture().TextureMode(), tmModulate);
    EXPECT_EQ(copy.Texture().PictureFileName(), "walkway.bmp");
    EXPECT_EQ(copy.Texture().MinFilter(), miNearest);
    EXPECT_FLOAT_EQ(copy.Texture().EnvColor().Red(), 1);
    t.SetImageClass(ticCubeMapImage); // a new class starts empty
    EXPECT_TRUE(t.PictureFileName().empty());
    EXPECT_FALSE(t.HasImage());
}

} // namespace
} // namespace hk
