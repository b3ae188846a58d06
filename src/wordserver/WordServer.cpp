#include "wordserver/WordServer.h"

#include "automation/AutomationException.h"
#include "automation/ProgIdTable.h"
#include "platform/registry.h"
#include "wordserver/OfficeProcess.h"
#include "wordserver/WordObjects.h"

#include <csignal>

namespace wordserver {

std::optional<automation::WordVersion> RegisteredWordVersion() {
    platform::RegKey key;
    if (key.Open(platform::HKey::ClassesRoot, QStringLiteral("Word.Application\\CurVer"), platform::RegAccess::Read) !=
        platform::kErrorSuccess)
        return std::nullopt;
    QString value;
    if (!key.QueryString(QString(), &value) && !key.QueryString(QStringLiteral("@"), &value))
        return std::nullopt;
    // The same order the repair workflow tests the value in.
    static const std::pair<const char*, automation::WordVersion> order[] = {
        {"8", automation::WordVersion::Word97},
        {"9", automation::WordVersion::Word2000},
        {"10", automation::WordVersion::Word2002},
        {"11", automation::WordVersion::Word2003},
    };
    for (const auto& [digits, version] : order)
        if (value.contains(QLatin1String(digits)))
            return version;
    return std::nullopt;
}

automation::IDispatch* CreateWordApplication(automation::WordVersion version) {
    auto session = std::make_shared<OfficeSession>(version);
    return new ApplicationObject(std::move(session));
}

pid_t OfficeProcessOf(automation::IDispatch* application) {
    auto* app = dynamic_cast<ApplicationObject*>(application);
    return app && !app->session().Ended() ? app->session().pid() : -1;
}

void RegisterWordServer(std::optional<automation::WordVersion> fallback) {
    // A write to an office that has just died must fail as a lost
    // connection, not end this process without a word.
    std::signal(SIGPIPE, SIG_IGN);
    KillOrphanedOffices();
    automation::RegisterServer(QStringLiteral("Word.Application"), [fallback]() -> automation::IDispatch* {
        auto version = RegisteredWordVersion();
        if (!version)
            version = fallback;
        if (!version)
            throw automation::AutomationException(automation::REGDB_E_CLASSNOTREG,
                                                  QStringLiteral("HKEY_CLASSES_ROOT\\Word.Application\\CurVer names no "
                                                                 "Word version this server emulates"));
        return CreateWordApplication(*version);
    });
}

}  // namespace wordserver
