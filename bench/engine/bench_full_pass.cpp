// bench_engine_full_pass [CORPUS_DIR]: the full pass over every .doc of the
// corpus in MB/s, antiword and catdoc on the same files in the same run,
// and the worst-case time of one pass on 20 MB of random bytes and on a
// 20 MB file full of FIB candidates.
#include "engine/PassOnFile.h"
#include "platform/messagebox.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

std::string Quote(const fs::path& p) {
    std::string q = "'";
    for (char c : p.string())
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

void Peer(const char* name, const std::vector<fs::path>& docs, double megabytes) {
    if (std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) != 0) {
        std::printf("%-10s not installed\n", name);
        return;
    }
    const auto start = Clock::now();
    for (const auto& d : docs)
        std::system((std::string(name) + " " + Quote(d) + " >/dev/null 2>&1").c_str());
    const double s = Seconds(start);
    std::printf("%-10s %8.3f s  %8.2f MB/s (one process per file)\n", name, s, megabytes / s);
}

double WorstCase(const fs::path& file, int repeats) {
    double worst = 0;
    for (int i = 0; i < repeats; ++i) {
        const auto start = Clock::now();
        RunFullPassOnFile(file);
        worst = std::max(worst, Seconds(start));
    }
    return worst;
}

}  // namespace

int main(int argc, char** argv) {
    platform::RecordingMessageSink sink;
    const fs::path dir = argc > 1 ? fs::path(argv[1]) : fs::path(TESSALY_CORPUS_DIR);
    std::vector<fs::path> docs;
    std::uintmax_t bytes = 0;
    if (fs::exists(dir))
        for (const auto& e : fs::recursive_directory_iterator(dir))
            if (e.is_regular_file() && e.path().extension() == ".doc") {
                docs.push_back(e.path());
                bytes += e.file_size();
            }
    const double mb = static_cast<double>(bytes) / 1e6;
    std::printf("corpus: %zu files, %.1f MB\n", docs.size(), mb);
    if (!docs.empty()) {
        const auto start = Clock::now();
        for (const auto& d : docs)
            RunFullPassOnFile(d);
        const double s = Seconds(start);
        std::printf("%-10s %8.3f s  %8.2f MB/s (in process)\n", "tessaly", s, mb / s);
        Peer("antiword", docs, mb);
        Peer("catdoc", docs, mb);
    }

    const fs::path work = fs::temp_directory_path() / "tessaly-bench-engine";
    fs::create_directories(work);
    constexpr std::size_t kSize = 20 * 1000 * 1000;
    std::vector<char> data(kSize);
    std::mt19937_64 random(42);
    for (auto& c : data)
        c = static_cast<char>(random());
    std::ofstream(work / "random.doc", std::ios::binary).write(data.data(), kSize);
    // A FIB candidate every 40 bytes: markers EC A5 and "bjbj", ccpText 0
    // (invalid, so the scan goes on), and at every 512-byte boundary a FIB
    // whose text is one paragraph mark.
    std::fill(data.begin(), data.end(), 0);
    for (std::size_t at = 0; at + 512 <= kSize; at += 40) {
        data[at] = '\xEC';
        data[at + 1] = '\xA5';
        data[at + 34] = 'b', data[at + 35] = 'j', data[at + 36] = 'b', data[at + 37] = 'j';
    }
    for (std::size_t at = 512; at + 512 <= kSize; at += 512) {
        data[at] = '\xEC';
        data[at + 1] = '\xA5';
        data[at + 76] = 1;
    }
    std::ofstream(work / "candidates.doc", std::ios::binary).write(data.data(), kSize);
    std::printf("worst case, 20 MB random bytes:      %.3f s\n", WorstCase(work / "random.doc", 3));
    std::printf("worst case, 20 MB of FIB candidates: %.3f s\n", WorstCase(work / "candidates.doc", 3));
    fs::remove_all(work);
    return 0;
}
