#pragma once
// A file-backed registry with the Windows keys, value names and types the
// program uses. The store is a human-readable text file:
//
//   [HKEY_CLASSES_ROOT\Word.Application\CurVer]
//   @=REG_SZ:Word.Application.11
//   EditFlags=REG_DWORD:0x00010000
//
// "@" is the key's default value. Key and value names compare ignoring
// case. The file is $TESSALY_REGISTRY, else $XDG_CONFIG_HOME/tessaly/registry.ini
// (~/.config when XDG_CONFIG_HOME is unset).
#include <QString>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

namespace platform {

enum class HKey { ClassesRoot, CurrentUser, LocalMachine };
enum class RegAccess { Read, AllAccess };

// Win32 error codes, as the registry calls return them.
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorInvalidData = 13;
constexpr long kErrorMoreData = 234;

constexpr std::uint32_t REG_SZ = 1;
constexpr std::uint32_t REG_DWORD = 4;

std::filesystem::path RegistryFilePath();
QString RootName(HKey root);

class RegKey {
public:
    RegKey() = default;
    // Opens an existing key. AllAccess also needs the store to be writable.
    long Open(HKey root, const QString& subkey, RegAccess access);
    // Opens the key, creating it (and writing the store) when missing.
    long Create(HKey root, const QString& subkey);
    void Close();
    bool IsOpen() const { return m_open; }

    // RegQueryValueEx: `data` receives the value (REG_SZ as UTF-16LE with
    // its terminating NUL, REG_DWORD as 4 little-endian bytes); `size` is
    // set to the bytes needed. kErrorMoreData when `data` is too small.
    long QueryValue(const QString& name, std::uint32_t* type, std::span<std::byte> data, std::uint32_t* size) const;
    // Convenience reads; false when missing or of another type.
    bool QueryString(const QString& name, QString* value) const;
    bool QueryDword(const QString& name, std::uint32_t* value) const;

    long SetString(const QString& name, const QString& value);
    long SetDword(const QString& name, std::uint32_t value);
    long DeleteValue(const QString& name);

private:
    QString m_keyPath;  // "HKEY_CLASSES_ROOT\Word.Application\CurVer"
    bool m_open = false;
    bool m_writable = false;
};

}  // namespace platform
