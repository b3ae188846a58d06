// Tables: regions of cell marks in the text become table nodes (raw bytes,
// rows, columns) and are blanked to cell marks, so the element walk sees
// each table as one run of 0x07 bytes.
#include "engine/DocRecover.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kCellMark = '\x07';
constexpr char kParagraphMark = '\x0D';
constexpr char kFieldEnd = '\x15';

}  // namespace

std::int32_t CDocRecover::HasCellMarks() const {
    if (!m_nSourceFile || m_fib.ccpText == 0 || !m_pszText)
        return 0;
    const std::size_t n = std::min<std::size_t>(m_fib.ccpText, m_pszText->size());
    return std::memchr(m_pszText->data(), kCellMark, n) ? 1 : 0;
}

void CDocRecover::ExtractTables() {
    if (!m_pszText)
        return;
    ByteString& text = *m_pszText;
    const std::int64_t n = std::min<std::int64_t>(m_fib.ccpText, static_cast<std::int64_t>(text.size()));
    // Every position outside the text reads as the terminating 0.
    auto at = [&](std::int64_t p) -> char { return p >= 0 && p < n ? text[static_cast<std::size_t>(p)] : '\0'; };

    bool open = false;
    std::int64_t s = 0;
    std::int64_t e = 0;
    bool scanning = false;
    m_bTableContinues = 0;
    // The nearest cell mark before a paragraph mark is found by a forward
    // pass that is never repeated, so a lone cell mark followed by many
    // paragraphs costs linear time.
    std::int64_t markScan = 0;
    std::int64_t lastMark = -1;
    auto lastCellMarkAtOrBefore = [&](std::int64_t q) {
        if (q < markScan) {
            std::int64_t m = q;
            while (m >= 0 && at(m) != kCellMark)
                --m;
            return m;
        }
        for (; markScan <= q; ++markScan)
            if (at(markScan) == kCellMark)
                lastMark = markScan;
        return lastMark;
    };

    for (std::int64_t i = 0; i <= n; ++i) {
        std::int64_t q = i;
        if (!open) {
            if (at(i) != kCellMark)
                continue;
            // The table begins with the paragraph that holds this mark.
            std::int64_t p = std::max<std::int64_t>(i - 1, 0);
            while (p > 0 && at(p) == kParagraphMark)
                --p;
            for (;;) {
                if (at(p) == kCellMark) {
                    m_bTableContinues = 1;
                    ++p;
                    break;
                }
                if (p == 0)
                    break;
                --p;
                if (at(p) == kParagraphMark)
                    break;
            }
            if (at(p) == kParagraphMark)
                ++p;
            if (p == 0)
                p = 1;
            s = p;
            open = true;
            q = i + 1;
        }

        if (at(q) != kParagraphMark) {
            scanning = true;
            while (q < n && at(q) != kParagraphMark)
                ++q;
        }
        if (scanning) {
            const std::int64_t m = lastCellMarkAtOrBefore(q);
            if (m >= 1 && at(m - 1) == kCellMark) {
                e = m;
                i = m;
            } else {
                i = q + 1;
            }
            scanning = false;
        }
        if (e == 0)
            continue;

        if (s == 1)
            s = 0;
        const auto first = text.begin() + static_cast<std::ptrdiff_t>(s);
        const auto last = text.begin() + static_cast<std::ptrdiff_t>(e) + 1;
        const std::int64_t marks = std::count(first, last, kCellMark);
        std::int64_t firstRow = 0;
        for (std::int64_t p = s; p <= e; ++p) {
            if (at(p) != kCellMark)
                continue;
            ++firstRow;
            if (at(p + 1) == kCellMark)
                break;
        }
        std::int64_t rows = marks % (firstRow + 1) == 0 ? marks / (firstRow + 1) : marks;
        if (marks == 1)
            rows = 1;
        if (m_bTableContinues && m_pTableTail) {
            m_pTableTail->rows += static_cast<std::int32_t>(rows);
            m_pTableTail->text.append(first, last);
            m_pTableTail->length = static_cast<std::uint32_t>(m_pTableTail->text.size());
        } else {
            auto node = std::make_unique<TableNode>();
            node->rows = static_cast<std::int32_t>(rows);
            node->columns = static_cast<std::int32_t>(firstRow);
            node->text.assign(first, last);
            node->length = static_cast<std::uint32_t>(node->text.size());
            AppendNode(m_pTableHead, m_pTableTail, std::move(node));
        }

        // Blank the region. A hyperlink run inside it keeps its second byte,
        // so it reads 07 15 07 07 ...; nothing past the region is touched.
        for (std::int64_t p = s; p < e; ++p) {
            if (at(p) != kFieldEnd) {
                text[static_cast<std::size_t>(p)] = kCellMark;
                continue;
            }
            text[static_cast<std::size_t>(p)] = kCellMark;
            if (p + 2 <= e)
                text[static_cast<std::size_t>(p + 2)] = kCellMark;
            std::int64_t k = p + 3;
            while (k < e && at(k) == kFieldEnd)
                text[static_cast<std::size_t>(k++)] = kCellMark;
            p = k - 1;
        }
        s = 0;
        e = 0;
        open = false;
        scanning = false;
        m_bTableContinues = 0;
    }
}
