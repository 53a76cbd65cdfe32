// Scene construction from hand-made item tables: object kinds, placement, materials, figures,
// fillets, captions, ranges, skipped groups, unreadable models and collision attachment.
#include "app/scene_builder.h"
#include "app/viewer_scene.h"
#include "collision/collision_behaviour.h"
#include "engine/vector_geometry.h"
#include "primitives/mesh/free_form.h"
#include "primitives/pipe/pipe.h"
#include "primitives/quadrics/cylinder.h"
#include "primitives/shapes/cube.h"
#include "primitives/shapes/dummy_cube.h"
#include "primitives/shapes/lines.h"
#include "primitives/shapes/points.h"
#include "primitives/shapes/polygon.h"
#include "primitives/text/space_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace hk {
namespace {

class SceneBuilderTest : public ::testing::Test {
protected:
    SceneBuilderTest() { doc.loadScale = 500; }

    int AddGroup(std::int16_t kind, bool on = true, std::string_view dddname = "100A") {
        GroupEntry g;
        g.kind = kind;
        g.name = "G";
        g.dddname = dddname;
        g.onoff = on ? 1 : 0;
        return doc.GroupTable.Append(g);
    }

    LineItem Line(int group, double x2, double y2, double z2, std::string_view dddname = "100A") {
        LineItem line;
        line.group = group;
        line.dddname = dddname;
        line.x2 = x2;
        line.y2 = y2;
        line.z2 = z2;
        line.lineNo = 10 + doc.LineTable.Count();
        return line;
    }

    PolyVertex Vertex(int group, int seq, double x, double y, std::string_view label = "",
                      std::int16_t kind = ikPolyline, std::string_view dddname = "100A") {
        PolyVertex v;
        v.kind = kind;
        v.group = group;
        v.seq = seq;
        v.x = x;
        v.y = y;
        v.label = label;
        v.dddname = dddname;
        v.ddd = 50;
        v.lineNo = 100 + doc.PolyTable.Count();
        return v;
    }

    void Build() { BuildScene(doc, scene, log); }
    int Built() const { return scene.GLDummyCube1->Count(); }
    template <class T> T* Child(int index) const {
        return dynamic_cast<T*>(scene.GLDummyCube1->Children(index));
    }
    static TGLBCollision* CollisionOf(TGLBaseSceneObject& object) {
        return object.HasBehaviours() ? object.Behaviours().GetByClass<TGLBCollision>() : nullptr;
    }

    TDocument doc;
    TViewerScene scene;
    TMemoryLog log;
};

TEST_F(SceneBuilderTest, LinesBecomeCylindersAlongTheirDirectionOrPlainLines) {
    const int g = AddGroup(ikLine);
    LineItem alongX = Line(g, 1000, 0, 0);
    alongX.code = 4;
    doc.LineTable.Append(alongX);
    LineItem alongY = Line(g, 0, 1000, 0);
    alongY.ddd = 50;
    doc.LineTable.Append(alongY);
    doc.LineTable.Append(Line(g, 0, 0, 1000, "  "));
    Build();

    ASSERT_EQ(Built(), 3);
    auto* x = Child<TGLCylinder>(0);
    ASSERT_NE(x, nullptr);
    EXPECT_FLOAT_EQ(x->BottomRadius(), 0.005f);
    EXPECT_FLOAT_EQ(x->TopRadius(), 0.005f);
    EXPECT_FLOAT_EQ(x->RollAngle(), -90);
    EXPECT_FLOAT_EQ(x->PitchAngle(), 0);
    EXPECT_FLOAT_EQ(x->Height(), 2);
    EXPECT_EQ(x->Tag(), 10);
    EXPECT_EQ(x->Material().MaterialLibrary(), &scene.GLMaterialLibrary1);
    EXPECT_EQ(x->Material().LibMaterialName(), "MatSurface");
    ASSERT_NE(CollisionOf(*x), nullptr);
    EXPECT_EQ(CollisionOf(*x)->BoundingMode(), cbmCube);
    EXPECT_EQ(CollisionOf(*x)->Manager(), &scene.CollisionManager1);

    auto* y = Child<TGLCylinder>(1);
    ASSERT_NE(y, nullptr);
    EXPECT_FLOAT_EQ(y->RollAngle(), 0);
    EXPECT_FLOAT_EQ(y->PitchAngle(), 0);
    EXPECT_FLOAT_EQ(y->BottomRadius(), 0.1f);
    EXPECT_EQ(CollisionOf(*y), nullptr) << "code 0 attaches nothing";

    auto* plain = Child<TGLLines>(2);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->Nodes().Count(), 2);
    EXPECT_EQ(plain->NodesAspect(), lnaInvisible);
}

