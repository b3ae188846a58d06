#pragma once
// File and folder operations on program paths, as the program uses them.
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace platform {

enum class Overwrite { No, Yes };

// Copies a regular file; the copy gets the source's permission bits. Fails
// when the source is not a regular file, or the target exists and
// overwrite is No. The target is written through a temporary name in the
// same folder and renamed, so a failed copy leaves no partial file.
bool CopyFile(const QString& from, const QString& to, Overwrite overwrite);

// Opens an existing file for writing (no create) and writes `bytes` at
// `offset`; true only when every byte was written.
bool WriteExistingFileAt(const QString& path, std::uint64_t offset, std::span<const std::uint8_t> bytes);

// Creates or truncates a file and writes all of `bytes` to it.
bool WriteNewFile(const QString& path, std::span<const std::uint8_t> bytes);

bool DeleteFile(const QString& path);
bool CreateDirectory(const QString& path);
bool RemoveDirectory(const QString& path);  // empty folders only

struct FileAttributes {
    bool exists = false;
    bool directory = false;
    bool readOnly = false;
    bool hidden = false;
    std::uint64_t size = 0;
};
FileAttributes GetFileAttributes(const QString& path);
bool FileExists(const QString& path);
enum class ReadOnly { Off, On };
// Read-only on takes every write bit away; off gives the owner write access
// (the Windows "normal" attribute).
bool SetReadOnly(const QString& path, ReadOnly state);

struct FoundFile {
    QString name;  // as stored on disk
    bool directory = false;
    bool hidden = false;
};
// Entries of a folder that match the last component of `pattern`
// ("C:\DOCS\*.DOC"; '*' and '?' as wildcards, case-insensitive, "*.*"
// matches every name), in directory order. "." and ".." are included when
// the pattern matches them, as the Windows search does.
std::vector<FoundFile> FindFiles(const QString& pattern);
bool MatchesWildcard(const QString& name, const QString& pattern);

// Bytes available to the caller on the volume holding `folder`; nullopt
// when the query fails.
std::optional<std::uint64_t> GetDiskFreeSpaceEx(const QString& folder);

// Tests replace the free-space query; the override lives until the object
// is destroyed.
class ScopedFreeSpaceOverride {
public:
    explicit ScopedFreeSpaceOverride(std::function<std::optional<std::uint64_t>(const QString&)> query);
    ~ScopedFreeSpaceOverride();
    ScopedFreeSpaceOverride(const ScopedFreeSpaceOverride&) = delete;
    ScopedFreeSpaceOverride& operator=(const ScopedFreeSpaceOverride&) = delete;

private:
    std::function<std::optional<std::uint64_t>(const QString&)> m_previous;
};

}  // namespace platform
