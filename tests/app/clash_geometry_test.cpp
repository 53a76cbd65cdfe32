// Clash geometry against brute force: signed distances of built cylinders, tubes and tori on
// random poses against dense sampling of their surfaces (gaps) and of their support functions
// (depths), the closed forms against FCL, meshes that cross or enclose, and the judgement of
// drawn runs, elbows, tees, flanges and parallel pipes.
#include "app/batch.h"
#include "app/clash_distance.h"
#include "app/clash_mesh.h"
#include "app/clash_settings.h"
#include "app/clash_type.h"
#include "app/ini_file.h"
#include "app/scene_builder.h"
#include "app/viewer_scene.h"
#include "engine/vector_geometry.h"
#include "primitives/pipe/pipe.h"
#include "primitives/quadrics/cylinder.h"
#include "primitives/quadrics/torus.h"
#include "primitives/shapes/dummy_cube.h"
#include "tests/app/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <map>
#include <numbers>
#include <random>
#include <sstream>

namespace hk {
namespace {

constexpr double cPi = std::numbers::pi;

using TSamples = std::vector<TPoint3D>;

// Points about `spacing` apart on the surface of a cylinder of radius r standing on the local
// y axis from y0 to y1, with its two flat caps.
void SampleCylinder(double r, double y0, double y1, double spacing,
                    const std::function<void(double, double, double)>& emit) {
    const int around = std::max(8, int(2 * cPi * r / spacing));
    const int along = std::max(1, int((y1 - y0) / spacing));
    for (int i = 0; i <= along; ++i)
        for (int k = 0; k < around; ++k) {
            const double a = 2 * cPi * k / around;
            emit(r * std::cos(a), y0 + (y1 - y0) * i / along, r * std::sin(a));
        }
    for (double rr = 0; rr < r; rr += spacing) {
        const int n = std::max(1, int(2 * cPi * rr / spacing));
        for (int k = 0; k < n; ++k) {
            const double a = 2 * cPi * k / n;
            emit(rr * std::cos(a), y0, rr * std::sin(a));
            emit(rr * std::cos(a), y1, rr * std::sin(a));
        }
    }
}

// The surface of a built object sampled in its own frame and carried by its world matrix: the
// oracle knows the primitives' shapes, not the solids built from them.
TSamples SampleObject(TGLBaseSceneObject& object, double spacing) {
    TSamples out;
    const TMatrix world = object.WorldMatrix();
    auto emit = [&](double x, double y, double z) {
        const TAffineVector p =
            AffineTransform(AffineVectorMake(float(x), float(y), float(z)), world);
        out.push_back({p.x, p.y, p.z});
    };
    if (auto* c = dynamic_cast<TGLCylinder*>(&object)) {
        SampleCylinder(c->BottomRadius(), -c->Height() / 2, c->Height() / 2, spacing, emit);
    } else if (auto* t = dynamic_cast<TGLTorus*>(&object)) {
        const double big = t->MajorRadius(), small = t->MinorRadius();
        const int n = int(2 * cPi * (big + small) / spacing), m = int(2 * cPi * small / spacing);
        for (int i = 0; i < n; ++i)
            for (int k = 0; k < m; ++k) {
                const double u = 2 * cPi * i / n, v = 2 * cPi * k / m;
                const double rr = big + small * std::cos(v);
                emit(rr * std::cos(u), rr * std::sin(u), small * std::sin(v));
            }
    } else if (auto* pipe = dynamic_cast<TGLPipe*>(&object)) {
        // Each segment as a cylinder between its two nodes.
        for (int i = 0; i + 1 < pipe->Nodes().Count(); ++i) {
            const TAffineVector a = pipe->Nodes()[i].AsAffineVector();
            const TAffineVector b = pipe->Nodes()[i + 1].AsAffineVector();
            const TAffineVector axis = VectorSubtract(b, a);
            const TAffineVector y = VectorNormalize(axis);
            const TAffineVector x =
                VectorNormalize(VectorCrossProduct(y, std::fabs(y.x) < 0.9f ? XVector : YVector));
            const TAffineVector z = VectorCrossProduct(x, y);
            SampleCylinder(pipe->Radius(), 0, VectorLength(axis), spacing,
                           [&](double px, double py, double pz) {
                               emit(a.x + px * x.x + py * y.x + pz * z.x,
                                    a.y + px * x.y + py * y.y + pz * z.y,
                                    a.z + px * x.z + py * y.z + pz * z.z);
                           });
        }
    }
    return out;
}

double SampledGap(const TSamples& a, const TSamples& b) {
    double best = HUGE_VAL;
    for (const TPoint3D& p : a)
        for (const TPoint3D& q : b)
            best = std::min(best, Dot(p - q, p - q));
    return std::sqrt(best);
}

// The shortest move that parts two overlapping convex solids: the least, over directions u, of
// the extent of a along u plus that of b against it. A spread of directions finds the basin,
// a shrinking pattern search the bottom, which may lie in a sharp crease.
double SampledDepth(const TSamples& a, const TSamples& b) {
    auto along = [&](const TPoint3D& u) {
        double ha = -HUGE_VAL, hb = -HUGE_VAL;
        for (const TPoint3D& p : a)
            ha = std::max(ha, Dot(p, u));
        for (const TPoint3D& q : b)
            hb = std::max(hb, -Dot(q, u));
        return ha + hb;
    };
    const int spread = 2000;
    TPoint3D best;
    double value = HUGE_VAL;
    for (int i = 0; i < spread; ++i) {
        const double z = 1 - 2 * (i + 0.5) / spread, r = std::sqrt(1 - z * z);
        const double phi = i * cPi * (3 - std::sqrt(5.0));
        const TPoint3D u{r * std::cos(phi), r * std::sin(phi), z};
        if (const double v = along(u); v < value)
            value = v, best = u;
    }
    for (double step = 0.05; step > 1.0e-4;) {
        const TPoint3D e1 = AnyPerpendicular(best), e2 = Cross(best, e1);
        bool moved = false;
        for (int k = 0; k < 8 && !moved; ++k) {
            const double angle = cPi * k / 4;
            const TPoint3D u =
                Normalized(best + (e1 * std::cos(angle) + e2 * std::sin(angle)) * step);
            if (const double v = along(u); v < value)
                value = v, best = u, moved = true;
        }
        if (!moved)
            step /= 2;
    }
    return value;
}

class ClashGeometryTest : public ::testing::Test {
protected:
    TGLBaseSceneObject& Root() { return *scene.GLDummyCube1; }

