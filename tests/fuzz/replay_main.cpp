// Replay driver for fuzz targets built without libFuzzer: feeds every seed of the corpus folder
// to LLVMFuzzerTestOneInput, then byte-level mutations of the seeds until the time runs out.
// Deterministic (fixed seed), so a failure found here reproduces.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::vector<std::uint8_t>> ReadSeeds(const std::filesystem::path& dir) {
    std::vector<std::vector<std::uint8_t>> seeds;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (seeds.empty())
        seeds.emplace_back();
    return seeds;
}

void Mutate(std::vector<std::uint8_t>& data, std::mt19937& rng) {
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < edits; ++i) {
        const std::size_t at = data.empty() ? 0 : rng() % data.size();
        switch (rng() % 4) {
        case 0:
            if (!data.empty())
                data[at] = static_cast<std::uint8_t>(rng());
            break;
        case 1:
            data.insert(data.begin() + static_cast<std::ptrdiff_t>(at),
                        static_cast<std::uint8_t>(rng()));
            break;
        case 2:
            if (!data.empty())
                data.erase(data.begin() + static_cast<std::ptrdiff_t>(at));
            break;
        default:
            if (!data.empty())
                data.resize(at);
            break;
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SECONDS CORPUS_DIR\n", argv[0]);
        return 2;
    }
    const auto budget = std::chrono::seconds(std::stoi(argv[1]));
    const auto seeds = ReadSeeds(argv[2]);
    for (const auto& seed : seeds)
        LLVMFuzzerTestOneInput(seed.data(), seed.size());

    std::mt19937 rng(12345);
    const auto start = std::chrono::steady_clock::now();
    long runs = 0;
    while (std::chrono::steady_clock::now() - start < budget) {
        auto data = seeds[rng() % seeds.size()];
        Mutate(data, rng);
        LLVMFuzzerTestOneInput(data.data(), data.size());
        ++runs;
    }
    std::printf("%ld mutated inputs ran clean\n", runs);
    return 0;
}
