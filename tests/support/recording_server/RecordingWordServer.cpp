#include "RecordingWordServer.h"

#include "platform/codepage.h"
#include "platform/fileops.h"

#include <algorithm>
#include <map>

namespace recording_server {

using automation::AutomationException;
using automation::VarType;
using automation::WordMember;

namespace {

constexpr HRESULT kWordError = static_cast<HRESULT>(0x800A1000);  // Word's own failures
constexpr char16_t kTableMarkBase = 0xE000;                        // one character per table
constexpr char16_t kPictureMarkBase = 0xF000;                      // one character per picture
constexpr int kMainStory = 0, kHeaderStory = 9, kFooterStory = 10;

[[noreturn]] void Fail(HRESULT code, const QString& text) { throw AutomationException(code, text); }

QString StringArg(const Variant& v, const char* what) {
    if (v.type() != VarType::Bstr)
        Fail(automation::DISP_E_TYPEMISMATCH, QStringLiteral("%1 must be a string, not %2").arg(what, Describe(v)));
    return v.ToString();
}

bool Omitted(const Variant& v) {
    return v.type() == VarType::Error && v.ToError() == automation::DISP_E_PARAMNOTFOUND;
}

std::int32_t IntArg(const Variant& v, const char* what, std::int32_t whenOmitted) {
    if (Omitted(v))
        return whenOmitted;
    if (v.type() == VarType::I4)
        return v.ToI4();
    if (v.type() == VarType::I2)
        return v.ToI2();
    Fail(automation::DISP_E_TYPEMISMATCH, QStringLiteral("%1 must be a number, not %2").arg(what, Describe(v)));
}

std::optional<QString> OptionalStringArg(const Variant& v, const char* what) {
    if (Omitted(v))
        return std::nullopt;
    return StringArg(v, what);
}

struct Selection {
    int story = kMainStory;
    qsizetype start = 0, end = 0;
    int table = -1;  // the selection is in this table's cell (row, column)
    std::int32_t row = 0, column = 0;
};

struct Instance {
    int number = 0;
    bool quit = false;
    std::vector<DocumentModel> documents;
    int active = -1;
    Selection selection;
};

enum class RangeKind { Story, Table, Cell };
struct RangeRef {
    RangeKind kind = RangeKind::Story;
    int story = kMainStory;
    qsizetype start = 0, end = 0;
    int table = -1;
    std::int32_t row = 0, column = 0;
};

}  // namespace

struct RecordingWordServer::State {
    explicit State(WordVersion v) : version(v) {}
    WordVersion version;
    bool refuseToStart = false;
    std::vector<RecordedCall> calls;
    std::map<std::size_t, HRESULT> failCalls;
    std::map<std::string, std::map<int, HRESULT>> failMembers;
    std::map<std::string, int> memberCounts;
    int startAttempts = 0;
    std::vector<std::shared_ptr<Instance>> instances;
    std::vector<SavedFile> saves;
    std::size_t live = 0;
    std::int32_t protectionOnOpen = kNoProtection;
};

namespace {

using State = RecordingWordServer::State;

QString& Story(DocumentModel& d, int story) {
    return story == kHeaderStory ? d.header : story == kFooterStory ? d.footer : d.body;
}

qsizetype TableAnchor(const DocumentModel& d, int table) {
    return d.body.indexOf(QChar(static_cast<char16_t>(kTableMarkBase + table)));
}

// One object of the server. A COM-style object owns itself: its last
// Release deletes it.
class ServerObject : public automation::IDispatch {
public:
    ServerObject(std::shared_ptr<State> state, std::shared_ptr<Instance> instance, WordInterface iface)
        : m_state(std::move(state)), m_instance(std::move(instance)), m_iface(iface) {
        ++m_state->live;
    }
    ~ServerObject() override { --m_state->live; }

