#include "WordCall.h"

#include "platform/codepage.h"
#include "platform/processes.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <vector>

namespace wordtest {

Variant True() { return Variant::I2(1).ByRef(); }
Variant False() { return Variant::I2(0).ByRef(); }
Variant Omitted() { return Variant::Error(automation::DISP_E_PARAMNOTFOUND).ByRef(); }
Variant VarStr(const QString& s) { return Variant::Bstr(s).ByRef(); }
Variant VarI4(int v) { return Variant::I4(v).ByRef(); }
Variant Str(const QString& s) { return Variant::Bstr(s); }
Variant I4(int v) { return Variant::I4(v); }
Variant Ref(const Obj& o) { return Variant::Dispatch(o.get()); }

Variant Call(WordVersion version, const Obj& o, const char* member, std::initializer_list<Variant> args) {
    const auto* m = automation::FindWordMemberByName(version, o.iface(), member);
    if (!m)
        throw automation::AutomationException(automation::DISP_E_MEMBERNOTFOUND,
                                              QStringLiteral("no member %1 in this binding").arg(member));
    std::vector<Variant> list(args);
    return o.get()->Invoke(m->dispid, m->kind, list);
}

Obj Get(WordVersion version, const Obj& o, const char* member, std::initializer_list<Variant> args) {
    const auto* m = automation::FindWordMemberByName(version, o.iface(), member);
    Variant r = Call(version, o, member, args);
    return Obj(r.DetachDispatch(), m->resultInterface);
}

int GetI4(WordVersion version, const Obj& o, const char* member) { return Call(version, o, member).ToI4(); }

void Put(WordVersion version, const Obj& o, const char* member, const Variant& value) { Call(version, o, member, {value}); }

Obj Open(WordVersion v, const Obj& documents, const QString& file) {
    std::vector<Variant> a = {VarStr(file), False(), False(), False(), VarStr(""), VarStr(""),
                              False(), VarStr(""), VarStr(""), Omitted()};
    if (v != WordVersion::Word97)
        a.insert(a.end(), {False(), False()});
    if (v == WordVersion::Word2002 || v == WordVersion::Word2003)
        a.insert(a.end(), {Omitted(), Omitted(), Omitted()});
    if (v == WordVersion::Word2003)
        a.push_back(Omitted());
    const auto* m = automation::FindWordMemberByName(v, WordInterface::Documents, "Open");
    Variant r = documents.get()->Invoke(m->dispid, m->kind, a);
    return Obj(r.DetachDispatch(), WordInterface::Document);
}

void SaveAs(WordVersion v, const Obj& document, const QString& file, int format) {
    std::vector<Variant> a = {VarStr(file), VarI4(format), False(), VarStr(""), False(), VarStr(""),
                              False(), False(), False(), False(), False()};
    if (v == WordVersion::Word2002 || v == WordVersion::Word2003)
        a.insert(a.end(), {False(), False(), False(), VarI4(0), False()});
    const auto* m = automation::FindWordMemberByName(v, WordInterface::Document, "SaveAs");
    document.get()->Invoke(m->dispid, m->kind, a);
}

void CloseNoSave(WordVersion v, const Obj& document) { Call(v, document, "Close", {False(), True(), False()}); }
void Quit(WordVersion v, const Obj& app) { Call(v, app, "Quit", {False(), True(), False()}); }

void Protect(WordVersion v, const Obj& document) {
    if (v == WordVersion::Word2003)
        Call(v, document, "Protect", {I4(2), False(), VarStr("kov41tep"), Omitted(), Omitted()});
    else
        Call(v, document, "Protect", {I4(2), False(), VarStr("kov41tep")});
}

PrivateEnvironment::PrivateEnvironment() : m_dir(QDir::tempPath() + "/tessaly-wordserver-test-XXXXXX") {
    qputenv("XDG_CACHE_HOME", (m_dir.path() + "/cache").toUtf8());
    qputenv("TESSALY_REGISTRY", (m_dir.path() + "/registry.ini").toUtf8());
}

void PrivateEnvironment::SetCurVer(const QString& value) {
    QFile f(m_dir.path() + "/registry.ini");
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(QStringLiteral("[HKEY_CLASSES_ROOT\\Word.Application\\CurVer]\n@=REG_SZ:%1\n").arg(value).toUtf8());
}

PrivateEnvironment& Env() {
    static PrivateEnvironment env;
    return env;
}

std::filesystem::path CorpusDir() { return TESSALY_CORPUS_DIR; }

QString ReadTextFile(const std::filesystem::path& p) {
    QFile f(QString::fromStdString(p.string()));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return platform::AnsiToUtf16(f.readAll().toStdString());
}

int CountProcessesWith(const QString& needle) {
    int n = 0;
    for (const auto& p : platform::SnapshotProcesses())
        if (p.CommandLine().contains(needle))
            ++n;
    return n;
}

}  // namespace wordtest
