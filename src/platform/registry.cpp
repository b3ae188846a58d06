#include "platform/registry.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

namespace fs = std::filesystem;

namespace platform {
namespace {

struct Value {
    QString name;  // as written
    std::uint32_t type = REG_SZ;
    QString text;
    std::uint32_t dword = 0;
};

struct Key {
    QString path;  // as written
    std::vector<Value> values;
};

// Case-insensitive map from key path to key.
using Store = std::map<QString, Key>;

QString Fold(const QString& s) { return s.toCaseFolded(); }

QString Escape(const QString& s) {
    QString out;
    for (QChar c : s) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

QString Unescape(const QString& s) {
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            const QChar n = s[++i];
            out += n == 'n' ? QChar('\n') : n == 'r' ? QChar('\r') : n;
        } else {
            out += s[i];
        }
    }
    return out;
}

Store Load() {
    Store store;
    QFile file(QString::fromStdString(RegistryFilePath().string()));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return store;
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    Key* current = nullptr;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(';') || trimmed.startsWith('#'))
            continue;
        if (trimmed.startsWith('[') && trimmed.endsWith(']')) {
            const QString path = trimmed.mid(1, trimmed.size() - 2);
            Key& k = store[Fold(path)];
            if (k.path.isEmpty())
                k.path = path;
            current = &k;
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (!current || eq < 0)
            continue;
        Value v;
        v.name = line.left(eq).trimmed();
        if (v.name == "@")
            v.name.clear();
        const QString data = line.mid(eq + 1);
        if (data.startsWith("REG_DWORD:")) {
            bool ok = false;
            v.type = REG_DWORD;
            v.dword = data.mid(10).trimmed().toUInt(&ok, 0);
            if (!ok)
                continue;
        } else if (data.startsWith("REG_SZ:")) {
            v.type = REG_SZ;
            v.text = Unescape(data.mid(7));
        } else {
            continue;
        }
        std::erase_if(current->values, [&](const Value& o) { return Fold(o.name) == Fold(v.name); });
        current->values.push_back(std::move(v));
    }
    return store;
}

bool Save(const Store& store) {
    const fs::path path = RegistryFilePath();
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    QSaveFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out.setEncoding(QStringConverter::Utf8);
    out << "; Tessaly registry\n";
    for (const auto& [folded, key] : store) {
        out << "\n[" << key.path << "]\n";
        for (const auto& v : key.values) {
            out << (v.name.isEmpty() ? QStringLiteral("@") : v.name) << '=';
            if (v.type == REG_DWORD)
                out << "REG_DWORD:0x" << QString::number(v.dword, 16).rightJustified(8, '0') << '\n';
            else
                out << "REG_SZ:" << Escape(v.text) << '\n';
        }
    }
    out.flush();
    return file.commit();
}

bool StoreWritable() {
    const fs::path path = RegistryFilePath();
    std::error_code ec;
    if (fs::exists(path, ec))
        return ::access(path.c_str(), W_OK) == 0 && ::access(path.parent_path().c_str(), W_OK) == 0;
    fs::path dir = path.parent_path();
    while (!dir.empty() && !fs::exists(dir, ec))
        dir = dir.parent_path();
    return !dir.empty() && ::access(dir.c_str(), W_OK) == 0;
}

QString JoinPath(HKey root, const QString& subkey) {
    QString sub = subkey;
    while (sub.startsWith('\\'))
        sub.remove(0, 1);
    while (sub.endsWith('\\'))
        sub.chop(1);
    return sub.isEmpty() ? RootName(root) : RootName(root) + "\\" + sub;
}

const Value* FindValue(const Store& store, const QString& keyPath, const QString& name) {
    auto it = store.find(Fold(keyPath));
    if (it == store.end())
        return nullptr;
    for (const auto& v : it->second.values)
        if (Fold(v.name) == Fold(name))
            return &v;
    return nullptr;
}

}  // namespace

fs::path RegistryFilePath() {
    if (const char* env = std::getenv("TESSALY_REGISTRY"); env && *env)
        return fs::path(env);
    if (const char* cfg = std::getenv("XDG_CONFIG_HOME"); cfg && *cfg)
        return fs::path(cfg) / "tessaly" / "registry.ini";
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : "/tmp") / ".config" / "tessaly" / "registry.ini";
}

QString RootName(HKey root) {
    switch (root) {
    case HKey::ClassesRoot: return QStringLiteral("HKEY_CLASSES_ROOT");
    case HKey::CurrentUser: return QStringLiteral("HKEY_CURRENT_USER");
    case HKey::LocalMachine: return QStringLiteral("HKEY_LOCAL_MACHINE");
    }
    return {};
}