    std::uint32_t AddRef() override { return ++m_refs; }
    std::uint32_t Release() override {
        const std::uint32_t left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

    Variant Invoke(DISPID dispid, InvokeKind kind, std::span<const Variant> args) override {
        const WordMember* m = automation::FindWordMember(m_state->version, m_iface, dispid, kind);
        RecordedCall call;
        call.instance = m_instance->number;
        call.iface = m_iface;
        call.kind = kind;
        call.dispid = dispid;
        // Object arguments are kept without their reference, so that the
        // record does not keep client objects alive.
        for (const Variant& v : args) {
            if (v.type() == VarType::Dispatch) {
                Variant held = Variant::AttachDispatch(nullptr);
                call.args.push_back(v.byRef() ? held.ByRef() : held);
                auto* o = dynamic_cast<ServerObject*>(v.ToDispatch());
                call.objectArgs.push_back(o ? automation::InterfaceName(o->m_iface) : "foreign");
            } else {
                call.args.push_back(v);
                call.objectArgs.emplace_back();
            }
        }
        call.member = std::string(automation::InterfaceName(m_iface)) + "." +
                      (m ? std::string(m->name) : QStringLiteral("0x%1").arg(static_cast<unsigned>(dispid), 0, 16).toStdString());
        const std::size_t index = m_state->calls.size();
        m_state->calls.push_back(call);
        try {
            if (m_instance->quit)
                Fail(automation::RPC_E_DISCONNECTED, QStringLiteral("the Word instance has quit"));
            const WordMember& member = automation::CheckWordCall(m_state->version, m_iface, dispid, kind, args);
            const int occurrence = ++m_state->memberCounts[call.member];
            if (auto it = m_state->failCalls.find(index); it != m_state->failCalls.end())
                Fail(it->second, QStringLiteral("call %1 (%2) fails as the test asked").arg(index).arg(QString::fromStdString(call.member)));
            if (auto it = m_state->failMembers.find(call.member); it != m_state->failMembers.end())
                if (auto o = it->second.find(occurrence); o != it->second.end())
                    Fail(o->second, QStringLiteral("%1 fails as the test asked").arg(QString::fromStdString(call.member)));
            return Dispatch(member.name, args);
        } catch (const AutomationException& e) {
            m_state->calls[index].error = e.code();
            throw;
        }
    }

    int m_document = -1;
    int m_table = -1;
    RangeRef m_range;

private:
    Variant New(WordInterface iface, int document = -1, int table = -1, RangeRef range = {}) {
        auto* o = new ServerObject(m_state, m_instance, iface);
        o->m_document = document;
        o->m_table = table;
        o->m_range = range;
        return Variant::AttachDispatch(o);
    }

    DocumentModel& Doc(int index) {
        if (index < 0 || index >= static_cast<int>(m_instance->documents.size()))
            Fail(kWordError, QStringLiteral("there is no document"));
        DocumentModel& d = m_instance->documents[static_cast<size_t>(index)];
        if (d.closed)
            Fail(kWordError, QStringLiteral("the document has been closed"));
        return d;
    }
    int ActiveIndex() {
        Doc(m_instance->active);
        return m_instance->active;
    }
    DocumentModel& Active() { return Doc(ActiveIndex()); }
    Selection& Sel() { return m_instance->selection; }
    TableModel& TableOf(DocumentModel& d, int table) {
        if (table < 0 || table >= static_cast<int>(d.tables.size()))
            Fail(kWordError, QStringLiteral("the table does not exist"));
        return d.tables[static_cast<size_t>(table)];
    }

    void MakeActive(int document) {
        m_instance->active = document;
        m_instance->selection = Selection{};
    }

    // Puts text at the selection; in a cell it goes to the cell's end.
    void InsertAtSelection(const QString& text, bool replaceSelection) {
        DocumentModel& d = Active();
        Selection& s = Sel();
        if (s.table >= 0) {
            TableOf(d, s.table).At(s.row, s.column) += text;
            return;
        }
        QString& story = Story(d, s.story);
        if (replaceSelection) {
            story.replace(s.start, s.end - s.start, text);
            s.start = s.end = s.start + text.size();
        } else {
            story.insert(s.end, text);
            s.end += text.size();
        }
    }

    void LeaveTable() {
        Selection& s = Sel();
        if (s.table < 0)
            return;
        const qsizetype anchor = TableAnchor(Active(), s.table);
        s = Selection{};
        s.start = s.end = anchor + 1;
    }

    void MoveBy(std::int32_t count) {
        Selection& s = Sel();
        const qsizetype length = Story(Active(), s.story).size();
        s.start = s.end = std::clamp<qsizetype>(s.end + count, 0, length);
    }

    const RangeRef& RangeArg(const Variant& v, const char* what) {
        auto* o = v.type() == VarType::Dispatch ? dynamic_cast<ServerObject*>(v.ToDispatch()) : nullptr;
        if (!o || o->m_iface != WordInterface::Range || o->m_instance != m_instance)
            Fail(automation::DISP_E_TYPEMISMATCH, QStringLiteral("%1 must be a range of this Word").arg(what));
        if (o->m_document != m_document)
            Fail(kWordError, QStringLiteral("%1 belongs to another document").arg(what));
        return o->m_range;
    }

    void Save(DocumentModel& d, const QString& path, std::int32_t format) {
        QString content;
        if (format == 2) {
            content = d.Render();
            content.replace(QLatin1Char('\r'), QStringLiteral("\r\n"));
        } else if (format == 0) {
            content = QString::fromLatin1(kWordFileMarker);
            if (!d.openedFrom.isEmpty())
                content += QStringLiteral("opened from: %1\n").arg(d.openedFrom);
            content += QStringLiteral("header: %1\nfooter: %2\nbody: %3\n").arg(d.header, d.footer, d.Render());
        } else {
            Fail(kWordError, QStringLiteral("file format %1 is not modelled").arg(format));
        }
        const std::string bytes = platform::Utf16ToAnsi(content);
        if (!platform::WriteNewFile(path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())))
            Fail(kWordError, QStringLiteral("the file %1 cannot be written").arg(path));
        m_state->saves.push_back({path, format});
    }

