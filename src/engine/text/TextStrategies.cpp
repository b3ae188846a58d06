#include "engine/text/TextStrategies.h"

#include "engine/ByteReader.h"
#include "engine/text/Carver.h"
#include "engine/text/PieceTable.h"
#include "engine/text/StreamStart.h"

#include <algorithm>
#include <set>
#include <utility>

namespace doctext {
namespace {

constexpr std::size_t kFibCompare = 512;  // bytes that must agree to call a stream the FIB's own
constexpr std::size_t kMaxTableCandidates = 8;

std::nullopt_t Fail(std::string* why, std::string text) {
    if (why)
        *why = std::move(text);
    return std::nullopt;
}

}  // namespace

const char* TextSourceName(TextSource source) {
    switch (source) {
    case TextSource::PieceTable: return "piece table";
    case TextSource::FibPosition: return "FIB position";
    case TextSource::StreamStart: return "stream start";
    case TextSource::Carved: return "carved";
    case TextSource::None: break;
    }
    return "none";
}

TextFinder::TextFinder(std::span<const std::uint8_t> document, std::vector<CfbEntry> knownEntries)
    : m_document(document), m_known(std::move(knownEntries)) {}

const CompoundFile& TextFinder::Cfb() {
    if (!m_cfb)
        m_cfb = CompoundFile::Parse(m_document, 0);
    return *m_cfb;
}

std::vector<std::uint8_t> TextFinder::WordDocumentFor(std::optional<std::uint64_t> fibOffset, std::string& route) {
    if (!fibOffset) {
        if (const CfbEntry* e = Cfb().Find(u"WordDocument"))
            if (auto stream = Cfb().ReadStream(*e)) {
                route = "FIB and document stream through the directory";
                return std::move(*stream);
            }
        return {};
    }
    if (*fibOffset >= m_document.size())
        return {};
    const auto fib = m_document.subspan(static_cast<std::size_t>(*fibOffset));
    if (const CfbEntry* e = Cfb().Find(u"WordDocument")) {
        if (auto stream = Cfb().ReadStream(*e)) {
            const std::size_t n = std::min({kFibCompare, stream->size(), fib.size()});
            if (n >= 32 && std::equal(stream->begin(), stream->begin() + static_cast<std::ptrdiff_t>(n), fib.begin())) {
                route = "document stream through the directory";
                return std::move(*stream);
            }
        }
    }
    route = "document stream taken as contiguous from the FIB";
    return {fib.begin(), fib.end()};
}

std::vector<std::vector<std::uint8_t>> TextFinder::TableStreamCandidates(std::u16string_view name) {
    std::vector<std::vector<std::uint8_t>> out;
    std::set<std::pair<std::uint32_t, std::uint64_t>> tried;
    const CompoundFile& cfb = Cfb();
    const std::size_t sector = cfb.SectorSize();
    auto tryEntry = [&](const CfbEntry& e) {
        if (out.size() >= kMaxTableCandidates || !SameEntryName(e.name, name) || e.objectType != 2)
            return;
        if (!tried.insert({e.startSector, e.streamSize}).second)
            return;
        if (auto s = cfb.ReadStream(e))
            out.push_back(std::move(*s));
        // The same entry read as contiguous sectors, for a FAT that lies.
        const ByteReader in(m_document);
        const std::uint64_t begin = (static_cast<std::uint64_t>(e.startSector) + 1) * sector;
        if (begin < m_document.size()) {
            const std::size_t n = static_cast<std::size_t>(
                std::min<std::uint64_t>(e.streamSize, m_document.size() - begin));
            const auto bytes = in.Slice(static_cast<std::size_t>(begin), n);
            if (!bytes.empty() && (out.empty() || !std::equal(bytes.begin(), bytes.end(), out.back().begin(),
                                                              out.back().end())))
                out.emplace_back(bytes.begin(), bytes.end());
        }
    };
    if (const CfbEntry* e = cfb.Find(name))
        tryEntry(*e);
    for (const auto& e : m_known)
        tryEntry(e);
    if (out.empty())
        for (const auto& e : ScanDirectoryEntries(m_document, 0))
            tryEntry(e);
    return out;
}

std::optional<FoundText> TextFinder::FromPieceTable(std::optional<std::uint64_t> fibOffset, std::string* why) {
    // The directory's document stream comes first: a FIB found by scanning
    // can be a stale copy left in a free sector.
    if (fibOffset) {
        if (auto found = PieceTableOf(std::nullopt, nullptr))
            return found;
    }
    return PieceTableOf(fibOffset, why);
}

std::optional<FoundText> TextFinder::FromStreamStart(std::optional<std::uint64_t> fibOffset, std::string* why) {
    if (fibOffset) {
        if (auto found = StreamStartOf(std::nullopt, nullptr))
            return found;
    }
    return StreamStartOf(fibOffset, why);
}

std::optional<FoundText> TextFinder::PieceTableOf(std::optional<std::uint64_t> fibOffset, std::string* why) {
    std::string route;
    const std::vector<std::uint8_t> wordDocument = WordDocumentFor(fibOffset, route);
    const auto fib = ReadWordFib(wordDocument);
    if (!fib)
        return Fail(why, fibOffset ? "no FIB identifier" : "no document stream with a FIB in the directory");
    if (fib->IsEncrypted())
        return Fail(why, "document is encrypted");
    if (fib->ccpText == 0 || fib->ccpText > wordDocument.size())
        return Fail(why, "main text length impossible");
    if (!fib->HasClxPair() || fib->lcbClx == 0)
        return Fail(why, "FIB names no piece table");
    const std::u16string name = fib->UsesTable1() ? u"1Table" : u"0Table";
    const auto candidates = TableStreamCandidates(name);
    if (candidates.empty())
        return Fail(why, "table stream not found");
    std::string last = "piece table outside the table stream";
    for (const auto& table : candidates) {
        const ByteReader in(table);
        const auto clx = in.Slice(fib->fcClx, fib->lcbClx);
        if (clx.empty())
            continue;
        const PieceTableResult parsed = ParseClx(clx);
        if (!parsed.error.empty()) {
            last = parsed.error;
            continue;
        }
        AssembledText text = AssembleText(wordDocument, parsed.pieces, fib->ccpText);
        if (!text.error.empty()) {
            last = text.error;
            continue;
        }
        FoundText found;
        found.text = std::move(text.text);
        found.source = TextSource::PieceTable;
        found.detail = std::to_string(text.pieceCount) + (text.pieceCount == 1 ? " piece" : " pieces") +
                       (text.any16Bit ? (text.any8Bit ? ", 8-bit and 16-bit" : ", 16-bit") : ", 8-bit") + ", " +
                       route;
        return found;
    }
    return Fail(why, last);
}

std::optional<FoundText> TextFinder::StreamStartOf(std::optional<std::uint64_t> fibOffset, std::string* why) {
    std::string route;
    const std::vector<std::uint8_t> wordDocument = WordDocumentFor(fibOffset, route);
    const auto fib = ReadWordFib(wordDocument);
    if (!fib)
        return Fail(why, "no FIB identifier");
    if (fib->IsComplex())
        return Fail(why, "document is fast-saved");
    if (fib->IsEncrypted())
        return Fail(why, "document is encrypted");
    auto text = TextNearStreamStart(wordDocument, fib->fcMin, fib->fcMac, fib->ccpText);
    if (!text)
        return Fail(why, "no closing paragraph mark at either width");
    FoundText found;
    found.text = std::move(text->text);
    found.source = TextSource::StreamStart;
    found.detail = std::string(text->width == TextWidth::SixteenBit ? "16-bit" : "8-bit") + " at " +
                   (text->start == fib->fcMin ? "fcMin " : "the boundary after fcMin, ") + std::to_string(text->start) +
                   ", " + route;
    return found;
}

std::optional<FoundText> TextFinder::ByCarving() {
    const CompoundFile& cfb = Cfb();
    std::vector<std::span<const std::uint8_t>> segments;
    std::vector<std::uint8_t> stream;
    std::string detail;
    if (const CfbEntry* e = cfb.Find(u"WordDocument")) {
        if (auto s = cfb.ReadStream(*e)) {
            stream = std::move(*s);
            segments.push_back(stream);
            detail = "document stream";
        }
    }
    if (segments.empty()) {
        // The whole file, without the container's structures and the other
        // streams the directory still names (pictures, tables, properties).
        std::vector<ByteRange> skip = cfb.StructureRanges();
        for (const auto& e : cfb.Entries())
            if (e.objectType == 2 && !SameEntryName(e.name, u"WordDocument"))
                for (const auto& r : cfb.StreamRanges(e))
                    skip.push_back(r);
        for (const auto& e : m_known)
            if (e.objectType == 2 && !SameEntryName(e.name, u"WordDocument"))
                for (const auto& r : cfb.StreamRanges(e))
                    skip.push_back(r);
        std::sort(skip.begin(), skip.end(), [](const ByteRange& a, const ByteRange& b) { return a.begin < b.begin; });
        std::size_t pos = 0;
        for (const auto& r : skip) {
            if (r.begin > pos)
                segments.push_back(m_document.subspan(pos, std::min(r.begin, m_document.size()) - pos));
            pos = std::max(pos, std::min(r.end, m_document.size()));
        }
        if (pos < m_document.size())
            segments.push_back(m_document.subspan(pos));
        detail = "whole file";
    }
    const auto runs = CarveRuns(segments);
    if (runs.empty())
        return std::nullopt;
    FoundText found;
    found.text = JoinCarvedRuns(runs);
    found.source = TextSource::Carved;
    found.detail = std::to_string(runs.size()) + (runs.size() == 1 ? " run from the " : " runs from the ") + detail;
    return found;
}

}  // namespace doctext
