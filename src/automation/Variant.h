#pragma once
// Automation values: the variant types the Word conversation uses, and the
// reference-counted dispatch interface that late-bound calls go through.
#include <QString>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace automation {

using DISPID = std::int32_t;
using HRESULT = std::int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003);
constexpr HRESULT DISP_E_PARAMNOTFOUND = static_cast<HRESULT>(0x80020004);
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005);
constexpr HRESULT DISP_E_EXCEPTION = static_cast<HRESULT>(0x80020009);
constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000E);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFF);
constexpr HRESULT CO_E_SERVER_EXEC_FAILURE = static_cast<HRESULT>(0x80080005);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);
constexpr HRESULT RPC_E_DISCONNECTED = static_cast<HRESULT>(0x80010108);
constexpr HRESULT RPC_E_TIMEOUT = static_cast<HRESULT>(0x8001011F);

enum class InvokeKind { Method = 1, PropertyGet = 2, PropertyPut = 4 };

// The variant types in use, numbered as VARTYPE numbers them.
enum class VarType : std::uint16_t { Empty = 0, I2 = 2, I4 = 3, Bstr = 8, Dispatch = 9, Error = 10 };

class IDispatch {
public:
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;
    // One late-bound call. `args` come in the member's declared order
    // (first argument first). Failures raise AutomationException.
    virtual class Variant Invoke(DISPID member, InvokeKind kind, std::span<const class Variant> args) = 0;

protected:
    virtual ~IDispatch() = default;
};

// A variant holds one value; an object reference holds a reference count.
// `byRef` marks a variant passed by reference (Word's optional arguments).
class Variant {
public:
    Variant() = default;
    static Variant I2(std::int16_t v) { Variant r; r.m_type = VarType::I2; r.m_int = v; return r; }
    static Variant I4(std::int32_t v) { Variant r; r.m_type = VarType::I4; r.m_int = v; return r; }
    static Variant Bstr(QString s) { Variant r; r.m_type = VarType::Bstr; r.m_str = std::move(s); return r; }
    static Variant Error(HRESULT code) { Variant r; r.m_type = VarType::Error; r.m_int = code; return r; }
    // Takes a new reference on `object`.
    static Variant Dispatch(IDispatch* object);
    // Takes over a reference the caller already holds.
    static Variant AttachDispatch(IDispatch* object);

    Variant(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(Variant other) noexcept;
    ~Variant();

    VarType type() const { return m_type; }
    bool byRef() const { return m_byRef; }
    Variant ByRef() const { Variant r(*this); r.m_byRef = true; return r; }
    Variant ByValue() const { Variant r(*this); r.m_byRef = false; return r; }

    bool IsEmpty() const { return m_type == VarType::Empty; }
    std::int16_t ToI2() const { return static_cast<std::int16_t>(m_int); }
    std::int32_t ToI4() const { return m_int; }
    HRESULT ToError() const { return m_int; }
    const QString& ToString() const { return m_str; }
    IDispatch* ToDispatch() const { return m_dispatch; }
    // Hands the reference to the caller and leaves this variant empty.
    IDispatch* DetachDispatch();

    friend bool operator==(const Variant& a, const Variant& b);

private:
    void swap(Variant& other) noexcept;

    VarType m_type = VarType::Empty;
    bool m_byRef = false;
    std::int32_t m_int = 0;
    QString m_str;
    IDispatch* m_dispatch = nullptr;
};

// A readable form for tests and traces: "I2(1)", "BSTR(\"x\")", "ERROR(0x80020004)".
QString Describe(const Variant& v);

}  // namespace automation
