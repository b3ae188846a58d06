#include "RepairCommand.h"

#include "app/RecoveryApp.h"
#include "app/StringTable.h"
#include "platform/fileops.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "tree/LeftView.h"
#include "tree/MemoryTree.h"

#include <filesystem>

namespace repair_cli {

namespace fs = std::filesystem;

QString UsageText() {
    return QStringLiteral(
        "Usage: tessaly-repair [options] PATH...\n"
        "Repairs damaged Word 97-2003 documents.\n"
        "\n"
        "Each PATH is a .doc file or a folder; a folder stands for the .doc files\n"
        "directly inside it.\n"
        "\n"
        "Options:\n"
        "  --text         write the repaired text (Recovered_NAME.txt, lower case)\n"
        "                 instead of a Word document\n"
        "  --out DIR      write every repaired copy into DIR, named\n"
        "                 Recovered_<n>_NAME with a running number n from 1\n"
        "                 (default: Recovered_NAME next to each source)\n"
        "  --recursive    also walk the subfolders of each folder PATH, as the\n"
        "                 drive scan does (hidden folders are skipped)\n"
        "  --help         show this text and exit\n"
        "\n"
        "Sources are never changed. One progress line per file goes to standard\n"
        "output; messages and the summary go to standard error. A prompt to\n"
        "close running Word instances is answered with Cancel.\n"
        "\n"
        "Exit status: 0 every file was repaired, 1 some file was not (or the run\n"
        "was cancelled, or no .doc file was found), 2 bad usage.\n");
}

std::optional<Options> ParseArguments(const QStringList& args, QString* error) {
    Options options;
    bool onlyPaths = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!onlyPaths && arg == QLatin1String("--")) {
            onlyPaths = true;
        } else if (!onlyPaths && arg == QLatin1String("--help")) {
            options.help = true;
        } else if (!onlyPaths && arg == QLatin1String("--text")) {
            options.format = OutputFormat::Text;
        } else if (!onlyPaths && arg == QLatin1String("--recursive")) {
            options.recurse = Recurse::Yes;
        } else if (!onlyPaths && (arg == QLatin1String("--out") || arg.startsWith(QLatin1String("--out=")))) {
            QString dir;
            if (arg == QLatin1String("--out")) {
                if (i + 1 >= args.size()) {
                    *error = QStringLiteral("option --out needs a folder");
                    return std::nullopt;
                }
                dir = args[++i];
            } else {
                dir = arg.mid(6);
            }
            if (dir.isEmpty() || !fs::is_directory(fs::path(dir.toStdString()))) {
                *error = QStringLiteral("output folder does not exist: %1").arg(dir);
                return std::nullopt;
            }
            options.outDir = dir;
        } else if (!onlyPaths && arg.startsWith(QLatin1Char('-')) && arg != QLatin1String("-")) {
            *error = QStringLiteral("unknown option: %1").arg(arg);
            return std::nullopt;
        } else {
            options.paths << arg;
        }
    }
    if (options.help)
        return options;
    if (options.paths.isEmpty()) {
        *error = QStringLiteral("no PATH given");
        return std::nullopt;
    }
    for (const QString& path : options.paths) {
        const fs::path host(path.toStdString());
        std::error_code ec;
        if (fs::is_directory(host, ec))
            continue;
        if (!fs::is_regular_file(host, ec)) {
            *error = QStringLiteral("no such file or folder: %1").arg(path);
            return std::nullopt;
        }
        if (!path.toUpper().endsWith(QLatin1String(".DOC"))) {
            *error = QStringLiteral("%1: %2").arg(path, app::LoadString(app::IDS_NOT_WORD_FILE));
            return std::nullopt;
        }
    }
    return options;
}

