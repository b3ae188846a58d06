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
    QString error;
    const auto options = repair_cli::ParseArguments(args, &error);
    if (!options) {
        std::fprintf(stderr, "tessaly-repair: %s\nTry 'tessaly-repair --help'.\n", qPrintable(error));
        return repair_cli::kBadUsage;
    }
    if (options->help) {
        std::fputs(qPrintable(repair_cli::UsageText()), stdout);
        return repair_cli::kAllRepaired;
    }
    platform::StderrMessageSink sink;
    platform::SetMessageSink(&sink);
#ifdef TESSALY_HAVE_WORDSERVER
    wordserver::RegisterWordServer();
#endif
    return repair_cli::RunRepair(*options, stdout);
}
