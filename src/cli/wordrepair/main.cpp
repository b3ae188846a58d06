// tessaly-wordrepair SOURCE DEST: repairs one document the way the program
// does, with the Word version the registry names (Word 2003 when it names
// none): the engine's output copy, open-and-resave by the Word server, and
// when that fails the engine's full pass and a rebuild.
#include "app/RecoveryApp.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "tree/RecoveryDrivers.h"
#include "wordserver/WordServer.h"

#include <cstdio>
#include <filesystem>

namespace {
class NoTextView : public IFrameServices {
public:
    BOOL TextViewShown() const override { return FALSE; }
};
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tessaly-wordrepair SOURCE DEST\n");
        return 2;
    }
    platform::StderrMessageSink sink;
    platform::SetMessageSink(&sink);
    wordserver::RegisterWordServer(automation::WordVersion::Word2003);
    namespace fs = std::filesystem;
    const fs::path source = fs::absolute(argv[1]);
    const fs::path dest = fs::absolute(argv[2]);
    CRecoveryApp& app = TheApp();
    app.m_strSourcePath = platform::ToProgramPath(source);
    app.m_strWordOutputPath = platform::ToProgramPath(dest);
    app.m_strOutputFolder = platform::ToProgramPath(dest.parent_path());
    app.m_strTempFolder = platform::GetTempPath();
    app.m_strTempFolder.chop(1);
    app.m_bToOriginalFolder = TRUE;
    app.m_bProcessing = TRUE;
    const auto version = wordserver::RegisteredWordVersion().value_or(automation::WordVersion::Word2003);
    NoTextView frame;
    const std::int32_t result = CRecoveryDrivers(frame).Recover(version);
    if (!result) {
        std::fprintf(stderr, "%s: could not be repaired\n", source.c_str());
        return 1;
    }
    std::printf("%s: repaired into %s (%s)\n", source.c_str(), dest.c_str(),
                automation::WordVersionName(version).toStdString().c_str());
    return 0;
}
