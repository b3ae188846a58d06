// Selection: typing, moving the insertion point, and what hangs off it.
#include "wordserver/TextEdit.h"
#include "wordserver/WordObjects.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/style/NumberingType.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/PageNumberType.hpp>
#include <com/sun/star/text/XParagraphCursor.hpp>
#include <com/sun/star/text/XSentenceCursor.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XWordCursor.hpp>

using namespace com::sun::star;
using automation::Variant;
using automation::WordInterface;

namespace wordserver {
namespace {

// Word's units (WdUnits) as the moves take them.
enum Unit : std::int32_t { kCharacter = 1, kWord = 2, kSentence = 3, kParagraph = 4, kLine = 5, kStory = 6 };
constexpr std::int32_t kExtend = 1;

void LeaveTable(SelectionState& sel) {
    if (sel.story != Story::Cell || !sel.table)
        return;
    const auto table = sel.table;
    sel.text = table->parent;
    sel.cursor = table->parent->createTextCursorByRange(table->after->getStart());
    sel.story = Story::Main;
    sel.table = nullptr;
}

bool StepParagraph(const uno::Reference<text::XTextCursor>& c, bool forward, bool extend) {
    uno::Reference<text::XParagraphCursor> p(c, uno::UNO_QUERY_THROW);
    return forward ? p->gotoNextParagraph(extend) : p->gotoPreviousParagraph(extend);
}

// Moves by `count` units (backwards when negative); leaving a table cell at
// its end goes on behind the table. Returns the units moved.
sal_Int32 MoveUnits(SelectionState& sel, std::int32_t unit, sal_Int32 count, bool extend) {
    const bool forward = count > 0;
    sal_Int32 moved = 0;
    const sal_Int32 wanted = std::abs(count);
    while (moved < wanted) {
        bool ok = false;
        switch (unit) {
        case kCharacter: {
            const sal_Int32 step = std::abs(MoveChars(sel.cursor, forward ? wanted - moved : moved - wanted, extend));
            moved += step;
            ok = moved == wanted;
            if (ok)
                return forward ? moved : -moved;
            break;
        }
        case kWord: {
            uno::Reference<text::XWordCursor> w(sel.cursor, uno::UNO_QUERY_THROW);
            ok = forward ? w->gotoNextWord(extend) : w->gotoPreviousWord(extend);
            break;
        }
        case kSentence: {
            uno::Reference<text::XSentenceCursor> s(sel.cursor, uno::UNO_QUERY_THROW);
            ok = forward ? s->gotoNextSentence(extend) : s->gotoPreviousSentence(extend);
            break;
        }
        case kParagraph:
        case kLine: ok = StepParagraph(sel.cursor, forward, extend); break;
        case kStory:
            forward ? sel.cursor->gotoEnd(extend) : sel.cursor->gotoStart(extend);
            return forward ? 1 : -1;
        default: Fail(QStringLiteral("moving by the unit %1 is not supported").arg(unit));
        }
        if (ok) {
            ++moved;
            continue;
        }
        if (forward && !extend && sel.story == Story::Cell && sel.table) {
            LeaveTable(sel);
            ++moved;  // past the end of the table
            continue;
        }
        if (unit == kParagraph || unit == kLine) {
            // On the last paragraph Word goes to its end.
            forward ? sel.cursor->gotoEnd(extend) : sel.cursor->gotoStart(extend);
        }
        break;
    }
    return forward ? moved : -moved;
}

// A collapsing move: a selection that covers text first collapses towards the
// move, which counts as one unit.
sal_Int32 CollapseAndMove(SelectionState& sel, std::int32_t unit, sal_Int32 count, bool extend) {
    if (count == 0)
        return 0;
    if (!extend && !sel.cursor->isCollapsed()) {
        count > 0 ? sel.cursor->collapseToEnd() : sel.cursor->collapseToStart();
        count += count > 0 ? -1 : 1;
        return (count > 0 ? 1 : -1) + MoveUnits(sel, unit, count, extend);
    }
    return MoveUnits(sel, unit, count, extend);
}

void InsertField(DocumentState& d, const char* service) {
    uno::Reference<beans::XPropertySet> field(CreateDocumentInstance(d, service), uno::UNO_QUERY_THROW);
    field->setPropertyValue("NumberingType", uno::Any(style::NumberingType::ARABIC));
    if (std::string_view(service).ends_with("PageNumber"))
        field->setPropertyValue("SubType", uno::Any(text::PageNumberType_CURRENT));
    d.sel.text->insertTextContent(d.sel.cursor.get(), uno::Reference<text::XTextContent>(field, uno::UNO_QUERY_THROW), false);
}

// The text typed behind a hyperlink must not become part of it.
void TypeAfterLink(SelectionState& sel, const QString& value) {
    const sal_Int32 start = Position(sel.text, sel.cursor);
    InsertText(sel.text, sel.cursor, value);
    if (sel.afterLink) {
        const auto typed = CursorAt(sel.text, start, Position(sel.text, sel.cursor));
        uno::Reference<beans::XPropertySet> props(typed, uno::UNO_QUERY_THROW);
        props->setPropertyValue("HyperLinkURL", uno::Any(OUString()));
        sel.afterLink = false;
    }
}

void TypeText(SelectionState& sel, const QString& value) {
    if (!sel.cursor->isCollapsed())
        sel.cursor->setString(OUString());
    sel.cursor->collapseToEnd();
    if (sel.afterLink)
        TypeAfterLink(sel, value);
    else
        InsertText(sel.text, sel.cursor, value);
}

}  // namespace

void SelectCell(DocumentState& d, const std::shared_ptr<TableState>& table, const uno::Reference<table::XCell>& cell,
                bool whole) {
    SelectionState& sel = d.sel;
    uno::Reference<text::XText> text(cell, uno::UNO_QUERY_THROW);
    const auto returnTo = sel.returnTo;
    sel = SelectionState{};
    sel.text = text;
    sel.cursor = text->createTextCursorByRange(text->getStart());
    if (whole)
        sel.cursor->gotoEnd(true);
    sel.story = Story::Cell;
    sel.table = table;
    sel.returnTo = returnTo;
}

Variant SelectionObject::Call(const automation::WordMember& m, std::span<const Variant> args) {
    DocumentState& d = doc();
    SelectionState& sel = d.sel;
    const auto name = m.name;
    if (name == "Range")
        return NewObject<RangeObject>(sessionPtr(), m_doc, RangeObject::Kind::Cursor, sel.text,
                                      sel.text->createTextCursorByRange(sel.cursor.get()), sel.story, sel.table);
    if (name == "Hyperlinks")
        return NewObject<ContentObject>(WordInterface::Hyperlinks, sessionPtr(), m_doc);
    if (name == "InlineShapes")
        return NewObject<ContentObject>(WordInterface::InlineShapes, sessionPtr(), m_doc);
    if (name == "TypeText") {
        TypeText(sel, args[0].ToString());
        return {};
    }
    if (name == "TypeParagraph") {
        TypeText(sel, QStringLiteral("\r"));
        return {};
    }
    if (name == "InsertAfter") {
        // The selection grows to hold the new text.
        const sal_Int32 start = Position(sel.text, sel.cursor);
        const auto end = sel.text->createTextCursorByRange(sel.cursor->getEnd());
        InsertText(sel.text, end, args[0].ToString());
        sel.cursor = CursorAt(sel.text, start, Position(sel.text, end));
        return {};
    }
    if (name == "SetRange") {
        sel.cursor = CursorAt(sel.text, args[0].ToI4(), args[1].ToI4());
        return {};
    }
    if (name == "EndKey") {
        const std::int32_t unit = IntArg(args[0], kLine);
        const bool extend = IntArg(args[1], 0) == kExtend;
        if (unit == kStory)
            sel.cursor->gotoEnd(extend);
        else if (unit == kLine || unit == kParagraph)
            uno::Reference<text::XParagraphCursor>(sel.cursor, uno::UNO_QUERY_THROW)->gotoEndOfParagraph(extend);
        else
            Fail(QStringLiteral("EndKey does not support the unit %1").arg(unit));
        return Variant::I4(0);
    }
    if (name == "MoveRight")
        return Variant::I4(CollapseAndMove(sel, IntArg(args[0], kCharacter), IntArg(args[1], 1),
                                           IntArg(args[2], 0) == kExtend));
    if (name == "Move")
        return Variant::I4(CollapseAndMove(sel, IntArg(args[0], kCharacter), IntArg(args[1], 1), false));
    if (name == "MoveDown") {
        const std::int32_t unit = IntArg(args[0], kLine);
        if (unit != kLine && unit != kParagraph)
            Fail(QStringLiteral("MoveDown does not support the unit %1").arg(unit));
        return Variant::I4(CollapseAndMove(sel, kParagraph, IntArg(args[1], 1), IntArg(args[2], 0) == kExtend));
    }
    if (name == "CreateAutoTextEntry") {
        // The built-in page-number entry: "Page" PAGE "of" NUMPAGES at the
        // insertion point, as the header or footer of a rebuilt document needs it.
        if (args[0].ToString() == QLatin1String("Page X of Y")) {
            TypeText(sel, QStringLiteral("Page "));
            InsertField(d, "com.sun.star.text.textfield.PageNumber");
            InsertText(sel.text, sel.cursor, QStringLiteral(" of "));
            InsertField(d, "com.sun.star.text.textfield.PageCount");
        }
        return NewObject<OpaqueObject>(WordInterface::AutoTextEntry, sessionPtr());
    }
    Fail(QStringLiteral("Selection.%1 is not implemented").arg(QString::fromUtf8(name.data(), name.size())));
}

}  // namespace wordserver