namespace {

QString ProgramPathOf(const QString& hostPath) {
    QString p = platform::ToProgramPath(fs::absolute(fs::path(hostPath.toStdString())).lexically_normal());
    while (p.endsWith(QLatin1Char('\\')))
        p.chop(1);
    return p;
}

QString HostPathOf(const QString& programPath) {
    const auto host = platform::ToHostPath(programPath);
    return host ? QString::fromStdString(host->string()) : programPath;
}

// The frame of the command line: a progress line per file.
class CommandLineFrame : public IFrameServices {
public:
    explicit CommandLineFrame(std::FILE* out) : m_out(out) {}
    void FileRepaired(const QString& source, BOOL repaired, int index, int count) override {
        const CRecoveryApp& app = TheApp();
        QString output;
        if (repaired) {
            output = app.m_bSaveAsText ? app.m_strWordOutputPath.toLower().replace(QLatin1String(".doc"), QLatin1String(".txt"))
                                       : app.m_strWordOutputPath;
            output = QStringLiteral(" -> ") + HostPathOf(output);
        }
        std::fprintf(m_out, "[%d/%d] %s: %s%s\n", index, count, qPrintable(HostPathOf(source)),
                     repaired ? "repaired" : "not repaired", qPrintable(output));
        std::fflush(m_out);
    }

private:
    std::FILE* m_out;
};

}  // namespace

int RunRepair(const Options& options, std::FILE* progress) {
    CRecoveryApp& app = TheApp();
    app.m_strTempFolder = platform::GetTempPath();
    while (app.m_strTempFolder.endsWith(QLatin1Char('\\')))
        app.m_strTempFolder.chop(1);
    app.m_bSaveAsText = options.format == OutputFormat::Text;
    app.m_bSaveAsWord = !app.m_bSaveAsText;
    app.m_bToNewFolder = options.outDir.has_value();
    app.m_bToOriginalFolder = !app.m_bToNewFolder;
    if (options.outDir)
        app.m_strDestination = ProgramPathOf(*options.outDir);

    CMemoryTree tree;
    CommandLineFrame frame(progress);
    CLeftView view(tree, frame);
    view.OnInitialUpdate();

    // Each path goes in as the Add File and Add Folder commands put it.
    for (const QString& path : options.paths) {
        const QString programPath = ProgramPathOf(path);
        app.m_bStop = FALSE;
        if (fs::is_directory(fs::path(path.toStdString()))) {
            app.m_strItemFolder = programPath;
            view.RemoveListedFolder(programPath);
            app.m_bScanFolder = TRUE;
            app.m_bScanSubfolders = options.recurse == Recurse::Yes;
            app.m_bAddSingleFile = FALSE;
            view.ScanFolder(programPath);
        } else {
            const int cut = programPath.lastIndexOf(QLatin1Char('\\'));
            const QString folder = programPath.left(cut).toUpper();
            const QString name = programPath.mid(cut + 1).toUpper();
            app.m_strItemFolder = folder;
            if (view.AddFileToListedFolder(folder, name) || view.m_bFolderFound)
                continue;  // already listed, or added under its listed folder
            app.m_bScanFolder = FALSE;
            app.m_bScanSubfolders = FALSE;
            app.m_bAddSingleFile = TRUE;
            view.ScanFolder(name);
        }
    }
    app.m_bAddSingleFile = app.m_bScanFolder = app.m_bScanSubfolders = FALSE;

    if (view.FileItems().empty()) {
        platform::MessageBox(QStringLiteral("no .doc files found"), QStringLiteral("tessaly-repair"), platform::MbIcon::Warning);
        return kSomeNotRepaired;
    }
    tree.SetTickState(view.m_hRoot, TICK_TICKED);
    view.PropagateTickDown(view.m_hRoot);
    const RunOutcome outcome = view.RunTickedFiles();
    app.CleanTempFolder();
    return outcome.unrepaired.isEmpty() && !outcome.cancelled && !outcome.repaired.isEmpty() ? kAllRepaired
                                                                                              : kSomeNotRepaired;
}

int RunMain(const QStringList& args, std::FILE* out, std::FILE* err) {
    QString error;
    const auto options = ParseArguments(args, &error);
    if (!options) {
        std::fprintf(err, "tessaly-repair: %s\nTry 'tessaly-repair --help'.\n", qPrintable(error));
        return kBadUsage;
    }
    if (options->help) {
        std::fputs(qPrintable(UsageText()), out);
        return kAllRepaired;
    }
    return RunRepair(*options, out);
}

}  // namespace repair_cli
