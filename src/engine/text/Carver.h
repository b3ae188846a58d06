#pragma once
// Last resort when no FIB leads to the text: runs of plausible text
// (Windows-1252 or UTF-16LE, mostly letters, digits, blanks and
// punctuation) cut out of raw bytes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace doctext {

struct CarvedRun {
    std::size_t segment = 0;  // index of the segment it was found in
    std::size_t offset = 0;   // byte offset in that segment
    std::size_t bytes = 0;    // bytes it covers
    bool sixteenBit = false;
    std::string text;         // ANSI code page
};

inline constexpr std::size_t kMinCarvedRun = 32;

// Runs of at least `minChars` characters in each segment, in segment order
// and then offset order; of two overlapping runs the longer is kept.
std::vector<CarvedRun> CarveRuns(const std::vector<std::span<const std::uint8_t>>& segments,
                                 std::size_t minChars = kMinCarvedRun);

// The runs joined by paragraph marks, ending with one.
std::string JoinCarvedRuns(const std::vector<CarvedRun>& runs);

}  // namespace doctext
