// The collision cycle over small built scenes: the report lines and their order, the lamp, the
// label text, a cleared message area; and the batch run's --collide output.
#include "app/batch.h"
#include "app/collision_report.h"
#include "app/scene_builder.h"
#include "app/viewer_scene.h"
#include "collision/collision_behaviour.h"
#include "collision/collision_manager.h"
#include "primitives/shapes/dummy_cube.h"
#include "tests/app/temp_folder.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace hk {
namespace {

TEST(CollisionReportTexts, ModeNamesLampsAndTimeFormat) {
    EXPECT_EQ(BoundingModeName(cbmPoint), "Point");
    EXPECT_EQ(BoundingModeName(cbmFaces), "Faces");
    EXPECT_EQ(BoundingModeName(TCollisionBoundingMode(5)), "");
    EXPECT_EQ(FormatPassTime(12.34), "12.3 ms");
    EXPECT_EQ(FormatPassTime(0), "0.0 ms");
    EXPECT_EQ(FormatPassTime(1234.56), "1234.6 ms");
    EXPECT_EQ(LampColour(false), (TLampColour{0, 255, 0}));
    EXPECT_EQ(LampColour(true), (TLampColour{255, 0, 0}));
}

class CollisionCycleTest : public ::testing::Test {
protected:
    CollisionCycleTest() {
        doc.loadScale = 500;
        GroupEntry g;
        g.kind = ikPipe;
        g.onoff = 1;
        group = doc.GroupTable.Append(g);
    }

    // A pipe along x at height z with the given collision code.
    void AddPipe(double z, int code, double y = 0) {
        PipeItem pipe;
        pipe.group = group;
        pipe.ddd = 50;
        pipe.ddd2 = 40;
        pipe.x2 = 1000;
        pipe.y1 = pipe.y2 = y;
        pipe.z1 = pipe.z2 = z;
        pipe.code = code;
        pipe.lineNo = doc.PipeTable.Count() + 1;
        doc.PipeTable.Append(pipe);
    }

    TCollisionCycleResult Cycle() {
        BuildScene(doc, scene, log);
        TCollisionCheck check(scene.CollisionManager1, log);
        return check.RunCycle();
    }

    TDocument doc;
    TViewerScene scene;
    TMemoryLog log;
    int group = 0;
};

TEST_F(CollisionCycleTest, OverlappingPairIsReportedOnceLowerObjectFirst) {
    AddPipe(30, 2); // a sphere, somewhat higher
    AddPipe(0, 4);  // a cube
    log.Add("an earlier message");
    const TCollisionCycleResult result = Cycle();
    ASSERT_EQ(log.Lines(), (std::vector<std::string>{"(Cube)  -  (Sphere)"}));
    EXPECT_TRUE(result.collided);
    EXPECT_EQ(result.lamp, LampColour(true));
    EXPECT_EQ(result.timeText, FormatPassTime(result.milliseconds));
}

TEST_F(CollisionCycleTest, NamesOfNamedObjectsFrameTheirModes) {
    AddPipe(0, 4);
    AddPipe(10, 5);
    BuildScene(doc, scene, log);
    scene.GLDummyCube1->Children(0)->SetName("A");
    scene.GLDummyCube1->Children(1)->SetName("B");
    TCollisionCheck check(scene.CollisionManager1, log);
    check.RunCycle();
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"A(Cube)  -  B(Faces)"}));
}

TEST_F(CollisionCycleTest, SeparatedOrSingleObjectsLeaveTheAreaEmptyAndTheLampGreen) {
    AddPipe(0, 4);
    log.Add("stale");
    TCollisionCycleResult result = Cycle();
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_FALSE(result.collided);
    EXPECT_EQ(result.lamp, LampColour(false));

    AddPipe(0, 4, 5000);
    result = Cycle();
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_FALSE(result.collided);
}

TEST_F(CollisionCycleTest, EveryCycleShowsOnlyTheLastPass) {
    AddPipe(0, 4);
    AddPipe(0, 4);
    BuildScene(doc, scene, log);
    TCollisionCheck check(scene.CollisionManager1, log);
    EXPECT_TRUE(check.RunCycle().collided);
    EXPECT_TRUE(check.RunCycle().collided);
    EXPECT_EQ(log.Lines().size(), 1u);
    scene.GLDummyCube1->Children(1)->Position().SetY(100);
    EXPECT_FALSE(check.RunCycle().collided);
    EXPECT_TRUE(log.Lines().empty());
}