    Variant Dispatch(std::string_view name, std::span<const Variant> a) {
        using I = WordInterface;
        switch (m_iface) {
        case I::Application:
            if (name == "Documents") return New(I::Documents);
            if (name == "ActiveDocument") return New(I::Document, ActiveIndex());
            if (name == "ActiveWindow") return New(I::Window, ActiveIndex());
            if (name == "Selection") return New(I::Selection);
            if (name == "Quit") {
                IntArg(a[0], "SaveChanges", 0);
                m_instance->quit = true;
                return {};
            }
            break;
        case I::Documents:
            if (name == "Open") {
                const QString path = StringArg(a[0], "FileName");
                if (!platform::FileExists(path))
                    Fail(kWordError, QStringLiteral("the file %1 cannot be opened").arg(path));
                DocumentModel d;
                d.openedFrom = path;
                d.protection = m_state->protectionOnOpen;
                m_instance->documents.push_back(std::move(d));
                MakeActive(static_cast<int>(m_instance->documents.size()) - 1);
                return New(I::Document, m_instance->active);
            }
            if (name == "Add") {
                m_instance->documents.emplace_back();
                MakeActive(static_cast<int>(m_instance->documents.size()) - 1);
                return New(I::Document, m_instance->active);
            }
            break;
        case I::Document: {
            DocumentModel& d = Doc(m_document);
            if (name == "Tables") return New(I::Tables, m_document);
            if (name == "ProtectionType") return Variant::I4(d.protection);
            if (name == "Protect") {
                if (d.protection != kNoProtection)
                    Fail(kWordError, QStringLiteral("the document is already protected"));
                d.protection = a[0].ToI4();
                d.password = OptionalStringArg(a[2], "Password").value_or(QString());
                return {};
            }
            if (name == "SaveAs") {
                Save(d, StringArg(a[0], "FileName"), IntArg(a[1], "FileFormat", 0));
                return {};
            }
            if (name == "Close") {
                IntArg(a[0], "SaveChanges", 0);
                d.closed = true;
                if (m_instance->active == m_document) {
                    m_instance->active = -1;
                    for (int i = static_cast<int>(m_instance->documents.size()) - 1; i >= 0; --i)
                        if (!m_instance->documents[static_cast<size_t>(i)].closed) {
                            MakeActive(i);
                            break;
                        }
                }
                return {};
            }
            break;
        }
        case I::Window:
            Doc(m_document);
            if (name == "ActivePane") return New(I::Pane, m_document);
            break;
        case I::Pane:
            Doc(m_document);
            if (name == "View") return New(I::View, m_document);
            break;
        case I::View:
            if (name == "SeekView") {
                DocumentModel& d = Doc(m_document);
                const std::int32_t view = a[0].ToI4();
                if (view != kMainStory && view != kHeaderStory && view != kFooterStory)
                    Fail(kWordError, QStringLiteral("SeekView %1 is not modelled").arg(view));
                MakeActive(m_document);
                Sel().story = view;
                Sel().start = Sel().end = Story(d, view).size();
                return {};
            }
            break;
        case I::Selection: return SelectionCall(name, a);
        case I::Range: return RangeCall(name, a);
        case I::Tables:
            if (name == "Add") {
                DocumentModel& d = Doc(m_document);
                const RangeRef& r = RangeArg(a[0], "Range");
                const std::int32_t rows = a[1].ToI4(), columns = a[2].ToI4();
                if (rows < 1 || columns < 1 || columns > 63)
                    Fail(kWordError, QStringLiteral("a table of %1 x %2 cannot be made").arg(rows).arg(columns));
                if (r.kind != RangeKind::Story || r.story != kMainStory)
                    Fail(kWordError, QStringLiteral("a table can only be added in the main text"));
                const int index = static_cast<int>(d.tables.size());
                d.tables.push_back({rows, columns, std::vector<QString>(static_cast<size_t>(rows * columns))});
                d.body.replace(r.start, r.end - r.start, QChar(static_cast<char16_t>(kTableMarkBase + index)));
                MakeActive(m_document);
                Sel().table = index;
                Sel().row = Sel().column = 1;
                return New(I::Table, m_document, index);
            }
            break;
        case I::Table: {
            DocumentModel& d = Doc(m_document);
            TableModel& t = TableOf(d, m_table);
            if (name == "Range") return New(I::Range, m_document, m_table, {RangeKind::Table, kMainStory, 0, 0, m_table});
            if (name == "Rows") return New(I::Rows, m_document, m_table);
            if (name == "Columns") return New(I::Columns, m_document, m_table);
            if (name == "Cell") {
                const std::int32_t row = a[0].ToI4(), column = a[1].ToI4();
                if (row < 1 || row > t.rows || column < 1 || column > t.columns)
                    Fail(kWordError, QStringLiteral("the table has no cell (%1, %2)").arg(row).arg(column));
                return New(I::Cell, m_document, m_table, {RangeKind::Cell, kMainStory, 0, 0, m_table, row, column});
            }
            break;
        }
        case I::Rows: return Variant::I4(TableOf(Doc(m_document), m_table).rows);
        case I::Columns: return Variant::I4(TableOf(Doc(m_document), m_table).columns);
        case I::Cell:
            Doc(m_document);
            if (name == "Range") {
                RangeRef r = m_range;
                return New(I::Range, m_document, m_table, r);
            }
            if (name == "Select") {
                MakeActive(m_document);
                Sel().table = m_range.table;
                Sel().row = m_range.row;
                Sel().column = m_range.column;
                return {};
            }
            break;
        case I::Hyperlinks:
            if (name == "Add") {
                DocumentModel& d = Doc(m_document);
                const RangeRef& r = RangeArg(a[0], "Anchor");
                HyperlinkModel link;
                link.address = StringArg(a[1], "Address");
                link.subAddress = OptionalStringArg(a[2], "SubAddress").value_or(QString());
                if (a.size() > 4)
                    link.textToDisplay = OptionalStringArg(a[4], "TextToDisplay");
                const QString shown = link.textToDisplay.value_or(link.address);
                d.hyperlinks.push_back(link);
                if (r.kind == RangeKind::Cell) {
                    TableOf(d, r.table).At(r.row, r.column) += shown;
                } else if (r.kind == RangeKind::Story) {
                    Story(d, r.story).replace(r.start, r.end - r.start, shown);
                    Selection& s = Sel();
                    if (m_instance->active == m_document && s.table < 0 && s.story == r.story && s.start == r.start)
                        s.start = s.end = r.start + shown.size();
                } else {
                    Fail(kWordError, QStringLiteral("a hyperlink cannot replace a table"));
                }
                return New(I::Hyperlink, m_document);
            }
            break;
        case I::InlineShapes:
            if (name == "AddPicture") {
                DocumentModel& d = Doc(m_document);
                const QString path = StringArg(a[0], "FileName");
                if (!platform::FileExists(path))
                    Fail(kWordError, QStringLiteral("the picture %1 cannot be read").arg(path));
                const int index = static_cast<int>(d.pictures.size());
                d.pictures.push_back(path);
                MakeActiveKeepSelection();
                InsertAtSelection(QChar(static_cast<char16_t>(kPictureMarkBase + index)), true);
                return New(I::InlineShape, m_document);
            }
            break;
        default: break;
        }
        Fail(automation::DISP_E_MEMBERNOTFOUND,
             QStringLiteral("%1.%2 is not modelled").arg(automation::InterfaceName(m_iface)).arg(QLatin1String(name.data(), static_cast<qsizetype>(name.size()))));
    }

