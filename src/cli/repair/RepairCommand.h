#pragma once
// The command line of tessaly-repair: its options, and one run that fills
// the tree from the given paths, ticks everything and repairs the ticked
// files with the program's own run.
#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>

namespace repair_cli {

enum ExitStatus : int { kAllRepaired = 0, kSomeNotRepaired = 1, kBadUsage = 2 };

enum class OutputFormat { Word, Text };
enum class Recurse { No, Yes };

struct Options {
    OutputFormat format = OutputFormat::Word;
    Recurse recurse = Recurse::No;
    std::optional<QString> outDir;  // host path; none: next to each source
    QStringList paths;              // host paths
    bool help = false;
};

// Parses the arguments after the program name. On bad usage returns
// nullopt and sets `error` to a message for the person.
std::optional<Options> ParseArguments(const QStringList& args, QString* error);

QString UsageText();

// Fills the tree, repairs, writes one progress line per file to `progress`
// and returns the exit status. Messages go through the message-box sink.
int RunRepair(const Options& options, std::FILE* progress);

// The whole command: arguments after the program name; usage errors and
// message boxes go to `err`, help and progress lines to `out`.
int RunMain(const QStringList& args, std::FILE* out, std::FILE* err);

}  // namespace repair_cli
