// Time of each text strategy against the file size, on inputs made to be
// hard: a real document with megabytes of near-text noise after it, and a
// file of nothing but candidate markers. The fitted complexity must come
// out as N (linear).
#include "engine/text/DocumentStart.h"
#include "engine/text/TextStrategies.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace {

std::vector<std::uint8_t> Corpus(const char* name) {
    std::ifstream in(std::filesystem::path(TESSALY_CORPUS_DIR) / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A Word document with its header destroyed (so every search runs over the
// whole file), followed by noise up to `size` bytes: prose-like runs, FIB
// and Clx markers, header look-alikes. `withDocument` false: noise only.
std::vector<std::uint8_t> Hard(std::size_t size, bool withDocument = true) {
    std::vector<std::uint8_t> file;
    if (withDocument) {
        file = Corpus("apache-poi/Bug47742.doc");
        std::fill(file.begin(), file.begin() + std::min<std::size_t>(512, file.size()), 0);
    }
    std::mt19937 gen(7);
    const std::string words = "lorem ipsum dolor sit amet consectetur ";
    while (file.size() < size) {
        switch (gen() % 4) {
        case 0:
            for (int i = 0; i < 40; ++i)
                file.push_back(static_cast<std::uint8_t>(words[gen() % words.size()]));
            break;
        case 1:
            file.insert(file.end(), {0xEC, 0xA5, 0x02, 0x10, 0, 0, 0, 0, 0, 0, 0, 0x62, 0x6A, 0x62, 0x6A});
            break;
        case 2:
            file.insert(file.end(), {0xD0, 0xCF, 0x11, 0xE0, 0xFE, 0xFF, 0x09, 0x00, 0x06, 0x00});
            break;
        default:
            file.push_back(static_cast<std::uint8_t>(gen()));
        }
    }
    file.resize(size);
    return file;
}

template <class F>
void Run(benchmark::State& state, F f, bool withDocument = true) {
    const auto file = Hard(static_cast<std::size_t>(state.range(0)), withDocument);
    for (auto _ : state)
        f(file);
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_DocumentStart(benchmark::State& s) {
    Run(s, [](const auto& f) { benchmark::DoNotOptimize(doctext::FindDocumentStart(f)); }, false);
}
void BM_CompoundFile(benchmark::State& s) {
    Run(s, [](const auto& f) { benchmark::DoNotOptimize(doctext::CompoundFile::Parse(f)); });
}
void BM_PieceTable(benchmark::State& s) {
    Run(s, [](const auto& f) {
        doctext::TextFinder finder(f, {});
        benchmark::DoNotOptimize(finder.FromPieceTable(512));
    });
}
void BM_StreamStart(benchmark::State& s) {
    Run(s, [](const auto& f) {
        doctext::TextFinder finder(f, {});
        benchmark::DoNotOptimize(finder.FromStreamStart(512));
    });
}
void BM_Carving(benchmark::State& s) {
    Run(s, [](const auto& f) {
        doctext::TextFinder finder(f, {});
        benchmark::DoNotOptimize(finder.ByCarving());
    });
}
void BM_CarvingNoise(benchmark::State& s) {
    Run(
        s,
        [](const auto& f) {
            doctext::TextFinder finder(f, {});
            benchmark::DoNotOptimize(finder.ByCarving());
        },
        false);
}
void BM_DirectoryScan(benchmark::State& s) {
    Run(s, [](const auto& f) { benchmark::DoNotOptimize(doctext::ScanDirectoryEntries(f, 0)); });
}

}  // namespace

#define SIZES ->RangeMultiplier(4)->Range(1 << 20, 16 << 20)->Complexity()->Unit(benchmark::kMillisecond)
BENCHMARK(BM_DocumentStart) SIZES;
BENCHMARK(BM_CompoundFile) SIZES;
BENCHMARK(BM_PieceTable) SIZES;
BENCHMARK(BM_StreamStart) SIZES;
BENCHMARK(BM_Carving) SIZES;
BENCHMARK(BM_CarvingNoise) SIZES;
BENCHMARK(BM_DirectoryScan) SIZES;
BENCHMARK_MAIN();