    void MakeActiveKeepSelection() {
        if (m_instance->active != m_document)
            MakeActive(m_document);
    }

    Variant SelectionCall(std::string_view name, std::span<const Variant> a) {
        using I = WordInterface;
        const int doc = ActiveIndex();
        Selection& s = Sel();
        if (name == "Range") {
            RangeRef r;
            if (s.table >= 0)
                r = {RangeKind::Cell, kMainStory, 0, 0, s.table, s.row, s.column};
            else
                r = {RangeKind::Story, s.story, s.start, s.end};
            return New(I::Range, doc, -1, r);
        }
        if (name == "Hyperlinks") return New(I::Hyperlinks, doc);
        if (name == "InlineShapes") return New(I::InlineShapes, doc);
        if (name == "TypeText") { InsertAtSelection(a[0].ToString(), true); return {}; }
        if (name == "TypeParagraph") { InsertAtSelection(QStringLiteral("\r"), true); return {}; }
        if (name == "InsertAfter") { InsertAtSelection(a[0].ToString(), false); return {}; }
        if (name == "SetRange") {
            if (s.table < 0) {
                const qsizetype length = Story(Active(), s.story).size();
                s.start = std::clamp<qsizetype>(a[0].ToI4(), 0, length);
                s.end = std::clamp<qsizetype>(a[1].ToI4(), s.start, length);
            }
            return {};
        }
        if (name == "EndKey") {
            IntArg(a[0], "Unit", 5);
            if (s.table < 0) {
                const QString& story = Story(Active(), s.story);
                const qsizetype mark = story.indexOf(QLatin1Char('\r'), s.end);
                s.start = s.end = mark < 0 ? story.size() : mark;
            }
            return Variant::I4(0);
        }
        if (name == "MoveRight" || name == "Move") {
            IntArg(a[0], "Unit", 1);
            const std::int32_t count = IntArg(a[1], "Count", 1);
            LeaveTable();
            MoveBy(count);
            return Variant::I4(count);
        }
        if (name == "MoveDown") {
            IntArg(a[1], "Count", 1);
            LeaveTable();
            return Variant::I4(1);
        }
        if (name == "CreateAutoTextEntry") {
            Active().autoTextEntries.push_back(a[0].ToString());
            return New(I::AutoTextEntry, doc);
        }
        Fail(automation::DISP_E_MEMBERNOTFOUND, QStringLiteral("Selection member is not modelled"));
    }

