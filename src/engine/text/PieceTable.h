#pragma once
// The piece table (Clx) of a Word document: where each run of character
// positions is stored in the document stream, 8-bit or 16-bit, and the
// text assembled from it.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace doctext {

struct Piece {
    std::uint32_t cpStart = 0;
    std::uint32_t cpEnd = 0;     // exclusive
    std::uint32_t fc = 0;        // byte offset of the piece in the document stream
    bool compressed = false;     // 8-bit Windows-1252 text
};

struct PieceTableResult {
    std::vector<Piece> pieces;
    std::string error;  // why the table was refused; empty on success
};

// Reads the Clx: any number of property entries (0x01) and then the piece
// descriptors (0x02). Refuses a table whose positions do not start at 0 or
// do not increase.
PieceTableResult ParseClx(std::span<const std::uint8_t> clx);

struct AssembledText {
    std::string text;  // ANSI code page, one byte per character kept
    std::size_t pieceCount = 0;
    bool any8Bit = false;
    bool any16Bit = false;
    std::string error;  // empty on success
};

// The first `cpCount` characters, from the pieces in position order. Fails
// when a piece lies outside the stream or the pieces end before `cpCount`.
// Zero characters carry no text and are left out.
AssembledText AssembleText(std::span<const std::uint8_t> wordDocument, const std::vector<Piece>& pieces,
                           std::uint32_t cpCount);

}  // namespace doctext
