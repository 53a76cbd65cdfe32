// Load and build of generated drawings of mixed record kinds (lines, pipes, tori, points, faces,
// dimensions), with every group switched on so that each item becomes a scene object; from the
// second iteration on each is a reload, tearing the previous scene down first. Also the memory
// that 200 reloads of a piping drawing leave behind, and the collision cycle after a reload.
#include "drawings.h"

#include "app/collision_report.h"
#include "app/data_file.h"
#include "app/heap_policy.h"
#include "app/item_grid_model.h"
#include "app/scene_builder.h"
#include "app/viewer_scene.h"
#include "bench/min_of_repetitions.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace hk {
namespace {

std::string WriteDrawing(int records) {
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("hk_load_build_" + std::to_string(records) + ".csv"))
                                 .string();
    bench::WriteMixedDrawing(file, records);
    return file;
}

void LoadAndBuild(benchmark::State& state) {
    SetHeapPolicy(); // as the program sets it at start-up
    const std::string file = WriteDrawing(int(state.range(0)));
    TDocument doc;
    TViewerScene scene;
    TMemoryLog log;
    for (auto _ : state) {
        LoadDataFile(doc, file, "500", false, log);
        SetAllGroupsShown(doc, true);
        BuildScene(doc, scene, log);
        benchmark::DoNotOptimize(scene.GLDummyCube1);
    }
    state.counters["objects"] = double(scene.CollisionManager1.ClientCount());
    std::filesystem::remove(file);
}
HK_BENCHMARK(LoadAndBuild)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Resident memory of the process in bytes.
double ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    double pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * double(::sysconf(_SC_PAGESIZE));
}

// One of the collision benchmark's 10,000-solid layouts written to a file, and a document,
// scene and collision cycle to reload it into, the heap set as the program sets it. With an
// edit, a second file holds the edited layout and the reloads alternate between the two, as
// reloads after saves of an edited drawing do.
struct TLayoutReloads {
    TLayoutReloads(const char* fileName, bool flat,
                   bench::TLayoutEdit edit = bench::TLayoutEdit::None)
        : file((std::filesystem::temp_directory_path() / fileName).string()),
          edited(edit == bench::TLayoutEdit::None ? file : file + ".edited.csv") {
        SetHeapPolicy();
        bench::WriteLayoutDrawing(file, 10000, flat);
        if (edited != file)
            bench::WriteLayoutDrawing(edited, 10000, flat, edit);
    }
    ~TLayoutReloads() {
        std::filesystem::remove(file);
        std::filesystem::remove(edited);
    }
    TLayoutReloads(const TLayoutReloads&) = delete;
    TLayoutReloads& operator=(const TLayoutReloads&) = delete;

    // Loads the next drawing at scale 1000 with every group shown and builds it, as a reload
    // does.
    void Reload() {
        LoadDataFile(doc, (reloads++ % 2 == 0) ? file : edited, "1000", false, log);
        SetAllGroupsShown(doc, true);
        BuildScene(doc, scene, log);
    }

    const std::string file, edited;
    int reloads = 0;
    TDocument doc;
    TViewerScene scene;
    TMemoryLog log;
    TCollisionCheck check{scene.CollisionManager1, log};
};

// Reloads of the collision benchmark's 10,000-solid piping layout in one process, each with a
// collision cycle as the window runs after a reload. Counters: resident memory after the first
// and after the second reload, and the growth from the second to the last, in per cent.
void Reloads(benchmark::State& state) {
    TLayoutReloads rig("hk_reload_piping.csv", false);
    double first = 0, second = 0;
    for (auto _ : state) {
        rig.Reload();
        rig.check.RunCycle();
        if (first == 0)
            first = ResidentBytes();
        else if (second == 0)
            second = ResidentBytes();
    }
    state.counters["rss1_mb"] = first / 1e6;
    state.counters["rss2_mb"] = second / 1e6;
    state.counters["growth_pct"] = (ResidentBytes() - second) / second * 100;
}
HK_BENCHMARK(Reloads)->Iterations(200)->Unit(benchmark::kMillisecond);

// The collision cycle right after a reload of the collision benchmark's 10,000-solid layouts
// (piping, flat floor), as the batch mode runs it: clearing, pass and report lines into the
// message area held in memory. The reload itself is not timed. The reloads alternate between
// the layout and the layout after an edit (`edit`: none, so that the drawing reads as it did;
// one solid moved; every solid moved, so that every pair is tested).
void FirstCycleAfterReload(benchmark::State& state) {
    TLayoutReloads rig("hk_first_cycle.csv", state.range(0) != 0,
                       bench::TLayoutEdit(state.range(1)));
    for (auto _ : state) {
        state.PauseTiming();
        rig.Reload();
        state.ResumeTiming();
        benchmark::DoNotOptimize(rig.check.RunCycle());
    }
    state.counters["lines"] = double(rig.log.LineCount());
}
HK_BENCHMARK(FirstCycleAfterReload)
    ->ArgNames({"flat", "edit"})
    ->ArgsProduct({{0, 1}, {0, 1, 2}})
    ->Iterations(40)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace hk
