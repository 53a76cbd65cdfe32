// The clash judgement on a generated piping drawing of 10,000 solids in 2,500 cells: two pipe
// segments meeting in a straight joint, an elbow, a crossing or a tee (one reported pair per
// cell, a quarter of each kind), a riser and a point standing clear. Measured: the judgement
// of every reported pair after a (re)load, when every solid and distance is new; a collision
// cycle over the still drawing with and without the clash model, whose difference is what the
// model and the judgement add to a still pass; and the clearance search at 100 mm. The first
// judgement is also taken on the collision benchmarks' piping layout of 10,000 cylinders
// (drawings.h), whose boxes meet far more often.
#include "app/clash_judge.h"
#include "app/clash_model.h"
#include "app/collision_report.h"
#include "app/data_file.h"
#include "app/item_grid_model.h"
#include "app/scene_builder.h"
#include "app/viewer_scene.h"
#include "bench/app/drawings.h"
#include "bench/min_of_repetitions.h"
#include "primitives/shapes/dummy_cube.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace hk {
namespace {

using TPairs = std::vector<std::pair<TGLBaseSceneObject*, TGLBaseSceneObject*>>;

struct TClashRig {
    TDocument doc;
    TViewerScene scene;
    TMemoryLog log;
    TPairs pairs;

    void Line(double x1, double y1, double z1, double x2, double y2, double z2, float radius) {
        LineItem l;
        l.group = 1;
        l.dddname = "50A";
        l.ddd = radius;
        l.x1 = x1, l.y1 = y1, l.z1 = z1, l.x2 = x2, l.y2 = y2, l.z2 = z2;
        l.code = 4;
        l.lineNo = doc.LineTable.Count() + 1;
        doc.LineTable.Append(l);
    }

    // The cells of the judgement's own drawing.
    void WriteCells() {
        GroupEntry g;
        g.kind = ikLine;
        g.onoff = 1;
        doc.GroupTable.Append(g);
        g.kind = ikPipe;
        doc.GroupTable.Append(g);
        g.kind = ikPoint;
        doc.GroupTable.Append(g);
        for (int c = 0; c < 2500; ++c) {
            const double x = c % 50 * 3000, y = c / 50 * 3000, z = 1000;
            Line(x, y, z, x + 1000, y, z, 25);
            switch (c % 4) {
            case 0: // straight joint
                Line(x + 1000, y, z, x + 2000, y, z, 25);
                break;
            case 1: // elbow
                Line(x + 1000, y, z, x + 1000, y + 1000, z, 25);
                break;
            case 2: // crossing 20 deep
                Line(x + 500, y - 500, z + 30, x + 500, y + 500, z + 30, 25);
                break;
            default: // tee
                Line(x + 500, y, z, x + 500, y + 800, z, 20);
                break;
            }
            PipeItem riser;
            riser.group = 2;
            riser.ddd = 40;
            riser.ddd2 = 35;
            riser.x1 = riser.x2 = x + 2500;
            riser.y1 = riser.y2 = y + 1500;
            riser.z1 = 0, riser.z2 = 2000;
            riser.code = 4;
            riser.lineNo = 100000 + c;
            doc.PipeTable.Append(riser);
            PointItem point;
            point.group = 3;
            point.x = x + 2000, point.y = y + 2500, point.z = z;
            point.code = 1;
            point.lineNo = 200000 + c;
            doc.PointTable.Append(point);
        }
    }

    explicit TClashRig(bool layout) {
        if (layout) {
            const std::string file =
                (std::filesystem::temp_directory_path() / "hk_clash_bench_layout.csv").string();
            bench::WriteLayoutDrawing(file, 10000, false);
            LoadDataFile(doc, file, "1000", false, log);
            std::filesystem::remove(file);
            SetAllGroupsShown(doc, true);
        } else {
            WriteCells();
        }
        BuildScene(doc, scene, log);
        scene.CollisionManager1.OnCollision = [this](TGLComponent*, TGLBaseSceneObject* a,
                                                     TGLBaseSceneObject* b) {
            pairs.emplace_back(a, b);
        };
        scene.CollisionManager1.TestAllPairs();
        scene.CollisionManager1.OnCollision = nullptr;
    }
};

TClashRig& Rig(bool layout = false) {
    static TClashRig cells(false);
    if (!layout)
        return cells;
    static TClashRig piping(true);
    return piping;
}

void Count(benchmark::State& state, const TClashRig& rig) {
    state.counters["solids"] = double(rig.scene.CollisionManager1.ClientCount());
    state.counters["pairs"] = double(rig.pairs.size());
}

// Every reported pair judged after a build: with `known`, a reload that left the drawing as it
// was (the distances of the build before come back); without, a drawing never judged before.
void BM_JudgeAfterReload(benchmark::State& state) {
    TClashRig& rig = Rig(state.range(0) != 0);
    const bool known = state.range(1) != 0;
    auto judge = std::make_unique<TClashJudge>();
    for (auto _ : state) {
        if (!known) {
            state.PauseTiming();
            judge = std::make_unique<TClashJudge>();
            state.ResumeTiming();
        }
        judge->Reset(rig.doc);
        for (const auto& [a, b] : rig.pairs)
            benchmark::DoNotOptimize(judge->Judge(*a, *b));
    }
    Count(state, rig);
}
HK_BENCHMARK(BM_JudgeAfterReload)
    ->ArgNames({"layout", "known"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// A still drawing: the cycle as the window's timer runs it, with the clash model fed or not.
void StillCycle(benchmark::State& state, bool withModel) {
    TClashRig& rig = Rig();
    TMemoryLog log;
    TClashModel model;
    model.IndexItems(rig.doc);
    TCollisionCheck check(rig.scene.CollisionManager1, log, withModel ? &model : nullptr);
    check.RunCycle();
    for (auto _ : state)
        benchmark::DoNotOptimize(check.RunCycle());
    Count(state, rig);
}
void BM_StillCycle(benchmark::State& state) {
    StillCycle(state, false);
}
void BM_StillCycleWithClashModel(benchmark::State& state) {
    StillCycle(state, true);
}
HK_BENCHMARK(BM_StillCycle)->Unit(benchmark::kMillisecond);
HK_BENCHMARK(BM_StillCycleWithClashModel)->Unit(benchmark::kMillisecond);

void BM_ClearancePairs(benchmark::State& state) {
    TClashRig& rig = Rig();
    TClashJudge judge;
    judge.Reset(rig.doc);
    judge.SetSettings({1.0, 100.0, true});
    std::size_t found = 0;
    for (auto _ : state)
        found = judge.ClearancePairs(rig.scene.CollisionManager1, rig.pairs).size();
    state.counters["clearance pairs"] = double(found);
    Count(state, rig);
}
HK_BENCHMARK(BM_ClearancePairs)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace hk