    TGLCylinder& RandomCylinder(float spread = 50) {
        auto* c = Root().CreateChild<TGLCylinder>();
        const float r = Uniform(4, 20);
        c->SetBottomRadius(r);
        c->SetTopRadius(r);
        c->SetHeight(Uniform(10, 90));
        Place(*c, spread);
        return *c;
    }
    TGLTorus& RandomTorus() {
        auto* t = Root().CreateChild<TGLTorus>();
        t->SetMajorRadius(Uniform(15, 40));
        t->SetMinorRadius(Uniform(3, 10));
        Place(*t, 50);
        return *t;
    }
    TGLPipe& RandomTube() {
        auto* p = Root().CreateChild<TGLPipe>();
        p->SetRadius(Uniform(4, 12));
        TAffineVector at = AffineVectorMake(Uniform(-60, 60), Uniform(-60, 60), Uniform(-60, 60));
        for (int i = 0; i < 4; ++i) {
            p->PipeNodes().AddNode(at.x, at.y, at.z);
            at = VectorAdd(at,
                           AffineVectorMake(Uniform(-40, 40), Uniform(-40, 40), Uniform(-40, 40)));
        }
        return *p;
    }
    void Place(TGLBaseSceneObject& o, float spread) {
        o.Position().SetPoint(Uniform(-spread, spread), Uniform(-spread, spread),
                              Uniform(-spread, spread));
        o.SetRollAngle(Uniform(-180, 180));
        o.SetPitchAngle(Uniform(-180, 180));
        o.SetTurnAngle(Uniform(-180, 180));
    }
    float Uniform(float low, float high) {
        return std::uniform_real_distribution<float>(low, high)(random);
    }
    TClashSolid SolidOf(TGLBaseSceneObject& o) { return *ClashSolidOf(o, frame); }

