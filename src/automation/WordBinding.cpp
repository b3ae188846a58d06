#include "automation/WordBinding.h"

#include "automation/AutomationException.h"

namespace automation {
namespace {

constexpr unsigned W97 = VersionBit(WordVersion::Word97);
constexpr unsigned W2000 = VersionBit(WordVersion::Word2000);
constexpr unsigned W2002 = VersionBit(WordVersion::Word2002);
constexpr unsigned W2003 = VersionBit(WordVersion::Word2003);
constexpr unsigned ALL = kAllVersionsMask;

using I = WordInterface;
using K = InvokeKind;
using A = ArgPass;
using R = ResultKind;

std::vector<ArgPass> Vars(int n) { return std::vector<ArgPass>(static_cast<size_t>(n), A::Var); }

std::vector<ArgPass> Concat(std::initializer_list<ArgPass> head, int vars) {
    std::vector<ArgPass> v(head);
    v.insert(v.end(), static_cast<size_t>(vars), A::Var);
    return v;
}

std::vector<WordMember> BuildTable() {
    return {
        {I::Application, "Documents", K::PropertyGet, 0x6, {}, R::Object, I::Documents, ALL},
        {I::Application, "ActiveDocument", K::PropertyGet, 0x3, {}, R::Object, I::Document, ALL},
        {I::Application, "ActiveWindow", K::PropertyGet, 0x4, {}, R::Object, I::Window, ALL},
        {I::Application, "Selection", K::PropertyGet, 0x5, {}, R::Object, I::Selection, ALL},
        {I::Application, "Quit", K::Method, 0x451, Vars(3), R::None, I::Application, ALL},

        {I::Documents, "Open", K::Method, 0xC, Vars(10), R::Object, I::Document, W97},
        {I::Documents, "Open", K::Method, 0xF, Vars(12), R::Object, I::Document, W2000},
        {I::Documents, "Open", K::Method, 0x12, Vars(15), R::Object, I::Document, W2002},
        {I::Documents, "Open", K::Method, 0x13, Vars(16), R::Object, I::Document, W2003},
        {I::Documents, "Add", K::Method, 0xB, Vars(2), R::Object, I::Document, W97},
        {I::Documents, "Add", K::Method, 0xE, Vars(4), R::Object, I::Document, W2000 | W2002 | W2003},

        {I::Document, "Tables", K::PropertyGet, 0x6, {}, R::Object, I::Tables, ALL},
        {I::Document, "ProtectionType", K::PropertyGet, 0x3C, {}, R::I4, I::Document, ALL},
        {I::Document, "Protect", K::Method, 0x78, Concat({A::I4}, 2), R::None, I::Document, W97 | W2000 | W2002},
        {I::Document, "Protect", K::Method, 0x1D3, Concat({A::I4}, 4), R::None, I::Document, W2003},
        {I::Document, "SaveAs", K::Method, 0x66, Vars(11), R::None, I::Document, W97 | W2000},
        {I::Document, "SaveAs", K::Method, 0x178, Vars(16), R::None, I::Document, W2002 | W2003},
        {I::Document, "Close", K::Method, 0x451, Vars(3), R::None, I::Document, ALL},

        {I::Window, "ActivePane", K::PropertyGet, 0x1, {}, R::Object, I::Pane, ALL},
        {I::Pane, "View", K::PropertyGet, 0xA, {}, R::Object, I::View, ALL},
        {I::View, "SeekView", K::PropertyPut, 0x1C, {A::I4}, R::None, I::View, ALL},

        {I::Selection, "Range", K::PropertyGet, 0x190, {}, R::Object, I::Range, ALL},
        {I::Selection, "Hyperlinks", K::PropertyGet, 0x9C, {}, R::Object, I::Hyperlinks, ALL},
        {I::Selection, "InlineShapes", K::PropertyGet, 0x19B, {}, R::Object, I::InlineShapes, ALL},
        {I::Selection, "TypeText", K::Method, 0x1FB, {A::Bstr}, R::None, I::Selection, ALL},
        {I::Selection, "TypeParagraph", K::Method, 0x200, {}, R::None, I::Selection, ALL},
        {I::Selection, "InsertAfter", K::Method, 0x68, {A::Bstr}, R::None, I::Selection, ALL},
        {I::Selection, "SetRange", K::Method, 0x64, {A::I4, A::I4}, R::None, I::Selection, ALL},
        {I::Selection, "EndKey", K::Method, 0x1F9, Vars(2), R::I4, I::Selection, ALL},
        {I::Selection, "MoveRight", K::Method, 0x1F5, Vars(3), R::I4, I::Selection, ALL},
        {I::Selection, "MoveDown", K::Method, 0x1F7, Vars(3), R::I4, I::Selection, ALL},
        {I::Selection, "Move", K::Method, 0x6D, Vars(2), R::I4, I::Selection, ALL},
        {I::Selection, "CreateAutoTextEntry", K::Method, 0x216, {A::Bstr, A::Bstr}, R::Object, I::AutoTextEntry,
         W2000 | W2002 | W2003},

        {I::Range, "Start", K::PropertyGet, 0x3, {}, R::I4, I::Range, ALL},
        {I::Range, "End", K::PropertyGet, 0x4, {}, R::I4, I::Range, ALL},
        {I::Range, "Select", K::Method, 0xFFFF, {}, R::None, I::Range, ALL},
        {I::Range, "InsertAfter", K::Method, 0x68, {A::Bstr}, R::None, I::Range, ALL},

        {I::Tables, "Add", K::Method, 0x4, {A::Object, A::I4, A::I4}, R::Object, I::Table, W97},
        {I::Tables, "Add", K::Method, 0xC8, {A::Object, A::I4, A::I4, A::Var, A::Var}, R::Object, I::Table,
         W2000 | W2002 | W2003},

        {I::Table, "Range", K::PropertyGet, 0x0, {}, R::Object, I::Range, ALL},
        {I::Table, "Columns", K::PropertyGet, 0x64, {}, R::Object, I::Columns, ALL},
        {I::Table, "Rows", K::PropertyGet, 0x65, {}, R::Object, I::Rows, ALL},
        {I::Table, "Cell", K::Method, 0x11, {A::I4, A::I4}, R::Object, I::Cell, ALL},
        {I::Rows, "Count", K::PropertyGet, 0x2, {}, R::I4, I::Rows, ALL},
        {I::Columns, "Count", K::PropertyGet, 0x2, {}, R::I4, I::Columns, ALL},
        {I::Cell, "Range", K::PropertyGet, 0x0, {}, R::Object, I::Range, ALL},
        {I::Cell, "Select", K::Method, 0xFFFF, {}, R::None, I::Cell, ALL},

        {I::Hyperlinks, "Add", K::Method, 0x64, Concat({A::Object}, 2), R::Object, I::Hyperlink, W97},
        {I::Hyperlinks, "Add", K::Method, 0x65, Concat({A::Object}, 5), R::Object, I::Hyperlink,
         W2000 | W2002 | W2003},
        {I::InlineShapes, "AddPicture", K::Method, 0x64, Concat({A::Bstr}, 3), R::Object, I::InlineShape, ALL},
    };
}

bool PassedAs(const Variant& v, ArgPass pass) {
    switch (pass) {
    case A::Var: return v.byRef();
    case A::I4: return !v.byRef() && v.type() == VarType::I4;
    case A::Bstr: return !v.byRef() && v.type() == VarType::Bstr;
    case A::Object: return !v.byRef() && v.type() == VarType::Dispatch;
    }
    return false;
}

}  // namespace

QString WordVersionName(WordVersion v) {
    switch (v) {
    case WordVersion::Word97: return QStringLiteral("Word97");
    case WordVersion::Word2000: return QStringLiteral("Word2000");
    case WordVersion::Word2002: return QStringLiteral("Word2002");
    case WordVersion::Word2003: return QStringLiteral("Word2003");
    }
    return {};
}

std::optional<WordVersion> WordVersionFromName(const QString& name) {
    for (WordVersion v : kAllWordVersions)
        if (WordVersionName(v) == name)
            return v;
    return std::nullopt;
}

const char* InterfaceName(WordInterface i) {
    static const char* const names[] = {"Application", "Documents", "Document", "Selection", "Range", "Window",
                                        "Pane", "View", "Tables", "Table", "Rows", "Columns", "Cell",
                                        "Hyperlinks", "InlineShapes", "Hyperlink", "InlineShape", "AutoTextEntry"};
    return names[static_cast<int>(i)];
}

const std::vector<WordMember>& WordMembers() {
    static const std::vector<WordMember> table = BuildTable();
    return table;
}

const WordMember* FindWordMember(WordVersion version, WordInterface iface, DISPID dispid, InvokeKind kind) {
    for (const auto& m : WordMembers())
        if (m.iface == iface && m.dispid == dispid && m.kind == kind && (m.versions & VersionBit(version)))
            return &m;
    return nullptr;
}

const WordMember* FindWordMemberByName(WordVersion version, WordInterface iface, std::string_view name) {
    for (const auto& m : WordMembers())
        if (m.iface == iface && m.name == name && (m.versions & VersionBit(version)))
            return &m;
    return nullptr;
}

const WordMember& CheckWordCall(WordVersion version, WordInterface iface, DISPID dispid, InvokeKind kind,
                                std::span<const Variant> args) {
    const WordMember* m = FindWordMember(version, iface, dispid, kind);
    if (!m)
        throw AutomationException(DISP_E_MEMBERNOTFOUND,
                                  QStringLiteral("%1 has no member 0x%2 of that kind in %3")
                                      .arg(InterfaceName(iface))
                                      .arg(static_cast<unsigned>(dispid), 0, 16)
                                      .arg(WordVersionName(version)));
    if (args.size() != m->args.size())
        throw AutomationException(DISP_E_BADPARAMCOUNT, QStringLiteral("%1.%2 takes %3 arguments, not %4")
                                                            .arg(InterfaceName(iface))
                                                            .arg(QString::fromUtf8(m->name.data(), static_cast<qsizetype>(m->name.size())))
                                                            .arg(m->args.size())
                                                            .arg(args.size()));
    for (size_t i = 0; i < args.size(); ++i)
        if (!PassedAs(args[i], m->args[i]))
            throw AutomationException(DISP_E_TYPEMISMATCH, QStringLiteral("%1.%2: argument %3 is passed wrongly")
                                                               .arg(InterfaceName(iface))
                                                               .arg(QString::fromUtf8(m->name.data(), static_cast<qsizetype>(m->name.size())))
                                                               .arg(i + 1));
    return *m;
}

}  // namespace automation
