// Hyperlink fields: each field "HYPERLINK" in the text gives a node with
// its address and displayed text, and the whole field becomes a run of
// field-end bytes so the element walk sees one hyperlink there.
#include "engine/DocRecover.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr std::string_view kFieldStart = "\x13 HYPERLINK \"";
constexpr std::string_view kSeparatorWithObject = " \x01\x14";
constexpr std::string_view kPlainSeparator = " \x14";
constexpr char kFieldEnd = '\x15';

enum class Separator { WithObject, Plain, None };

}  // namespace

void CDocRecover::ExtractHyperlinks() {
    if (!m_pszText)
        return;
    ByteString& text = *m_pszText;
    const std::size_t n = std::min<std::size_t>(m_fib.ccpText, text.size());
    const std::string_view t(text.data(), n);
    // Once a search for a separator has run to the end of the text without
    // finding one, no later field has one either (the rewrite below only
    // writes field-end bytes), so later searches are not repeated.
    std::size_t noSeparatorFrom = n;

    std::size_t c = 0;
    while (c < n) {
        const std::size_t fs = t.find(kFieldStart, c);
        if (fs == std::string_view::npos)
            return;
        const std::size_t a = fs + kFieldStart.size();
        std::size_t j = a;
        Separator kind = Separator::None;
        if (a < noSeparatorFrom) {
            for (; j < n; ++j) {
                const std::string_view rest = t.substr(j);
                if (rest.starts_with(kSeparatorWithObject)) {
                    kind = Separator::WithObject;
                    break;
                }
                if (rest.starts_with(kPlainSeparator)) {
                    kind = Separator::Plain;
                    break;
                }
            }
            if (kind == Separator::None)
                noSeparatorFrom = a;
        } else {
            j = n;
        }

        auto node = std::make_unique<HyperlinkNode>();
        if (j > a + 1)
            node->address = ByteString(t.substr(a, j - a - 1));
        const std::size_t d = kind == Separator::WithObject ? j + kSeparatorWithObject.size()
                              : kind == Separator::Plain    ? j + kPlainSeparator.size()
                                                            : a;
        std::size_t e = t.find(kFieldEnd, d);
        if (e == std::string_view::npos)
            e = n;
        if (e > d)
            node->displayText = ByteString(t.substr(d, e - d));
        AppendNode(m_pLinkHead, m_pLinkTail, std::move(node));

        std::fill(text.begin() + static_cast<std::ptrdiff_t>(fs),
                  text.begin() + static_cast<std::ptrdiff_t>(std::min(e + 1, n)), kFieldEnd);
        c = d;
    }
}
