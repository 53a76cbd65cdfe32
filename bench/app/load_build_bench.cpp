// Load and build of generated drawings of mixed record kinds (lines, pipes, tori, points, faces,
// dimensions), with every group switched on so that each item becomes a scene object.
#include "app/data_file.h"
#include "app/item_grid_model.h"
#include "app/scene_builder.h"
#include "app/viewer_scene.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace hk {
namespace {

// Writes a drawing of about `records` data lines in cycles of ten: a line (two lines), a pipe,
// a torus, a point, a face of four vertices and a dimension; names repeat every 40 cycles.
std::string WriteDrawing(int records) {
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("hk_load_build_" + std::to_string(records) + ".csv"))
                                 .string();
    std::ofstream out(file, std::ios::binary);
    for (int i = 0; i < records / 10; ++i) {
        const std::string n = std::to_string(i % 40);
        const std::string x = std::to_string(i * 10 % 100000);
        const std::string y = std::to_string(i * 7 % 50000);
        const std::string z = std::to_string(i % 300 * 10);
        out << "2,,1,L" << n << ",R,100A,57,S," << x << "," << y << "," << z << ",4\r\n";
        out << "2,,0,,,,,E," << x << "," << y << "," << std::to_string(i % 300 * 10 + 500)
            << "\r\n";
        out << "20,,P" << n << ",R,50A,30,26,A," << x << ",0," << z << ",B," << x << ",900," << z
            << ",4\r\n";
        out << "18,,T" << n << ",R,100A,15," << x << "," << y << "," << z << ",80,0,90,2\r\n";
        out << "1,,Q" << n << ",R,8," << x << "," << y << "," << z << ",1\r\n";
        for (int v = 1; v <= 4; ++v)
            out << "7," << i + 1 << ",1," << v << ",F" << n << ",R,V," << x << ","
                << (v > 2 ? 100 : 0) << "," << z << ",0\r\n";
        out << "10,,D" << n << ",R,,,0,0," << z << ",1500,0," << z << ",0,-300," << z
            << ",1500,-300," << z << ",0\r\n";
    }
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
