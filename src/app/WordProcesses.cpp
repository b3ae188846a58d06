// The Word processes are the Word server's office processes, recognised by
// the server's private profile in their command line. Nothing else is ever
// stopped: a person's own office has unsaved work.
#include "app/RecoveryApp.h"

#include "platform/paths.h"
#include "platform/processes.h"

#include <unistd.h>

namespace {
template <class Visit>
void ForEachWordProcess(Visit visit) {
    const QString marker = platform::WordServerProcessMarker();
    const pid_t self = ::getpid();
    for (const auto& p : platform::SnapshotProcesses()) {
        if (p.pid == self)
            continue;
        for (const QString& arg : p.arguments) {
            if (arg.contains(marker)) {
                if (!visit(p))
                    return;
                break;
            }
        }
    }
}
}  // namespace

BOOL CRecoveryApp::IsWordRunning() const {
    BOOL found = FALSE;
    ForEachWordProcess([&](const platform::ProcessEntry&) {
        found = TRUE;
        return false;
    });
    return found;
}

void CRecoveryApp::TerminateWord() const {
    ForEachWordProcess([](const platform::ProcessEntry& p) {
        platform::TerminateProcess(p.pid);
        return true;
    });
}
