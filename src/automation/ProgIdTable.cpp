#include "automation/ProgIdTable.h"

#include "automation/AutomationException.h"

#include <map>

namespace automation {
namespace {
std::map<QString, ServerFactory>& Table() {
    static std::map<QString, ServerFactory> table;
    return table;
}
QString Key(const QString& progId) { return progId.toCaseFolded(); }
}  // namespace

void RegisterServer(const QString& progId, ServerFactory factory) { Table()[Key(progId)] = std::move(factory); }

void UnregisterServer(const QString& progId) { Table().erase(Key(progId)); }

bool IsServerRegistered(const QString& progId) { return Table().count(Key(progId)) > 0; }

IDispatch* CreateObject(const QString& progId, QString* failure) {
    const auto it = Table().find(Key(progId));
    if (it == Table().end() || !it->second) {
        if (failure)
            *failure = QStringLiteral("no server is registered for %1").arg(progId);
        return nullptr;
    }
    try {
        IDispatch* object = it->second();
        if (!object && failure)
            *failure = QStringLiteral("the server for %1 returned no object").arg(progId);
        return object;
    } catch (const AutomationException& e) {
        if (failure)
            *failure = e.description();
        return nullptr;
    }
}

ScopedServerRegistration::ScopedServerRegistration(QString progId, ServerFactory factory)
    : m_progId(std::move(progId)) {
    const auto it = Table().find(Key(m_progId));
    if (it != Table().end())
        m_previous = it->second;
    RegisterServer(m_progId, std::move(factory));
}

ScopedServerRegistration::~ScopedServerRegistration() {
    if (m_previous)
        RegisterServer(m_progId, std::move(m_previous));
    else
        UnregisterServer(m_progId);
}

}  // namespace automation
