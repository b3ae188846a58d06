// Rebuild: Word makes a new document from what the engine extracted —
// header and footer, then text runs, hyperlinks, tables and pictures in the
// order of the element sequence — and saves it at the output path.
#include "app/RecoveryApp.h"
#include "engine/DocRecover.h"
#include "engine/WordConversation.h"
#include "platform/codepage.h"
#include "platform/fileops.h"

#include <algorithm>
#include <string_view>

using namespace automation;

namespace {

// Where the four routines differ.
struct RebuildTraits {
    // Word 97 has no AutoText call: header and footer are always typed.
    bool pageFieldTest;
    // Word 2002 goes on filling a table when a hyperlink's display text
    // cannot be put into a cell; the others end the rebuild.
    bool ignoreCellLinkTextErrors;
};

const RebuildTraits kWord97{false, false};
const RebuildTraits kWord2000{true, false};
const RebuildTraits kWord2002{true, true};
const RebuildTraits kWord2003{true, false};

// A blank, field begin, " PAGE \*ARABIC ", field separator.
constexpr std::string_view kPageFieldPattern("\x20\x13\x20PAGE\x20\\*ARABIC\x20\x14", 18);
const QString kPageAutoTextName = QStringLiteral("Page X of Y");
constexpr char kCellMark = 0x07;
constexpr char kParagraphMark = 0x0D;
constexpr char kFieldEnd = 0x15;
constexpr std::int32_t kSeekMain = 0, kSeekHeader = 9, kSeekFooter = 10;
constexpr std::int32_t kUnitCharacter = 1;

QString Wide(std::string_view bytes) { return platform::AnsiToUtf16(bytes); }

bool HasPageField(const ByteString& text, std::uint16_t length) {
    const std::string_view within(text.data(), std::min<std::size_t>(length, text.size()));
    return within.find(kPageFieldPattern) != std::string_view::npos;
}

// Deletes a picture file when the picture has been handled, also after an error.
struct TemporaryFile {
    QString path;
    ~TemporaryFile() { platform::DeleteFile(path); }
};

template <WordVersion V>
class RebuildSession {
public:
    RebuildSession(CDocRecover& engine, const RebuildTraits& traits, word::Application<V>& word)
        : m_engine(engine), m_traits(traits), m_word(word), m_run(engine.m_pRunHead.get()),
          m_link(engine.m_pLinkHead.get()), m_table(engine.m_pTableHead.get()),
          m_picture(engine.m_pPictureHead.get()) {}

    void Run() {
        m_documents = m_word.GetDocuments();
        m_documents.Add(varOmitted, varOmitted, varOmitted, varOmitted);
        m_selection = m_word.GetSelection();
        m_document = m_word.GetActiveDocument();
        m_shapes = m_selection.GetInlineShapes();
        m_tables = m_document.GetTables();

        if (m_engine.m_pHeaderFooter)
            HeaderAndFooter(*m_engine.m_pHeaderFooter);
        const std::size_t count = std::min<std::size_t>(m_engine.m_nElementCount, m_engine.m_aElementKinds.size());
        for (std::size_t i = 0; i < count; ++i) {
            switch (m_engine.m_aElementKinds[i]) {
            case ELEM_TEXT: TextRun(); break;
            case ELEM_HYPERLINK: Hyperlink(); break;
            case ELEM_TABLE: Table(); break;
            case ELEM_PICTURE: Picture(); break;
            default: break;
            }
        }
        Save();
    }

private:
    void HeaderAndFooter(const HeaderFooterText& hf) {
        int flag = 0;
        if (m_traits.pageFieldTest) {
            if (HasPageField(hf.header, hf.headerLength))
                flag = 1;
            if (HasPageField(hf.footer, hf.footerLength))
                flag = 2;
        }
        word::Window<V> window = m_word.GetActiveWindow();
        word::Pane<V> pane = window.GetActivePane();
        word::View<V> view = pane.GetView();
        if (hf.headerLength != 0) {
            view.SetSeekView(kSeekHeader);
            if (flag == 1)
                m_selection.CreateAutoTextEntry(kPageAutoTextName, QString());
            else if (hf.HasHeader())
                m_selection.TypeText(Wide(hf.header));
        }
        if (hf.footerLength != 0) {
            view.SetSeekView(kSeekFooter);
            if (flag == 2)
                m_selection.CreateAutoTextEntry(kPageAutoTextName, QString());
            else if (hf.HasFooter())
                m_selection.TypeText(Wide(hf.footer));
        }
        view.SetSeekView(kSeekMain);
    }

