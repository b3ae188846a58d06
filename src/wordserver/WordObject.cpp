#include "wordserver/WordObject.h"

#include <com/sun/star/uno/Exception.hpp>
#include <cppuhelper/exc_hlp.hxx>

#include <cstdio>

using namespace com::sun::star;
using automation::AutomationException;
using automation::Variant;
using automation::VarType;

namespace wordserver {

namespace {
// TESSALY_WORDSERVER_TRACE=1 writes every failed call to standard error: the
// routines swallow automation errors, so this is how one sees why a repair
// took its failure path.
void Trace(const automation::WordMember& m, const AutomationException& e) {
    static const bool on = qEnvironmentVariableIntValue("TESSALY_WORDSERVER_TRACE") != 0;
    if (on)
        std::fprintf(stderr, "wordserver: %s.%.*s failed: 0x%08x %s\n", automation::InterfaceName(m.iface),
                     static_cast<int>(m.name.size()), m.name.data(), static_cast<unsigned>(e.code()), e.what());
}
}  // namespace

std::uint32_t WordObject::Release() {
    const std::uint32_t left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

Variant WordObject::Invoke(automation::DISPID member, automation::InvokeKind kind, std::span<const Variant> args) {
    const auto& m = automation::CheckWordCall(m_session->version(), m_iface, member, kind, args);
    // Quit of an Application that has already quit returns quietly.
    if (m_session->Ended() && m_iface == automation::WordInterface::Application && m.name == "Quit")
        return {};
    OfficeSession::CallScope scope(*m_session);
    try {
        return Call(m, args);
    } catch (const AutomationException& e) {
        Trace(m, e);
        throw;
    } catch (const uno::Exception& e) {
        const uno::Any caught = cppu::getCaughtException();
        QString what = ToQ(caught.getValueTypeName());
        if (!e.Message.isEmpty())
            what += QStringLiteral(": ") + ToQ(e.Message);
        const auto error = m_session->Translate(
            QStringLiteral("%1.%2: %3")
                .arg(automation::InterfaceName(m_iface), QString::fromUtf8(m.name.data(), m.name.size()), what),
            // A disposed document is not a lost office; only the bridge's own
            // disposal is.
            caught.getValueTypeName() == "com.sun.star.lang.DisposedException" && e.Message.indexOf("URP bridge") >= 0);
        Trace(m, error);
        throw error;
    } catch (const std::exception& e) {
        throw AutomationException(automation::E_FAIL, QString::fromUtf8(e.what()));
    }
}

Variant OpaqueObject::Call(const automation::WordMember& m, std::span<const Variant>) {
    Fail(QStringLiteral("%1 has no member %2").arg(automation::InterfaceName(iface()),
                                                   QString::fromUtf8(m.name.data(), m.name.size())));
}

bool IsOmitted(const Variant& v) {
    return v.type() == VarType::Empty || (v.type() == VarType::Error && v.ToError() == automation::DISP_E_PARAMNOTFOUND);
}

std::int32_t IntArg(const Variant& v, std::int32_t fallback) {
    switch (v.type()) {
    case VarType::I2: return v.ToI2();
    case VarType::I4: return v.ToI4();
    default: break;
    }
    if (IsOmitted(v))
        return fallback;
    throw AutomationException(automation::DISP_E_TYPEMISMATCH,
                              QStringLiteral("a number was expected, not %1").arg(automation::Describe(v)));
}

QString StringArg(const Variant& v, const QString& fallback) {
    if (v.type() == VarType::Bstr)
        return v.ToString();
    if (IsOmitted(v))
        return fallback;
    throw AutomationException(automation::DISP_E_TYPEMISMATCH,
                              QStringLiteral("a string was expected, not %1").arg(automation::Describe(v)));
}

void Fail(const QString& description) { throw AutomationException(automation::DISP_E_EXCEPTION, description); }

}  // namespace wordserver
