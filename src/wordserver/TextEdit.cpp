#include "wordserver/TextEdit.h"

#include "wordserver/OfficeSession.h"

#include <com/sun/star/text/ControlCharacter.hpp>

#include <algorithm>

using namespace com::sun::star;

namespace wordserver {

QString CleanText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out.append(c).append(text.at(++i));
            continue;
        }
        if (c.isSurrogate() || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF)
            continue;
        if (c.unicode() < 0x20 && c != '\t' && c != '\r' && c != '\n' && c != '\v')
            continue;
        out.append(c);
    }
    return out;
}

void InsertText(const uno::Reference<text::XText>& text, const uno::Reference<text::XTextCursor>& cursor,
                const QString& value) {
    const QString clean = CleanText(value);
    QString run;
    auto flush = [&] {
        if (!run.isEmpty()) {
            text->insertString(cursor.get(), ToOU(run), false);
            run.clear();
        }
    };
    for (qsizetype i = 0; i < clean.size(); ++i) {
        const QChar c = clean.at(i);
        if (c == '\r' || c == '\n') {
            flush();
            if (c == '\r' && i + 1 < clean.size() && clean.at(i + 1) == '\n')
                ++i;
            text->insertControlCharacter(cursor.get(), text::ControlCharacter::PARAGRAPH_BREAK, false);
        } else if (c == '\v') {
            flush();
            text->insertControlCharacter(cursor.get(), text::ControlCharacter::LINE_BREAK, false);
        } else {
            run.append(c);
        }
    }
    flush();
}

sal_Int32 Position(const uno::Reference<text::XText>& text, const uno::Reference<text::XTextRange>& point) {
    const auto c = text->createTextCursorByRange(text->getStart());
    c->gotoRange(point->getStart(), true);
    return c->getString().getLength();
}

sal_Int32 Length(const uno::Reference<text::XText>& text) { return text->getString().getLength(); }

sal_Int32 MoveChars(const uno::Reference<text::XTextCursor>& cursor, sal_Int32 count, bool extend) {
    sal_Int32 moved = 0;
    while (moved < std::abs(count)) {
        const sal_Int16 step = static_cast<sal_Int16>(std::min<sal_Int32>(std::abs(count) - moved, 0x7FFF));
        // A partial move reports false without telling how far it went, so
        // the last stretch goes one character at a time.
        const bool ok = count > 0 ? cursor->goRight(step, extend) : cursor->goLeft(step, extend);
        if (ok) {
            moved += step;
            continue;
        }
        if (step == 1)
            break;
        while (moved < std::abs(count) && (count > 0 ? cursor->goRight(1, extend) : cursor->goLeft(1, extend)))
            ++moved;
        break;
    }
    return count > 0 ? moved : -moved;
}

uno::Reference<text::XTextCursor> CursorAt(const uno::Reference<text::XText>& text, sal_Int32 start, sal_Int32 end) {
    const auto c = text->createTextCursorByRange(text->getStart());
    if (end < start)
        std::swap(start, end);
    MoveChars(c, std::max<sal_Int32>(start, 0), false);
    MoveChars(c, std::max<sal_Int32>(end - std::max<sal_Int32>(start, 0), 0), true);
    return c;
}

}  // namespace wordserver
