// The element sequence: one walk over the text, after hyperlinks became
// runs of 0x15 and tables runs of 0x07, giving the document's layout as
// element codes and the text runs between the elements.
#include "engine/DocRecover.h"

#include <algorithm>

namespace {

constexpr char kPicture = '\x01';
constexpr char kCellMark = '\x07';
constexpr char kLineBreak = '\x0B';
constexpr char kParagraphMark = '\x0D';
constexpr char kFieldEnd = '\x15';

}  // namespace

void CDocRecover::BuildElementSequence() {
    if (!m_pszText)
        return;
    const ByteString& text = *m_pszText;
    const std::int64_t n = std::min<std::int64_t>(m_fib.ccpText, static_cast<std::int64_t>(text.size()));
    auto at = [&](std::int64_t p) -> char { return p >= 0 && p < n ? text[static_cast<std::size_t>(p)] : '\0'; };

    // The array holds kMaxElements codes: an element whose codes no longer
    // fit ends the sequence there, so every text code still has its node.
    auto room = [&](std::size_t codes) { return m_nElementCount + codes <= kMaxElements; };
    auto append = [&](ElementCode code) { m_aElementKinds[m_nElementCount++] = code; };
    auto newNode = [&](std::int64_t from, std::int64_t count) -> TextRunNode& {
        auto node = std::make_unique<TextRunNode>();
        from = std::clamp<std::int64_t>(from, 0, n);
        count = std::clamp<std::int64_t>(count, 0, n - from);
        node->text.assign(text, static_cast<std::size_t>(from), static_cast<std::size_t>(count));
        return *AppendNode(m_pRunHead, m_pRunTail, std::move(node));
    };

    std::int64_t runStart = 0;  // first byte of the current run
    std::int64_t a = 0;         // bytes in the current run
    for (std::int64_t s = 0; s < n; ++s) {
        const char c = at(s);
        TextRunNode* last = m_pRunTail;
        const bool shortRun = a <= 1;
        // Whether a table or a hyperlink here ends the run before it as a
        // node of its own: not at the start, and not when only a byte or
        // so follows a table or picture node.
        const bool closesRun =
            s != 0 && (last ? !(shortRun && (last->tableFlag || last->pictureFlag)) : a > 0);

        if ((c == kParagraphMark || c == kLineBreak) && a == 0) {
            runStart = s + 1;
            continue;
        }

        if (c == kPicture) {
            if (s == 0) {
                if (!room(1))
                    return;
                append(ELEM_PICTURE_SLOT);
                a = 1;  // the picture byte opens the next run
                continue;
            }
            if (!last || !(shortRun && (last->pictureFlag || last->tableFlag))) {
                if (!room(2))
                    return;
                newNode(runStart, a).pictureFlag = 1;
                append(ELEM_TEXT);
            } else {
                if (!room(1))
                    return;
                if (!last->pictureFlag)
                    last->pictureFlag = 1;  // after a table
            }
            append(ELEM_PICTURE_SLOT);
            runStart = s + 1;
            a = 0;
            continue;
        }

        if (c == kCellMark) {
            const bool makesNode = closesRun;
            if (!room(makesNode ? 2 : 1))
                return;
            if (makesNode) {
                // Before a table the run holds the byte in front of it and
                // not its own last byte (normally the paragraph mark).
                if (last && runStart >= 1)
                    newNode(runStart - 1, a).tableFlag = 1;
                else
                    newNode(runStart, a).tableFlag = 1;
                append(ELEM_TEXT);
            } else if (s != 0 && last && shortRun && !last->tableFlag && last->pictureFlag) {
                last->tableFlag = 1;
            }
            append(ELEM_TABLE);
            // A single 0x15 between two cell marks is what is left of a
            // hyperlink inside the table.
            std::int64_t t = s;
            while (t < n && (at(t) == kCellMark ||
                             (at(t) == kFieldEnd && at(t - 1) == kCellMark && at(t + 1) == kCellMark)))
                ++t;
            runStart = t;
            a = 0;
            s = t - 1;
            continue;
        }

        if (c == kFieldEnd && at(s + 1) == kFieldEnd) {
            const bool makesNode = closesRun;
            if (!room(makesNode ? 2 : 1))
                return;
            if (makesNode) {
                if (last)
                    newNode(runStart + 1, a - 1);  // the run without its first byte
                else
                    newNode(runStart, a);
                append(ELEM_TEXT);
            }
            append(ELEM_HYPERLINK);
            std::int64_t t = s;
            while (t < n && at(t) == kFieldEnd)
                ++t;
            runStart = t;
            a = 0;
            s = t - 1;
            continue;
        }

        if (s == n - 1 && a > 0) {
            if (!room(1))
                return;
            if (runStart >= 1)
                newNode(runStart - 1, a + 1);
            else
                newNode(runStart, a);
            append(ELEM_TEXT);
            continue;
        }
        ++a;
    }
}
