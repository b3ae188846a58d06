// The main text found beyond the FIB's own position: the piece table, the
// stream start and carving (engine/text/), and where the document starts
// when the source carries leading bytes.
#include "engine/DocRecover.h"

#include "engine/text/DocumentStart.h"

#include <algorithm>

std::span<const std::uint8_t> CDocRecover::DocumentBytes() {
    if (!m_bDocumentRead && m_nSourceFile && m_nSourceLength && *m_nSourceLength > m_nDocStart) {
        m_documentBytes.resize(static_cast<std::size_t>(*m_nSourceLength - m_nDocStart));
        m_documentBytes.resize(ReadSourceAt(0, m_documentBytes));
        m_bDocumentRead = true;
    }
    return m_documentBytes;
}

doctext::TextFinder& CDocRecover::TextFinder() {
    if (!m_pTextFinder) {
        // The directory entries the full pass read, for a directory that
        // cannot be walked from the header.
        std::vector<doctext::CfbEntry> known;
        if (m_bRootFound)
            for (std::uint32_t i = 0; i < m_aDirEntries.size(); ++i) {
                const DirectoryEntry& d = m_aDirEntries[i];
                doctext::CfbEntry e;
                e.id = i;
                for (char16_t c : d.name) {
                    if (c == 0)
                        break;
                    e.name.push_back(c);
                }
                e.objectType = d.objectType;
                e.startSector = d.startSector;
                e.streamSize = d.streamSize;
                known.push_back(std::move(e));
            }
        m_pTextFinder = std::make_unique<doctext::TextFinder>(DocumentBytes(), std::move(known));
    }
    return *m_pTextFinder;
}

bool CDocRecover::FibInUseIsForeign() {
    return m_nSourceFile && TextFinder().FibOutsideDocumentStream(m_fib.fibOffset);
}

std::optional<doctext::FoundText> CDocRecover::FindTextBy(doctext::TextSource source, FibUse fib) {
    if (!m_nSourceFile)
        return std::nullopt;
    doctext::TextFinder& finder = TextFinder();
    const std::optional<std::uint64_t> fibOffset =
        fib == FibUse::InUse && m_fib.wIdent == FibInfo::kIdent ? std::optional(m_fib.fibOffset) : std::nullopt;
    switch (source) {
    case doctext::TextSource::PieceTable:
        return finder.FromPieceTable(fibOffset);
    case doctext::TextSource::StreamStart:
        return finder.FromStreamStart(fibOffset);
    case doctext::TextSource::Carved:
        return finder.ByCarving();
    case doctext::TextSource::FibPosition:
    case doctext::TextSource::None:
        break;
    }
    return std::nullopt;
}

void CDocRecover::LocateDocumentStart() {
    m_nDocStart = 0;
    m_documentBytes.clear();
    m_bDocumentRead = false;
    m_pTextFinder.reset();
    const std::span<const std::uint8_t> file = DocumentBytes();
    const doctext::DocumentStart start = doctext::FindDocumentStart(file);
    if (start.offset != 0) {
        m_nDocStart = start.offset;
        m_documentBytes.erase(m_documentBytes.begin(), m_documentBytes.begin() + static_cast<std::ptrdiff_t>(start.offset));
    }
    // Reads go on from the document's start, where HasCompoundSignature
    // looks.
    m_nSourceFile.Seek(m_nDocStart);
}