    void TextRun() {
        if (!m_run)
            return;
        const std::optional<ByteString> text = CDocRecover::FilterText(std::string_view(m_run->text));
        if (text && !text->empty())
            m_selection.TypeText(Wide(*text));
        m_selection.TypeParagraph();
        m_run = m_run->next.get();
    }

    void Hyperlink() {
        if (!m_link)
            return;
        word::Range<V> range = m_selection.GetRange();
        word::Hyperlinks<V> links = m_selection.GetHyperlinks();
        if (!m_link->displayText.empty())
            links.Add(range, Variant::Bstr(Wide(m_link->address)), Variant::Bstr(QString()), Variant::Bstr(QString()),
                      Variant::Bstr(Wide(m_link->displayText)), varOmitted);
        m_link = m_link->next.get();
    }

    void Table() {
        if (!m_table)
            return;
        const TableNode& node = *m_table;
        const std::string_view text(node.text);
        const std::size_t n = text.size();

        m_selection.TypeParagraph();
        word::Range<V> range = m_selection.GetRange();
        word::Table<V> table = m_tables.Add(range, node.rows, node.columns, varOmitted, varTrue);
        const std::int32_t rowCount = table.GetRows().GetCount();
        const std::int32_t columnCount = table.GetColumns().GetCount();

        std::size_t k = 0;
        bool endedEarly = false;
        for (std::int32_t row = 1; row <= rowCount && !endedEarly; ++row) {
            for (std::int32_t column = 1; column <= columnCount; ++column) {
                word::Cell<V> cell = table.GetCell(row, column);
                cell.Select();
                word::Range<V> cellRange = cell.GetRange();
                std::size_t run = 0;
                while (k < n && text[k] != kCellMark) {
                    if (text[k] != kFieldEnd) {
                        ++k;
                        ++run;
                        continue;
                    }
                    if (run > 0)
                        PutRunIntoCell(cellRange, text.substr(k - run, run));
                    const bool linkPlaced = PutLinkTextIntoCell(cellRange);
                    while (k < n && text[k] == kFieldEnd)
                        ++k;
                    if (linkPlaced && m_link)
                        m_link = m_link->next.get();
                    run = 0;
                }
                if (k >= n) {
                    // The text ends without its cell mark: what was gathered
                    // goes in and the fill ends here.
                    if (run >= 2)
                        PutRunIntoCell(cellRange, text.substr(k - run, run));
                    endedEarly = true;
                    break;
                }
                if (run > 0) {
                    // A one-byte cell text is dropped.
                    if (run >= 2)
                        PutRunIntoCell(cellRange, text.substr(k - run, run));
                    if (k + 2 < n && text[k + 1] == kCellMark && text[k + 2] == kParagraphMark) {
                        endedEarly = true;
                        break;
                    }
                }
                ++k;
            }
            if (!endedEarly)
                ++k;  // past the row's extra cell mark
        }

        if (endedEarly) {
            word::Range<V> r = table.GetRange();
            m_selection.MoveRight(Variant::I4(kUnitCharacter), Variant::I4(r.GetEnd()), varOmitted);
            m_selection.MoveDown(varOmitted, varOmitted, varOmitted);
        }
        word::Range<V> r = table.GetRange();
        m_selection.Move(varOmitted, Variant::I4(r.GetEnd()));
        m_selection.TypeParagraph();
        m_table = m_table->next.get();
    }

    // The selection goes to the end of the cell's text first.
    void SelectCellEnd(const word::Range<V>& cellRange) {
        cellRange.Select();
        const std::int32_t start = cellRange.GetStart();
        const std::int32_t end = cellRange.GetEnd();
        m_selection.SetRange(start, end);
        m_selection.EndKey(varOmitted, varOmitted);
    }

    void PutRunIntoCell(const word::Range<V>& cellRange, std::string_view bytes) {
        const QString text = Wide(bytes);
        SelectCellEnd(cellRange);
        cellRange.InsertAfter(text);
    }