TEST_F(SceneBuilderTest, OffsetIsHalfTheExtentOrZeroWithoutLines) {
    const int g = AddGroup(ikLine);
    doc.LineTable.Append(Line(g, 1000, 0, 0));
    doc.SceneBounds.Include(0, 0, 0);
    doc.SceneBounds.Include(1000, 400, 0);
    Build();
    EXPECT_DOUBLE_EQ(doc.sceneOffset[0], 500);
    EXPECT_DOUBLE_EQ(doc.sceneOffset[1], 200);
    EXPECT_DOUBLE_EQ(doc.sceneOffset[2], 0);
    EXPECT_FLOAT_EQ(Child<TGLCylinder>(0)->Position().X(), 0);
    EXPECT_FLOAT_EQ(Child<TGLCylinder>(0)->Position().Y(), -0.4f);

    TDocument empty;
    empty.sceneOffset = {7, 7, 7};
    SetSceneOffset(empty);
    EXPECT_EQ(empty.sceneOffset, (std::array<double, 3>{0, 0, 0}));
}

TEST_F(SceneBuilderTest, GroupColoursAndMaterialsFollowTheColourMode) {
    const int rgb = AddGroup(ikLine);
    doc.GroupTable[rgb].colourMode = 1;
    doc.GroupTable[rgb].Red = 255;
    doc.GroupTable[rgb].Green = 128;
    doc.GroupTable[rgb].Blue = 0;
    const int named = AddGroup(ikLine);
    doc.GroupTable[named].colourMode = 2;
    doc.GroupTable[named].materialName = "MatInner";
    doc.LineTable.Append(Line(rgb, 1000, 0, 0));
    doc.LineTable.Append(Line(named, 1000, 0, 0));
    doc.LineTable.Append(Line(rgb, 1000, 0, 0, ""));
    Build();

    const TGLColor& diffuse = Child<TGLCylinder>(0)->Material().FrontProperties().Diffuse();
    EXPECT_FLOAT_EQ(diffuse.Red(), 0.99609375f);
    EXPECT_FLOAT_EQ(diffuse.Green(), 0.5f);
    EXPECT_FLOAT_EQ(diffuse.Blue(), 0);
    EXPECT_EQ(Child<TGLCylinder>(0)->Material().MaterialLibrary(), nullptr);
    EXPECT_EQ(Child<TGLCylinder>(1)->Material().LibMaterialName(), "MatInner");
    EXPECT_FLOAT_EQ(Child<TGLLines>(2)->LineColor().Red(), 0.99609375f);
}

// Where node i of a tube lies in the scene: the builder centres each tube on its nodes.
TAffineVector TubeNode(TGLPipe& tube, int i) {
    return VectorAdd(tube.Nodes()[i].AsVector().Affine(), tube.Position().AsVector().Affine());
}

TEST_F(SceneBuilderTest, RoundedCornerGivesArcNodesEveryTenDegreesAndNoNodeOfItsOwn) {
    const int g = AddGroup(ikPolyline);
    doc.PolyTable.Append(Vertex(g, 1, 0, 0));
    doc.PolyTable.Append(Vertex(g, 2, 1000, 0, "R1"));
    doc.PolyTable.Append(Vertex(g, 3, 1000, 1000));
    Build();

    ASSERT_EQ(Built(), 1);
    auto* tube = Child<TGLPipe>(0);
    ASSERT_NE(tube, nullptr);
    EXPECT_FLOAT_EQ(tube->Radius(), 0.1f);
    // The corner (1000, 0) rounds with radius 1000 about (0, 1000): 270, 280, ... 360 degrees.
    ASSERT_EQ(tube->Nodes().Count(), 1 + 10 + 1);
    for (int i = 1; i <= 10; ++i) {
        const double a = (260 + 10 * i) * 3.14159265358979 / 180;
        EXPECT_NEAR(TubeNode(*tube, i).x, 1000 * std::cos(a) / 500, 1e-5) << i;
        EXPECT_NEAR(TubeNode(*tube, i).y, (1000 + 1000 * std::sin(a)) / 500, 1e-5) << i;
    }
}