    // The judged distance against the oracle: a gap within the sampling error (and never more
    // than the sampled one), a depth within the direction and sampling error.
    // Returns whether a depth was compared.
    bool ExpectLikeOracle(TGLBaseSceneObject& a, TGLBaseSceneObject& b, bool convex) {
        const double spacing = 1.2;
        const TClashDistance d = SolidDistance(SolidOf(a), SolidOf(b));
        const TSamples sa = SampleObject(a, spacing), sb = SampleObject(b, spacing);
        if (d.distance > 0.3) {
            const double gap = SampledGap(sa, sb);
            EXPECT_LE(d.distance, gap + cTorusRingDeviation);
            EXPECT_NEAR(d.distance, gap, 0.5);
            EXPECT_NEAR(Distance(d.onFirst, d.onSecond), d.distance, 0.5) << "closest points";
        } else if (d.distance < -0.3 && convex) {
            // Samples a spacing apart can miss the deepest spot, so the sampled depth may fall
            // short of the true one by up to the spacing.
            const double sampled = -SampledDepth(sa, sb);
            EXPECT_LE(d.distance, sampled + 0.5);
            EXPECT_GE(d.distance, sampled - 0.5 - spacing);
            return true;
        }
        return false;
    }

    TViewerScene scene;
    TFileFrame frame;
    std::mt19937 random{18};
};

TEST_F(ClashGeometryTest, CylinderPairsMatchTheOracleOnRandomPoses) {
    int depths = 0;
    for (int i = 0; i < 40; ++i) {
        SCOPED_TRACE(i);
        const float spread = i % 2 ? 10 : 50;
        // Drawn in two statements: the order of a call's arguments differs between compilers.
        TGLCylinder& first = RandomCylinder(spread);
        TGLCylinder& second = RandomCylinder(spread);
        depths += ExpectLikeOracle(first, second, true);
        Root().FreeChildren();
    }
    EXPECT_GE(depths, 8);
}

TEST_F(ClashGeometryTest, TubeAndTorusGapsMatchTheOracleOnRandomPoses) {
    for (int i = 0; i < 24; ++i) {
        SCOPED_TRACE(i);
        ExpectLikeOracle(RandomTorus(), RandomCylinder(), false);
        ExpectLikeOracle(RandomTube(), RandomTorus(), false);
        ExpectLikeOracle(RandomCylinder(), RandomTube(), false);
        Root().FreeChildren();
    }
}

TEST_F(ClashGeometryTest, ClosedFormsAgreeWithTheLibraryWhereTheyApply) {
    int compared = 0;
    for (int i = 0; i < 400; ++i) {
        auto piece = [&] {
            const TPoint3D a{Uniform(-50, 50), Uniform(-50, 50), Uniform(-50, 50)};
            TPoint3D b = a + TPoint3D{Uniform(-60, 60), Uniform(-60, 60), Uniform(-60, 60)};
            const int shape = i % 4;
            if (shape == 3)
                b = a; // a ball
            return TClashPiece{a, b, Uniform(1, 15), shape != 0};
        };
        TClashPiece p = piece(), q = piece();
        if (i % 5 == 0)
            q.b = q.a + (p.b - p.a) * 0.7; // parallel axes
        const std::optional<TClashDistance> closed = PieceDistanceClosedForm(p, q);
        if (!closed)
            continue;
        ++compared;
        const TClashDistance library = PieceDistanceLibrary(p, q);
        EXPECT_NEAR(closed->distance, library.distance,
                    closed->distance > 0 ? 1.0e-3 : 0.05 * std::fabs(library.distance) + 0.05)
            << i;
    }
    EXPECT_GT(compared, 200);
}

// Solids of many pieces: the distance is the least of every pair of pieces, whatever the
// search skips; chains that cross, touch, nest or stand apart, pieces of any size.
TEST_F(ClashGeometryTest, ManyPieceSolidsTakeTheLeastOfEveryPiecePair) {
    auto chain = [&](TClashSolidKind kind, int pieces, float spread) {
        TClashSolid solid;
        solid.kind = kind;
        TPoint3D at{Uniform(-spread, spread), Uniform(-spread, spread), Uniform(-spread, spread)};
        const double radius = Uniform(0, 1) < 0.2 ? 0 : Uniform(0.5, 12);
        const bool rounded = kind == TClashSolidKind::Torus;
        for (int k = 0; k < pieces; ++k) {
            const TPoint3D next =
                at + TPoint3D{Uniform(-40, 40), Uniform(-40, 40), Uniform(-40, 40)};
            solid.pieces.push_back({at, next, radius, rounded});
            at = next;
        }
        return solid;
    };
    int overlaps = 0;
    for (int i = 0; i < 300; ++i) {
        SCOPED_TRACE(i);
        const float spread = i % 3 == 0 ? 10 : 80;
        const TClashSolid a =
            chain(i % 2 ? TClashSolidKind::Tube : TClashSolidKind::Torus, 1 + i % 23, spread);
        const TClashSolid b = chain(TClashSolidKind::Tube, 1 + i % 7 * 5, spread);
        double least = HUGE_VAL;
        for (const TClashPiece& p : a.pieces)
            for (const TClashPiece& q : b.pieces)
                least = std::min(least, PieceDistance(p, q).distance);
        const TClashDistance d = SolidDistance(a, b);
        EXPECT_EQ(d.distance, least);
        overlaps += least < 0;
    }
    EXPECT_GT(overlaps, 30);
}

// A closed box of triangles from lo to hi.
TClashMesh BoxMesh(const TPoint3D& lo, const TPoint3D& hi) {
    std::vector<TPoint3D> c;
    auto corner = [&](int k) {
        return TPoint3D{k & 1 ? hi.x : lo.x, k & 2 ? hi.y : lo.y, k & 4 ? hi.z : lo.z};
    };
    const int quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                             {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& q : quads)
        for (const int k : {q[0], q[1], q[2], q[0], q[2], q[3]})
            c.push_back(corner(k));
    return TClashMesh(std::move(c));
}

TEST_F(ClashGeometryTest, MeshesMeasureGapsCrossingsAndEnclosure) {
    auto box = std::make_shared<const TClashMesh>(BoxMesh({0, 0, 0}, {100, 100, 100}));
    ASSERT_TRUE(box->Closed());
    TClashSolid mesh{TClashSolidKind::Mesh, {}, box, {0, 0, 0}, {100, 100, 100}};
    auto cylinder = [](TPoint3D a, TPoint3D b, double r) {
        return TClashSolid{TClashSolidKind::Cylinder, {{a, b, r, false}}, nullptr, {}, {}};
    };
    // Beside a face, across an edge, inside, through a wall, and a point inside.
    EXPECT_NEAR(SolidDistance(mesh, cylinder({120, 20, 50}, {120, 80, 50}, 10)).distance, 10, 1e-6);
    EXPECT_NEAR(SolidDistance(cylinder({110, 110, -50}, {110, 110, 150}, 5), mesh).distance,
                std::hypot(10, 10) - 5, 1e-6);
    const double inside = SolidDistance(mesh, cylinder({50, 10, 50}, {50, 60, 50}, 10)).distance;
    EXPECT_NEAR(inside, -(10 + 50), 1e-6) << "out through the nearest wall";
    EXPECT_LT(SolidDistance(mesh, cylinder({50, 50, 50}, {50, 50, 180}, 10)).distance, -1.0);
    const TClashSolid point{
        TClashSolidKind::Point, {{{30, 40, 95}, {30, 40, 95}, 0, true}}, nullptr, {}, {}};
    EXPECT_NEAR(SolidDistance(point, mesh).distance, -5, 1e-6);
    // A box with a face missing encloses nothing.
    std::vector<TPoint3D> open = box->Corners();
    open.resize(open.size() - 6);
    TClashSolid openMesh{
        TClashSolidKind::Mesh, {}, std::make_shared<const TClashMesh>(open), {}, {}};
    EXPECT_NEAR(SolidDistance(point, openMesh).distance, 5, 1e-6);
    // Two boxes overlapping by 7 along x.
    TClashSolid other{TClashSolidKind::Mesh,
                      {},
                      std::make_shared<const TClashMesh>(BoxMesh({93, 20, 20}, {150, 80, 80})),
                      {},
                      {}};
    EXPECT_NEAR(SolidDistance(mesh, other).distance, -7, 0.5);
}

// Drawn items judged as the viewer judges them: tables, build, solids, distance, type.
class ClashJudgementTest : public ::testing::Test {
protected:
    ClashJudgementTest() {
        doc.loadScale = 500;
        GroupEntry g;
        g.kind = ikLine;
        g.onoff = 1;
        group = doc.GroupTable.Append(g);
    }
    void Line(TPoint3D a, TPoint3D b, float radius = 50) {
        LineItem l;
        l.group = group;
        l.dddname = "100A";
        l.ddd = radius;
        l.x1 = a.x, l.y1 = a.y, l.z1 = a.z, l.x2 = b.x, l.y2 = b.y, l.z2 = b.z;
        l.code = 4;
        l.lineNo = doc.LineTable.Count() + 1;
        doc.LineTable.Append(l);
    }
    struct TVerdict {
        TClashType type;
        double distance;
    };
    // The last two built objects.
    TVerdict Judge(const TClashSettings& settings = {}) {
        BuildScene(doc, scene, log);
        TGLBaseSceneObject& root = *scene.GLDummyCube1;
        const int n = root.Count();
        const TFileFrame frame = FileFrameOf(doc);
        const TClashSolid a = *ClashSolidOf(*root.Children(n - 2), frame);
        const TClashSolid b = *ClashSolidOf(*root.Children(n - 1), frame);
        const double d = SolidDistance(a, b).distance;
        return {ClassifyClash(a, b, d, settings), d};
    }

