#include "wordserver/OfficeSession.h"

#include <com/sun/star/util/XCloseable.hpp>

#include <atomic>
#include <cstdlib>

using namespace com::sun::star;
using automation::AutomationException;

namespace wordserver {
namespace {

std::chrono::milliseconds InitialTimeout() {
    if (const char* v = std::getenv("TESSALY_OFFICE_CALL_TIMEOUT_MS"); v && *v) {
        const long ms = std::strtol(v, nullptr, 10);
        if (ms > 0)
            return std::chrono::milliseconds(ms);
    }
    return std::chrono::seconds(120);
}

std::atomic<long long> g_timeoutMs{InitialTimeout().count()};
constexpr auto kStartBound = std::chrono::seconds(60);
thread_local int t_callDepth = 0;

}  // namespace

std::chrono::milliseconds CallTimeout() { return std::chrono::milliseconds(g_timeoutMs.load()); }
void SetCallTimeout(std::chrono::milliseconds bound) { g_timeoutMs.store(bound.count()); }

QString ToQ(const rtl::OUString& s) { return QString(reinterpret_cast<const QChar*>(s.getStr()), s.getLength()); }
rtl::OUString ToOU(const QString& s) {
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()), static_cast<sal_Int32>(s.size()));
}

OfficeSession::OfficeSession(automation::WordVersion version) : m_version(version) {
    QString cause;
    // A fresh profile can make the office restart itself once; a second try
    // covers that.
    for (int attempt = 0; attempt < 3 && !m_uno; ++attempt) {
        try {
            if (attempt == 0)
                m_process.Start();
            else
                m_process.Restart();
            m_uno = std::make_unique<UnoConnection>(m_process.pipeName(), kStartBound,
                                                    [this] { return m_process.Alive(); });
        } catch (const std::exception& e) {
            cause = QString::fromUtf8(e.what());
        }
    }
    if (!m_uno)
        m_process.Stop(std::chrono::milliseconds(0));
    if (!m_uno)
        throw AutomationException(automation::CO_E_SERVER_EXEC_FAILURE,
                                  QStringLiteral("LibreOffice could not be started: %1").arg(cause));
    m_watchdog = std::thread([this] { WatchdogLoop(); });
}

OfficeSession::~OfficeSession() {
    try {
        Quit();
    } catch (...) {
    }
    {
        std::lock_guard lock(m_mutex);
        m_stopWatchdog = true;
    }
    m_wake.notify_all();
    if (m_watchdog.joinable())
        m_watchdog.join();
}

UnoConnection& OfficeSession::uno() { return *m_uno; }

OfficeSession::CallScope::CallScope(OfficeSession& s) : m_session(s) {
    if (s.m_ended)
        throw AutomationException(automation::RPC_E_DISCONNECTED,
                                  QStringLiteral("LibreOffice has ended; the Application object can no longer be used"));
    if (t_callDepth++ == 0) {
        std::lock_guard lock(s.m_mutex);
        s.m_deadline = std::chrono::steady_clock::now() + CallTimeout();
    }
    s.m_wake.notify_all();
}

OfficeSession::CallScope::~CallScope() {
    if (--t_callDepth == 0) {
        std::lock_guard lock(m_session.m_mutex);
        m_session.m_deadline.reset();
    }
}

void OfficeSession::WatchdogLoop() {
    std::unique_lock lock(m_mutex);
    while (!m_stopWatchdog) {
        if (!m_deadline) {
            m_wake.wait(lock);
            continue;
        }
        const auto deadline = *m_deadline;
        if (m_wake.wait_until(lock, deadline) == std::cv_status::timeout && m_deadline == deadline) {
            // The office does not answer: stopping it makes the bridge fail
            // the pending call.
            m_timedOut = true;
            m_deadline.reset();
            m_process.Kill();
        }
    }
}

AutomationException OfficeSession::Translate(const QString& what, bool bridgeGone) {
    bool timedOut;
    {
        std::lock_guard lock(m_mutex);
        timedOut = m_timedOut;
    }
    if (timedOut || bridgeGone || !m_uno->Connected() || !m_process.Alive()) {
        EndProcess(std::chrono::milliseconds(0));
        if (timedOut)
            return AutomationException(
                automation::RPC_E_TIMEOUT,
                QStringLiteral("LibreOffice did not answer within %1 ms and was stopped").arg(CallTimeout().count()));
        return AutomationException(automation::RPC_E_DISCONNECTED,
                                   QStringLiteral("the connection to LibreOffice was lost (%1)").arg(what));
    }
    return AutomationException(automation::DISP_E_EXCEPTION, QStringLiteral("LibreOffice: %1").arg(what));
}

std::shared_ptr<DocumentState> OfficeSession::Active() {
    for (auto it = m_documents.rbegin(); it != m_documents.rend(); ++it)
        if (!(*it)->closed)
            return *it;
    return nullptr;
}

void OfficeSession::Quit() {
    if (m_ended)
        return;
    bool clean = m_uno && m_uno->Connected() && m_process.Alive();
    if (clean) {
        try {
            CallScope scope(*this);
            for (auto& d : m_documents) {
                if (d->closed)
                    continue;
                d->closed = true;
                uno::Reference<util::XCloseable> closeable(d->doc, uno::UNO_QUERY);
                if (closeable.is())
                    closeable->close(true);
            }
            m_documents.clear();
            m_uno->desktop()->terminate();
        } catch (const uno::Exception&) {
            clean = false;  // the bridge usually goes down while the office ends
        }
    }
    m_documents.clear();
    EndProcess(std::chrono::seconds(clean ? 5 : 0));
}

void OfficeSession::EndProcess(std::chrono::milliseconds grace) {
    m_ended = true;
    m_documents.clear();
    if (m_uno)
        m_uno->Dispose();
    m_process.Stop(grace);
}

}  // namespace wordserver
