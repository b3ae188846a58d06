#include "engine/text/AnsiText.h"

#include "platform/codepage.h"

#include <QString>

namespace doctext {

char16_t CompressedToUnicode(std::uint8_t byte) {
    switch (byte) {
    case 0x82: return 0x201A;
    case 0x83: return 0x0192;
    case 0x84: return 0x201E;
    case 0x85: return 0x2026;
    case 0x86: return 0x2020;
    case 0x87: return 0x2021;
    case 0x88: return 0x02C6;
    case 0x89: return 0x2030;
    case 0x8A: return 0x0160;
    case 0x8B: return 0x2039;
    case 0x8C: return 0x0152;
    case 0x91: return 0x2018;
    case 0x92: return 0x2019;
    case 0x93: return 0x201C;
    case 0x94: return 0x201D;
    case 0x95: return 0x2022;
    case 0x96: return 0x2013;
    case 0x97: return 0x2014;
    case 0x98: return 0x02DC;
    case 0x99: return 0x2122;
    case 0x9A: return 0x0161;
    case 0x9B: return 0x203A;
    case 0x9C: return 0x0153;
    case 0x9F: return 0x0178;
    default: return byte;
    }
}

void AnsiTextBuilder::AddCompressed(std::span<const std::uint8_t> bytes) {
    for (std::uint8_t b : bytes)
        m_units.push_back(CompressedToUnicode(b));
}

void AnsiTextBuilder::AddUtf16(std::span<const std::uint8_t> bytes) {
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        m_units.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
}

std::string AnsiTextBuilder::Finish() const {
    // Surrogates are replaced before the conversion so that a pair keeps
    // its two positions instead of collapsing into one '?'.
    QString text;
    text.reserve(static_cast<qsizetype>(m_units.size()));
    bool plainAscii = true;
    for (char16_t c : m_units) {
        if (c >= 0x80)
            plainAscii = false;
        text.append(QChar::isSurrogate(c) ? QChar(u'?') : QChar(c));
    }
    if (plainAscii)
        return std::string(m_units.begin(), m_units.end());
    std::string out = platform::Utf16ToAnsi(text);
    // A multi-byte code page could yield more bytes than characters; keep
    // one byte per character so positions in the text stay character
    // positions.
    if (out.size() != m_units.size()) {
        std::string perUnit;
        perUnit.reserve(m_units.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            const std::string one = platform::Utf16ToAnsi(QString(text[i]));
            perUnit += one.size() == 1 ? one[0] : '?';
        }
        return perUnit;
    }
    return out;
}

}  // namespace doctext
