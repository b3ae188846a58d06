#pragma once
// The system's process list and process termination.
#include <QString>
#include <QStringList>
#include <sys/types.h>
#include <vector>

namespace platform {

struct ProcessEntry {
    pid_t pid = 0;
    QString exeName;       // file name of the executable ("soffice.bin")
    QStringList arguments;  // the command line, argv[0] first
    QString CommandLine() const { return arguments.join(' '); }
};

// A snapshot of the processes this user can see (from /proc); processes
// that end while it is read are left out.
std::vector<ProcessEntry> SnapshotProcesses();

// Kills the process at once (SIGKILL) and reaps it when it is our child.
bool TerminateProcess(pid_t pid);

}  // namespace platform
