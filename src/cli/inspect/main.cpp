// tessaly-inspect [--text] FILE: runs the engine's full pass over a file,
// read-only, and prints what it found; with --text only the filtered text.
// Exit status: 0 the pass succeeded, 1 it did not, 2 bad usage.
#include "InspectReport.h"

#include "app/RecoveryApp.h"
#include "engine/PassOnFile.h"
#include "platform/messagebox.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: tessaly-inspect [--text] FILE\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool textOnly = false;
    const char* file = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--text") == 0 && !textOnly)
            textOnly = true;
        else if (argv[i][0] == '-' && argv[i][1] != '\0')
            return Usage();
        else if (!file)
            file = argv[i];
        else
            return Usage();
    }
    if (!file)
        return Usage();

    platform::RecordingMessageSink sink;
    const PassOnFileResult result = RunFullPassOnFile(file);
    QStringList messages = sink.Texts();
    if (!result.opened) {
        for (const QString& m : messages)
            std::fprintf(stderr, "tessaly-inspect: %s: %s\n", file, m.toLocal8Bit().constData());
        return 1;
    }
    if (textOnly) {
        for (const QString& m : messages)
            std::fprintf(stderr, "tessaly-inspect: %s: %s\n", file, m.toLocal8Bit().constData());
        const auto& filtered = TheApp().m_pszFilteredText;
        if (result.passResult && !filtered.empty()) {
            const std::string text = FilteredTextUtf8(
                std::string_view(reinterpret_cast<const char*>(filtered.data()), filtered.size()));
            std::fwrite(text.data(), 1, text.size(), stdout);
        }
    } else {
        std::printf("file: %s\n", file);
        const std::string report = InspectReport(*result.engine, result.passResult, messages);
        std::fwrite(report.data(), 1, report.size(), stdout);
    }
    return result.passResult ? 0 : 1;
}
