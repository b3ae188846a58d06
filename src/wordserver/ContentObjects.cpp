// Hyperlinks and InlineShapes of the selection.
#include "wordserver/ServerPaths.h"
#include "wordserver/TextEdit.h"
#include "wordserver/WordObjects.h"

#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/graphic/XGraphic.hpp>
#include <com/sun/star/graphic/XGraphicProvider.hpp>
#include <com/sun/star/text/TextContentAnchorType.hpp>
#include <com/sun/star/text/XTextContent.hpp>

#include <filesystem>

using namespace com::sun::star;
using automation::Variant;
using automation::WordInterface;

namespace wordserver {
namespace {

// The largest picture that fits the text area of a default page, in 1/100 mm.
constexpr sal_Int32 kMaxWidth = 17000;
constexpr sal_Int32 kMaxHeight = 24000;

awt::Size PictureSize(const uno::Reference<graphic::XGraphic>& graphic) {
    uno::Reference<beans::XPropertySet> props(graphic, uno::UNO_QUERY_THROW);
    awt::Size size;
    props->getPropertyValue("Size100thMM") >>= size;
    if (size.Width <= 0 || size.Height <= 0) {
        awt::Size pixels;
        props->getPropertyValue("SizePixel") >>= pixels;
        size.Width = pixels.Width * 2540 / 96;
        size.Height = pixels.Height * 2540 / 96;
    }
    if (size.Width <= 0 || size.Height <= 0)
        size = awt::Size(2540, 2540);
    const double scale = std::min({1.0, double(kMaxWidth) / size.Width, double(kMaxHeight) / size.Height});
    return awt::Size(std::max<sal_Int32>(1, sal_Int32(size.Width * scale)),
                     std::max<sal_Int32>(1, sal_Int32(size.Height * scale)));
}

}  // namespace

Variant ContentObject::Call(const automation::WordMember& m, std::span<const Variant> args) {
    doc();
    if (iface() == WordInterface::Hyperlinks)
        return AddHyperlink(args);
    if (m.name == "AddPicture")
        return AddPicture(args);
    Fail(QStringLiteral("%1.%2 is not implemented")
             .arg(automation::InterfaceName(iface()), QString::fromUtf8(m.name.data(), m.name.size())));
}

Variant ContentObject::AddHyperlink(std::span<const Variant> args) {
    DocumentState& d = doc();
    auto& anchor = ObjectArg<RangeObject>(args[0], "the anchor of Hyperlinks.Add");
    const QString address = StringArg(args[1]);
    const QString subAddress = StringArg(args[2]);
    if (address.isEmpty() && subAddress.isEmpty())
        Fail(QStringLiteral("a hyperlink needs an address"));
    const auto text = anchor.text();
    const auto cursor = anchor.Cursor();
    QString display = args.size() > 4 ? StringArg(args[4]) : QString();
    if (display.isEmpty())
        display = ToQ(cursor->getString());
    if (display.isEmpty())
        display = address.isEmpty() ? QStringLiteral("#") + subAddress : address;

    const sal_Int32 start = Position(text, cursor->getStart());
    cursor->setString(OUString());
    cursor->collapseToStart();
    InsertText(text, cursor, display);
    const auto link = CursorAt(text, start, Position(text, cursor->getStart()));
    uno::Reference<beans::XPropertySet> props(link, uno::UNO_QUERY_THROW);
    props->setPropertyValue("HyperLinkURL",
                            uno::Any(ToOU(subAddress.isEmpty() ? address : address + QStringLiteral("#") + subAddress)));
    if (args.size() > 5 && !StringArg(args[5]).isEmpty())
        props->setPropertyValue("HyperLinkTarget", uno::Any(ToOU(StringArg(args[5]))));
    // An anchor at the insertion point leaves the insertion point behind the link.
    if (d.sel.text == text && anchor.story() == d.sel.story) {
        d.sel.cursor = text->createTextCursorByRange(link->getEnd());
        d.sel.afterLink = true;
    }
    return NewObject<OpaqueObject>(WordInterface::Hyperlink, sessionPtr());
}

Variant ContentObject::AddPicture(std::span<const Variant> args) {
    DocumentState& d = doc();
    const QString fileName = args[0].ToString();
    const auto path = HostPath(fileName);
    if (!path || !std::filesystem::is_regular_file(*path))
        Fail(QStringLiteral("the picture file %1 does not exist").arg(fileName));
    if (IntArg(args[1], 0) != 0)
        Fail(QStringLiteral("pictures are embedded; linking to the file is not supported"));

    beans::PropertyValue url;
    url.Name = "URL";
    url.Value <<= ToOU(FileUrl(*path));
    uno::Reference<graphic::XGraphicProvider> provider(session().uno().CreateInstance("com.sun.star.graphic.GraphicProvider"),
                                                       uno::UNO_QUERY_THROW);
    const auto graphic = provider->queryGraphic(uno::Sequence<beans::PropertyValue>(&url, 1));
    if (!graphic.is())
        Fail(QStringLiteral("%1 is not a picture LibreOffice can read").arg(fileName));

    uno::Reference<beans::XPropertySet> shape(CreateDocumentInstance(d, "com.sun.star.text.TextGraphicObject"),
                                              uno::UNO_QUERY_THROW);
    shape->setPropertyValue("AnchorType", uno::Any(text::TextContentAnchorType_AS_CHARACTER));
    shape->setPropertyValue("Graphic", uno::Any(graphic));
    const awt::Size size = PictureSize(graphic);
    shape->setPropertyValue("Width", uno::Any(size.Width));
    shape->setPropertyValue("Height", uno::Any(size.Height));

    const bool atSelection = IsOmitted(args[3]);
    uno::Reference<text::XText> text = d.sel.text;
    uno::Reference<text::XTextCursor> at = d.sel.cursor;
    if (!atSelection) {
        auto& range = ObjectArg<RangeObject>(args[3], "the range of AddPicture");
        text = range.text();
        at = range.Cursor();
    }
    if (!at->isCollapsed())
        at->setString(OUString());
    const auto before = text->createTextCursorByRange(at->getStart());
    text->insertTextContent(at.get(), uno::Reference<text::XTextContent>(shape, uno::UNO_QUERY_THROW), false);
    if (atSelection) {
        // The picture is one character; the insertion point goes behind it.
        d.sel.cursor = text->createTextCursorByRange(before->getStart());
        d.sel.cursor->goRight(1, false);
    }
    return NewObject<OpaqueObject>(WordInterface::InlineShape, sessionPtr());
}

}  // namespace wordserver
