// tessaly-damage KIND SEED IN OUT: writes a damaged copy of IN to OUT.
// The kinds are listed in Damage.h; `tessaly-damage --list` prints them.
#include "Damage.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--list") {
        for (const damage::Kind kind : damage::AllKinds())
            std::printf("%.*s\n", static_cast<int>(damage::KindName(kind).size()), damage::KindName(kind).data());
        return 0;
    }
    if (argc != 5) {
        std::fprintf(stderr, "usage: tessaly-damage KIND SEED IN OUT   (tessaly-damage --list for the kinds)\n");
        return 2;
    }
    const auto kind = damage::KindFromName(argv[1]);
    char* end = nullptr;
    const unsigned long long seed = std::strtoull(argv[2], &end, 10);
    if (!kind || !end || *end != '\0') {
        std::fprintf(stderr, "tessaly-damage: unknown kind or bad seed\n");
        return 2;
    }
    std::ifstream in(argv[3], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "tessaly-damage: cannot read %s\n", argv[3]);
        return 1;
    }
    const std::vector<std::uint8_t> document{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::vector<std::uint8_t> damaged = damage::Apply(*kind, seed, document);
    std::ofstream out(argv[4], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(damaged.data()), static_cast<std::streamsize>(damaged.size()));
    if (!out) {
        std::fprintf(stderr, "tessaly-damage: cannot write %s\n", argv[4]);
        return 1;
    }
    return 0;
}
