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

FoundText Describe(AssembledText text, const std::string& route) {
    FoundText found;
    found.source = TextSource::PieceTable;
    found.detail = std::to_string(text.pieceCount) + (text.pieceCount == 1 ? " piece" : " pieces") +
                   (text.any16Bit ? (text.any8Bit ? ", 8-bit and 16-bit" : ", 16-bit") : ", 8-bit") + ", " + route;
    found.text = std::move(text.text);
    return found;
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
    if (const CfbEntry* e = cfb.FindAnywhere(name))
        tryEntry(*e);
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
        if (FibOutsideDocumentStream(*fibOffset))
            return Fail(why, "FIB lies outside the document stream the directory names");
    }
    return PieceTableOf(fibOffset, why);
}

std::optional<FoundText> TextFinder::FromStreamStart(std::optional<std::uint64_t> fibOffset, std::string* why) {
    if (fibOffset) {
        if (auto found = StreamStartOf(std::nullopt, nullptr))
            return found;
        if (FibOutsideDocumentStream(*fibOffset))
            return Fail(why, "FIB lies outside the document stream the directory names");
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
    std::string last = "piece table outside the table stream";
    auto tryClx = [&](std::span<const std::uint8_t> clx, const std::string& where) -> std::optional<FoundText> {
        const PieceTableResult parsed = ParseClx(clx);
        if (!parsed.error.empty()) {
            last = parsed.error;
            return std::nullopt;
        }
        AssembledText text = AssembleText(wordDocument, parsed.pieces, fib->ccpText);
        if (!text.error.empty()) {
            last = text.error;
            return std::nullopt;
        }
        return Describe(std::move(text), route + ", " + where);
    };
    for (const auto& table : candidates) {
        const auto clx = ByteReader(table).Slice(fib->fcClx, fib->lcbClx);
        if (clx.empty())
            continue;
        if (auto found = tryClx(clx, "table stream " + std::string(name.begin(), name.end())))
            return found;
    }
    // The table stream is lost with the directory: its sectors still hold
    // the Clx at fcClx modulo the sector size. One quick test per sector,
    // and a parse only where the Clx's own length field agrees.
    const ByteReader doc(m_document);
    const std::size_t sector = Cfb().SectorSize();
    for (std::size_t at = fib->fcClx % sector; doc.Fits(at, fib->lcbClx); at += sector) {
        const auto type = doc.U8Or(at);
        if (type == 0x02 ? doc.U32Or(at + 1) != fib->lcbClx - 5 : type != 0x01)
            continue;
        if (auto found = tryClx(doc.Slice(at, fib->lcbClx), "Clx found on a sector boundary"))
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

bool TextFinder::FibOutsideDocumentStream(std::uint64_t fibOffset) {
    const CfbEntry* e = Cfb().Find(u"WordDocument");
    if (!e)
        return false;
    const auto ranges = Cfb().StreamRanges(*e);
    if (ranges.empty())
        return false;  // a small stream in the mini stream: cannot tell
    return std::none_of(ranges.begin(), ranges.end(),
                        [&](const ByteRange& r) { return fibOffset >= r.begin && fibOffset < r.end; });
}

std::optional<FoundText> TextFinder::PieceTableWithoutFib() {
    // The FIB is gone but the directory still names the document and table
    // streams: look for the Clx in each table stream. A candidate must
    // start at position 0, increase and keep every piece inside the
    // document stream; of several, the one covering most text wins.
    const CompoundFile& cfb = Cfb();
    const CfbEntry* wdEntry = cfb.Find(u"WordDocument");
    if (!wdEntry)
        return std::nullopt;
    const auto wordDocument = cfb.ReadStream(*wdEntry);
    if (!wordDocument)
        return std::nullopt;
    std::optional<AssembledText> best;
    for (const char16_t* name : {u"1Table", u"0Table"}) {
        for (const auto& table : TableStreamCandidates(name)) {
            const ByteReader in(table);
            // Full parses are bounded by a budget of a few times the
            // stream's size, so the search stays linear.
            std::size_t budget = 4 * table.size() + 4096;
            for (std::size_t p = 0; p + 5 + 16 <= table.size() && budget > 0; ++p) {
                if (table[p] != 0x02)
                    continue;
                const std::uint32_t lcb = in.U32Or(p + 1);
                if (lcb < 16 || (lcb - 4) % 12 != 0 || !in.Fits(p + 5, lcb) || in.U32Or(p + 5) != 0)
                    continue;
                budget -= std::min<std::size_t>(budget, lcb);
                const PieceTableResult parsed = ParseClx(in.Slice(p, 5 + lcb));
                if (!parsed.error.empty())
                    continue;
                const std::uint32_t cpCount = parsed.pieces.back().cpEnd;
                if (best && cpCount <= best->text.size())
                    continue;
                AssembledText text = AssembleText(*wordDocument, parsed.pieces, cpCount);
                if (text.error.empty() && !text.text.empty())
                    best = std::move(text);
            }
        }
    }
    if (!best)
        return std::nullopt;
    FoundText found = Describe(std::move(*best), "Clx found in the table stream without a FIB");
    found.source = TextSource::Carved;
    return found;
}

std::optional<FoundText> TextFinder::ByCarving() {
    if (auto found = PieceTableWithoutFib())
        return found;
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
