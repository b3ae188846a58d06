// tessaly-repair [options] PATH...: see --help.
#include "RepairCommand.h"

#include "platform/messagebox.h"

#include <QCoreApplication>
#include <cstdio>

#ifdef TESSALY_HAVE_WORDSERVER
#include "wordserver/WordServer.h"
#endif

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    // Message boxes go to standard error; Retry/Cancel prompts are answered with Cancel.
    platform::StderrMessageSink sink;
    platform::SetMessageSink(&sink);
#ifdef TESSALY_HAVE_WORDSERVER
    wordserver::RegisterWordServer();
#endif
    return repair_cli::RunMain(args, stdout, stderr);
}
