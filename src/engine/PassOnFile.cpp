#include "engine/PassOnFile.h"

#include "app/RecoveryApp.h"
#include "platform/paths.h"

PassOnFileResult RunFullPassOnFile(const std::filesystem::path& hostPath) {
    PassOnFileResult result;
    CRecoveryApp& app = TheApp();
    app.m_strSourcePath = platform::ToProgramPath(std::filesystem::absolute(hostPath));
    app.m_strWordOutputPath.clear();
    result.engine = std::make_unique<CDocRecover>();
    result.opened = result.engine->OpenSource();
    if (!result.opened)
        return result;
    result.passResult = result.engine->RunFullPass();
    return result;
}