// A check keeps its last report when the pass repeats; after every change its message area
// must hold what a fresh check writes on a fresh area.
TEST_F(CollisionCycleTest, KeptReportsEqualFreshOnesAfterEveryChange) {
    AddPipe(0, 4);
    AddPipe(0, 3);
    AddPipe(30, 2);
    BuildScene(doc, scene, log);
    TCollisionCheck check(scene.CollisionManager1, log);
    auto fresh = [&] {
        TMemoryLog freshLog;
        const TObjectCollisionEvent kept = scene.CollisionManager1.OnCollision;
        TCollisionCheck(scene.CollisionManager1, freshLog).RunCycle();
        scene.CollisionManager1.OnCollision = kept;
        return freshLog.Lines();
    };
    auto child = [&](int i) { return scene.GLDummyCube1->Children(i); };
    auto mode = [&](int i, TCollisionBoundingMode m) {
        child(i)->Behaviours().GetByClass<TGLBCollision>()->SetBoundingMode(m);
    };
    const std::vector<std::function<void()>> changes = {
        [] {},
        [&] { log.Add("typed by the user"); },
        [&] { child(1)->Position().SetY(5000); },
        [&] { child(1)->Position().SetY(0); },
        [&] { mode(0, cbmSphere); },
        [&] {
            child(1)->Position().SetY(5000); // another pass sees the move first
            fresh();
        },
        [&] {
            AddPipe(10, 4);
            BuildScene(doc, scene, log);
        },
        [&] { mode(3, cbmEllipsoid); },
    };
    for (std::size_t step = 0; step < changes.size(); ++step) {
        changes[step]();
        check.RunCycle();
        const std::vector<std::string> lines = log.Lines();
        check.RunCycle();
        EXPECT_EQ(log.Lines(), lines) << "still pass after step " << step;
        EXPECT_EQ(lines, fresh()) << "step " << step;
        EXPECT_FALSE(lines.empty()) << "step " << step;
    }
}

TEST(BatchCollide, ReportReplacesTheMessageAreaAndTheTimeGoesToStderr) {
    test::TempFolder program;
    test::TempFolder work;
    program.Write("hkviewer.csv", {"A,,1,2,3"});
    const std::string file = work.Write("clash.csv", {
                                                         "2,,1,A,X,100A,50,S,0,0,0,4",
                                                         "2,,0,,,,,E,1000,0,0",
                                                         "2,,1,B,Y,100A,50,S,500,-500,10,2",
                                                         "2,,0,,,,,E,500,500,10",
                                                         "2,,1,C,Z,100A,50,S,0,3000,0,4",
                                                         "2,,0,,,,,E,1000,3000,0",
                                                     });
    std::ostringstream out, err;
    ASSERT_EQ(RunBatch({"--batch", file, "--collide"}, program.Path(), out, err), 0) << err.str();
    EXPECT_EQ(out.str(), "(Cube)  -  (Sphere)\n");
    const std::string time = err.str();
    ASSERT_GE(time.size(), 5u);
    EXPECT_EQ(time.substr(time.size() - 4), " ms\n");
    EXPECT_NE(time.find('.'), std::string::npos);
}

TEST(BatchCollide, ShowAllBuildsTheGroupsThatStartSwitchedOff) {
    test::TempFolder program;
    test::TempFolder work;
    program.Write("hkviewer.csv", {"A,,1,2,3"});
    const std::string file = work.Write(
        "point.csv", {"2,,1,A,X,100A,50,S,0,0,0,4", "2,,0,,,,,E,1000,0,0", "1,,Q,R,8,500,0,0,1"});
    std::ostringstream out, err;
    ASSERT_EQ(RunBatch({"--batch", file, "--collide"}, program.Path(), out, err), 0) << err.str();
    EXPECT_EQ(out.str(), "");
    std::ostringstream allOut, allErr;
    ASSERT_EQ(
        RunBatch({"--batch", file, "--show-all", "--collide"}, program.Path(), allOut, allErr), 0)
        << allErr.str();
    EXPECT_EQ(allOut.str(), "(Point)  -  (Cube)\n");
}

} // namespace
} // namespace hk
