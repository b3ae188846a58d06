#pragma once
// The Word wrapper classes, one per Word interface, written once for all
// bindings: each method makes one call through the binding table, which
// says per Word version which DISPID, kind and how many of the arguments
// go out. A parameter list here is the longest any version has; a binding
// with fewer parameters sends the leading ones. msword8.h ... msword11.h
// name the classes of one binding.
#include "automation/DispatchDriver.h"
#include "automation/WordBinding.h"

#include <QString>
#include <initializer_list>
#include <string_view>

namespace automation {

// Calls `member` of `iface` in the binding of `version` on the driver's
// object, passing the leading arguments the binding has, each as the
// binding passes it (variant by reference or value). Nothing happens on an
// empty driver; a member the binding lacks raises DISP_E_MEMBERNOTFOUND.
Variant CallWordMember(const DispatchDriver& driver, WordVersion version, WordInterface iface,
                       std::string_view member, std::initializer_list<Variant> args = {});

namespace word {

template <WordVersion V, WordInterface I>
class WordObject : public DispatchDriver {
public:
    using DispatchDriver::DispatchDriver;
    static constexpr WordVersion kVersion = V;
    static constexpr WordInterface kInterface = I;

protected:
    Variant Call(std::string_view member, std::initializer_list<Variant> args = {}) const {
        return CallWordMember(*this, V, I, member, args);
    }
    template <class Result>
    Result CallForObject(std::string_view member, std::initializer_list<Variant> args = {}) const {
        Result r;
        r.AttachDispatch(Call(member, args).DetachDispatch(), TRUE);
        return r;
    }
    std::int32_t CallForInt(std::string_view member, std::initializer_list<Variant> args = {}) const {
        return Call(member, args).ToI4();
    }
};

template <WordVersion V> class Application;
template <WordVersion V> class Documents;
template <WordVersion V> class Document;
template <WordVersion V> class Selection;
template <WordVersion V> class Range;
template <WordVersion V> class Window;
template <WordVersion V> class Pane;
template <WordVersion V> class View;
template <WordVersion V> class Tables;
template <WordVersion V> class Table;
template <WordVersion V> class Rows;
template <WordVersion V> class Columns;
template <WordVersion V> class Cell;
template <WordVersion V> class Hyperlinks;
template <WordVersion V> class InlineShapes;

// Parameters of Documents.Open in Word's order; unset ones are omitted.
struct OpenArguments {
    Variant FileName = varOmitted, ConfirmConversions = varOmitted, ReadOnly = varOmitted,
            AddToRecentFiles = varOmitted, PasswordDocument = varOmitted, PasswordTemplate = varOmitted,
            Revert = varOmitted, WritePasswordDocument = varOmitted, WritePasswordTemplate = varOmitted,
            Format = varOmitted, Encoding = varOmitted, Visible = varOmitted, OpenAndRepair = varOmitted,
            DocumentDirection = varOmitted, NoEncodingDialog = varOmitted, XMLTransform = varOmitted;
};

// Parameters of Document.SaveAs in Word's order; unset ones are omitted.
struct SaveAsArguments {
    Variant FileName = varOmitted, FileFormat = varOmitted, LockComments = varOmitted, Password = varOmitted,
            AddToRecentFiles = varOmitted, WritePassword = varOmitted, ReadOnlyRecommended = varOmitted,
            EmbedTrueTypeFonts = varOmitted, SaveNativePictureFormat = varOmitted, SaveFormsData = varOmitted,
            SaveAsAOCELetter = varOmitted, Encoding = varOmitted, InsertLineBreaks = varOmitted,
            AllowSubstitutions = varOmitted, LineEnding = varOmitted, AddBiDiMarks = varOmitted;
};

template <WordVersion V>
class Application : public WordObject<V, WordInterface::Application> {
public:
    Documents<V> GetDocuments() const { return this->template CallForObject<Documents<V>>("Documents"); }
    Document<V> GetActiveDocument() const { return this->template CallForObject<Document<V>>("ActiveDocument"); }
    Window<V> GetActiveWindow() const { return this->template CallForObject<Window<V>>("ActiveWindow"); }
    Selection<V> GetSelection() const { return this->template CallForObject<Selection<V>>("Selection"); }
    void Quit(const Variant& saveChanges, const Variant& originalFormat, const Variant& routeDocument) const {
        this->Call("Quit", {saveChanges, originalFormat, routeDocument});
    }
};

template <WordVersion V>
class Documents : public WordObject<V, WordInterface::Documents> {
public:
    Document<V> Open(const OpenArguments& a) const {
        return this->template CallForObject<Document<V>>(
            "Open", {a.FileName, a.ConfirmConversions, a.ReadOnly, a.AddToRecentFiles, a.PasswordDocument,
                     a.PasswordTemplate, a.Revert, a.WritePasswordDocument, a.WritePasswordTemplate, a.Format,
                     a.Encoding, a.Visible, a.OpenAndRepair, a.DocumentDirection, a.NoEncodingDialog,
                     a.XMLTransform});
    }
    Document<V> Add(const Variant& templateName, const Variant& newTemplate, const Variant& documentType = varOmitted,
                    const Variant& visible = varOmitted) const {
        return this->template CallForObject<Document<V>>("Add", {templateName, newTemplate, documentType, visible});
    }
};

template <WordVersion V>
class Document : public WordObject<V, WordInterface::Document> {
public:
    Tables<V> GetTables() const { return this->template CallForObject<Tables<V>>("Tables"); }
    std::int32_t GetProtectionType() const { return this->CallForInt("ProtectionType"); }
    void Protect(std::int32_t type, const Variant& noReset, const Variant& password,
                 const Variant& useIRM = varOmitted, const Variant& enforceStyleLock = varOmitted) const {
        this->Call("Protect", {Variant::I4(type), noReset, password, useIRM, enforceStyleLock});
    }
    void SaveAs(const SaveAsArguments& a) const {
        this->Call("SaveAs", {a.FileName, a.FileFormat, a.LockComments, a.Password, a.AddToRecentFiles,
                              a.WritePassword, a.ReadOnlyRecommended, a.EmbedTrueTypeFonts,
                              a.SaveNativePictureFormat, a.SaveFormsData, a.SaveAsAOCELetter, a.Encoding,
                              a.InsertLineBreaks, a.AllowSubstitutions, a.LineEnding, a.AddBiDiMarks});
    }
    void Close(const Variant& saveChanges, const Variant& originalFormat, const Variant& routeDocument) const {
        this->Call("Close", {saveChanges, originalFormat, routeDocument});
    }
};

template <WordVersion V>
class Window : public WordObject<V, WordInterface::Window> {
public:
    Pane<V> GetActivePane() const { return this->template CallForObject<Pane<V>>("ActivePane"); }
};

template <WordVersion V>
class Pane : public WordObject<V, WordInterface::Pane> {
public:
    View<V> GetView() const { return this->template CallForObject<View<V>>("View"); }
};

template <WordVersion V>
class View : public WordObject<V, WordInterface::View> {
public:
    void SetSeekView(std::int32_t value) const { this->Call("SeekView", {Variant::I4(value)}); }
};

template <WordVersion V>
class Selection : public WordObject<V, WordInterface::Selection> {
public:
    Range<V> GetRange() const { return this->template CallForObject<Range<V>>("Range"); }
    Hyperlinks<V> GetHyperlinks() const { return this->template CallForObject<Hyperlinks<V>>("Hyperlinks"); }
    InlineShapes<V> GetInlineShapes() const { return this->template CallForObject<InlineShapes<V>>("InlineShapes"); }
    void TypeText(const QString& text) const { this->Call("TypeText", {Variant::Bstr(text)}); }
    void TypeParagraph() const { this->Call("TypeParagraph"); }
    void InsertAfter(const QString& text) const { this->Call("InsertAfter", {Variant::Bstr(text)}); }
    void SetRange(std::int32_t start, std::int32_t end) const {
        this->Call("SetRange", {Variant::I4(start), Variant::I4(end)});
    }
    std::int32_t EndKey(const Variant& unit, const Variant& extend) const {
        return this->CallForInt("EndKey", {unit, extend});
    }
    std::int32_t MoveRight(const Variant& unit, const Variant& count, const Variant& extend) const {
        return this->CallForInt("MoveRight", {unit, count, extend});
    }
    std::int32_t MoveDown(const Variant& unit, const Variant& count, const Variant& extend) const {
        return this->CallForInt("MoveDown", {unit, count, extend});
    }
    std::int32_t Move(const Variant& unit, const Variant& count) const {
        return this->CallForInt("Move", {unit, count});
    }
    // The AutoText entry made is not used; its reference is dropped at once.
    void CreateAutoTextEntry(const QString& name, const QString& styleName) const {
        this->Call("CreateAutoTextEntry", {Variant::Bstr(name), Variant::Bstr(styleName)});
    }
};

template <WordVersion V>
class Range : public WordObject<V, WordInterface::Range> {
public:
    std::int32_t GetStart() const { return this->CallForInt("Start"); }
    std::int32_t GetEnd() const { return this->CallForInt("End"); }
    void Select() const { this->Call("Select"); }
    void InsertAfter(const QString& text) const { this->Call("InsertAfter", {Variant::Bstr(text)}); }
};

template <WordVersion V>
class Tables : public WordObject<V, WordInterface::Tables> {
public:
    Table<V> Add(const DispatchDriver& range, std::int32_t numRows, std::int32_t numColumns,
                 const Variant& defaultTableBehavior = varOmitted, const Variant& autoFitBehavior = varOmitted) const {
        return this->template CallForObject<Table<V>>(
            "Add", {Variant::Dispatch(range.GetIDispatch()), Variant::I4(numRows), Variant::I4(numColumns),
                    defaultTableBehavior, autoFitBehavior});
    }
};

template <WordVersion V>
class Table : public WordObject<V, WordInterface::Table> {
public:
    Range<V> GetRange() const { return this->template CallForObject<Range<V>>("Range"); }
    Columns<V> GetColumns() const { return this->template CallForObject<Columns<V>>("Columns"); }
    Rows<V> GetRows() const { return this->template CallForObject<Rows<V>>("Rows"); }
    Cell<V> GetCell(std::int32_t row, std::int32_t column) const {
        return this->template CallForObject<Cell<V>>("Cell", {Variant::I4(row), Variant::I4(column)});
    }
};

template <WordVersion V>
class Rows : public WordObject<V, WordInterface::Rows> {
public:
    std::int32_t GetCount() const { return this->CallForInt("Count"); }
};

template <WordVersion V>
class Columns : public WordObject<V, WordInterface::Columns> {
public:
    std::int32_t GetCount() const { return this->CallForInt("Count"); }
};

template <WordVersion V>
class Cell : public WordObject<V, WordInterface::Cell> {
public:
    Range<V> GetRange() const { return this->template CallForObject<Range<V>>("Range"); }
    void Select() const { this->Call("Select"); }
};

template <WordVersion V>
class Hyperlinks : public WordObject<V, WordInterface::Hyperlinks> {
public:
    // The hyperlink made is not used; its reference is dropped at once.
    void Add(const DispatchDriver& anchor, const Variant& address, const Variant& subAddress,
             const Variant& screenTip = varOmitted, const Variant& textToDisplay = varOmitted,
             const Variant& target = varOmitted) const {
        this->Call("Add", {Variant::Dispatch(anchor.GetIDispatch()), address, subAddress, screenTip, textToDisplay,
                           target});
    }
};

template <WordVersion V>
class InlineShapes : public WordObject<V, WordInterface::InlineShapes> {
public:
    // The inline shape made is not used; its reference is dropped at once.
    void AddPicture(const QString& fileName, const Variant& linkToFile, const Variant& saveWithDocument,
                    const Variant& range) const {
        this->Call("AddPicture", {Variant::Bstr(fileName), linkToFile, saveWithDocument, range});
    }
};

}  // namespace word
}  // namespace automation

