// Load and build of generated drawings of mixed record kinds (lines, pipes, tori, points, faces,
// dimensions), with every group switched on so that each item becomes a scene object.
#include "drawings.h"

#include "app/data_file.h"
#include "app/item_grid_model.h"
#include "app/scene_builder.h"
#include "app/viewer_scene.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

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
BENCHMARK(LoadAndBuild)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace hk