    Variant RangeCall(std::string_view name, std::span<const Variant> a) {
        DocumentModel& d = Doc(m_document);
        RangeRef& r = m_range;
        if (name == "Start" || name == "End") {
            qsizetype start = r.start, end = r.end;
            if (r.kind != RangeKind::Story) {
                start = TableAnchor(d, r.table);
                end = start + 1;
            }
            return Variant::I4(static_cast<std::int32_t>(name == "Start" ? start : end));
        }
        if (name == "Select") {
            MakeActive(m_document);
            Selection& s = Sel();
            if (r.kind == RangeKind::Story) {
                s.story = r.story;
                s.start = r.start;
                s.end = r.end;
            } else {
                s.table = r.table;
                s.row = r.kind == RangeKind::Cell ? r.row : 1;
                s.column = r.kind == RangeKind::Cell ? r.column : 1;
            }
            return {};
        }
        if (name == "InsertAfter") {
            const QString text = a[0].ToString();
            if (r.kind == RangeKind::Cell)
                TableOf(d, r.table).At(r.row, r.column) += text;
            else if (r.kind == RangeKind::Story) {
                Story(d, r.story).insert(r.end, text);
                r.end += text.size();
            } else
                Fail(kWordError, QStringLiteral("text cannot be added after a whole table"));
            return {};
        }
        Fail(automation::DISP_E_MEMBERNOTFOUND, QStringLiteral("Range member is not modelled"));
    }

