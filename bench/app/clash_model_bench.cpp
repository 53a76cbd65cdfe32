// What the clash model adds to the collision cycle on drawings of 10,000 solids (the collision
// benchmarks' piping layout and flat floor): a still pass (nothing changed since the last one)
// with and without the model, the model's own share of it, the first pass after a build (every
// row made anew) and indexing the items of a load.
#include "app/clash_model.h"
#include "app/collision_report.h"
#include "app/data_file.h"
#include "app/item_grid_model.h"
#include "app/scene_builder.h"
#include "app/viewer_scene.h"
#include "bench/min_of_repetitions.h"
#include "drawings.h"
#include "primitives/shapes/dummy_cube.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace hk {
namespace {

constexpr int cSolids = 10000;

// A loaded and built layout with its collision cycle; the model is fed when `withModel`.
struct TClashScene {
    TClashScene(bool flat, bool withModel) {
        const std::string file = (std::filesystem::temp_directory_path() /
                                  ("hk_clash_bench_" + std::to_string(flat) + ".csv"))
                                     .string();
        bench::WriteLayoutDrawing(file, cSolids, flat);
        LoadDataFile(doc, file, "1000", false, log);
        std::filesystem::remove(file);
        SetAllGroupsShown(doc, true);
        BuildScene(doc, scene, log);
        clashes.IndexItems(doc);
        check = std::make_unique<TCollisionCheck>(scene.CollisionManager1, log,
                                                  withModel ? &clashes : nullptr);
    }
    TDocument doc;
    TViewerScene scene;
    TMemoryLog log;
    TClashModel clashes;
    std::unique_ptr<TCollisionCheck> check;
};

void StillPass(benchmark::State& state) {
    TClashScene s(state.range(1) != 0, state.range(0) != 0);
    s.check->RunCycle(); // records the pass and makes the rows
    s.check->RunCycle();
    for (auto _ : state)
        benchmark::DoNotOptimize(s.check->RunCycle());
    state.counters["clashes"] = double(s.log.Lines().size());
    state.counters["rows"] = double(s.clashes.Rows().size());
}
HK_BENCHMARK(StillPass)
    ->ArgNames({"model", "flat"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// The first pass after a build: the pass records anew and the model makes every row.
void PassAfterBuild(benchmark::State& state) {
    TClashScene s(state.range(1) != 0, state.range(0) != 0);
    for (auto _ : state) {
        state.PauseTiming();
        s.clashes.IndexItems(s.doc);
        s.scene.GLDummyCube1->Position().AddOffset({0.001f, 0, 0});
        state.ResumeTiming();
        benchmark::DoNotOptimize(s.check->RunCycle());
    }
    state.counters["rows"] = double(s.clashes.Rows().size());
}
HK_BENCHMARK(PassAfterBuild)
    ->ArgNames({"model", "flat"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// The model's own share of a still pass, apart from the pass: the pairs of a recorded pass
// handed over again, as the cycle does when nothing changed.
void ModelStillPass(benchmark::State& state) {
    TClashScene s(state.range(0) != 0, true);
    std::vector<std::pair<TGLBaseSceneObject*, TGLBaseSceneObject*>> pairs;
    s.scene.CollisionManager1.OnCollision = [&pairs](TGLComponent*, TGLBaseSceneObject* a,
                                                     TGLBaseSceneObject* b) {
        pairs.emplace_back(a, b);
    };
    s.scene.CollisionManager1.TestAllPairs();
    const auto feed = [&] {
        s.clashes.BeginPass();
        for (const auto& [a, b] : pairs)
            s.clashes.AddPair(*a, *b);
        s.clashes.EndPass();
    };
    feed(); // makes the rows
    const unsigned changes = s.clashes.Changes();
    for (auto _ : state)
        feed();
    if (s.clashes.Changes() != changes)
        state.SkipWithError("a still pass changed the rows");
    state.counters["pairs"] = double(pairs.size());
}
HK_BENCHMARK(ModelStillPass)->ArgName("flat")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Identities of every collidable item, once per build.
void IndexItems(benchmark::State& state) {
    TClashScene s(false, true);
    for (auto _ : state)
        s.clashes.IndexItems(s.doc);
}
HK_BENCHMARK(IndexItems)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace hk
