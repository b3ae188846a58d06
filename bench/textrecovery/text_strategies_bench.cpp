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

// A file with its header gone whose every sector has the shape the reader
// looks for when it must find the container's parts: a FAT sector (links
// in range, a FAT mark) or a directory sector opening with a root entry.
enum class Shape { Fat, Directory };
std::vector<std::uint8_t> Shapes(std::size_t size, Shape shape) {
    std::vector<std::uint8_t> file(size, 0);
    const std::size_t sectors = size / 512;
    for (std::size_t s = 1; s < sectors; ++s) {
        std::uint8_t* sec = file.data() + 512 * s;
        if (shape == Shape::Fat) {
            for (std::size_t i = 0; i < 128; ++i) {
                const std::uint32_t v = i == (s - 1) % 128 ? 0xFFFFFFFDu : static_cast<std::uint32_t>((s + i) % sectors);
                for (int b = 0; b < 4; ++b)
                    sec[4 * i + b] = static_cast<std::uint8_t>(v >> (8 * b));
            }
        } else {
            for (std::size_t e = 0; e < 4; ++e) {
                std::uint8_t* entry = sec + 128 * e;
                const char16_t* name = e == 0 ? u"Root Entry" : u"WordDocument";
                std::size_t n = 0;
                for (; name[n]; ++n)
                    entry[2 * n] = static_cast<std::uint8_t>(name[n]);
                entry[64] = static_cast<std::uint8_t>(2 * (n + 1));
                entry[66] = e == 0 ? 5 : 2;
                entry[116] = static_cast<std::uint8_t>(s);
                entry[120] = 0x10;
                entry[121] = 0x10;
            }
        }
    }
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
void RunShapes(benchmark::State& s, Shape shape) {
    const auto file = Shapes(static_cast<std::size_t>(s.range(0)), shape);
    for (auto _ : s) {
        doctext::TextFinder finder(file, {});
        benchmark::DoNotOptimize(finder.FromPieceTable(std::nullopt));
    }
    s.SetComplexityN(s.range(0));
    s.SetBytesProcessed(static_cast<std::int64_t>(s.iterations()) * s.range(0));
}
void BM_FatLookAlikes(benchmark::State& s) { RunShapes(s, Shape::Fat); }
void BM_RootEntryLookAlikes(benchmark::State& s) { RunShapes(s, Shape::Directory); }
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
BENCHMARK(BM_FatLookAlikes) SIZES;
BENCHMARK(BM_RootEntryLookAlikes) SIZES;
BENCHMARK(BM_PieceTable) SIZES;
BENCHMARK(BM_StreamStart) SIZES;
BENCHMARK(BM_Carving) SIZES;
BENCHMARK(BM_CarvingNoise) SIZES;
BENCHMARK(BM_DirectoryScan) SIZES;
BENCHMARK_MAIN();
