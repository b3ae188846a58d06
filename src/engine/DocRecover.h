#pragma once
// The recovery engine: one object per damaged document. It opens the source
// read-only, makes the output copy with the compound-file signature
// restored, and reads the document's structures straight from the source
// bytes. Everything it learns stays here for the Word routines to read.
//
// The object is large (the element array); create it on the heap.
#include "engine/CompoundHeader.h"
#include "engine/ElementCodes.h"
#include "engine/FibInfo.h"
#include "engine/Records.h"
#include "engine/text/TextStrategies.h"
#include "platform/fileio.h"
#include "platform/wintypes.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CDocRecover {
public:
    CDocRecover();
    ~CDocRecover();
    CDocRecover(const CDocRecover&) = delete;
    CDocRecover& operator=(const CDocRecover&) = delete;

    // Whole-file operations.
    std::int32_t OpenSource();
    std::int32_t PrepareOutputCopy();
    std::uint64_t GetDestFreeSpace() const;
    std::int32_t HasCompoundSignature();
    static void DeleteOwnerFiles(QString folder);

    // Compound-file header and directory.
    void ReadCompoundHeader();
    std::int32_t ReadDirectoryEntry(DirectoryEntry& entry, std::int64_t offset);

    // File Information Block.
    void ReadFib(std::uint64_t offset);
    // Fills m_fib from the first bytes of a FIB read at `offset`; missing
    // bytes count as zero.
    void ParseFib(std::span<const std::uint8_t> bytes, std::uint64_t offset);
    std::int32_t ValidateFib();
    std::int32_t ScanForFib();
    std::int32_t IsEncrypted() const;
    std::int32_t HasPictures() const;

    // Text. ExtractText tries the place the FIB gives (and, when that
    // fails, every 512-byte boundary) and publishes what it read.
    std::int32_t ExtractText();
    // The text at the place the FIB gives: fills m_pszText and adjusts
    // the counts in m_fib; publishes nothing. 1 found and read, 0 not.
    std::int32_t ExtractTextAtStandardPlace();
    // Hands a copy of m_pszText and its filtered form to the application
    // object, replacing the previous buffers.
    void PublishText();
    void ExtractHeaderFooter();
    // Keeps the printable bytes of the text (up to its first 0 byte);
    // nullopt for no text.
    static std::optional<ByteString> FilterText(std::optional<std::string_view> text);

    // Fields, tables, elements, pictures, and the pass over all of them.
    void ExtractHyperlinks();
    std::int32_t HasCellMarks() const;
    void ExtractTables();
    void BuildElementSequence();
    void ReadPictureStream();
    void ExtractPictures();
    std::int32_t RunFullPass();

    // Word routines: open-and-resave and rebuild, one per Word version.
    std::int32_t ResaveWord97();
    std::int32_t ResaveWord2000();
    std::int32_t ResaveWord2002();
    std::int32_t ResaveWord2003();
    std::int32_t RebuildWord97();
    std::int32_t RebuildWord2000();
    std::int32_t RebuildWord2002();
    std::int32_t RebuildWord2003();

    // Reads `buffer.size()` bytes at an absolute offset into the buffer,
    // which is cleared first; returns the count read (0 when no source is
    // open).
    std::size_t ReadSourceAt(std::uint64_t offset, std::span<std::uint8_t> buffer);
    // Length of the open source, 0 when none is open.
    std::uint64_t SourceLength() const;

    // State, in the order the engine fills it.
    QString m_strSource;
    QString m_strDest;
    platform::LowLevelFile m_nSourceFile;  // closed means no source is open
    std::uint16_t m_nElementCount = 0;
    std::array<std::int16_t, kMaxElements> m_aElementKinds{};
    CompoundHeader m_header;
    std::array<DirectoryEntry, 6> m_aDirEntries{};
    FibInfo m_fib;
    FibInfo m_fibSaved;
    std::unique_ptr<HeaderFooterText> m_pHeaderFooter;
    std::unique_ptr<TextRunNode> m_pRunHead;
    TextRunNode* m_pRunTail = nullptr;
    std::unique_ptr<PictureNode> m_pPictureHead;
    PictureNode* m_pPictureTail = nullptr;
    std::unique_ptr<TableNode> m_pTableHead;
    TableNode* m_pTableTail = nullptr;
    std::unique_ptr<HyperlinkNode> m_pLinkHead;
    HyperlinkNode* m_pLinkTail = nullptr;
    // The main text; std::string keeps the terminating 0 byte after it.
    std::optional<ByteString> m_pszText;
    std::optional<std::string> m_pPictureStream;
    std::int32_t m_nStatus = 0;
    std::int32_t m_bSignatureValid = 0;
    std::int32_t m_bRootFound = 0;
    std::int32_t m_bTableContinues = 0;
    // Length of the source; nullopt when it could not be told, which makes
    // the free-space test refuse the copy.
    std::optional<std::uint64_t> m_nSourceLength;

    // Where the document starts in the source: bytes before it (a file
    // carved from a disk) are skipped by every read and by the output copy.
    std::uint64_t m_nDocStart = 0;
    // Which way the main text was found, and how, for the inspection output.
    doctext::TextSource m_textSource = doctext::TextSource::None;
    std::string m_strTextSourceDetail;
    // The document's bytes from its start, read once when a text strategy
    // beyond the FIB position first needs them.
    std::span<const std::uint8_t> DocumentBytes();
    // Finds m_nDocStart; called by OpenSource.
    void LocateDocumentStart();
    // One of the text strategies other than the FIB position, on the FIB in
    // m_fib when it has one (FibUse::None: the directory's only).
    enum class FibUse { InUse, None };
    std::optional<doctext::FoundText> FindTextBy(doctext::TextSource source, FibUse fib = FibUse::InUse);
    // The FIB in m_fib lies outside the document stream the directory names.
    bool FibInUseIsForeign();
    // Replaces m_pszText by a text found another way and publishes it as
    // ExtractText does; ccpText becomes its length.
    void TakeText(doctext::FoundText found);
    // The text in m_pszText was found through the document's own FIB.
    bool TextFromOwnFib() const {
        return m_textSource == doctext::TextSource::PieceTable || m_textSource == doctext::TextSource::StreamStart ||
               m_textSource == doctext::TextSource::FibPosition;
    }

private:
    doctext::TextFinder& TextFinder();
    std::vector<std::uint8_t> m_documentBytes;
    bool m_bDocumentRead = false;
    std::unique_ptr<doctext::TextFinder> m_pTextFinder;
};
