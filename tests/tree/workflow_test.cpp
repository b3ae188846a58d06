#include "TreeFixture.h"

#include "platform/paths.h"

#include <QThread>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

using namespace tree_test;
using automation::WordVersion;

namespace {

// A process that counts as a running Word: its command line carries the server's marker.
class FakeWord {
public:
    FakeWord() {
        const std::string marker = platform::WordServerProcessMarker().toStdString();
        const char* argv[] = {"/bin/sh", "-c", "while :; do sleep 0.05; done", marker.c_str(), nullptr};
        posix_spawn(&m_pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ);
        for (int i = 0; i < 200 && !TheApp().IsWordRunning(); ++i)
            QThread::msleep(10);
    }
    ~FakeWord() { End(); }
    void End() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = 0;
        }
    }

private:
    pid_t m_pid = 0;
};

// Three listed sources in SRC; the drivers are scripted per file name and
// write their output the way the routines do.
class WorkflowTest : public TreeTest {
protected:
    void SetUp() override {
        TreeTest::SetUp();
        for (const char* name : {"A.DOC", "B.DOC", "C.DOC"})
            dir.Write(std::string("SRC/") + name, "source");
        std::filesystem::create_directories(dir.host() / "OUT");
        folder = dir.program("SRC").toUpper();
        HTREEITEM f = AddFolder(folder, {"A.DOC", "B.DOC", "C.DOC"});
        a = Child(f, 0);
        b = Child(f, 1);
        c = Child(f, 2);
        TheApp().m_strProgramFolder = "C:\\PROG\\";
        TheApp().m_bCheckWordRunning = TRUE;
        view.m_driverOverride = [this](WordVersion) {
            CRecoveryApp& app = TheApp();
            const QString name = app.m_strItemName;
            repairs << name;
            if (failing.contains(name)) {
                if (extractsText.contains(name))
                    app.SetTextBuffers({'t', 0}, {'t', 0});
                return 0;
            }
            QString out = app.m_strWordOutputPath;
            if (app.m_bSaveAsText)
                out = out.toLower().replace(".doc", ".txt");
            platform::WriteNewFile(out, std::vector<std::uint8_t>{'o', 'k'});
            return 1;
        };
    }
    QString folder;
    HTREEITEM a = nullptr, b = nullptr, c = nullptr;
    QStringList repairs, failing, extractsText;
};

}  // namespace

