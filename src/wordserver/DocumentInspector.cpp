#include "wordserver/DocumentInspector.h"

#include "wordserver/OfficeSession.h"
#include "wordserver/ServerPaths.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/graphic/XGraphic.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/text/XTextFieldsSupplier.hpp>
#include <com/sun/star/text/XTextGraphicObjectsSupplier.hpp>
#include <com/sun/star/text/XTextTablesSupplier.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <stdexcept>

using namespace com::sun::star;

namespace wordserver {
namespace {

template <class Visit>
void Enumerate(const uno::Reference<uno::XInterface>& container, Visit visit) {
    uno::Reference<container::XEnumerationAccess> access(container, uno::UNO_QUERY);
    if (!access.is())
        return;
    const auto e = access->createEnumeration();
    while (e->hasMoreElements())
        visit(uno::Reference<uno::XInterface>(e->nextElement(), uno::UNO_QUERY));
}

bool Supports(const uno::Reference<uno::XInterface>& x, const char* service) {
    uno::Reference<lang::XServiceInfo> info(x, uno::UNO_QUERY);
    return info.is() && info->supportsService(OUString::createFromAscii(service));
}

void Summarise(const uno::Reference<text::XTextDocument>& doc, DocumentSummary& out) {
    const auto body = doc->getText();
    out.text = ToQ(body->getString());
    Enumerate(body, [&](const uno::Reference<uno::XInterface>& paragraph) {
        if (!Supports(paragraph, "com.sun.star.text.Paragraph"))
            return;
        Enumerate(paragraph, [&](const uno::Reference<uno::XInterface>& portion) {
            uno::Reference<beans::XPropertySet> props(portion, uno::UNO_QUERY);
            OUString url;
            if (props.is())
                props->getPropertyValue("HyperLinkURL") >>= url;
            if (!url.isEmpty())
                out.hyperlinks << ToQ(url) + '|' + ToQ(uno::Reference<text::XTextRange>(portion, uno::UNO_QUERY_THROW)->getString());
        });
    });

    const auto families = uno::Reference<style::XStyleFamiliesSupplier>(doc, uno::UNO_QUERY_THROW)->getStyleFamilies();
    uno::Reference<container::XNameAccess> pageStyles(families->getByName("PageStyles"), uno::UNO_QUERY_THROW);
    OUString styleName;
    uno::Reference<beans::XPropertySet>(body->createTextCursor(), uno::UNO_QUERY_THROW)->getPropertyValue("PageStyleName") >>= styleName;
    uno::Reference<beans::XPropertySet> style(pageStyles->getByName(styleName.isEmpty() ? OUString("Standard") : styleName),
                                              uno::UNO_QUERY_THROW);
    for (const bool header : {true, false}) {
        bool on = false;
        style->getPropertyValue(header ? OUString("HeaderIsOn") : OUString("FooterIsOn")) >>= on;
        if (!on)
            continue;
        uno::Reference<text::XText> t(style->getPropertyValue(header ? OUString("HeaderText") : OUString("FooterText")),
                                      uno::UNO_QUERY);
        if (t.is())
            (header ? out.header : out.footer) = ToQ(t->getString());
    }
    const auto fields = uno::Reference<text::XTextFieldsSupplier>(doc, uno::UNO_QUERY_THROW)->getTextFields();
    Enumerate(fields, [&](const uno::Reference<uno::XInterface>& field) {
        for (const char* s : {"com.sun.star.text.textfield.PageNumber", "com.sun.star.text.textfield.PageCount"})
            if (Supports(field, s))
                out.pageFields << QString::fromLatin1(s).section('.', -1);
    });

    uno::Reference<container::XIndexAccess> tables(
        uno::Reference<text::XTextTablesSupplier>(doc, uno::UNO_QUERY_THROW)->getTextTables(), uno::UNO_QUERY_THROW);
    out.tables = tables->getCount();
    for (sal_Int32 i = 0; i < out.tables; ++i) {
        uno::Reference<text::XTextTable> table(tables->getByIndex(i), uno::UNO_QUERY_THROW);
        sal_Int32 width = 0;
        uno::Reference<beans::XPropertySet>(table, uno::UNO_QUERY_THROW)->getPropertyValue("Width") >>= width;
        out.tableWidths << width;
        for (const auto& name : table->getCellNames())
            out.tableCells << ToQ(uno::Reference<text::XText>(table->getCellByName(name), uno::UNO_QUERY_THROW)->getString());
    }
    uno::Reference<container::XIndexAccess> graphics(
        uno::Reference<text::XTextGraphicObjectsSupplier>(doc, uno::UNO_QUERY_THROW)->getGraphicObjects(),
        uno::UNO_QUERY_THROW);
    for (sal_Int32 i = 0; i < graphics->getCount(); ++i) {
        uno::Reference<beans::XPropertySet> shape(graphics->getByIndex(i), uno::UNO_QUERY_THROW);
        uno::Reference<graphic::XGraphic> g;
        shape->getPropertyValue("Graphic") >>= g;
        awt::Size pixels;
        if (g.is())
            uno::Reference<beans::XPropertySet>(g, uno::UNO_QUERY_THROW)->getPropertyValue("SizePixel") >>= pixels;
        (pixels.Width > 0 ? out.pictures : out.linkedPictures) += 1;
    }
    uno::Reference<beans::XPropertySet> settings(
        uno::Reference<lang::XMultiServiceFactory>(doc, uno::UNO_QUERY_THROW)->createInstance("com.sun.star.document.Settings"),
        uno::UNO_QUERY_THROW);
    settings->getPropertyValue("ProtectForm") >>= out.formProtected;
}

}  // namespace

DocumentSummary InspectDocument(const std::filesystem::path& file) {
    std::shared_ptr<OfficeSession> session;
    try {
        session = std::make_shared<OfficeSession>(automation::WordVersion::Word2003);
    } catch (const automation::AutomationException& e) {
        throw std::runtime_error(e.description().toStdString());
    }
    DocumentSummary out;
    try {
        OfficeSession::CallScope scope(*session);
        beans::PropertyValue hidden[2];
        hidden[0].Name = "Hidden";
        hidden[0].Value <<= true;
        hidden[1].Name = "ReadOnly";
        hidden[1].Value <<= true;
        const auto component = uno::Reference<frame::XComponentLoader>(session->uno().desktop(), uno::UNO_QUERY_THROW)
                                   ->loadComponentFromURL(ToOU(FileUrl(file)), "_blank", 0,
                                                          uno::Sequence<beans::PropertyValue>(hidden, 2));
        uno::Reference<text::XTextDocument> doc(component, uno::UNO_QUERY);
        if (!doc.is())
            throw std::runtime_error("the office could not load " + file.string() + " as a text document");
        for (const auto& arg : uno::Reference<frame::XModel>(doc, uno::UNO_QUERY_THROW)->getArgs())
            if (arg.Name == "FilterName") {
                OUString name;
                arg.Value >>= name;
                out.filter = ToQ(name);
            }
        Summarise(doc, out);
        uno::Reference<util::XCloseable>(doc, uno::UNO_QUERY_THROW)->close(true);
    } catch (const uno::Exception& e) {
        throw std::runtime_error("inspecting " + file.string() + " failed: " + ToQ(e.Message).toStdString());
    }
    return out;
}

}  // namespace wordserver
