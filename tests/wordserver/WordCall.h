#pragma once
// Calls into a Word server object by member name, with the argument passing
// the binding prescribes, so the tests read like the repair routines.
#include "automation/AutomationException.h"
#include "automation/Variant.h"
#include "automation/WordBinding.h"

#include <QString>
#include <QTemporaryDir>
#include <filesystem>
#include <initializer_list>
#include <memory>

namespace wordtest {

using automation::Variant;
using automation::WordInterface;
using automation::WordVersion;

// An object reference that releases itself.
class Obj {
public:
    Obj() = default;
    explicit Obj(automation::IDispatch* d, WordInterface i) : m_d(d), m_i(i) {}
    Obj(const Obj&) = delete;
    Obj& operator=(const Obj&) = delete;
    Obj(Obj&& o) noexcept : m_d(std::exchange(o.m_d, nullptr)), m_i(o.m_i) {}
    Obj& operator=(Obj&& o) noexcept { std::swap(m_d, o.m_d); m_i = o.m_i; return *this; }
    ~Obj() { if (m_d) m_d->Release(); }
    automation::IDispatch* get() const { return m_d; }
    WordInterface iface() const { return m_i; }

private:
    automation::IDispatch* m_d = nullptr;
    WordInterface m_i = WordInterface::Application;
};

// Word's optional-argument values.
Variant True();
Variant False();
Variant Omitted();
Variant VarStr(const QString& s);
Variant VarI4(int v);
Variant Str(const QString& s);
Variant I4(int v);
Variant Ref(const Obj& o);

// Calls `member` of `o` as the binding of `version` declares it.
Variant Call(WordVersion version, const Obj& o, const char* member, std::initializer_list<Variant> args = {});
Obj Get(WordVersion version, const Obj& o, const char* member, std::initializer_list<Variant> args = {});
int GetI4(WordVersion version, const Obj& o, const char* member);
void Put(WordVersion version, const Obj& o, const char* member, const Variant& value);

// The standard argument lists of the repair routines.
Obj Open(WordVersion v, const Obj& documents, const QString& file);
void SaveAs(WordVersion v, const Obj& document, const QString& file, int format);
void CloseNoSave(WordVersion v, const Obj& document);
void Quit(WordVersion v, const Obj& app);
void Protect(WordVersion v, const Obj& document);

// Sets XDG_CACHE_HOME and the registry file to a private folder for the
// whole test program, so nothing of the person's is read or written.
class PrivateEnvironment {
public:
    PrivateEnvironment();
    std::filesystem::path root() const { return m_dir.path().toStdString(); }
    void SetCurVer(const QString& value);

private:
    QTemporaryDir m_dir;
};
PrivateEnvironment& Env();

std::filesystem::path CorpusDir();
QString ReadTextFile(const std::filesystem::path& p);
// The command lines of this user's processes that carry `needle`.
int CountProcessesWith(const QString& needle);

}  // namespace wordtest
