// Loading a generated drawing: the whole read of a data file into the item tables (file read,
// record parsing, grouping, the duplicate-line test, the polyline conversion) for drawings of
// 1,000 and 10,000 items, a quarter each two-point lines, polylines of four vertices, pipes and
// points, in 50 groups.
#include "app/data_file.h"
#include "bench/min_of_repetitions.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string Name(int i) {
    return "G" + std::to_string(i % 50);
}

// Writes a drawing of about `items` items and returns its path.
std::string WriteDrawing(int items) {
    const std::string path =
        (std::filesystem::temp_directory_path() /
         ("hk_load_bench_" + std::to_string(::getpid()) + "_" + std::to_string(items) + ".csv"))
            .string();
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < items; ++i) {
        const std::string x = std::to_string(i * 10), y = std::to_string((i * 37) % 5000);
        switch (i % 4) {
        case 0:
            out << "2,,1," << Name(i) << ",R,100A,50,S," << x << "," << y << ",0,1\r\n"
                << "2,,0,,,,,E," << x << "," << y << ",3000\r\n";
            break;
        case 1:
            out << "2,,1," << Name(i) << ",R,50A,25,S," << x << ",0," << y << ",1\r\n"
                << "2,,0,,,,,E," << x << ",1000," << y << "\r\n"
                << "2,,3," << Name(i) << ",R,50A,25,L3," << x << ",1000,4000,1\r\n"
                << "2,,4," << Name(i) << ",R,50A,25,L4," << x << ",2000,4000,1\r\n";
            break;
        case 2:
            out << "20,," << Name(i) << ",R,80A,45,40,A," << x << "," << y << ",100,B," << x << ","
                << y << ",2100,2\r\n";
            break;
        default:
            out << "1,,P" << (i % 50) << ",R,13," << x << "," << y << ",500,0\r\n";
            break;
        }
    }
    return path;
}

void BM_LoadDataFile(benchmark::State& state) {
    const std::string path = WriteDrawing(static_cast<int>(state.range(0)));
    hk::TDocument doc;
    hk::TMemoryLog log;
    for (auto _ : state) {
        if (!hk::LoadDataFile(doc, path, "500", true, log))
            state.SkipWithError("the drawing did not load");
        benchmark::DoNotOptimize(doc.LineTable.Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    std::filesystem::remove(path);
}
HK_BENCHMARK(BM_LoadDataFile)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
