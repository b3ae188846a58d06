#include "automation/Variant.h"

namespace automation {

Variant Variant::Dispatch(IDispatch* object) {
    Variant r;
    r.m_type = VarType::Dispatch;
    r.m_dispatch = object;
    if (object)
        object->AddRef();
    return r;
}

Variant Variant::AttachDispatch(IDispatch* object) {
    Variant r;
    r.m_type = VarType::Dispatch;
    r.m_dispatch = object;
    return r;
}

Variant::Variant(const Variant& other)
    : m_type(other.m_type), m_byRef(other.m_byRef), m_int(other.m_int), m_str(other.m_str),
      m_dispatch(other.m_dispatch) {
    if (m_dispatch)
        m_dispatch->AddRef();
}

Variant::Variant(Variant&& other) noexcept { swap(other); }

Variant& Variant::operator=(Variant other) noexcept {
    swap(other);
    return *this;
}

Variant::~Variant() {
    if (m_dispatch)
        m_dispatch->Release();
}

void Variant::swap(Variant& other) noexcept {
    std::swap(m_type, other.m_type);
    std::swap(m_byRef, other.m_byRef);
    std::swap(m_int, other.m_int);
    m_str.swap(other.m_str);
    std::swap(m_dispatch, other.m_dispatch);
}

IDispatch* Variant::DetachDispatch() {
    IDispatch* d = std::exchange(m_dispatch, nullptr);
    m_type = VarType::Empty;
    return d;
}

bool operator==(const Variant& a, const Variant& b) {
    if (a.m_type != b.m_type)
        return false;
    switch (a.m_type) {
    case VarType::Empty: return true;
    case VarType::I2:
    case VarType::I4:
    case VarType::Error: return a.m_int == b.m_int;
    case VarType::Bstr: return a.m_str == b.m_str;
    case VarType::Dispatch: return a.m_dispatch == b.m_dispatch;
    }
    return false;
}

QString Describe(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty: return QStringLiteral("EMPTY");
    case VarType::I2: return QStringLiteral("I2(%1)").arg(v.ToI2());
    case VarType::I4: return QStringLiteral("I4(%1)").arg(v.ToI4());
    case VarType::Bstr: return QStringLiteral("BSTR(\"%1\")").arg(v.ToString());
    case VarType::Error:
        return QStringLiteral("ERROR(0x%1)").arg(static_cast<std::uint32_t>(v.ToError()), 8, 16, QChar('0'));
    case VarType::Dispatch: return v.ToDispatch() ? QStringLiteral("DISPATCH") : QStringLiteral("DISPATCH(null)");
    }
    return {};
}

}  // namespace automation
