#pragma once
// The ways to the main text beyond the FIB's own position: the piece table,
// the start of the document stream, and carving. Each works on the bytes of
// the document (the file from where the document starts) and is linear in
// their size.
#include "engine/text/CompoundFile.h"
#include "engine/text/WordFib.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace doctext {

enum class TextSource { None, PieceTable, FibPosition, StreamStart, Carved };

// The name tessaly-inspect prints.
const char* TextSourceName(TextSource source);

struct FoundText {
    std::string text;  // ANSI code page, one byte per character
    TextSource source = TextSource::None;
    std::string detail;  // how it was found, for the inspection output
};

class TextFinder {
public:
    // `document` starts where the document starts; `knownEntries` are
    // directory entries read elsewhere (tried when the directory cannot be
    // walked).
    TextFinder(std::span<const std::uint8_t> document, std::vector<CfbEntry> knownEntries);

    // The main text assembled from the piece table of the FIB of the
    // document stream the directory names, else of the FIB at `fibOffset`
    // (nullopt: the directory's only). On failure `why` says what stopped
    // the last attempt.
    std::optional<FoundText> FromPieceTable(std::optional<std::uint64_t> fibOffset, std::string* why = nullptr);
    // The main text of a non-complex document at its stream's fcMin.
    std::optional<FoundText> FromStreamStart(std::optional<std::uint64_t> fibOffset, std::string* why = nullptr);
    // When no FIB leads to text: a piece table found in the table stream
    // without a FIB (all the document's text), else runs of plausible text
    // from the document stream, or from the whole file without the
    // container's structures and the other streams.
    std::optional<FoundText> ByCarving();
    // The directory names a document stream in regular sectors and the FIB
    // at `fibOffset` lies outside it: that FIB belongs to something else
    // (an embedded document, a stale copy in a free sector).
    bool FibOutsideDocumentStream(std::uint64_t fibOffset);

    const CompoundFile& Container() { return Cfb(); }

private:
    const CompoundFile& Cfb();
    std::optional<FoundText> PieceTableOf(std::optional<std::uint64_t> fibOffset, std::string* why);
    std::optional<FoundText> PieceTableWithoutFib();
    std::optional<FoundText> StreamStartOf(std::optional<std::uint64_t> fibOffset, std::string* why);
    // The document stream that begins with the FIB at `fibOffset`.
    std::vector<std::uint8_t> WordDocumentFor(std::optional<std::uint64_t> fibOffset, std::string& route);
    std::vector<std::vector<std::uint8_t>> TableStreamCandidates(std::u16string_view name);

    std::span<const std::uint8_t> m_document;
    std::vector<CfbEntry> m_known;
    std::optional<CompoundFile> m_cfb;
};

}  // namespace doctext