TEST_F(SceneBuilderTest, RoundedRightTurnKeepsItsNodesInPathOrder) {
    const int g = AddGroup(ikPolyline);
    doc.PolyTable.Append(Vertex(g, 1, 0, 0));
    doc.PolyTable.Append(Vertex(g, 2, 1000, 0, "R"));
    doc.PolyTable.Append(Vertex(g, 3, 1000, -1000));
    Build();

    // About (0, -1000) from 90 degrees (the tangent point (0, 0)) down to 0 ((1000, -1000)).
    auto* tube = Child<TGLPipe>(0);
    ASSERT_EQ(tube->Nodes().Count(), 1 + 10 + 1);
    EXPECT_NEAR(TubeNode(*tube, 1).x, 0, 1e-5);
    EXPECT_NEAR(TubeNode(*tube, 1).y, 0, 1e-5);
    EXPECT_NEAR(TubeNode(*tube, 10).x, 2, 1e-5);
    EXPECT_NEAR(TubeNode(*tube, 10).y, -2, 1e-5);
    for (int i = 1; i < 10; ++i)
        EXPECT_LT(TubeNode(*tube, i).x, TubeNode(*tube, i + 1).x) << i;
}

TEST_F(SceneBuilderTest, RoundedCornerWithoutUsableNeighboursIsAPlainNodeOrNothing) {
    const int g = AddGroup(ikPolyline);
    doc.PolyTable.Append(Vertex(g, 1, 0, 0));
    doc.PolyTable.Append(Vertex(g, 2, 1000, 0, "R")); // straight on: no corner
    doc.PolyTable.Append(Vertex(g, 3, 2000, 0, "R")); // next vertex starts another figure
    doc.PolyTable.Append(Vertex(g, 1, 5000, 0));
    doc.PolyTable.Append(Vertex(g, 2, 5000, 0, "R")); // coincides with its neighbour
    doc.PolyTable.Append(Vertex(g, 3, 6000, 0));
    doc.PolyTable.Append(Vertex(g, 4, 7000, 0, "R")); // last vertex of the table
    Build();

    ASSERT_EQ(Built(), 2);
    EXPECT_EQ(Child<TGLPipe>(0)->Nodes().Count(), 3);
    EXPECT_EQ(Child<TGLPipe>(1)->Nodes().Count(), 3);
    EXPECT_FLOAT_EQ(TubeNode(*Child<TGLPipe>(1), 1).x, 12);
}

TEST_F(SceneBuilderTest, FiguresInARowStayApart) {
    const int g = AddGroup(ikPolyline, true, "");
    const int f = AddGroup(ikFace, true, "");
    doc.PolyTable.Append(Vertex(g, 1, 0, 0, "", ikPolyline, ""));
    doc.PolyTable.Append(Vertex(g, 2, 100, 0, "R", ikPolyline, ""));
    doc.PolyTable.Append(Vertex(g, 1, 200, 0, "", ikPolyline, ""));
    doc.PolyTable.Append(Vertex(f, 1, 0, 0, "", ikFace, ""));
    doc.PolyTable.Append(Vertex(g, 2, 300, 0, "", ikPolyline, ""));
    doc.PolyTable.Append(Vertex(f, 2, 0, 100, "", ikFace, ""));
    doc.PolyTable.Append(Vertex(f, 3, 100, 100, "", ikFace, ""));
    Build();

    ASSERT_EQ(Built(), 3);
    auto* first = Child<TGLLines>(0);
    auto* second = Child<TGLLines>(1);
    auto* face = Child<TGLPolygon>(2);
    ASSERT_TRUE(first && second && face);
    EXPECT_EQ(first->Nodes().Count(), 2);
    EXPECT_EQ(second->Nodes().Count(), 2);
    EXPECT_FLOAT_EQ(second->Nodes()[0].X(), 0.4f);
    EXPECT_EQ(face->Nodes().Count(), 3);
    EXPECT_EQ(face->Parts(), TPolygonParts{ppTop});
}