    TDocument doc;
    TViewerScene scene;
    TMemoryLog log;
    int group = 0;
};

TEST_F(ClashJudgementTest, JointsOfRunsAndElbowsAreConnectedAndTeesStayClashes) {
    struct TCase {
        const char* name;
        TPoint3D a0, a1, b0, b1;
        TClashType expected;
    };
    const TCase cases[] = {
        {"straight run",
         {0, 0, 0},
         {1000, 0, 0},
         {1000, 0, 0},
         {2500, 0, 0},
         TClashType::Connected},
        {"run drawn backwards",
         {0, 0, 0},
         {1000, 0, 0},
         {2500, 0, 0},
         {1000.5, 0, 0},
         TClashType::Connected},
        {"elbow", {0, 0, 0}, {1000, 0, 0}, {1000, 0, 0}, {1000, 800, 0}, TClashType::Connected},
        {"vertical elbow",
         {0, 0, 0},
         {0, 0, 900},
         {0, 0, 900},
         {0, 700, 900},
         TClashType::Connected},
        {"tee", {0, 0, 0}, {2000, 0, 0}, {1000, 0, 0}, {1000, 800, 0}, TClashType::Hard},
        {"crossing", {0, 0, 0}, {2000, 0, 0}, {1000, -500, 30}, {1000, 500, 30}, TClashType::Hard},
        {"ends 3 apart", {0, 0, 0}, {1000, 0, 0}, {1003, 0, 0}, {2000, 0, 0}, TClashType::Apart},
        {"end beside a pipe",
         {0, 0, 0},
         {1000, 0, 0},
         {1050.5, 0, -500},
         {1050.5, 0, 500},
         TClashType::Touch},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        doc.LineTable.Clear();
        Line(c.a0, c.a1);
        Line(c.b0, c.b1);
        EXPECT_EQ(Judge().type, c.expected);
    }
    // Joints judged as clashes when the user asks for it: a straight run touches.
    doc.LineTable.Clear();
    Line({0, 0, 0}, {1000, 0, 0});
    Line({1000, 0, 0}, {2000, 0, 0});
    const TVerdict v = Judge({1.0, 0, false});
    EXPECT_EQ(v.type, TClashType::Touch);
    EXPECT_NEAR(v.distance, 0, 1e-3);
}

TEST_F(ClashJudgementTest, AFilletedTubeJoinsTheLineThatContinuesIt) {
    GroupEntry g;
    g.kind = ikPolyline;
    g.onoff = 1;
    const int tubeGroup = doc.GroupTable.Append(g);
    const TPoint3D path[] = {{0, 0, 0}, {1000, 0, 0}, {1000, 1000, 0}};
    for (int i = 0; i < 3; ++i) {
        PolyVertex v;
        v.group = tubeGroup;
        v.seq = i + 1;
        v.dddname = "100A";
        v.ddd = 50;
        v.label = i == 1 ? "R" : "";
        v.x = path[i].x, v.y = path[i].y, v.z = path[i].z;
        v.code = 4;
        v.lineNo = 50 + i;
        doc.PolyTable.Append(v);
    }
    Line({1000, 1000, 0}, {1000, 2000, 0});
    EXPECT_EQ(Judge().type, TClashType::Connected);
}

TEST_F(ClashJudgementTest, FlangesAndParallelPipesAreApartByTheirTrueGaps) {
    // A flange ring of major radius 70 and minor 12 around a pipe of radius 50: 8 clear.
    Line({0, 0, -500}, {0, 0, 500});
    GroupEntry g;
    g.kind = ikTorus;
    g.onoff = 1;
    TorusItem t;
    t.group = doc.GroupTable.Append(g);
    t.major = 70;
    t.ddd = 12;
    t.code = 4;
    t.lineNo = 99;
    doc.TorusTable.Append(t);
    TVerdict v = Judge();
    EXPECT_EQ(v.type, TClashType::Apart);
    EXPECT_NEAR(v.distance, 8.0, 0.5);
    // Parallel pipes of radius 50 with axes 113 apart: 13 clear; a clearance of 20 catches it.
    doc.TorusTable.Clear();
    doc.LineTable.Clear();
    Line({0, 0, 0}, {3000, 0, 0});
    Line({500, 113, 0}, {2500, 113, 0});
    v = Judge();
    EXPECT_EQ(v.type, TClashType::Apart);
    EXPECT_NEAR(v.distance, 13.0, 0.01);
    EXPECT_EQ(Judge({1.0, 20, true}).type, TClashType::Clearance);
}

// The batch clash lines end with the type and the distance; pairs within the clearance that
// the pass does not report follow the pass's pairs.
TEST(ClashBatch, LinesCarryTypeAndDistanceAndTheClearancePairs) {
    test::TempFolder folder;
    auto line = [](int x1, int y1, int x2, int y2, int z) {
        return "2,,1,P,R,50A,50,S," + std::to_string(x1) + "," + std::to_string(y1) + "," +
               std::to_string(z) + ",4\r\n2,,0,,,,,E," + std::to_string(x2) + "," +
               std::to_string(y2) + "," + std::to_string(z) + "\r\n";
    };
    const std::string file = folder.WriteRaw(
        "d.csv", line(0, 0, 1000, 0, 0) + line(1000, 0, 2000, 0, 0) + // a straight joint
                     line(500, 0, 500, 800, 0) +                      // a tee into the first
                     line(0, 0, 1000, 0, 5000) + line(0, 113, 1000, 113, 5000) + // 13 apart
                     line(0, 0, 1000, 0, 9000) + line(0, 130, 1000, 130, 9000)); // 30 apart
    auto run = [&](std::vector<std::string> extra) {
        std::vector<std::string> args{"--batch", file, "--show-all", "--clashes"};
        args.insert(args.end(), extra.begin(), extra.end());
        std::ostringstream out, err;
        EXPECT_EQ(RunBatch(args, folder.Path(), out, err), 0) << err.str();
        std::map<std::string, std::string> byLines; // "low-high" lines -> "type distance"
        std::istringstream lines(out.str());
        for (std::string text; std::getline(lines, text);) {
            std::vector<std::string> f;
            std::istringstream fields(text);
            for (std::string field; std::getline(fields, field, '\t');)
                f.push_back(field);
            EXPECT_EQ(f.size(), 16u) << text;
            if (f.size() == 16u)
                byLines[std::to_string(std::min(std::stoi(f[1]), std::stoi(f[6]))) + "-" +
                        std::to_string(std::max(std::stoi(f[1]), std::stoi(f[6])))] =
                    f[14] + " " + f[15];
        }
        return byLines;
    };
    // Boxes of pipes along the axes meet only where the pipes do.
    EXPECT_EQ(run({}), (std::map<std::string, std::string>{{"2-4", "connected 0.0"},
                                                           {"2-6", "hard -50.0"}}));
    const auto withClearance = run({"--clearance", "40", "--tolerance", "0.5"});
    EXPECT_EQ(withClearance, (std::map<std::string, std::string>{{"2-4", "connected 0.0"},
                                                                 {"2-6", "hard -50.0"},
                                                                 {"8-10", "clearance 13.0"},
                                                                 {"12-14", "clearance 30.0"}}));
    std::ostringstream out, err;
    EXPECT_EQ(RunBatch({"--batch", file, "--clearance", "-3"}, folder.Path(), out, err), 2);
}

TEST(ClashSettingsFile, BadValuesFallBackWithANoticeAndGoodOnesComeBack) {
    test::TempFolder folder;
    const std::string path =
        folder.Write("hkviewer.Ini", {"[clash]", "tolerance=abc", "clearance=-5", "connected=2"});
    std::vector<std::string> notices;
    EXPECT_EQ(ReadClashSettings(TIniFile(path), notices), TClashSettings{});
    ASSERT_EQ(notices.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_NE(notices[std::size_t(i)].find("hkviewer.Ini: line " + std::to_string(i + 2) +
                                               ": [clash] "),
                  std::string::npos)
            << notices[std::size_t(i)];
    TIniFile ini(path);
    WriteClashSettings(ini, {2.5, 30, false});
    ini.Save();
    notices.clear();
    EXPECT_EQ(ReadClashSettings(TIniFile(path), notices), (TClashSettings{2.5, 30, false}));
    EXPECT_TRUE(notices.empty());
}

} // namespace
} // namespace hk