    // Puts the current hyperlink's display text into the cell; false when
    // an error was passed over (the hyperlink cursor then stays).
    bool PutLinkTextIntoCell(const word::Range<V>& cellRange) {
        if (!m_link || m_link->displayText.empty())
            return true;
        const QString text = Wide(m_link->displayText);
        try {
            SelectCellEnd(cellRange);
            m_selection.InsertAfter(text);
        } catch (const AutomationException&) {
            if (!m_traits.ignoreCellLinkTextErrors)
                throw;
            return false;
        }
        return true;
    }

    void Picture() {
        if (!m_picture)
            return;
        const PictureNode& picture = *m_picture;
        TemporaryFile file{TheApp().m_strTempFolder + QLatin1Char('\\') + Wide(picture.name)};
        const std::size_t size = std::min<std::size_t>(static_cast<std::size_t>(std::max(picture.size, 0)),
                                                       picture.data.size());
        platform::WriteNewFile(file.path, std::span(reinterpret_cast<const std::uint8_t*>(picture.data.data()), size));
        m_picture = m_picture->next.get();
        try {
            m_shapes.AddPicture(file.path, varFalse, varTrue, varOmitted);
        } catch (const AutomationException& e) {
            // A picture cut from damaged bytes that Word cannot read is left
            // out; the rest of the document still goes in. A lost server
            // ends the rebuild.
            if (e.code() == RPC_E_DISCONNECTED || e.code() == RPC_E_TIMEOUT)
                throw;
            return;
        }
        m_selection.TypeParagraph();
        m_selection.TypeParagraph();
    }

    void Save() {
        const CRecoveryApp& app = TheApp();
        if (app.m_bPreviewMode)
            m_document.Protect(wordconv::kProtectFormsOnly, varFalse, Variant::Bstr(wordconv::kProtectPassword),
                               varOmitted, varOmitted);
        if (app.m_bSaveAsWord)
            m_document.SaveAs(wordconv::SaveAsArgumentsFor(m_engine.m_strDest, wordconv::kFormatDocument, varFalse));
        if (app.m_bSaveAsText) {
            const wordconv::TextOutputPaths paths = wordconv::TextOutputPathsFor(m_engine.m_strDest);
            m_document.SaveAs(wordconv::SaveAsArgumentsFor(paths.text, wordconv::kFormatText, varFalse));
            m_document.Close(varFalse, varTrue, varFalse);
            m_word.Quit(varFalse, varTrue, varFalse);
            m_engine.m_strDest = paths.word;
            wordconv::DeleteIfReadable(m_engine.m_strDest);
        }
    }

    CDocRecover& m_engine;
    const RebuildTraits& m_traits;
    word::Application<V>& m_word;
    word::Documents<V> m_documents;
    word::Selection<V> m_selection;
    word::Document<V> m_document;
    word::InlineShapes<V> m_shapes;
    word::Tables<V> m_tables;
    const TextRunNode* m_run;
    const HyperlinkNode* m_link;
    const TableNode* m_table;
    const PictureNode* m_picture;
};

template <WordVersion V>
std::int32_t Rebuild(CDocRecover& engine, const RebuildTraits& traits) {
    word::Application<V> word;
    if (!word.CreateDispatch(wordconv::kWordProgId)) {
        wordconv::ShowWordLoadError();
        return 0;
    }
    std::int32_t result = 1;
    try {
        RebuildSession<V>(engine, traits, word).Run();
    } catch (const std::exception&) {
        wordconv::QuitWord(word);
        wordconv::TerminateWordIfRunning();
        result = 0;
    }
    // Word ends here after a save as Word document. After a text save it
    // has been told already; QuitWord keeps that second request's error in.
    wordconv::QuitWord(word);
    engine.m_nStatus = result;
    return result;
}

}  // namespace

std::int32_t CDocRecover::RebuildWord97() { return Rebuild<WordVersion::Word97>(*this, kWord97); }
std::int32_t CDocRecover::RebuildWord2000() { return Rebuild<WordVersion::Word2000>(*this, kWord2000); }
std::int32_t CDocRecover::RebuildWord2002() { return Rebuild<WordVersion::Word2002>(*this, kWord2002); }
std::int32_t CDocRecover::RebuildWord2003() { return Rebuild<WordVersion::Word2003>(*this, kWord2003); }
