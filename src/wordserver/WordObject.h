#pragma once
// The base of every object the server hands out: a reference-counted
// dispatch object of one Word interface, checked against the binding of the
// version the server emulates, with the office's failures turned into
// automation errors.
#include "automation/AutomationException.h"
#include "automation/Variant.h"
#include "automation/WordBinding.h"
#include "wordserver/OfficeSession.h"

#include <atomic>
#include <memory>

namespace wordserver {

class WordObject : public automation::IDispatch {
public:
    WordObject(automation::WordInterface iface, std::shared_ptr<OfficeSession> session)
        : m_iface(iface), m_session(std::move(session)) {}

    std::uint32_t AddRef() override { return ++m_refs; }
    std::uint32_t Release() override;
    automation::Variant Invoke(automation::DISPID member, automation::InvokeKind kind,
                               std::span<const automation::Variant> args) override;

    automation::WordInterface iface() const { return m_iface; }
    OfficeSession& session() { return *m_session; }
    const std::shared_ptr<OfficeSession>& sessionPtr() const { return m_session; }

protected:
    // One checked call; `m` is the binding's member.
    virtual automation::Variant Call(const automation::WordMember& m, std::span<const automation::Variant> args) = 0;

private:
    automation::WordInterface m_iface;
    std::shared_ptr<OfficeSession> m_session;
    std::atomic<std::uint32_t> m_refs{1};
};

// A new object as a variant that owns its one reference.
template <class T, class... A>
automation::Variant NewObject(A&&... a) {
    return automation::Variant::AttachDispatch(new T(std::forward<A>(a)...));
}

// Results the routines do not use further (a hyperlink, an inline shape, an
// AutoText entry): they answer no member.
class OpaqueObject : public WordObject {
public:
    using WordObject::WordObject;

protected:
    automation::Variant Call(const automation::WordMember& m, std::span<const automation::Variant>) override;
};

// Argument values. An omitted argument is an error variant with
// DISP_E_PARAMNOTFOUND (or empty).
bool IsOmitted(const automation::Variant& v);
std::int32_t IntArg(const automation::Variant& v, std::int32_t fallback);
QString StringArg(const automation::Variant& v, const QString& fallback = {});
// The server's own object behind an object argument, or an automation error.
template <class T>
T& ObjectArg(const automation::Variant& v, const char* what) {
    auto* object = dynamic_cast<T*>(v.ToDispatch());
    if (!object)
        throw automation::AutomationException(automation::DISP_E_TYPEMISMATCH,
                                              QStringLiteral("%1 is not an object of this server").arg(what));
    return *object;
}

[[noreturn]] void Fail(const QString& description);

}  // namespace wordserver
