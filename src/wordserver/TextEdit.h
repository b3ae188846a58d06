#pragma once
// Text edits on model cursors, as Word's typing does them: paragraph marks
// become paragraphs, and characters the office cannot take (lone surrogates,
// control characters) are left out so they cannot break the connection.
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextRange.hpp>

#include <QString>

using rtl::OUString;

namespace wordserver {

namespace css = com::sun::star;

QString CleanText(const QString& text);
// Inserts `text` at the collapsed `cursor`, which moves behind it.
void InsertText(const css::uno::Reference<css::text::XText>& text,
                const css::uno::Reference<css::text::XTextCursor>& cursor, const QString& value);
// Character position of `point` (its start) within `text`, a paragraph end counting one.
sal_Int32 Position(const css::uno::Reference<css::text::XText>& text,
                   const css::uno::Reference<css::text::XTextRange>& point);
inline sal_Int32 Position(const css::uno::Reference<css::text::XText>& text,
                          const css::uno::Reference<css::text::XTextCursor>& cursor) {
    return Position(text, cursor->getStart());
}
sal_Int32 Length(const css::uno::Reference<css::text::XText>& text);
// Moves `cursor` right by `count` characters (left when negative); the
// number actually moved.
sal_Int32 MoveChars(const css::uno::Reference<css::text::XTextCursor>& cursor, sal_Int32 count, bool extend);
// A cursor over the positions [start, end] of `text`, clamped to it.
css::uno::Reference<css::text::XTextCursor> CursorAt(const css::uno::Reference<css::text::XText>& text,
                                                     sal_Int32 start, sal_Int32 end);

}  // namespace wordserver
