// The File Information Block: reading it, judging it, walking forward from
// a FIB whose text is a single paragraph mark, and scanning the whole file
// for one when the FIB at its standard place is unusable.
#include "engine/ByteReader.h"
#include "engine/DocRecover.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kFibReadBytes = 512;
constexpr std::uint64_t kWalkStep = 512;
// The scan reads this much at a time, plus one FIB's worth of look-ahead,
// so every candidate is judged by the bytes that follow it in the file.
constexpr std::size_t kScanChunk = 64 * 1024;

enum class FibKind { Invalid, SingleParagraph, Usable };

FibKind Classify(const FibInfo& fib) {
    if (fib.wIdent != FibInfo::kIdent)
        return FibKind::Invalid;
    if (fib.ccpText == 1)
        return FibKind::SingleParagraph;
    if (fib.ccpText == 0 || fib.fcMac == 0)
        return FibKind::Invalid;
    return FibKind::Usable;
}

// EC A5 at i and the two "bj" magic words at i + 34.
bool IsFibCandidate(std::span<const std::uint8_t> bytes, std::size_t i) {
    static constexpr std::uint8_t kMagic[4] = {0x62, 0x6A, 0x62, 0x6A};
    return i + 38 <= bytes.size() && bytes[i] == 0xEC && bytes[i + 1] == 0xA5 &&
           std::memcmp(bytes.data() + i + 34, kMagic, sizeof kMagic) == 0;
}

}  // namespace

void CDocRecover::ParseFib(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
    const ByteReader in(bytes);
    FibInfo fib;
    fib.fibOffset = offset;
    fib.wIdent = in.U16Or(0);
    fib.nFib = in.U16Or(2);
    fib.nProduct = in.U16Or(4);
    fib.lid = in.U16Or(6);
    fib.pnNext = in.U16Or(8);
    fib.flags = in.U16Or(10);
    fib.nFibBack = in.U16Or(12);
    fib.lKey = in.U32Or(14);
    fib.envr = in.U8Or(18);
    fib.flags2 = in.U8Or(19);
    fib.chse = in.U16Or(20);
    fib.chseTables = in.U16Or(22);
    fib.fcMin = in.U32Or(24);
    fib.fcMac = in.U32Or(28);
    fib.csw = in.U16Or(32);
    fib.wMagicCreated = in.U16Or(34);
    fib.wMagicRevised = in.U16Or(36);
    fib.wMagicCreatedPrivate = in.U16Or(38);
    fib.wMagicRevisedPrivate = in.U16Or(40);
    fib.lidFE = in.U16Or(60);
    fib.clw = in.U16Or(62);
    fib.cbMac = in.U32Or(64);
    fib.lProductCreated = in.U32Or(68);
    fib.lProductRevised = in.U32Or(72);
    fib.ccpText = in.U32Or(76);
    fib.ccpFtn = in.U32Or(80);
    fib.ccpHdd = in.U32Or(84);
    fib.ccpMcr = in.U32Or(88);
    fib.ccpAtn = in.U32Or(92);
    fib.ccpEdn = in.U32Or(96);
    fib.ccpTxbx = in.U32Or(100);
    fib.ccpHdrTxbx = in.U32Or(104);
    fib.pnFbpChpFirst = in.U32Or(108);
    fib.pnChpFirst = in.U32Or(112);
    m_fib = fib;
}

void CDocRecover::ReadFib(std::uint64_t offset) {
    if (!m_nSourceFile)
        return;
    std::array<std::uint8_t, kFibReadBytes> buffer{};
    ReadSourceAt(offset, buffer);
    ParseFib(buffer, offset);
}

std::int32_t CDocRecover::ValidateFib() {
    switch (Classify(m_fib)) {
    case FibKind::Invalid:
        m_nStatus = 0;
        return 0;
    case FibKind::Usable:
        m_nStatus = 1;
        return 1;
    case FibKind::SingleParagraph:
        break;
    }
    // A FIB whose text is one paragraph mark is usually a stale one: look at
    // every later 512-byte step for a FIB with real text. The first usable
    // one wins; failing that, the last single-paragraph FIB seen stays. Each
    // step is visited once, so the walk is linear in the file size.
    const std::uint64_t length = SourceLength();
    for (std::uint64_t candidate = m_fib.fibOffset + kWalkStep; candidate < length; candidate += kWalkStep) {
        m_fibSaved = m_fib;
        ReadFib(candidate);
        const FibKind kind = Classify(m_fib);
        if (kind == FibKind::Usable)
            break;
        if (kind == FibKind::Invalid)
            m_fib = m_fibSaved;
    }
    m_nStatus = 1;
    return 1;
}

std::int32_t CDocRecover::ScanForFib() {
    if (!m_nSourceFile)
        return 0;
    std::vector<std::uint8_t> buffer(kScanChunk + kFibReadBytes);
    for (std::uint64_t base = 0;; base += kScanChunk) {
        const std::size_t got = ReadSourceAt(base, buffer);
        if (got == 0)
            return 0;
        const std::size_t positions = std::min(got, kScanChunk);
        const std::span<const std::uint8_t> bytes(buffer);
        for (std::size_t i = 0; i < positions; ++i) {
            const void* hit = std::memchr(buffer.data() + i, 0xEC, positions - i);
            if (!hit)
                break;
            i = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - buffer.data());
            if (!IsFibCandidate(bytes, i))
                continue;
            // The chunk holds the FIB's 512 bytes (zero past the end of the
            // file), exactly what ReadFib would read there.
            ParseFib(bytes.subspan(i, kFibReadBytes), base + i);
            if (ValidateFib())
                return 1;
        }
        if (got < buffer.size())
            return 0;
    }
}

std::int32_t CDocRecover::IsEncrypted() const { return m_fib.IsEncrypted() ? 1 : 0; }

std::int32_t CDocRecover::HasPictures() const { return m_fib.HasPictures() ? 1 : 0; }
