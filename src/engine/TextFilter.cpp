// The character filter applied to published text and to every string
// handed to Word: printable characters of the ANSI code page, the tab and
// the paragraph mark stay; a line, page or section break becomes a
// paragraph mark and a cell mark outside a recognised table a tab, so the
// words on both sides stay apart; a non-breaking hyphen becomes a hyphen;
// every other control byte is dropped.
#include "engine/DocRecover.h"
#include "platform/codepage.h"

#include <array>
#include <mutex>

namespace {

enum class ByteFate : std::uint8_t { Drop, Keep, ParagraphMark, Tab, Hyphen };

using FateTable = std::array<ByteFate, 256>;

FateTable BuildFateTable() {
    FateTable table{};
    table.fill(ByteFate::Drop);
    for (int b = 0x20; b <= 0x7E; ++b)
        table[b] = ByteFate::Keep;
    table[0x09] = ByteFate::Keep;
    table[0x0D] = ByteFate::Keep;
    table[0x0B] = ByteFate::ParagraphMark;
    table[0x0C] = ByteFate::ParagraphMark;
    table[0x07] = ByteFate::Tab;
    table[0x1E] = ByteFate::Hyphen;
    // Bytes from 0x80 up are kept when the code page makes a visible
    // character of them (undefined bytes come back as C1 controls).
    for (int b = 0x80; b <= 0xFF; ++b) {
        const char byte = static_cast<char>(b);
        const QString unicode = platform::AnsiToUtf16(std::string_view(&byte, 1));
        if (unicode.size() != 1)
            continue;
        const QChar c = unicode.front();
        if (c.category() != QChar::Other_Control && c != QChar::ReplacementCharacter)
            table[b] = ByteFate::Keep;
    }
    return table;
}

const FateTable& FatesForCurrentCodePage() {
    static std::mutex mutex;
    static QString codePage;
    static FateTable table;
    static bool built = false;
    const std::lock_guard lock(mutex);
    const QString current = platform::AnsiCodePageName();
    if (!built || current != codePage) {
        table = BuildFateTable();
        codePage = current;
        built = true;
    }
    return table;
}

}  // namespace

std::optional<ByteString> CDocRecover::FilterText(std::optional<std::string_view> text) {
    if (!text)
        return std::nullopt;
    const FateTable& fates = FatesForCurrentCodePage();
    const std::string_view bytes = text->substr(0, std::min(text->find('\0'), text->size()));
    ByteString out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        switch (fates[static_cast<std::uint8_t>(c)]) {
        case ByteFate::Keep:
            out += c;
            break;
        case ByteFate::ParagraphMark:
            out += '\r';
            break;
        case ByteFate::Tab:
            out += '\t';
            break;
        case ByteFate::Hyphen:
            out += '-';
            break;
        case ByteFate::Drop:
            break;
        }
    }
    return out;
}