    std::shared_ptr<State> m_state;
    std::shared_ptr<Instance> m_instance;
    WordInterface m_iface;
    std::uint32_t m_refs = 1;
};

}  // namespace

QString RecordedCall::ToString() const {
    QStringList parts;
    for (const Variant& v : args)
        parts << Describe(v);
    return QStringLiteral("%1(%2)").arg(QString::fromStdString(member), parts.join(QStringLiteral(", ")));
}

QString DocumentModel::Render() const {
    QString out;
    for (QChar c : body) {
        const char16_t u = c.unicode();
        if (u >= kTableMarkBase && u < kPictureMarkBase) {
            const TableModel& t = tables[u - kTableMarkBase];
            QStringList rows;
            for (std::int32_t r = 1; r <= t.rows; ++r) {
                QStringList cells;
                for (std::int32_t col = 1; col <= t.columns; ++col)
                    cells << t.At(r, col);
                rows << cells.join(QLatin1Char('|'));
            }
            out += QStringLiteral("[table %1]").arg(rows.join(QLatin1Char('/')));
        } else if (u >= kPictureMarkBase && u < kPictureMarkBase + 0x800) {
            out += QStringLiteral("[picture]");
        } else {
            out += c;
        }
    }
    return out;
}

RecordingWordServer::RecordingWordServer(WordVersion version)
    : m_state(std::make_shared<State>(version)),
      m_registration(QStringLiteral("Word.Application"), [state = m_state]() -> automation::IDispatch* {
          ++state->startAttempts;
          if (state->refuseToStart)
              throw AutomationException(automation::CO_E_SERVER_EXEC_FAILURE, QStringLiteral("Word cannot be started"));
          auto instance = std::make_shared<Instance>();
          instance->number = static_cast<int>(state->instances.size()) + 1;
          state->instances.push_back(instance);
          return new ServerObject(state, instance, WordInterface::Application);
      }) {}

RecordingWordServer::~RecordingWordServer() = default;

WordVersion RecordingWordServer::Version() const { return m_state->version; }
void RecordingWordServer::RefuseToStart(bool refuse) { m_state->refuseToStart = refuse; }
void RecordingWordServer::FailCall(std::size_t index, HRESULT code) { m_state->failCalls[index] = code; }
void RecordingWordServer::FailMember(std::string member, int occurrence, HRESULT code) {
    m_state->failMembers[std::move(member)][occurrence] = code;
}
void RecordingWordServer::SetProtectionOnOpen(std::int32_t type) { m_state->protectionOnOpen = type; }
const std::vector<RecordedCall>& RecordingWordServer::Calls() const { return m_state->calls; }

std::vector<RecordedCall> RecordingWordServer::CallsTo(std::string_view member) const {
    std::vector<RecordedCall> out;
    for (const auto& c : m_state->calls)
        if (c.member == member)
            out.push_back(c);
    return out;
}

std::size_t RecordingWordServer::CountOf(std::string_view member) const { return CallsTo(member).size(); }

std::vector<std::string> RecordingWordServer::MemberSequence() const {
    std::vector<std::string> out;
    for (const auto& c : m_state->calls)
        out.push_back(c.member);
    return out;
}

int RecordingWordServer::StartAttempts() const { return m_state->startAttempts; }
int RecordingWordServer::Instances() const { return static_cast<int>(m_state->instances.size()); }
bool RecordingWordServer::HasQuit(int instance) const {
    return instance >= 1 && instance <= Instances() && m_state->instances[static_cast<size_t>(instance - 1)]->quit;
}
const std::vector<SavedFile>& RecordingWordServer::Saves() const { return m_state->saves; }
std::size_t RecordingWordServer::LiveObjects() const { return m_state->live; }

const std::vector<DocumentModel>& RecordingWordServer::Documents(int instance) const {
    static const std::vector<DocumentModel> none;
    if (instance < 1 || instance > Instances())
        return none;
    return m_state->instances[static_cast<size_t>(instance - 1)]->documents;
}

const DocumentModel* RecordingWordServer::LastDocument() const {
    const auto& docs = Documents(Instances());
    return docs.empty() ? nullptr : &docs.back();
}

}  // namespace recording_server
