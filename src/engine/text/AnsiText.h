#pragma once
// Word's character encodings turned into the engine's 8-bit text in the
// ANSI code page, one byte per character position.
#include <cstdint>
#include <span>
#include <string>

namespace doctext {

// The character a compressed (8-bit) text byte stands for: Word stores the
// Windows-1252 punctuation of 0x82..0x9F in one byte and every other byte
// as the character of the same number.
char16_t CompressedToUnicode(std::uint8_t byte);

// Collects UTF-16 characters and converts them to the ANSI code page in one
// go; every character becomes exactly one byte ('?' where the code page has
// none, surrogate halves included).
class AnsiTextBuilder {
public:
    void Reserve(std::size_t characters) { m_units.reserve(characters); }
    void Add(char16_t c) { m_units.push_back(c); }
    void AddCompressed(std::span<const std::uint8_t> bytes);
    void AddUtf16(std::span<const std::uint8_t> bytes);  // UTF-16LE, whole units
    std::size_t Size() const { return m_units.size(); }
    std::string Finish() const;

private:
    std::u16string m_units;
};

}  // namespace doctext
