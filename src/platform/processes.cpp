#include "platform/processes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <signal.h>
#include <sys/wait.h>

namespace platform {

std::vector<ProcessEntry> SnapshotProcesses() {
    std::vector<ProcessEntry> list;
    const QDir proc("/proc");
    for (const QString& name : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        const pid_t pid = static_cast<pid_t>(name.toInt(&numeric));
        if (!numeric || pid <= 0)
            continue;
        ProcessEntry e;
        e.pid = pid;
        QFile cmdline("/proc/" + name + "/cmdline");
        if (cmdline.open(QIODevice::ReadOnly)) {
            QByteArray raw = cmdline.readAll();
            if (raw.endsWith('\0'))
                raw.chop(1);
            if (!raw.isEmpty())
                for (const QByteArray& arg : raw.split('\0'))
                    e.arguments << QString::fromLocal8Bit(arg);
        }
        const QString exe = QFileInfo("/proc/" + name + "/exe").symLinkTarget();
        if (!exe.isEmpty()) {
            e.exeName = QFileInfo(exe).fileName();
        } else {
            QFile comm("/proc/" + name + "/comm");
            if (comm.open(QIODevice::ReadOnly))
                e.exeName = QString::fromLocal8Bit(comm.readAll()).trimmed();
        }
        if (e.exeName.isEmpty() && e.arguments.isEmpty())
            continue;  // gone meanwhile
        list.push_back(std::move(e));
    }
    return list;
}

bool TerminateProcess(pid_t pid) {
    if (pid <= 0)
        return false;
    if (::kill(pid, SIGKILL) != 0)
        return false;
    ::waitpid(pid, nullptr, WNOHANG);
    return true;
}

}  // namespace platform
