#pragma once
// Word document and table streams for the tests: a Word 97 FIB, the text
// in pieces (8-bit or 16-bit, stored in the reverse of their text order so
// that assembling in storage order would show), and a Clx with one
// property entry before the piece descriptors.
#include "CfbBuilder.h"

#include <string>
#include <vector>

namespace testcfb {

struct PieceSpec {
    std::u16string text;
    bool compressed = true;
};

struct WordParts {
    Bytes wordDocument;
    Bytes table;
};

inline constexpr std::uint32_t kTextStart = 1024;

inline WordParts MakeWordParts(const std::vector<PieceSpec>& pieces, std::uint16_t flags = 0x0200) {
    WordParts parts;
    Bytes& wd = parts.wordDocument;
    wd.assign(kTextStart, 0);
    Put16(wd, 0, 0xA5EC);
    Put16(wd, 2, 0xC1);
    Put16(wd, 10, flags);
    Put16(wd, 32, 14);
    Put16(wd, 34, 0x6A62);
    Put16(wd, 36, 0x6A62);
    Put16(wd, 62, 22);
    Put16(wd, 152, 93);
    std::vector<std::uint32_t> fcs(pieces.size());
    std::uint32_t cp = 0;
    for (const auto& p : pieces)
        cp += static_cast<std::uint32_t>(p.text.size());
    for (std::size_t i = pieces.size(); i-- > 0;) {
        const auto& p = pieces[i];
        const std::uint32_t at = static_cast<std::uint32_t>(wd.size());
        fcs[i] = p.compressed ? (at * 2) | 0x40000000u : at;
        for (char16_t c : p.text) {
            if (p.compressed) {
                wd.push_back(static_cast<std::uint8_t>(c));
            } else {
                wd.push_back(static_cast<std::uint8_t>(c));
                wd.push_back(static_cast<std::uint8_t>(c >> 8));
            }
        }
    }
    Put32(wd, 24, kTextStart);
    Put32(wd, 28, static_cast<std::uint32_t>(wd.size()));
    Put32(wd, 76, cp);
    if (wd.size() < 4096)
        wd.resize(4096, 0);
    // Table stream: 16 bytes of something else, then the Clx.
    Bytes& t = parts.table;
    t.assign(16, 0xAA);
    const std::uint32_t fcClx = static_cast<std::uint32_t>(t.size());
    t.push_back(0x01);  // a property entry of three bytes
    t.push_back(3);
    t.push_back(0);
    t.insert(t.end(), {0x11, 0x22, 0x33});
    t.push_back(0x02);
    const std::uint32_t lcb = static_cast<std::uint32_t>(4 * (pieces.size() + 1) + 8 * pieces.size());
    const std::size_t lcbAt = t.size();
    t.resize(t.size() + 4 + lcb, 0);
    Put32(t, lcbAt, lcb);
    std::size_t at = lcbAt + 4;
    cp = 0;
    for (const auto& p : pieces) {
        Put32(t, at, cp);
        at += 4;
        cp += static_cast<std::uint32_t>(p.text.size());
    }
    Put32(t, at, cp);
    at += 4;
    for (std::size_t i = 0; i < pieces.size(); ++i, at += 8)
        Put32(t, at + 2, fcs[i]);
    Put32(wd, 418, fcClx);
    Put32(wd, 422, static_cast<std::uint32_t>(t.size() - fcClx));
    t.resize(std::max<std::size_t>(t.size(), 4096), 0);
    return parts;
}

}  // namespace testcfb
