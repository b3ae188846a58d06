#pragma once
// The table CreateDispatch consults: a ProgID names a factory that creates
// a new server object. Servers register themselves at start-up.
#include "automation/Variant.h"

#include <QString>
#include <functional>

namespace automation {

// Returns a new object holding one reference for the caller, or throws
// AutomationException when the server cannot be started.
using ServerFactory = std::function<IDispatch*()>;

void RegisterServer(const QString& progId, ServerFactory factory);
void UnregisterServer(const QString& progId);
bool IsServerRegistered(const QString& progId);
// The object, or nullptr when the ProgID is unknown or its server fails
// (the reason is then in *failure when given).
IDispatch* CreateObject(const QString& progId, QString* failure = nullptr);

// Registers a factory for the lifetime of the object and restores what was
// registered before (tests).
class ScopedServerRegistration {
public:
    ScopedServerRegistration(QString progId, ServerFactory factory);
    ~ScopedServerRegistration();
    ScopedServerRegistration(const ScopedServerRegistration&) = delete;
    ScopedServerRegistration& operator=(const ScopedServerRegistration&) = delete;

private:
    QString m_progId;
    ServerFactory m_previous;
};

}  // namespace automation