// The names of one binding's namespace (msword8 ... msword11).
#define TESSALY_WORD_BINDING_ALIASES(V) \
    inline constexpr automation::WordVersion kVersion = V; \
    using Application = automation::word::Application<kVersion>; \
    using Documents = automation::word::Documents<kVersion>; \
    using Document = automation::word::Document<kVersion>; \
    using Selection = automation::word::Selection<kVersion>; \
    using Range = automation::word::Range<kVersion>; \
    using Window = automation::word::Window<kVersion>; \
    using Pane = automation::word::Pane<kVersion>; \
    using View = automation::word::View<kVersion>; \
    using Tables = automation::word::Tables<kVersion>; \
    using Table = automation::word::Table<kVersion>; \
    using Rows = automation::word::Rows<kVersion>; \
    using Columns = automation::word::Columns<kVersion>; \
    using Cell = automation::word::Cell<kVersion>; \
    using Hyperlinks = automation::word::Hyperlinks<kVersion>; \
    using InlineShapes = automation::word::InlineShapes<kVersion>;

// Instantiates every wrapper class of one binding (in that binding's file).
#define TESSALY_WORD_BINDING_CLASSES(V)                                                                            \
    template class automation::word::Application<V>;                                                              \
    template class automation::word::Documents<V>;                                                                \
    template class automation::word::Document<V>;                                                                 \
    template class automation::word::Selection<V>;                                                                \
    template class automation::word::Range<V>;                                                                    \
    template class automation::word::Window<V>;                                                                   \
    template class automation::word::Pane<V>;                                                                     \
    template class automation::word::View<V>;                                                                     \
    template class automation::word::Tables<V>;                                                                   \
    template class automation::word::Table<V>;                                                                    \
    template class automation::word::Rows<V>;                                                                     \
    template class automation::word::Columns<V>;                                                                  \
    template class automation::word::Cell<V>;                                                                     \
    template class automation::word::Hyperlinks<V>;                                                               \
    template class automation::word::InlineShapes<V>
