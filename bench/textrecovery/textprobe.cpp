// tessaly-textprobe FILE [OUT]: tries each text strategy on FILE on its
// own and prints one line per strategy; with OUT, writes the text the first
// successful strategy gives (piece table, stream start, carving) to OUT.
#include "engine/ByteReader.h"
#include "engine/text/DocumentStart.h"
#include "engine/text/TextStrategies.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: tessaly-textprobe FILE [OUT]\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto start = doctext::FindDocumentStart(file);
    const auto document = std::span<const std::uint8_t>(file).subspan(std::min(start.offset, file.size()));
    doctext::TextFinder finder(document, {});
    // The FIB at 512, else the first Word FIB marker.
    std::uint64_t fibOffset = 512;
    const ByteReader r(document);
    if (r.U16Or(512) != 0xA5EC)
        for (std::size_t p = 0; p + 38 <= document.size(); ++p)
            if (r.U16Or(p) == 0xA5EC && r.U16Or(p + 34) == 0x6A62 && r.U16Or(p + 36) == 0x6A62) {
                fibOffset = p;
                break;
            }
    std::cout << "start " << start.offset << " fib " << fibOffset << "\n";
    std::optional<doctext::FoundText> chosen;
    std::string why;
    auto pt = finder.FromPieceTable(fibOffset, &why);
    std::cout << "piece-table " << (pt ? std::to_string(pt->text.size()) + " " + pt->detail : "fail: " + why) << "\n";
    auto ss = finder.FromStreamStart(fibOffset, &why);
    std::cout << "stream-start " << (ss ? std::to_string(ss->text.size()) + " " + ss->detail : "fail: " + why) << "\n";
    auto cv = finder.ByCarving();
    auto dp = finder.FromPieceTable(std::nullopt, &why);
    std::cout << "dir-piece-table " << (dp ? std::to_string(dp->text.size()) + " " + dp->detail : "fail: " + why) << "\n";
    std::cout << "carved " << (cv ? std::to_string(cv->text.size()) + " " + cv->detail : "fail") << "\n";
    chosen = pt ? pt : ss ? ss : dp ? dp : cv;
    if (argc > 2 && chosen) {
        std::ofstream out(argv[2], std::ios::binary);
        out << chosen->text;
    }
    // With a third argument, each strategy's text on its own: PREFIX.pt,
    // PREFIX.ss, PREFIX.cv, and PREFIX.foreign when the FIB is not the
    // document's.
    if (argc > 3) {
        const std::string prefix = argv[3];
        auto put = [&](const char* ext, const std::optional<doctext::FoundText>& t) {
            if (t) {
                std::ofstream out(prefix + ext, std::ios::binary);
                out << t->text;
            }
        };
        put(".pt", pt);
        put(".ss", ss);
        put(".cv", cv);
        if (finder.FibOutsideDocumentStream(fibOffset))
            std::ofstream(prefix + ".foreign") << "1";
    }
    return chosen ? 0 : 1;
}
