#include "app/RecoveryApp.h"
#include "platform/paths.h"
#include "tempdir/TempDir.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

extern char** environ;
using testing_support::TempDir;

namespace {

// A sleeping child whose command line carries `marker`.
class Sleeper {
public:
    explicit Sleeper(const std::string& marker) {
        // The shell keeps the marker as its $0 for as long as it loops.
        const char* argv[] = {"/bin/sh", "-c", "while :; do sleep 0.05; done", marker.c_str(), nullptr};
        posix_spawn(&m_pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ);
        // Until the child has exec'd, its command line is still ours.
        const std::string cmdline = "/proc/" + std::to_string(m_pid) + "/cmdline";
        for (int i = 0; i < 500; ++i) {
            std::ifstream in(cmdline, std::ios::binary);
            const std::string args((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (args.find(marker) != std::string::npos)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    ~Sleeper() {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    bool Alive() const {
        int status = 0;
        return ::waitpid(m_pid, &status, WNOHANG) == 0;
    }
    pid_t pid() const { return m_pid; }

private:
    pid_t m_pid = 0;
};

class WordProcesses : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_CACHE_HOME", cache.host().c_str(), 1);
        ResetTheApp();
    }
    void TearDown() override { ::unsetenv("XDG_CACHE_HOME"); }
    TempDir cache;
};

}  // namespace

TEST_F(WordProcesses, OnlyServerProcessesCountAndAreEnded) {
    const std::string marker = platform::WordServerProcessMarker().toStdString();
    Sleeper stranger("-env:UserInstallation=file:///home/someone/.config/libreoffice/4");
    ASSERT_TRUE(stranger.Alive());
    EXPECT_FALSE(TheApp().IsWordRunning());

    Sleeper server("-env:UserInstallation=" + marker + "p1");
    EXPECT_TRUE(TheApp().IsWordRunning());
    TheApp().TerminateWord();
    for (int i = 0; i < 100 && TheApp().IsWordRunning(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(TheApp().IsWordRunning());
    EXPECT_TRUE(stranger.Alive());
}
