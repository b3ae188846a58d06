#include "wordserver/OfficeProcess.h"

#include "platform/paths.h"
#include "platform/processes.h"

#include <QFile>
#include <QRegularExpression>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace wordserver {
namespace {

std::atomic<unsigned> g_sequence{0};

// The version the office compares with the profile's last version; when they
// match it skips its first-start work.
QString OfficeSetupVersion() {
    QFile f(QString::fromStdString((OfficeProgramDir().parent_path() / "share/registry/main.xcd").string()));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression re(QStringLiteral("ooSetupVersion\">\\s*<value>([^<]+)</value>"));
    const auto m = re.match(QString::fromUtf8(f.readAll()));
    return m.hasMatch() ? m.captured(1) : QString();
}

void SeedProfile(const fs::path& profile) {
    fs::create_directories(profile / "user");
    static const QString version = OfficeSetupVersion();
    std::ofstream out(profile / "user" / "registrymodifications.xcu", std::ios::binary | std::ios::trunc);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
           "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n";
    if (!version.isEmpty())
        out << "<item oor:path=\"/org.openoffice.Setup/Product\"><prop oor:name=\"ooSetupLastVersion\" "
               "oor:op=\"fuse\"><value>"
            << version.toStdString() << "</value></prop></item>\n";
    out << "<item oor:path=\"/org.openoffice.Setup/Office\"><prop oor:name=\"ooSetupInstCompleted\" "
           "oor:op=\"fuse\"><value>true</value></prop></item>\n"
           "<item oor:path=\"/org.openoffice.Setup/Office\"><prop oor:name=\"FirstStartWizardCompleted\" "
           "oor:op=\"fuse\"><value>true</value></prop></item>\n"
           "<item oor:path=\"/org.openoffice.Office.Recovery/AutoSave\"><prop oor:name=\"Enabled\" "
           "oor:op=\"fuse\"><value>false</value></prop></item>\n"
           "<item oor:path=\"/org.openoffice.Office.Common/Misc\"><prop oor:name=\"UseLocking\" "
           "oor:op=\"fuse\"><value>false</value></prop></item>\n"
           "</oor:items>\n";
    if (!out)
        throw std::runtime_error("cannot write the office profile in " + profile.string());
}

// "<owner pid>-<sequence>-<random>": the owner is the Tessaly process that
// started the office, so orphans can be told from a live instance's offices.
std::string NewInstanceName() {
    std::random_device rd;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d-%u-%08x", static_cast<int>(::getpid()), g_sequence.fetch_add(1), rd());
    return buf;
}

pid_t OwnerOf(const QString& instanceName) {
    bool ok = false;
    const pid_t owner = instanceName.section('-', 0, 0).toInt(&ok);
    return ok ? owner : -1;
}

bool ProcessExists(pid_t pid) { return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM); }

}  // namespace

fs::path OfficeProgramDir() {
    if (const char* dir = std::getenv("TESSALY_OFFICE_PROGRAM"); dir && *dir)
        return dir;
    return TESSALY_OFFICE_PROGRAM_DIR;
}

OfficeProcess::~OfficeProcess() {
    if (m_pid > 0 || !m_profile.empty())
        Stop(std::chrono::milliseconds(0));
}

void OfficeProcess::Start() {
    const std::string name = NewInstanceName();
    m_profile = platform::ServerProfileRoot() / name;
    m_pipeName = QStringLiteral("tessaly-office-%1").arg(QString::fromStdString(name));
    SeedProfile(m_profile);
    Spawn();
}

void OfficeProcess::Restart() {
    Stop(std::chrono::milliseconds(0), Profile::Keep);
    Spawn();
}

void OfficeProcess::Spawn() {
    const std::string name = m_profile.filename().string();
    const fs::path program = OfficeProgramDir() / "soffice.bin";
    const std::string userInstallation =
        "-env:UserInstallation=" + (platform::WordServerProcessMarker() + QString::fromStdString(name)).toStdString();
    const std::string accept = "--accept=pipe,name=" + m_pipeName.toStdString() + ";urp;StarOffice.ComponentContext";
    std::vector<std::string> args = {program.string(), "--headless", "--invisible", "--nocrashreport",
                                     "--nodefault", "--nologo", "--nofirststartwizard", "--norestore",
                                     "--nolockcheck", userInstallation, accept};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, program.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        std::error_code ec;
        fs::remove_all(m_profile, ec);
        m_profile.clear();
        throw std::runtime_error("cannot start " + program.string() + ": " + std::strerror(rc));
    }
    m_pid = pid;
}

bool OfficeProcess::Alive() {
    const pid_t pid = m_pid;
    if (pid <= 0)
        return false;
    int status = 0;
    const pid_t r = ::waitpid(pid, &status, WNOHANG);
    if (r == pid || (r < 0 && errno == ECHILD)) {
        ::kill(-pid, SIGKILL);  // helpers of the group, if any
        m_pid = -1;
        return false;
    }
    return true;
}

bool OfficeProcess::WaitEnded(std::chrono::milliseconds bound) {
    const auto until = std::chrono::steady_clock::now() + bound;
    while (Alive()) {
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

void OfficeProcess::Kill() {
    const pid_t pid = m_pid;
    if (pid > 0) {
        ::kill(-pid, SIGKILL);
        ::kill(pid, SIGKILL);
    }
}

void OfficeProcess::Stop(std::chrono::milliseconds grace, Profile profile) {
    if (m_pid > 0 && !WaitEnded(grace)) {
        Kill();
        WaitEnded(std::chrono::seconds(10));
    }
    m_pid = -1;
    if (profile == Profile::Remove && !m_profile.empty()) {
        std::error_code ec;
        fs::remove_all(m_profile, ec);
        m_profile.clear();
    }
}

void KillOrphanedOffices() {
    const QString marker = platform::WordServerProcessMarker();
    for (const auto& p : platform::SnapshotProcesses()) {
        for (const QString& arg : p.arguments) {
            const qsizetype at = arg.indexOf(marker);
            if (at < 0)
                continue;
            const QString instance = arg.mid(at + marker.size()).section('/', 0, 0);
            const pid_t owner = OwnerOf(instance);
            if (owner != ::getpid() && !ProcessExists(owner)) {
                ::kill(-p.pid, SIGKILL);
                platform::TerminateProcess(p.pid);
            }
            break;
        }
    }
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(platform::ServerProfileRoot(), ec)) {
        const pid_t owner = OwnerOf(QString::fromStdString(entry.path().filename().string()));
        if (owner > 0 && owner != ::getpid() && !ProcessExists(owner)) {
            std::error_code ignored;
            fs::remove_all(entry.path(), ignored);
        }
    }
}

}  // namespace wordserver