TEST_F(SceneBuilderTest, LengthCaptionFollowsItsDimensionLine) {
    const int g = AddGroup(ikDimension);
    DimensionItem dim;
    dim.kind = 10;
    dim.group = g;
    dim.lineNo = 42;
    dim.d = {0, 0, -500, 0, 1500, -500, 0, 0, 0, 0, 1500, 0, 0};
    doc.DimensionTable.Append(dim);
    Build();

    ASSERT_EQ(Built(), 2);
    auto* line = Child<TGLLines>(0);
    auto* caption = Child<TGLSpaceText>(1);
    ASSERT_TRUE(line && caption);
    EXPECT_EQ(line->Nodes().Count(), 4);
    EXPECT_EQ(line->Tag(), 1) << "a dimension line is tagged with its index";
    EXPECT_EQ(caption->Tag(), 42);
    // A pick of either stands for the dimension's data-file line; other objects for their Tag.
    EXPECT_EQ(PickedDataLine(doc, scene, *line), 42);
    EXPECT_EQ(PickedDataLine(doc, scene, *caption), 42);
    EXPECT_EQ(caption->Text(), "1500");
    EXPECT_FLOAT_EQ(caption->RollAngle(), 0);
    EXPECT_NEAR(caption->Position().X(), (750 - 4 * 0.3125 * 70000 / 500.0) / 500, 1e-6);
    EXPECT_NEAR(caption->Position().Y(), 20000 / 500.0 / 500, 1e-6);
    EXPECT_NEAR(caption->Position().Z(), 0, 1e-6);
    EXPECT_FLOAT_EQ(caption->Scale().X(), 0.4f);
    EXPECT_EQ(caption->Font().Charset, 128);
    // A rebuild frees the caption and line above; the new objects map the same way.
    TGLLines plain;
    plain.SetTag(1);
    EXPECT_EQ(PickedDataLine(doc, scene, plain), 1);
    doc.DimensionTable[1].lineNo = 7;
    Build();
    EXPECT_EQ(PickedDataLine(doc, scene, *Child<TGLLines>(0)), 7) << "rebuilt objects are known";
}

TEST_F(SceneBuilderTest, RangeWithAnEmptySecondBoxBuildsOneBlueBox) {
    const int g = AddGroup(ikRange);
    RangeItem range;
    range.group = g;
    range.r = {0, 0, 0, 0, 1000, 500, 250, 0, 0, 0, 0, 0, 0};
    doc.RangeTable.Append(range);
    Build();

    ASSERT_EQ(Built(), 1);
    auto* box = Child<TGLCube>(0);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Material().BlendingMode(), bmTransparency);
    EXPECT_FLOAT_EQ(box->Material().FrontProperties().Diffuse().Alpha(), 0.2f);
    EXPECT_FLOAT_EQ(box->Material().FrontProperties().Diffuse().Blue(), 1.0f);
    EXPECT_FLOAT_EQ(box->Scale().X(), 2);
    EXPECT_FLOAT_EQ(box->Scale().Z(), 0.5f);
    EXPECT_FLOAT_EQ(box->Position().Y(), 0.5f);
    EXPECT_EQ(CollisionOf(*box), nullptr);
}

TEST_F(SceneBuilderTest, ItemsOfGroupsThatAreOffAreNotBuilt) {
    PointItem point;
    point.group = AddGroup(ikPoint, false);
    doc.PointTable.Append(point);
    doc.PolyTable.Append(Vertex(AddGroup(ikFace, false), 1, 0, 0, "", ikFace));
    DimensionItem dim;
    dim.group = AddGroup(ikDimension, false);
    dim.d[10] = 1000;
    doc.DimensionTable.Append(dim);
    RangeItem range;
    range.group = AddGroup(ikRange, false);
    range.r[4] = 10;
    doc.RangeTable.Append(range);
    ModelItem model;
    model.group = AddGroup(ikModel, false);
    doc.ModelTable.Append(model);
    Build();
    EXPECT_EQ(Built(), 0);
    EXPECT_TRUE(log.Lines().empty());
}