TEST_F(WorkflowTest, PreviewRepairsOnceKeepsTheResultAndShowsItAgain) {
    tree.SelectItem(a);
    view.OnDblclk();
    ASSERT_EQ(repairs, QStringList({"A.DOC"}));
    const QString shown = TheApp().m_strWordOutputPath;
    EXPECT_TRUE(shown.startsWith(TheApp().m_strTempFolder + "\\~$temp_"));
    EXPECT_EQ(frame.navigations.last(), shown);
    EXPECT_EQ(TheApp().m_strPreviewedPath, folder + "\\A.DOC");
    EXPECT_TRUE(frame.m_bWordViewShown);
    EXPECT_FALSE(TheApp().m_bRunning);
    EXPECT_FALSE(TheApp().m_bToOriginalFolder);
    EXPECT_FALSE(std::filesystem::exists(dir.host() / "SRC" / "Recovered_A.DOC"));

    view.OnDblclk();  // already on show: nothing happens
    tree.SelectItem(b);
    view.OnDblclk();
    tree.SelectItem(a);
    view.OnDblclk();  // the kept preview
    EXPECT_EQ(repairs, QStringList({"A.DOC", "B.DOC"}));
    EXPECT_EQ(frame.navigations.last(), shown);

    platform::DeleteFile(shown);  // a vanished preview is repaired anew
    tree.SelectItem(b);
    view.OnDblclk();
    tree.SelectItem(a);
    view.OnDblclk();
    EXPECT_EQ(repairs, QStringList({"A.DOC", "B.DOC", "A.DOC"}));
    EXPECT_EQ(view.Previews().size(), 3u);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(WorkflowTest, FailedPreviewWithTextShowsTheTextAndWithoutReportsTheFile) {
    failing = {"A.DOC", "B.DOC"};
    extractsText = {"A.DOC"};
    tree.SelectItem(a);
    view.OnDblclk();
    EXPECT_EQ(frame.viewTextCalls, 1);
    EXPECT_TRUE(frame.m_bTextViewShown);
    EXPECT_TRUE(boxes.Boxes().empty());
    tree.SelectItem(b);
    view.OnDblclk();
    EXPECT_EQ(boxes.Texts(), QStringList({folder + "\\B.DOC File is severely corrupted and  cannot be repaired."}));
    EXPECT_EQ(frame.navigations.last(), "C:\\PROG\\first.htm");
    EXPECT_FALSE(TheApp().m_bRunning);
}

TEST_F(WorkflowTest, DoubleClickOnAFolderRepairsNothing) {
    tree.SelectItem(tree.GetParentItem(a));
    view.OnDblclk();
    tree.SelectItem(view.m_hRoot);
    view.OnDblclk();
    EXPECT_TRUE(repairs.isEmpty());
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(WorkflowTest, WordRunningPromptCancelLeavesAllAndRetryGoesOn) {
    FakeWord word;
    tree.SelectItem(a);
    boxes.Answer(platform::MbResult::Cancel);
    view.OnDblclk();
    EXPECT_TRUE(repairs.isEmpty());
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, S(app::IDS_WORD_RUNNING));
    EXPECT_EQ(boxes.Boxes()[0].buttons, platform::MbButtons::RetryCancel);
    EXPECT_TRUE(TheApp().m_bCheckWordRunning);

    // Retry while Word still runs asks again; once Word is gone the preview goes on.
    boxes.Clear();
    boxes.Answer(platform::MbResult::Retry);
    int asked = 0;
    struct EndOnSecond : platform::MessageSink {
        FakeWord* w;
        int* n;
        platform::MbResult Show(const platform::MessageBoxRequest&) override {
            if (++*n == 2)
                w->End();
            return platform::MbResult::Retry;
        }
    } sink;
    sink.w = &word;
    sink.n = &asked;
    platform::MessageSink* previous = platform::SetMessageSink(&sink);
    view.OnDblclk();
    platform::SetMessageSink(previous);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(repairs, QStringList({"A.DOC"}));
    EXPECT_FALSE(TheApp().m_bCheckWordRunning);
}

TEST_F(WorkflowTest, SaveAsTextNextToTheSourceReportsSuccessAndRemovesOwnerFiles) {
    dir.Write("SRC/~$A.DOC", "owner");
    TheApp().m_hContextItem = a;
    view.OnSaveAsTextDocument();
    EXPECT_TRUE(std::filesystem::exists(dir.host() / "SRC" / "recovered_a.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir.host() / "SRC" / "~$A.DOC"));
    EXPECT_EQ(boxes.Texts(), QStringList({folder + "\\A.DOC file has been recovered successfully."}));
    EXPECT_TRUE(TheApp().m_bSaveAsText);
    EXPECT_FALSE(TheApp().m_bRunning);
    EXPECT_FALSE(TheApp().m_bProcessing);
    EXPECT_TRUE(TheApp().m_strWordOutputPath.isEmpty());
}

TEST_F(WorkflowTest, SaveAsWordTwiceIntoTheChosenFolderNumbersTheCopies) {
    CRecoveryApp& app = TheApp();
    app.m_bToNewFolder = TRUE;
    app.m_strDestination = dir.program("OUT");
    app.m_hContextItem = a;
    view.OnSaveAsWordDocument();
    view.OnSaveAsWordDocument();
    EXPECT_TRUE(std::filesystem::exists(dir.host() / "OUT" / "Recovered_1_A.DOC"));
    EXPECT_TRUE(std::filesystem::exists(dir.host() / "OUT" / "Recovered_2_A.DOC"));
}

TEST_F(WorkflowTest, FailedSaveAndStopAreReportedInOrder) {
    failing = {"A.DOC"};
    TheApp().m_hContextItem = a;
    frame.onPump = [](int) { TheApp().m_bStop = TRUE; };
    view.OnSaveAsWordDocument();
    EXPECT_EQ(boxes.Texts(), QStringList({folder + "\\A.DOC File is severely corrupted and  cannot be repaired.",
                                          "Process aborted - User intervention."}));
}

TEST_F(WorkflowTest, RunRepairsTickedFilesInTreeOrderGoesOnAfterAFailureAndReports) {
    failing = {"B.DOC"};
    Tick(tree.GetParentItem(a));
    Tick(c);  // C unticked again
    const RunOutcome outcome = view.RunTickedFiles();
    EXPECT_EQ(repairs, QStringList({"A.DOC", "B.DOC"}));
    EXPECT_EQ(outcome.repaired, QStringList({folder + "\\A.DOC"}));
    EXPECT_EQ(outcome.unrepaired, QStringList({folder + "\\B.DOC"}));
    EXPECT_EQ(boxes.Texts(), QStringList({"1 File(s) are repaired out of 2 Files"}));
    ASSERT_EQ(frame.results.size(), 1u);
    EXPECT_EQ(frame.results[0].first, outcome.repaired);
    EXPECT_EQ(frame.results[0].second, outcome.unrepaired);
    EXPECT_EQ(frame.captions, QStringList({"Repairing File"}));
    EXPECT_EQ(frame.m_pProgressBar->Pos(), 2);
    EXPECT_TRUE(std::filesystem::exists(dir.host() / "SRC" / "Recovered_A.DOC"));
    EXPECT_FALSE(TheApp().m_bRunning);
    EXPECT_FALSE(TheApp().m_bProcessing);
    // The ticks are normalized, not cleared.
    EXPECT_EQ(tree.GetTickState(a), TICK_TICKED);
    EXPECT_EQ(tree.GetTickState(c), TICK_UNTICKED);
}

TEST_F(WorkflowTest, StopBetweenFilesEndsTheRunAndSaysSo) {
    Tick(view.m_hRoot);
    frame.onPump = [](int n) {
        if (n == 1)
            TheApp().m_bStop = TRUE;
    };
    const RunOutcome outcome = view.RunTickedFiles();
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(repairs, QStringList({"A.DOC"}));
    EXPECT_EQ(outcome.unrepaired, QStringList({folder + "\\B.DOC", folder + "\\C.DOC"}));
    EXPECT_EQ(boxes.Texts(), QStringList({"Process aborted - User intervention.", "1 File(s) are repaired out of 3 Files"}));
}

TEST_F(WorkflowTest, RunPromptsOnceAboutRunningWordAndCancelRepairsNothing) {
    FakeWord word;
    Tick(view.m_hRoot);
    boxes.Answer(platform::MbResult::Cancel);
    const RunOutcome outcome = view.RunTickedFiles();
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_TRUE(repairs.isEmpty());
    EXPECT_EQ(boxes.Texts(), QStringList({S(app::IDS_WORD_RUNNING)}));
    EXPECT_FALSE(TheApp().m_bProcessing);
}

TEST_F(WorkflowTest, PreviewsWithinOneSecondGetTheirOwnFiles) {
    QStringList shown;
    for (HTREEITEM item : {a, b, c}) {
        tree.SelectItem(item);
        view.OnDblclk();
        shown << TheApp().m_strWordOutputPath;
    }
    shown.removeDuplicates();
    EXPECT_EQ(shown.size(), 3);
}
