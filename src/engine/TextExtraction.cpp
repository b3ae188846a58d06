// The document's main text at the place the FIB gives, snapped to a
// 512-byte boundary and checked against its closing paragraph mark, with a
// probe of every boundary when that check fails; 8-bit or 16-bit.
#include "app/RecoveryApp.h"
#include "engine/DocRecover.h"
#include "platform/codepage.h"

#include <array>
#include <vector>

namespace {

constexpr std::int64_t kBoundary = 512;
constexpr std::uint8_t kParagraphMark = 0x0D;

enum class TextWidth { Bits8, Bits16 };

}  // namespace

// The ways to the main text, in order: the piece table (exact), the FIB's
// own position, the start of the document stream, and carving when no FIB
// leads to text. Whichever gives the text, m_textSource says so.
std::int32_t CDocRecover::ExtractText() {
    if (!m_nSourceFile)
        return 0;
    using doctext::TextSource;
    if (auto found = FindTextBy(TextSource::PieceTable)) {
        TakeText(std::move(*found));
        return 1;
    }
    // A FIB the directory shows to lie outside the document stream (an
    // embedded document's, a stale copy) is not this document's.
    const bool foreign = m_fib.wIdent == FibInfo::kIdent && FibInUseIsForeign();
    if (!foreign && ExtractTextAtStandardPlace()) {
        m_textSource = TextSource::FibPosition;
        m_strTextSourceDetail = "fcMac + fibOffset - ccpText - ccpHdd";
        PublishText();
        return 1;
    }
    for (const TextSource source : {TextSource::StreamStart, TextSource::Carved})
        if (auto found = FindTextBy(source)) {
            TakeText(std::move(*found));
            return 1;
        }
    return 0;
}

std::int32_t CDocRecover::ExtractTextAtStandardPlace() {
    if (!m_nSourceFile)
        return 0;
    const std::uint64_t length = SourceLength();
    // Counts are unsigned 32-bit in the FIB; the start is worked out at full
    // width so that neither a FIB beyond 64 KiB nor a wrap can misplace it.
    std::int64_t start = static_cast<std::int64_t>(m_fib.fibOffset) + m_fib.fcMac - m_fib.ccpText - m_fib.ccpHdd;
    if (m_fib.ccpText == 0 || start <= 0 || static_cast<std::uint64_t>(start) >= length)
        return 0;

    const std::int64_t rem = start % kBoundary;
    std::uint32_t& adjusted = m_fib.ccpHdd != 0 ? m_fib.ccpHdd : m_fib.ccpText;
    if (rem == 256) {
        start += 256;
        adjusted -= 256;
    } else if (rem != 0) {
        start -= rem;
        adjusted += static_cast<std::uint32_t>(rem);
    }
    if (m_fib.ccpText == 0)
        return 0;

    auto byteAt = [&](std::uint64_t offset) -> std::uint8_t {
        std::array<std::uint8_t, 1> b{};
        ReadSourceAt(offset, b);
        return b[0];
    };
    const std::uint64_t count = m_fib.ccpText;
    std::uint64_t from = static_cast<std::uint64_t>(start);
    TextWidth width = TextWidth::Bits8;
    if (byteAt(from + count - 1) == kParagraphMark) {
        width = TextWidth::Bits8;
    } else if (std::array<std::uint8_t, 2> unit{}; ReadSourceAt(from + 2 * count - 2, unit) == 2 &&
                                                   unit[0] == kParagraphMark && unit[1] == 0) {
        // A 16-bit text of ccpText characters ends with the unit 0x000D.
        width = TextWidth::Bits16;
    } else {
        bool found = false;
        for (std::uint64_t off = kBoundary; off < length && off + count - 1 < length; off += kBoundary) {
            if (byteAt(off + count - 1) == kParagraphMark) {
                m_fib.fcMac = static_cast<std::uint32_t>(count + off);
                from = off;
                found = true;
                break;
            }
        }
        if (!found)
            return 0;
    }

    if (width == TextWidth::Bits8) {
        // The probe found the closing mark inside the file, so all of the
        // text lies inside it too.
        ByteString text(static_cast<std::size_t>(count), '\0');
        ReadSourceAt(from, std::span(reinterpret_cast<std::uint8_t*>(text.data()), text.size()));
        m_pszText = std::move(text);
        return 1;
    }

    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(2 * count));
    ReadSourceAt(from, bytes);
    QString units;
    units.reserve(static_cast<qsizetype>(count));
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == 0)
            break;
        units.append(QChar(unit));
    }
    // The ANSI form is as long as it needs to be (a multi-byte code page may
    // need more than one byte per unit).
    ByteString ansi = platform::Utf16ToAnsi(units);
    m_fib.ccpText = static_cast<std::uint32_t>(ansi.size());
    m_pszText = std::move(ansi);
    return 1;
}

void CDocRecover::PublishText() {
    if (!m_pszText)
        return;
    const ByteString& text = *m_pszText;
    std::vector<std::uint8_t> raw(text.begin(), text.end());
    raw.push_back(0);
    std::vector<std::uint8_t> filtered(raw.size(), 0);
    const ByteString kept = FilterText(text).value_or(ByteString{});
    std::copy(kept.begin(), kept.end(), filtered.begin());
    TheApp().SetTextBuffers(std::move(raw), std::move(filtered));
}