TEST_F(SceneBuilderTest, UnreadableModelIsReportedOnceAndTheBuildGoesOn) {
    ModelItem model;
    model.group = AddGroup(ikModel);
    model.modelFile = "absent_model.3ds";
    model.lineNo = 77;
    model.code = 5;
    doc.ModelTable.Append(model);
    // A folder is no model either, even where it opens as a stream.
    model.modelFile = HK_TEST_DATA_DIR "/tools";
    model.lineNo = 78;
    doc.ModelTable.Append(model);
    PointItem point;
    point.group = AddGroup(ikPoint);
    point.code = 1;
    point.ddd = 3;
    doc.PointTable.Append(point);
    Build();

    EXPECT_TRUE(log.Lines().empty()) << "notices stay out of the message area";
    ASSERT_EQ(log.Notices().size(), 2u);
    EXPECT_NE(log.Notices()[0].find("absent_model.3ds"), std::string::npos);
    EXPECT_NE(log.Notices()[0].find("77"), std::string::npos);
    EXPECT_NE(log.Notices()[1].find("tools"), std::string::npos);
    EXPECT_NE(log.Notices()[1].find("78"), std::string::npos);
    ASSERT_EQ(Built(), 1);
    auto* points = Child<TGLPoints>(0);
    ASSERT_NE(points, nullptr);
    EXPECT_FLOAT_EQ(points->Size(), 3);
    ASSERT_NE(CollisionOf(*points), nullptr);
    EXPECT_EQ(CollisionOf(*points)->BoundingMode(), cbmPoint);
}

TEST_F(SceneBuilderTest, ModelsLoadWithTheirOctreeAndNeverCollideAsPoints) {
    const int g = AddGroup(ikModel);
    for (int code : {5, 0, 1}) {
        ModelItem model;
        model.group = g;
        model.modelFile = "pump.3ds";
        model.sx = model.sy = model.sz = 500;
        model.code = code;
        doc.ModelTable.Append(model);
    }
    BuildScene(doc, scene, log, HK_TEST_DATA_DIR);

    EXPECT_TRUE(log.Notices().empty());
    ASSERT_EQ(Built(), 3);
    auto* faces = Child<TGLFreeForm>(0);
    ASSERT_NE(faces, nullptr);
    EXPECT_FALSE(faces->MeshObjects().empty());
    EXPECT_NE(faces->Octree(), nullptr);
    EXPECT_FLOAT_EQ(faces->Scale().X(), 1);
    ASSERT_NE(CollisionOf(*faces), nullptr);
    EXPECT_EQ(CollisionOf(*faces)->BoundingMode(), cbmFaces);
    EXPECT_EQ(CollisionOf(*Child<TGLFreeForm>(1)), nullptr);
    EXPECT_EQ(CollisionOf(*Child<TGLFreeForm>(2)), nullptr);
}

TEST_F(SceneBuilderTest, CodesOutsideTheModesAttachNoBehaviour) {
    const int g = AddGroup(ikLine);
    for (int code : {-1, 6, 255}) {
        LineItem line = Line(g, 1000, 0, 0);
        line.code = code;
        doc.LineTable.Append(line);
    }
    LineItem hidden = Line(g, 1000, 0, 0);
    hidden.code = 2;
    hidden.visible = 0;
    doc.LineTable.Append(hidden);
    Build();
    ASSERT_EQ(Built(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(CollisionOf(*scene.GLDummyCube1->Children(i)), nullptr) << i;
    EXPECT_EQ(scene.CollisionManager1.ClientCount(), 0);
}

TEST_F(SceneBuilderTest, RebuildFreesTheOldObjectsAndTheirBehaviours) {
    const int g = AddGroup(ikLine);
    LineItem line = Line(g, 1000, 0, 0);
    line.code = 3;
    doc.LineTable.Append(line);
    Build();
    Build();
    EXPECT_EQ(Built(), 1);
    EXPECT_EQ(scene.CollisionManager1.ClientCount(), 1);
    doc.GroupTable[g].onoff = 0;
    Build();
    EXPECT_EQ(Built(), 0);
    EXPECT_EQ(scene.CollisionManager1.ClientCount(), 0);
}

TEST(ViewerScene, HoldsTheFixedObjectsAndTheModelMaterials) {
    TViewerScene scene;
    EXPECT_EQ(scene.GLDummyCube1->Parent(), scene.DummyCube1);
    EXPECT_EQ(scene.GLDummyCube1->Count(), 0);
    const char* names[] = {"MatSurface", "detailmap", "LibMaterial1"};
    for (const char* name : names)
        EXPECT_NE(scene.GLMaterialLibrary1.LibMaterialByName(name), nullptr) << name;
    ASSERT_EQ(scene.GLMaterialLibrary1.Materials().Count(), 8);
    EXPECT_EQ(scene.GLMaterialLibrary1.Materials()[0]->Name(), "MatSurface");
    EXPECT_EQ(scene.GLMaterialLibrary1.Materials()[0]->Material().BlendingMode(), bmTransparency);
    EXPECT_EQ(scene.GLMaterialLibrary2.Materials().Count(), 0);
}

} // namespace
} // namespace hk
