#pragma once
// The base of every Word wrapper: holds one reference to a server object
// and makes late-bound calls on it.
#include "automation/AutomationException.h"
#include "automation/Variant.h"
#include "automation/WordBinding.h"
#include "platform/wintypes.h"

#include <QString>
#include <span>

namespace automation {

// The argument values Word receives for its optional parameters: true and
// false as 16-bit integers (not VT_BOOL), and "not given".
inline const Variant varTrue = Variant::I2(1);
inline const Variant varFalse = Variant::I2(0);
inline const Variant varOmitted = Variant::Error(DISP_E_PARAMNOTFOUND);

class DispatchDriver {
public:
    DispatchDriver() = default;
    // Holds `dispatch` without taking a new reference.
    explicit DispatchDriver(IDispatch* dispatch, BOOL autoRelease = TRUE)
        : m_pDispatch(dispatch), m_bAutoRelease(autoRelease) {}
    // A copy refers to the same object and holds its own reference.
    DispatchDriver(const DispatchDriver& other);
    DispatchDriver& operator=(const DispatchDriver& other);
    DispatchDriver(DispatchDriver&& other) noexcept;
    DispatchDriver& operator=(DispatchDriver&& other) noexcept;
    ~DispatchDriver();

    // Creates a new object of the server registered under `progId`. On
    // failure the driver stays empty and the reason goes to *failure.
    BOOL CreateDispatch(const QString& progId, QString* failure = nullptr);
    // Releases what is held, then holds `dispatch` (no new reference).
    void AttachDispatch(IDispatch* dispatch, BOOL autoRelease = TRUE);
    // Hands the reference to the caller; the driver is empty afterwards.
    IDispatch* DetachDispatch();
    // Releases the reference when auto-release is set; empty afterwards.
    void ReleaseDispatch();
    // The reference held (no new reference), to pass the object on.
    IDispatch* GetIDispatch() const { return m_pDispatch; }
    bool IsEmpty() const { return m_pDispatch == nullptr; }

    // One call on the held object. On an empty driver nothing is sent and
    // the result is empty. A failure of the server, and a result that is
    // not of the expected kind, raise AutomationException.
    Variant InvokeMember(DISPID member, InvokeKind kind, ResultKind result, std::span<const Variant> args) const;

    IDispatch* m_pDispatch = nullptr;
    BOOL m_bAutoRelease = TRUE;
};

}  // namespace automation
