#include "platform/fileops.h"

#include "platform/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace platform {
namespace {

std::function<std::optional<std::uint64_t>(const QString&)> g_freeSpaceOverride;

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string TempSibling(const fs::path& target) {
    std::random_device rd;
    return (target.parent_path() / (".tessaly-copy-" + std::to_string(rd()) + ".tmp")).string();
}

}  // namespace

bool CopyFile(const QString& from, const QString& to, Overwrite overwrite) {
    const auto src = ToHostPath(from);
    const auto dst = ToHostPath(to);
    if (!src || !dst)
        return false;
    const int in = ::open(src->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0)
        return false;
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return false;
    }
    struct stat dstStat {};
    if (::stat(dst->c_str(), &dstStat) == 0) {
        if (overwrite == Overwrite::No || !S_ISREG(dstStat.st_mode) ||
            (dstStat.st_dev == st.st_dev && dstStat.st_ino == st.st_ino)) {
            ::close(in);
            return false;
        }
    }
    const std::string tmp = TempSibling(*dst);
    const int out = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = true;
    std::vector<std::uint8_t> buffer(1 << 16);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        if (!WriteAll(out, std::span(buffer.data(), static_cast<size_t>(n)))) {
            ok = false;
            break;
        }
    }
    ok = ::fchmod(out, st.st_mode & 07777) == 0 && ok;
    ok = ::close(out) == 0 && ok;
    ::close(in);
    if (ok && ::rename(tmp.c_str(), dst->c_str()) == 0)
        return true;
    ::unlink(tmp.c_str());
    return false;
}

bool WriteExistingFileAt(const QString& path, std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    const auto host = ToHostPath(path);
    if (!host)
        return false;
    const int fd = ::open(host->c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    bool ok = ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) >= 0 && WriteAll(fd, bytes);
    ok = ::close(fd) == 0 && ok;
    return ok;
}

bool WriteNewFile(const QString& path, std::span<const std::uint8_t> bytes) {
    const auto host = ToHostPath(path);
    if (!host)
        return false;
    const int fd = ::open(host->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes);
    ok = ::close(fd) == 0 && ok;
    return ok;
}

bool DeleteFile(const QString& path) {
    const auto host = ToHostPath(path);
    struct stat st {};
    if (!host || ::lstat(host->c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    return ::unlink(host->c_str()) == 0;
}

bool CreateDirectory(const QString& path) {
    const auto host = ToHostPath(path);
    return host && ::mkdir(host->c_str(), 0700) == 0;
}

bool RemoveDirectory(const QString& path) {
    const auto host = ToHostPath(path);
    return host && ::rmdir(host->c_str()) == 0;
}

FileAttributes GetFileAttributes(const QString& path) {
    FileAttributes a;
    const auto host = ToHostPath(path);
    struct stat st {};
    if (!host || ::stat(host->c_str(), &st) != 0)
        return a;
    a.exists = true;
    a.directory = S_ISDIR(st.st_mode);
    a.readOnly = (st.st_mode & 0222) == 0;
    a.hidden = IsHiddenName(QString::fromStdString(host->filename().string()));
    a.size = static_cast<std::uint64_t>(st.st_size);
    return a;
}

bool FileExists(const QString& path) { return GetFileAttributes(path).exists; }

bool SetReadOnly(const QString& path, ReadOnly state) {
    const auto host = ToHostPath(path);
    struct stat st {};
    if (!host || ::stat(host->c_str(), &st) != 0)
        return false;
    const mode_t mode = state == ReadOnly::On ? (st.st_mode & ~mode_t(0222)) : (st.st_mode | S_IWUSR);
    return ::chmod(host->c_str(), mode & 07777) == 0;
}

bool MatchesWildcard(const QString& name, const QString& pattern) {
    if (pattern == "*.*" || pattern == "*")
        return true;
    // Iterative matcher with one backtrack point: linear in practice, never
    // exponential.
    qsizetype n = 0, p = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p].toCaseFolded() == name[n].toCaseFolded())) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::vector<FoundFile> FindFiles(const QString& pattern) {
    std::vector<FoundFile> found;
    const qsizetype cut = std::max(pattern.lastIndexOf('\\'), pattern.lastIndexOf('/'));
    const QString folder = cut >= 0 ? pattern.left(cut) : QString();
    const QString mask = pattern.mid(cut + 1);
    const auto host = ToHostPath(folder.isEmpty() ? QStringLiteral("\\") : (folder.endsWith(':') ? folder + "\\" : folder));
    std::error_code ec;
    if (!host || !fs::is_directory(*host, ec))
        return found;
    for (const char* dot : {".", ".."})
        if (MatchesWildcard(QString::fromLatin1(dot), mask))
            found.push_back({QString::fromLatin1(dot), true, false});
    for (fs::directory_iterator it(*host, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec)) {
        const QString name = QString::fromStdString(it->path().filename().string());
        if (!MatchesWildcard(name, mask))
            continue;
        std::error_code typeEc;
        found.push_back({name, it->is_directory(typeEc), IsHiddenName(name)});
    }
    return found;
}

std::optional<std::uint64_t> GetDiskFreeSpaceEx(const QString& folder) {
    if (g_freeSpaceOverride)
        return g_freeSpaceOverride(folder);
    const auto host = ToHostPath(folder);
    struct statvfs vfs {};
    if (!host || ::statvfs(host->c_str(), &vfs) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(vfs.f_bavail) * static_cast<std::uint64_t>(vfs.f_frsize);
}

ScopedFreeSpaceOverride::ScopedFreeSpaceOverride(std::function<std::optional<std::uint64_t>(const QString&)> query)
    : m_previous(std::exchange(g_freeSpaceOverride, std::move(query))) {}

ScopedFreeSpaceOverride::~ScopedFreeSpaceOverride() { g_freeSpaceOverride = std::move(m_previous); }

}  // namespace platform
