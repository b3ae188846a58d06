// Application and Documents: the office session, opening and adding documents.
#include "wordserver/InteractionHandler.h"
#include "wordserver/ServerPaths.h"
#include "wordserver/WordObjects.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <rtl/ref.hxx>

#include <filesystem>

using namespace com::sun::star;
using automation::Variant;
using automation::WordInterface;

namespace wordserver {
namespace {

// The filters of Word's own formats; anything else (plain text, HTML, a
// drawing) means the file was not taken for a Word document.
bool IsWordFilter(const QString& filter) {
    return filter.startsWith(QLatin1String("MS Word")) || filter.startsWith(QLatin1String("MS WinWord")) ||
           filter == QLatin1String("Rich Text Format") || filter.startsWith(QLatin1String("Office Open XML Text"));
}

uno::Sequence<beans::PropertyValue> Props(std::initializer_list<beans::PropertyValue> list) {
    return uno::Sequence<beans::PropertyValue>(list.begin(), static_cast<sal_Int32>(list.size()));
}

beans::PropertyValue Prop(const char* name, const uno::Any& value) {
    beans::PropertyValue p;
    p.Name = OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

std::shared_ptr<DocumentState> Track(OfficeSession& session, const uno::Reference<lang::XComponent>& component,
                                     const QString& what) {
    uno::Reference<text::XTextDocument> doc(component, uno::UNO_QUERY);
    if (!doc.is()) {
        uno::Reference<util::XCloseable> closeable(component, uno::UNO_QUERY);
        if (closeable.is())
            closeable->close(true);
        Fail(QStringLiteral("%1 is not a text document").arg(what));
    }
    auto state = std::make_shared<DocumentState>();
    state->doc = doc;
    state->sel.text = doc->getText();
    state->sel.cursor = state->sel.text->createTextCursorByRange(state->sel.text->getStart());
    state->sel.story = Story::Main;
    session.documents().push_back(state);
    return state;
}

Variant OpenDocument(OfficeSession& session, const QString& fileName) {
    const auto path = HostPath(fileName);
    if (!path || !std::filesystem::is_regular_file(*path))
        Fail(QStringLiteral("the file %1 does not exist").arg(fileName));
    rtl::Reference<InteractionHandler> handler(new InteractionHandler);
    const auto props = Props({Prop("Hidden", uno::Any(true)), Prop("ReadOnly", uno::Any(true)),
                              Prop("InteractionHandler", uno::Any(uno::Reference<task::XInteractionHandler>(handler.get()))),
                              Prop("MacroExecutionMode", uno::Any(sal_Int16(0))),
                              Prop("UpdateDocMode", uno::Any(sal_Int16(0)))});
    const auto component = uno::Reference<frame::XComponentLoader>(session.uno().desktop(), uno::UNO_QUERY_THROW)
                               ->loadComponentFromURL(ToOU(FileUrl(*path)), "_blank", 0, props);
    if (!component.is())
        Fail(QStringLiteral("LibreOffice could not open %1%2").arg(fileName, handler->Failure()));
    uno::Reference<frame::XModel> model(component, uno::UNO_QUERY);
    QString filter;
    if (model.is())
        for (const auto& arg : model->getArgs())
            if (arg.Name == "FilterName") {
                OUString name;
                arg.Value >>= name;
                filter = ToQ(name);
            }
    if (!IsWordFilter(filter)) {
        uno::Reference<util::XCloseable> closeable(component, uno::UNO_QUERY);
        if (closeable.is())
            closeable->close(true);
        Fail(QStringLiteral("LibreOffice did not recognise %1 as a Word document (it chose the filter \"%2\")")
                 .arg(fileName, filter));
    }
    return NewObject<DocumentObject>(WordInterface::Document, session.sessionHandle(),
                                     Track(session, component, fileName));
}

Variant AddDocument(OfficeSession& session) {
    const auto component = uno::Reference<frame::XComponentLoader>(session.uno().desktop(), uno::UNO_QUERY_THROW)
                               ->loadComponentFromURL("private:factory/swriter", "_blank", 0,
                                                      Props({Prop("Hidden", uno::Any(true))}));
    if (!component.is())
        Fail(QStringLiteral("LibreOffice could not make a new document"));
    return NewObject<DocumentObject>(WordInterface::Document, session.sessionHandle(),
                                     Track(session, component, QStringLiteral("the new document")));
}

}  // namespace

ApplicationObject::ApplicationObject(std::shared_ptr<OfficeSession> s)
    : WordObject(WordInterface::Application, std::move(s)) {}

ApplicationObject::~ApplicationObject() = default;

Variant ApplicationObject::Call(const automation::WordMember& m, std::span<const Variant> args) {
    OfficeSession& s = session();
    if (m.name == "Quit") {
        if (IntArg(args[0], 0) != 0)
            Fail(QStringLiteral("Quit can only discard changes"));
        s.Quit();
        return {};
    }
    if (m.name == "Documents")
        return NewObject<DocumentsObject>(WordInterface::Documents, sessionPtr());
    const auto active = s.Active();
    if (!active)
        Fail(QStringLiteral("this command is not available because no document is open"));
    if (m.name == "ActiveDocument")
        return NewObject<DocumentObject>(WordInterface::Document, sessionPtr(), active);
    if (m.name == "ActiveWindow")
        return NewObject<DocumentObject>(WordInterface::Window, sessionPtr(), active);
    if (m.name == "Selection")
        return NewObject<SelectionObject>(sessionPtr(), active);
    Fail(QStringLiteral("Application.%1 is not implemented").arg(QString::fromUtf8(m.name.data(), m.name.size())));
}

Variant DocumentsObject::Call(const automation::WordMember& m, std::span<const Variant> args) {
    if (m.name == "Open")
        return OpenDocument(session(), StringArg(args[0]));
    if (m.name == "Add")
        return AddDocument(session());
    Fail(QStringLiteral("Documents.%1 is not implemented").arg(QString::fromUtf8(m.name.data(), m.name.size())));
}

}  // namespace wordserver
