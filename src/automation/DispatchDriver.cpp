#include "automation/DispatchDriver.h"

#include "automation/ProgIdTable.h"

#include <utility>

namespace automation {

DispatchDriver::DispatchDriver(const DispatchDriver& other) : m_pDispatch(other.m_pDispatch) {
    if (m_pDispatch)
        m_pDispatch->AddRef();
}

DispatchDriver& DispatchDriver::operator=(const DispatchDriver& other) {
    if (this != &other) {
        if (other.m_pDispatch)
            other.m_pDispatch->AddRef();
        ReleaseDispatch();
        m_pDispatch = other.m_pDispatch;
        m_bAutoRelease = TRUE;
    }
    return *this;
}

DispatchDriver::DispatchDriver(DispatchDriver&& other) noexcept
    : m_pDispatch(std::exchange(other.m_pDispatch, nullptr)), m_bAutoRelease(other.m_bAutoRelease) {
    other.m_bAutoRelease = TRUE;
}

DispatchDriver& DispatchDriver::operator=(DispatchDriver&& other) noexcept {
    if (this != &other) {
        ReleaseDispatch();
        m_pDispatch = std::exchange(other.m_pDispatch, nullptr);
        m_bAutoRelease = std::exchange(other.m_bAutoRelease, TRUE);
    }
    return *this;
}

DispatchDriver::~DispatchDriver() { ReleaseDispatch(); }

BOOL DispatchDriver::CreateDispatch(const QString& progId, QString* failure) {
    ReleaseDispatch();
    IDispatch* object = CreateObject(progId, failure);
    if (!object)
        return FALSE;
    AttachDispatch(object, TRUE);
    return TRUE;
}

void DispatchDriver::AttachDispatch(IDispatch* dispatch, BOOL autoRelease) {
    ReleaseDispatch();
    m_pDispatch = dispatch;
    m_bAutoRelease = autoRelease;
}

IDispatch* DispatchDriver::DetachDispatch() { return std::exchange(m_pDispatch, nullptr); }

void DispatchDriver::ReleaseDispatch() {
    IDispatch* held = std::exchange(m_pDispatch, nullptr);
    if (held && m_bAutoRelease)
        held->Release();
}

namespace {
QString KindMismatch(DISPID member, const char* expected, const Variant& got) {
    return QStringLiteral("member 0x%1 returned %2 where %3 was expected")
        .arg(static_cast<unsigned>(member), 0, 16)
        .arg(Describe(got))
        .arg(QLatin1String(expected));
}
}  // namespace

Variant DispatchDriver::InvokeMember(DISPID member, InvokeKind kind, ResultKind result,
                                     std::span<const Variant> args) const {
    if (!m_pDispatch)
        return {};
    Variant value;
    try {
        value = m_pDispatch->Invoke(member, kind, args);
    } catch (const AutomationException&) {
        throw;
    } catch (const std::exception& e) {
        throw AutomationException(DISP_E_EXCEPTION, QString::fromLocal8Bit(e.what()));
    }
    switch (result) {
    case ResultKind::None: return {};
    case ResultKind::I4:
        if (value.type() == VarType::I4)
            return value.ByValue();
        if (value.type() == VarType::I2)
            return Variant::I4(value.ToI2());
        throw AutomationException(DISP_E_TYPEMISMATCH, KindMismatch(member, "a 32-bit integer", value));
    case ResultKind::Object:
        // A missing object would make every later call on it a silent no-op.
        if (value.type() == VarType::Dispatch && value.ToDispatch())
            return value.ByValue();
        throw AutomationException(DISP_E_TYPEMISMATCH, KindMismatch(member, "an object", value));
    }
    return {};
}

}  // namespace automation