long RegKey::Open(HKey root, const QString& subkey, RegAccess access) {
    Close();
    const QString path = JoinPath(root, subkey);
    const Store store = Load();
    // A key exists when it or a key below it is in the store.
    const QString folded = Fold(path);
    bool exists = store.count(folded) > 0;
    for (auto it = store.lower_bound(folded + "\\"); !exists && it != store.end() && it->first.startsWith(folded + "\\"); ++it)
        exists = true;
    if (!exists)
        return kErrorFileNotFound;
    if (access == RegAccess::AllAccess && !StoreWritable())
        return kErrorAccessDenied;
    m_keyPath = path;
    m_open = true;
    m_writable = access == RegAccess::AllAccess;
    return kErrorSuccess;
}

long RegKey::Create(HKey root, const QString& subkey) {
    Close();
    if (!StoreWritable())
        return kErrorAccessDenied;
    const QString path = JoinPath(root, subkey);
    Store store = Load();
    Key& k = store[Fold(path)];
    if (k.path.isEmpty()) {
        k.path = path;
        if (!Save(store))
            return kErrorAccessDenied;
    }
    m_keyPath = path;
    m_open = true;
    m_writable = true;
    return kErrorSuccess;
}

void RegKey::Close() {
    m_keyPath.clear();
    m_open = false;
    m_writable = false;
}

long RegKey::QueryValue(const QString& name, std::uint32_t* type, std::span<std::byte> data, std::uint32_t* size) const {
    if (!m_open)
        return kErrorInvalidData;
    const Store store = Load();
    const Value* v = FindValue(store, m_keyPath, name);
    if (!v)
        return kErrorFileNotFound;
    std::vector<std::byte> bytes;
    if (v->type == REG_DWORD) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<std::byte>((v->dword >> (8 * i)) & 0xFF));
    } else {
        for (QChar c : v->text) {
            bytes.push_back(static_cast<std::byte>(c.unicode() & 0xFF));
            bytes.push_back(static_cast<std::byte>(c.unicode() >> 8));
        }
        bytes.push_back(std::byte{0});
        bytes.push_back(std::byte{0});
    }
    if (type)
        *type = v->type;
    if (size)
        *size = static_cast<std::uint32_t>(bytes.size());
    if (bytes.size() > data.size())
        return kErrorMoreData;
    std::memcpy(data.data(), bytes.data(), bytes.size());
    return kErrorSuccess;
}

bool RegKey::QueryString(const QString& name, QString* value) const {
    if (!m_open)
        return false;
    const Store store = Load();
    const Value* v = FindValue(store, m_keyPath, name);
    if (!v || v->type != REG_SZ)
        return false;
    *value = v->text;
    return true;
}

bool RegKey::QueryDword(const QString& name, std::uint32_t* value) const {
    if (!m_open)
        return false;
    const Store store = Load();
    const Value* v = FindValue(store, m_keyPath, name);
    if (!v || v->type != REG_DWORD)
        return false;
    *value = v->dword;
    return true;
}

namespace {
long Put(const QString& keyPath, bool writable, Value value) {
    if (!writable)
        return kErrorAccessDenied;
    Store store = Load();
    Key& k = store[Fold(keyPath)];
    if (k.path.isEmpty())
        k.path = keyPath;
    std::erase_if(k.values, [&](const Value& o) { return Fold(o.name) == Fold(value.name); });
    k.values.push_back(std::move(value));
    return Save(store) ? kErrorSuccess : kErrorAccessDenied;
}
}  // namespace

long RegKey::SetString(const QString& name, const QString& value) {
    return Put(m_keyPath, m_open && m_writable, Value{name, REG_SZ, value, 0});
}

long RegKey::SetDword(const QString& name, std::uint32_t value) {
    return Put(m_keyPath, m_open && m_writable, Value{name, REG_DWORD, {}, value});
}

long RegKey::DeleteValue(const QString& name) {
    if (!m_open || !m_writable)
        return kErrorAccessDenied;
    Store store = Load();
    auto it = store.find(Fold(m_keyPath));
    if (it == store.end())
        return kErrorFileNotFound;
    const auto before = it->second.values.size();
    std::erase_if(it->second.values, [&](const Value& o) { return Fold(o.name) == Fold(name); });
    if (before == it->second.values.size())
        return kErrorFileNotFound;
    return Save(store) ? kErrorSuccess : kErrorAccessDenied;
}

}  // namespace platform
