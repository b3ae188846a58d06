// The office processes behind the server: one per Application, recognised as
// Word processes, stopped when they fail, and never a person's own office.
#include "WordCall.h"
#include "app/RecoveryApp.h"
#include "automation/ProgIdTable.h"
#include "platform/paths.h"
#include "platform/processes.h"
#include "wordserver/WordServer.h"

#include <QCoreApplication>
#include <QProcess>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>

using namespace wordtest;
using namespace std::chrono_literals;

namespace {

constexpr auto W2003 = WordVersion::Word2003;

bool Alive(pid_t pid) { return pid > 0 && ::kill(pid, 0) == 0; }

Obj NewApp(WordVersion v = W2003) { return Obj(wordserver::CreateWordApplication(v), WordInterface::Application); }

void AddDocument(const Obj& app) {
    Obj documents = Get(W2003, app, "Documents");
    Call(W2003, documents, "Add", {Omitted(), Omitted(), Omitted(), Omitted()});
}

TEST(OfficeProcesses, EachApplicationHasItsOwnOfficeSeenAsWord) {
    Env();
    Obj a = NewApp();
    Obj b = NewApp();
    const pid_t pa = wordserver::OfficeProcessOf(a.get());
    const pid_t pb = wordserver::OfficeProcessOf(b.get());
    ASSERT_TRUE(Alive(pa));
    ASSERT_TRUE(Alive(pb));
    EXPECT_NE(pa, pb);
    EXPECT_EQ(CountProcessesWith(platform::WordServerProcessMarker()), 2);
    EXPECT_TRUE(TheApp().IsWordRunning());
    Quit(W2003, a);
    Quit(W2003, a);  // a second Quit is harmless
    EXPECT_FALSE(Alive(pa));
    b = Obj();  // releasing the last reference ends the office too
    EXPECT_FALSE(Alive(pb));
    EXPECT_FALSE(TheApp().IsWordRunning());
    EXPECT_THROW(Get(W2003, a, "Documents"), automation::AutomationException);
}

TEST(OfficeProcesses, KilledOfficeIsAnAutomationErrorAndTheNextStartWorks) {
    Env();
    Obj app = NewApp();
    AddDocument(app);
    ::kill(wordserver::OfficeProcessOf(app.get()), SIGKILL);
    Obj sel;
    try {
        sel = Get(W2003, app, "Selection");
        Call(W2003, sel, "TypeText", {Str("x")});
        ADD_FAILURE() << "a call into a dead office succeeded";
    } catch (const automation::AutomationException& e) {
        EXPECT_EQ(e.code(), automation::RPC_E_DISCONNECTED) << e.what();
    }
    EXPECT_THROW(Get(W2003, app, "Documents"), automation::AutomationException);
    Quit(W2003, app);
    Obj again = NewApp();
    AddDocument(again);
    Quit(W2003, again);
    EXPECT_FALSE(TheApp().IsWordRunning());
}

TEST(OfficeProcesses, HungOfficeIsStoppedByTheWatchdog) {
    Env();
    const auto previous = wordserver::CallTimeout();
    wordserver::SetCallTimeout(2s);
    Obj app = NewApp();
    AddDocument(app);
    const pid_t pid = wordserver::OfficeProcessOf(app.get());
    ::kill(pid, SIGSTOP);
    Obj sel = Get(W2003, app, "Selection");  // answered by the server itself
    const auto start = std::chrono::steady_clock::now();
    try {
        Call(W2003, sel, "TypeText", {Str("x")});
        ADD_FAILURE() << "a call into a stopped office returned";
    } catch (const automation::AutomationException& e) {
        EXPECT_EQ(e.code(), automation::RPC_E_TIMEOUT) << e.what();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);
    EXPECT_FALSE(Alive(pid));
    wordserver::SetCallTimeout(previous);
    Quit(W2003, app);
}

TEST(OfficeProcesses, CreateDispatchFollowsCurVer) {
    Env();
    wordserver::RegisterWordServer();
    struct Case {
        const char* curVer;
        std::optional<WordVersion> version;
    } cases[] = {{"Word.Application.8", WordVersion::Word97},   {"Word.Application.9", WordVersion::Word2000},
                 {"Word.Application.10", WordVersion::Word2002}, {"Word.Application.11", WordVersion::Word2003},
                 {"Word.Application.12", std::nullopt}};
    for (const auto& c : cases) {
        Env().SetCurVer(c.curVer);
        EXPECT_EQ(wordserver::RegisteredWordVersion(), c.version) << c.curVer;
    }
    Env().SetCurVer("Word.Application.12");
    EXPECT_EQ(automation::CreateObject("Word.Application"), nullptr);

    // Word 97: its own Documents.Add (two arguments), and no AutoText.
    Env().SetCurVer("Word.Application.8");
    Obj app(automation::CreateObject("Word.Application"), WordInterface::Application);
    ASSERT_NE(app.get(), nullptr);
    Obj documents = Get(WordVersion::Word97, app, "Documents");
    Call(WordVersion::Word97, documents, "Add", {Omitted(), Omitted()});
    EXPECT_THROW(Call(W2003, documents, "Add", {Omitted(), Omitted(), Omitted(), Omitted()}),
                 automation::AutomationException);
    Obj sel = Get(WordVersion::Word97, app, "Selection");
    EXPECT_THROW(Call(W2003, sel, "CreateAutoTextEntry", {Str("Page X of Y"), Str("")}),
                 automation::AutomationException);
    Quit(WordVersion::Word97, app);
    Env().SetCurVer("Word.Application.11");
}

// A person's own office on its default profile: neither the server,
// TerminateWord nor the orphan clean-up may stop it.
TEST(OfficeProcesses, PersonsOwnOfficeIsNeverTouched) {
    Env();
    QProcess person;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", QString::fromStdString((Env().root() / "person").string()));
    env.remove("XDG_CACHE_HOME");
    env.remove("XDG_CONFIG_HOME");
    person.setProcessEnvironment(env);
    // Its own pipe only makes it easy to find; the profile is its default one.
    const QString tag = QStringLiteral("tessaly-wordserver-test-person-%1").arg(QCoreApplication::applicationPid());
    person.start("soffice", {"--headless", "--norestore", "--nologo", "--accept=pipe,name=" + tag + ";urp;"});
    ASSERT_TRUE(person.waitForStarted());
    std::vector<pid_t> theirs;
    for (int i = 0; i < 100 && theirs.empty(); ++i) {
        std::this_thread::sleep_for(100ms);
        for (const auto& p : platform::SnapshotProcesses())
            if (p.exeName == "soffice.bin" && p.CommandLine().contains(tag))
                theirs.push_back(p.pid);
    }
    ASSERT_FALSE(theirs.empty()) << "the person's office did not start";

    Obj app = NewApp();
    AddDocument(app);
    Quit(W2003, app);
    TheApp().TerminateWord();
    wordserver::RegisterWordServer();
    for (pid_t pid : theirs)
        EXPECT_TRUE(Alive(pid)) << "the person's office " << pid << " was stopped";
    for (pid_t pid : theirs)
        ::kill(pid, SIGKILL);
    person.kill();
    person.waitForFinished();
}

TEST(OfficeProcesses, OrphansOfEndedProgramsAreKilledAtStartUp) {
    Env();
    // A stand-in for an office left behind by a Tessaly process that has
    // ended: its profile names an owner that no longer exists.
    QProcess owner;
    owner.start("true");
    owner.waitForFinished();
    const qint64 dead = owner.processId() > 0 ? owner.processId() : 999999;
    const QString profile = platform::WordServerProcessMarker() + QStringLiteral("%1-0-deadbeef").arg(dead);
    QProcess orphan;
    orphan.start("sh", {"-c", "sleep 60", profile});
    ASSERT_TRUE(orphan.waitForStarted());
    Obj live = NewApp();  // a live instance's office stays
    wordserver::RegisterWordServer();
    EXPECT_TRUE(orphan.waitForFinished(5000));
    EXPECT_TRUE(Alive(wordserver::OfficeProcessOf(live.get())));
    Quit(W2003, live);
}

}  // namespace
