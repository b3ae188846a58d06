// The repair routines against the real server: open-and-resave of intact
// corpus documents, and the rebuild of a document from extracted pieces,
// each checked by reading the output back through the office.
#include "WordCall.h"
#include "app/RecoveryApp.h"
#include "engine/DocRecover.h"
#include "platform/fileops.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "wordserver/DocumentInspector.h"
#include "wordserver/WordServer.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace wordtest;
namespace fs = std::filesystem;

namespace {

QString CurVerOf(WordVersion v) {
    switch (v) {
    case WordVersion::Word97: return "Word.Application.8";
    case WordVersion::Word2000: return "Word.Application.9";
    case WordVersion::Word2002: return "Word.Application.10";
    case WordVersion::Word2003: return "Word.Application.11";
    }
    return {};
}

// Text as the office reads it, without the differences of layout that a
// resave may bring (trailing blanks, empty paragraphs).
QString Normalised(QString s) {
    s.replace('\r', '\n');
    QStringList lines;
    for (const QString& l : s.split('\n'))
        if (!l.trimmed().isEmpty())
            lines << l.trimmed();
    return lines.join('\n');
}

// A repair job in a private folder, the server emulating `version`.
class Job {
public:
    explicit Job(WordVersion version) {
        Env().SetCurVer(CurVerOf(version));
        wordserver::RegisterWordServer();
        ResetTheApp();
        for (const char* sub : {"SRC", "OUT", "WORK"})
            QDir(m_dir.path()).mkpath(sub);
        const QString root = platform::ToProgramPath(m_dir.path().toStdString());
        CRecoveryApp& app = TheApp();
        app.m_strSourcePath = root + "\\SRC\\SOURCE.DOC";
        app.m_strOutputFolder = root + "\\OUT";
        app.m_strWordOutputPath = app.m_strOutputFolder + "\\Recovered_SOURCE.DOC";
        app.m_strTempFolder = root + "\\WORK";
        app.m_bToOriginalFolder = TRUE;
        platform::SetMessageSink(&m_messages);
    }
    ~Job() { ResetTheApp(); }
    fs::path Host(const char* relative) const { return fs::path(m_dir.path().toStdString()) / relative; }
    void CopySource(const fs::path& from) { fs::copy_file(from, Host("SRC/SOURCE.DOC")); }
    std::unique_ptr<CDocRecover> Engine() {
        auto e = std::make_unique<CDocRecover>();
        EXPECT_EQ(e->OpenSource(), 1);
        e->m_strDest = TheApp().m_strWordOutputPath;
        return e;
    }
    bool MessageShown() const { return !m_messages.Boxes().empty(); }

private:
    QTemporaryDir m_dir;
    platform::RecordingMessageSink m_messages;
};

std::int32_t Resave(CDocRecover& e, WordVersion v) {
    return v == WordVersion::Word97 ? e.ResaveWord97() : e.ResaveWord2003();
}
std::int32_t Rebuild(CDocRecover& e, WordVersion v) {
    return v == WordVersion::Word97 ? e.RebuildWord97() : e.RebuildWord2003();
}

// Intact documents written by Word, of the simple kind (no complex
// fast-save, no encryption).
const char* const kResaveSample[] = {"apache-poi/47304.doc", "apache-poi/52420.doc", "apache-poi/56880.doc",
                                     "apache-poi/61586.doc", "apache-poi/Bug28627.doc", "apache-poi/Bug47742.doc"};

class Routines : public ::testing::TestWithParam<WordVersion> {};

TEST_P(Routines, ResavedCorpusDocumentsLoadBackWithTheirText) {
    if (!fs::is_directory(CorpusDir()))
        GTEST_SKIP() << "no corpus at " << CorpusDir();
    int resaved = 0;
    for (const char* name : kResaveSample) {
        SCOPED_TRACE(name);
        const fs::path source = CorpusDir() / name;
        if (!fs::exists(source))
            continue;
        Job job(GetParam());
        job.CopySource(source);
        TheApp().m_bPreviewMode = TRUE;
        auto engine = job.Engine();
        const std::int32_t result = Resave(*engine, GetParam());
        if (result != 1)
            continue;  // the engine found no usable text: the rebuild's case, not this one
        ++resaved;
        const auto out = wordserver::InspectDocument(job.Host("OUT/Recovered_SOURCE.DOC"));
        const auto original = wordserver::InspectDocument(source);
        EXPECT_EQ(out.filter, "MS Word 97");
        EXPECT_EQ(Normalised(out.text), Normalised(original.text));
        EXPECT_TRUE(out.formProtected) << "a preview is saved protected for forms";
        EXPECT_FALSE(job.MessageShown());
    }
    EXPECT_GE(resaved, 2) << "too few sample documents went through open-and-resave";
    EXPECT_FALSE(TheApp().IsWordRunning());
}

TEST_P(Routines, ResaveAsTextWritesTheAnsiTextFile) {
    const fs::path source = CorpusDir() / "apache-poi/47304.doc";
    if (!fs::exists(source))
        GTEST_SKIP() << "no corpus document " << source;
    Job job(GetParam());
    job.CopySource(source);
    TheApp().m_bSaveAsWord = FALSE;
    TheApp().m_bSaveAsText = TRUE;
    auto engine = job.Engine();
    ASSERT_EQ(Resave(*engine, GetParam()), 1);
    const QString text = ReadTextFile(job.Host("OUT/recovered_source.txt"));
    EXPECT_FALSE(fs::exists(job.Host("OUT/recovered_source.doc")));
    EXPECT_EQ(Normalised(text), Normalised(wordserver::InspectDocument(source).text));
    EXPECT_TRUE(text.contains("\r\n"));
}

// The pieces a full pass takes from a damaged document with a header, a
// hyperlink, a table and a picture, in document order.
void FillExtracted(CDocRecover& e) {
    auto run = [&](const char* text) {
        auto n = std::make_unique<TextRunNode>();
        n->text = text;
        AppendNode(e.m_pRunHead, e.m_pRunTail, std::move(n));
        e.m_aElementKinds[e.m_nElementCount++] = ELEM_TEXT;
    };
    e.m_pHeaderFooter = std::make_unique<HeaderFooterText>();
    e.m_pHeaderFooter->header = std::string("Quarterly report\r");
    e.m_pHeaderFooter->headerLength = static_cast<std::uint16_t>(e.m_pHeaderFooter->header.size());
    e.m_pHeaderFooter->footer = std::string("Page\x20\x13\x20PAGE\x20\\*ARABIC\x20\x14" "1\x15\r", 22);
    e.m_pHeaderFooter->footerLength = static_cast<std::uint16_t>(e.m_pHeaderFooter->footer.size());
    run("First paragraph of the report.");
    auto link = std::make_unique<HyperlinkNode>();
    link->displayText = "the project page";
    link->address = "http://example.org/tessaly";
    AppendNode(e.m_pLinkHead, e.m_pLinkTail, std::move(link));
    e.m_aElementKinds[e.m_nElementCount++] = ELEM_HYPERLINK;
    run(" Text after the link.");
    auto table = std::make_unique<TableNode>();
    table->text = std::string("a1\x07" "b1\x07\x07" "a2\x07" "b2\x07\x07", 14);
    table->length = static_cast<std::uint16_t>(table->text.size());
    table->rows = 2;
    table->columns = 2;
    AppendNode(e.m_pTableHead, e.m_pTableTail, std::move(table));
    e.m_aElementKinds[e.m_nElementCount++] = ELEM_TABLE;
    static const unsigned char png[] = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00,
        0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00,
        0x00, 0x00, 0x0A, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0x00, 0x01, 0x00, 0x00, 0x05, 0x00, 0x01,
        0x0D, 0x0A, 0x2D, 0xB4, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    auto picture = std::make_unique<PictureNode>();
    picture->data = std::string(reinterpret_cast<const char*>(png), sizeof png);
    picture->size = static_cast<std::int32_t>(sizeof png);
    picture->name = "temp.png";
    AppendNode(e.m_pPictureHead, e.m_pPictureTail, std::move(picture));
    e.m_aElementKinds[e.m_nElementCount++] = ELEM_PICTURE;
    run("Last paragraph.");
}

TEST_P(Routines, RebuildHoldsHeaderFooterLinkTableAndPicture) {
    Job job(GetParam());
    job.CopySource(fs::path(TESSALY_SOURCE_DIR) / "samples/tessaly-sample.doc");
    TheApp().m_bPreviewMode = TRUE;
    auto engine = job.Engine();
    FillExtracted(*engine);
    ASSERT_EQ(Rebuild(*engine, GetParam()), 1);
    EXPECT_FALSE(TheApp().IsWordRunning());
    const auto s = wordserver::InspectDocument(job.Host("OUT/Recovered_SOURCE.DOC"));
    EXPECT_EQ(s.filter, "MS Word 97");
    EXPECT_TRUE(s.header.startsWith("Quarterly report")) << s.header.toStdString();
    if (GetParam() == WordVersion::Word97) {
        // Word 97 has no page AutoText: the footer text is typed as it is.
        EXPECT_TRUE(s.footer.startsWith("Page")) << s.footer.toStdString();
        EXPECT_EQ(s.hyperlinks, QStringList({"http://example.org/tessaly|http://example.org/tessaly"}));
    } else {
        EXPECT_TRUE(s.footer.startsWith("Page 1 of 1")) << s.footer.toStdString();
        EXPECT_TRUE(s.pageFields.contains("PageNumber"));
        EXPECT_TRUE(s.pageFields.contains("PageCount"));
        EXPECT_EQ(s.hyperlinks, QStringList({"http://example.org/tessaly|the project page"}));
    }
    EXPECT_EQ(s.tables, 1);
    EXPECT_EQ(s.tableCells, QStringList({"a1", "b1", "a2", "b2"}));
    EXPECT_EQ(s.pictures, 1);
    EXPECT_TRUE(s.formProtected);
    const QString text = Normalised(s.text);
    EXPECT_TRUE(text.startsWith("First paragraph of the report.")) << text.toStdString();
    EXPECT_TRUE(text.contains("Text after the link.")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("Last paragraph.")) << text.toStdString();
    EXPECT_FALSE(fs::exists(job.Host("WORK/temp.png"))) << "the picture file is removed";
}

TEST_P(Routines, RebuildAsTextWritesTheTextFileOnly) {
    Job job(GetParam());
    job.CopySource(fs::path(TESSALY_SOURCE_DIR) / "samples/tessaly-sample.doc");
    TheApp().m_bSaveAsWord = FALSE;
    TheApp().m_bSaveAsText = TRUE;
    auto engine = job.Engine();
    FillExtracted(*engine);
    ASSERT_EQ(Rebuild(*engine, GetParam()), 1);
    const QString text = ReadTextFile(job.Host("OUT/recovered_source.txt"));
    // Every run ends with a paragraph mark; the link follows without one.
    EXPECT_TRUE(text.startsWith("First paragraph of the report.\r\n")) << text.toStdString();
    EXPECT_TRUE(text.contains(GetParam() == WordVersion::Word97 ? "http://example.org/tessaly Text after the link."
                                                                : "the project page Text after the link."))
        << text.toStdString();
    EXPECT_TRUE(text.contains("Last paragraph.\r\n")) << text.toStdString();
    EXPECT_FALSE(fs::exists(job.Host("OUT/recovered_source.doc")));
    EXPECT_FALSE(TheApp().IsWordRunning());
}

INSTANTIATE_TEST_SUITE_P(Versions, Routines, ::testing::Values(WordVersion::Word2003, WordVersion::Word97),
                         [](const auto& info) { return automation::WordVersionName(info.param).toStdString(); });

}  // namespace
