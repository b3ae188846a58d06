#include "engine/text/Carver.h"

#include "engine/text/AnsiText.h"

#include <algorithm>

namespace doctext {
namespace {

enum class CharClass { Bad, Letter, Digit, Blank, Punct, Mark };

CharClass Classify(char16_t c) {
    if (c == 0x0D || c == 0x0B || c == 0x0C || c == 0x07 || c == 0x09 || c == 0x20 || c == 0xA0)
        return CharClass::Blank;
    if (c == 0x13 || c == 0x14 || c == 0x15 || c == 0x1E || c == 0x1F)
        return CharClass::Mark;  // field marks and special hyphens
    if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
        return CharClass::Letter;
    if (c >= u'0' && c <= u'9')
        return CharClass::Digit;
    if (c > 0x20 && c < 0x7F)
        return CharClass::Punct;
    if (c >= 0xA1 && c <= 0xBF)
        return CharClass::Punct;
    if (c == 0xD7 || c == 0xF7)
        return CharClass::Punct;
    if (c >= 0xC0 && c <= 0xFF)
        return CharClass::Letter;
    // Latin extensions, Greek, Cyrillic, Armenian.
    if ((c >= 0x0100 && c <= 0x024F) || (c >= 0x0370 && c <= 0x03FF) || (c >= 0x0400 && c <= 0x052F) ||
        (c >= 0x0531 && c <= 0x058F))
        return CharClass::Letter;
    if ((c >= 0x2010 && c <= 0x2027) || (c >= 0x2030 && c <= 0x203A) || c == 0x20AC || c == 0x2122 ||
        c == 0x02C6 || c == 0x02DC)
        return CharClass::Punct;
    return CharClass::Bad;
}

// A raw Windows-1252 byte as a character; the five bytes the code page
// leaves undefined are no text.
char16_t FromWindows1252(std::uint8_t b) {
    switch (b) {
    case 0x80: return 0x20AC;
    case 0x8E: return 0x017D;
    case 0x9E: return 0x017E;
    case 0x81: case 0x8D: case 0x8F: case 0x90: case 0x9D: return 0;
    default: return CompressedToUnicode(b);
    }
}

class RunCollector {
public:
    RunCollector(std::size_t segment, std::size_t minChars, bool sixteenBit, std::vector<CarvedRun>& out)
        : m_segment(segment), m_minChars(minChars), m_sixteenBit(sixteenBit), m_out(out) {}

    void Feed(std::size_t offset, char16_t c) {
        const CharClass k = Classify(c);
        if (k == CharClass::Bad) {
            Flush();
            return;
        }
        // A run starts with a letter or digit: marks and signs before it are
        // more often the tail of some binary structure.
        if (m_chars.empty() && k != CharClass::Letter && k != CharClass::Digit)
            return;
        if (m_chars.empty())
            m_start = offset;
        m_chars.push_back(c);
        m_letters += k == CharClass::Letter;
        m_blanks += k == CharClass::Blank;
        m_marks += k == CharClass::Mark;
    }

    void Flush() {
        const std::size_t n = m_chars.size();
        // Mostly letters, words apart, few field marks: prose, not a table
        // of numbers or a stretch of binary that happens to be printable.
        if (n >= m_minChars && 2 * m_letters >= n && 25 * m_blanks >= n && 10 * m_marks <= n) {
            CarvedRun run;
            run.segment = m_segment;
            run.offset = m_start;
            run.bytes = m_sixteenBit ? 2 * n : n;
            run.sixteenBit = m_sixteenBit;
            AnsiTextBuilder builder;
            builder.Reserve(n);
            for (char16_t c : m_chars)
                builder.Add(c);
            run.text = builder.Finish();
            m_out.push_back(std::move(run));
        }
        m_chars.clear();
        m_letters = m_blanks = m_marks = 0;
    }

private:
    std::size_t m_segment, m_minChars;
    bool m_sixteenBit;
    std::vector<CarvedRun>& m_out;
    std::u16string m_chars;
    std::size_t m_start = 0, m_letters = 0, m_blanks = 0, m_marks = 0;
};

}  // namespace

std::vector<CarvedRun> CarveRuns(const std::vector<std::span<const std::uint8_t>>& segments, std::size_t minChars) {
    std::vector<CarvedRun> kept;
    for (std::size_t s = 0; s < segments.size(); ++s) {
        const auto bytes = segments[s];
        std::vector<CarvedRun> found;
        {
            RunCollector narrow(s, minChars, false, found);
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                const char16_t c = FromWindows1252(bytes[i]);
                if (c == 0)
                    narrow.Flush();
                else
                    narrow.Feed(i, c);
            }
            narrow.Flush();
        }
        for (std::size_t parity = 0; parity < 2; ++parity) {
            RunCollector wide(s, minChars, true, found);
            for (std::size_t i = parity; i + 1 < bytes.size(); i += 2)
                wide.Feed(i, static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
            wide.Flush();
        }
        std::stable_sort(found.begin(), found.end(),
                         [](const CarvedRun& a, const CarvedRun& b) { return a.offset < b.offset; });
        std::vector<CarvedRun> segmentRuns;
        for (auto& run : found) {
            if (!segmentRuns.empty() && run.offset < segmentRuns.back().offset + segmentRuns.back().bytes) {
                if (run.text.size() > segmentRuns.back().text.size())
                    segmentRuns.back() = std::move(run);
                continue;
            }
            segmentRuns.push_back(std::move(run));
        }
        for (auto& run : segmentRuns)
            kept.push_back(std::move(run));
    }
    return kept;
}

std::string JoinCarvedRuns(const std::vector<CarvedRun>& runs) {
    std::string text;
    for (const auto& run : runs) {
        text += run.text;
        if (text.empty() || text.back() != '\r')
            text += '\r';
    }
    return text;
}

}  // namespace doctext
