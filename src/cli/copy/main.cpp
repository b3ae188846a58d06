// tessaly-copy SOURCE DEST: opens a document with the recovery engine and
// makes its output copy with the compound-file signature restored.
#include "app/RecoveryApp.h"
#include "engine/DocRecover.h"
#include "platform/fileops.h"
#include "platform/messagebox.h"
#include "platform/paths.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tessaly-copy SOURCE DEST\n");
        return 2;
    }
    platform::StderrMessageSink sink;
    platform::SetMessageSink(&sink);
    namespace fs = std::filesystem;
    const fs::path source = fs::absolute(argv[1]);
    const fs::path dest = fs::absolute(argv[2]);
    CRecoveryApp& app = TheApp();
    app.m_strSourcePath = platform::ToProgramPath(source);
    app.m_strWordOutputPath = platform::ToProgramPath(dest);
    app.m_strOutputFolder = platform::ToProgramPath(dest.parent_path());
    auto engine = std::make_unique<CDocRecover>();
    if (!engine->OpenSource())
        return 1;
    engine->m_bSignatureValid = engine->HasCompoundSignature();
    std::printf("%s: %s compound-file signature\n", source.c_str(),
                engine->m_bSignatureValid ? "has its" : "has lost its");
    if (!engine->PrepareOutputCopy())
        return 1;
    std::printf("copied to %s\n", dest.c_str());
    return 0;
}
