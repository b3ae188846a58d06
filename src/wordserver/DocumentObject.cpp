// Document, Window, Pane and View: protection, saving, closing, and moving the
// insertion point into the page header or footer.
#include "wordserver/ServerPaths.h"
#include "wordserver/WordObjects.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

#include <filesystem>

using namespace com::sun::star;
namespace fs = std::filesystem;
using automation::Variant;
using automation::WordInterface;

namespace wordserver {
namespace {

constexpr std::int32_t kNoProtection = -1;
constexpr std::int32_t kAllowOnlyFormFields = 2;
constexpr std::int32_t kFormatDocument = 0;
constexpr std::int32_t kFormatText = 2;
constexpr std::int32_t kSeekMain = 0;
constexpr std::int32_t kSeekHeader = 9;
constexpr std::int32_t kSeekFooter = 10;

uno::Reference<beans::XPropertySet> Settings(DocumentState& d) {
    return uno::Reference<beans::XPropertySet>(CreateDocumentInstance(d, "com.sun.star.document.Settings"),
                                               uno::UNO_QUERY_THROW);
}

beans::PropertyValue Prop(const char* name, const uno::Any& value) {
    beans::PropertyValue p;
    p.Name = OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

// Fit to contents is a command of the office's view, not of its document
// model: each such table is selected and its columns set to their optimal
// width, once its cells hold their text, that is before the document is saved.
void FitTablesToContents(OfficeSession& session, DocumentState& d) {
    const auto controller = uno::Reference<frame::XModel>(d.doc, uno::UNO_QUERY_THROW)->getCurrentController();
    if (!controller.is())
        return;
    uno::Reference<view::XSelectionSupplier> selection(controller, uno::UNO_QUERY_THROW);
    uno::Reference<frame::XDispatchProvider> provider(controller->getFrame(), uno::UNO_QUERY_THROW);
    const auto helper = frame::DispatchHelper::create(session.uno().remoteContext());
    for (auto& t : d.tables) {
        if (!t->fitToContents)
            continue;
        t->fitToContents = false;
        // A table spread over the whole text width keeps that width; one
        // aligned left may shrink to what its columns need.
        uno::Reference<beans::XPropertySet>(t->table, uno::UNO_QUERY_THROW)
            ->setPropertyValue("HoriOrient", uno::Any(sal_Int16(3)));
        uno::Reference<table::XCellRange> cells(t->table, uno::UNO_QUERY_THROW);
        const sal_Int32 rows = t->table->getRows()->getCount();
        const sal_Int32 columns = t->table->getColumns()->getCount();
        selection->select(uno::Any(cells->getCellRangeByPosition(0, 0, columns - 1, rows - 1)));
        helper->executeDispatch(provider, ".uno:SetOptimalColumnWidth", "", 0, {});
    }
}

void SaveAs(OfficeSession& session, DocumentState& d, const QString& fileName, std::int32_t format) {
    FitTablesToContents(session, d);
    const auto path = HostPath(fileName);
    if (!path)
        Fail(QStringLiteral("%1 is not a valid file name").arg(fileName));
    std::vector<beans::PropertyValue> props{Prop("Overwrite", uno::Any(true))};
    if (format == kFormatDocument) {
        props.push_back(Prop("FilterName", uno::Any(OUString("MS Word 97"))));
    } else if (format == kFormatText) {
        // Word's plain text: the ANSI code page, CR LF after every paragraph.
        props.push_back(Prop("FilterName", uno::Any(OUString("Text (encoded)"))));
        props.push_back(Prop("FilterOptions", uno::Any(OUString("MS_1252,CRLF,,"))));
    } else {
        Fail(QStringLiteral("SaveAs does not support the file format %1").arg(format));
    }
    const uno::Reference<frame::XStorable> storable(d.doc, uno::UNO_QUERY_THROW);
    const auto args = uno::Sequence<beans::PropertyValue>(props.data(), static_cast<sal_Int32>(props.size()));
    const OUString target = ToOU(FileUrl(*path));
    if (storable->getLocation() != target) {
        storable->storeToURL(target, args);
        return;
    }
    // The office will not write over the file the document was loaded from:
    // the new file is made in the profile and then takes the old one's place.
    const fs::path scratch = session.ScratchFolder();
    fs::create_directories(scratch);
    const fs::path temp = scratch / "save.tmp";
    storable->storeToURL(ToOU(FileUrl(temp)), args);
    std::error_code ec;
    fs::rename(temp, *path, ec);
    if (ec) {
        fs::copy_file(temp, *path, fs::copy_options::overwrite_existing, ec);
        std::error_code ignored;
        fs::remove(temp, ignored);
        if (ec)
            Fail(QStringLiteral("%1 could not be written: %2").arg(fileName, QString::fromStdString(ec.message())));
    }
}

void Close(OfficeSession& s, DocumentState& d) {
    d.closed = true;
    auto& docs = s.documents();
    std::erase_if(docs, [&](const auto& p) { return p.get() == &d; });
    uno::Reference<util::XCloseable>(d.doc, uno::UNO_QUERY_THROW)->close(true);
}

// The page style in use where the insertion point is in the main text.
uno::Reference<beans::XPropertySet> PageStyleAt(DocumentState& d, const uno::Reference<text::XTextCursor>& at) {
    OUString name;
    uno::Reference<beans::XPropertySet>(at, uno::UNO_QUERY_THROW)->getPropertyValue("PageStyleName") >>= name;
    if (name.isEmpty())
        name = "Standard";
    const auto families = uno::Reference<style::XStyleFamiliesSupplier>(d.doc, uno::UNO_QUERY_THROW)->getStyleFamilies();
    uno::Reference<container::XNameAccess> pageStyles(families->getByName("PageStyles"), uno::UNO_QUERY_THROW);
    return uno::Reference<beans::XPropertySet>(pageStyles->getByName(name), uno::UNO_QUERY_THROW);
}

void SeekView(DocumentState& d, std::int32_t view) {
    SelectionState& sel = d.sel;
    const bool inHeaderOrFooter = sel.story == Story::Header || sel.story == Story::Footer;
    if (view == kSeekMain) {
        if (inHeaderOrFooter && sel.returnTo) {
            const auto back = sel.returnTo;
            sel = *back;
        }
        return;
    }
    if (view != kSeekHeader && view != kSeekFooter)
        Fail(QStringLiteral("SeekView does not support the view %1").arg(view));
    const auto returnTo = inHeaderOrFooter ? sel.returnTo : std::make_shared<SelectionState>(sel);
    const auto style = PageStyleAt(d, returnTo->cursor);
    const bool header = view == kSeekHeader;
    style->setPropertyValue(header ? OUString("HeaderIsOn") : OUString("FooterIsOn"), uno::Any(true));
    uno::Reference<text::XText> text(style->getPropertyValue(header ? OUString("HeaderText") : OUString("FooterText")),
                                     uno::UNO_QUERY_THROW);
    sel = SelectionState{};
    sel.text = text;
    sel.cursor = text->createTextCursorByRange(text->getStart());
    sel.story = header ? Story::Header : Story::Footer;
    sel.returnTo = returnTo;
}

}  // namespace

DocumentState& DocumentObject::doc() {
    if (m_doc->closed)
        Fail(QStringLiteral("the document has been closed"));
    return *m_doc;
}

uno::Reference<uno::XInterface> CreateDocumentInstance(DocumentState& d, const char* service) {
    return uno::Reference<lang::XMultiServiceFactory>(d.doc, uno::UNO_QUERY_THROW)
        ->createInstance(OUString::createFromAscii(service));
}

Variant DocumentObject::Call(const automation::WordMember& m, std::span<const Variant> args) {
    DocumentState& d = doc();
    switch (iface()) {
    case WordInterface::Window:  // ActivePane
        return NewObject<DocumentObject>(WordInterface::Pane, sessionPtr(), m_doc);
    case WordInterface::Pane:  // View
        return NewObject<DocumentObject>(WordInterface::View, sessionPtr(), m_doc);
    case WordInterface::View:  // SeekView
        SeekView(d, args[0].ToI4());
        return {};
    default: break;
    }
    if (m.name == "Tables")
        return NewObject<TableObject>(WordInterface::Tables, sessionPtr(), m_doc, nullptr);
    if (m.name == "ProtectionType") {
        bool forms = false;
        Settings(d)->getPropertyValue("ProtectForm") >>= forms;
        return Variant::I4(forms ? kAllowOnlyFormFields : kNoProtection);
    }
    if (m.name == "Protect") {
        const std::int32_t type = args[0].ToI4();
        if (type != kAllowOnlyFormFields)
            Fail(QStringLiteral("Protect supports only the protection for forms (type 2), not type %1").arg(type));
        Settings(d)->setPropertyValue("ProtectForm", uno::Any(true));
        return {};
    }
    if (m.name == "SaveAs") {
        SaveAs(session(), d, StringArg(args[0]), IntArg(args[1], kFormatDocument));
        return {};
    }
    if (m.name == "Close") {
        if (IntArg(args[0], 0) != 0)
            Fail(QStringLiteral("Close can only discard changes"));
        Close(session(), d);
        return {};
    }
    Fail(QStringLiteral("Document.%1 is not implemented").arg(QString::fromUtf8(m.name.data(), m.name.size())));
}

}  // namespace wordserver
