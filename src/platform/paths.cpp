#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QUrl>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace platform {
namespace {

std::vector<Drive> ReadDriveTable() {
    std::vector<Drive> drives;
    if (const char* env = std::getenv("TESSALY_DRIVES"); env && *env) {
        // "C:=/,D:=/srv/data"
        std::stringstream list(env);
        std::string item;
        while (std::getline(list, item, ',')) {
            const auto eq = item.find('=');
            if (eq < 2 || item[1] != ':' || !std::isalpha(static_cast<unsigned char>(item[0])))
                continue;
            drives.push_back({QChar(std::toupper(static_cast<unsigned char>(item[0]))),
                              fs::path(item.substr(eq + 1))});
        }
        if (!drives.empty())
            return drives;
    }
    drives.push_back({QChar('C'), fs::path("/")});
    std::ifstream mounts("/proc/self/mounts");
    std::string device, mountPoint, rest;
    char letter = 'D';
    while (letter <= 'Z' && mounts >> device >> mountPoint && std::getline(mounts, rest)) {
        if (device.rfind("/dev/", 0) != 0 || mountPoint == "/")
            continue;
        // Mount points in /proc/self/mounts escape blanks as octal.
        std::string decoded;
        for (size_t i = 0; i < mountPoint.size(); ++i) {
            if (mountPoint[i] == '\\' && i + 3 < mountPoint.size()) {
                decoded += static_cast<char>(std::stoi(mountPoint.substr(i + 1, 3), nullptr, 8));
                i += 3;
            } else {
                decoded += mountPoint[i];
            }
        }
        bool seen = false;
        for (const auto& d : drives)
            seen = seen || d.root == fs::path(decoded);
        if (!seen)
            drives.push_back({QChar(letter++), fs::path(decoded)});
    }
    return drives;
}

std::mutex g_drivesMutex;
std::vector<Drive> g_drives;
bool g_drivesRead = false;

QString FromHost(const fs::path& p) { return QString::fromStdString(p.string()); }

// The entry of `dir` whose name equals `name` ignoring case; an exact match
// is preferred, then the first in directory order.
std::optional<fs::path> MatchInFolder(const fs::path& dir, const QString& name) {
    const fs::path exact = dir / name.toStdString();
    std::error_code ec;
    if (fs::symlink_status(exact, ec).type() != fs::file_type::not_found && !ec)
        return exact;
    for (fs::directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec)) {
        if (QString::compare(FromHost(it->path().filename()), name, Qt::CaseInsensitive) == 0)
            return it->path();
    }
    return std::nullopt;
}

}  // namespace

const std::vector<Drive>& Drives() {
    std::lock_guard lock(g_drivesMutex);
    if (!g_drivesRead) {
        g_drives = ReadDriveTable();
        g_drivesRead = true;
    }
    return g_drives;
}

void ReloadDrives() {
    std::lock_guard lock(g_drivesMutex);
    g_drives = ReadDriveTable();
    g_drivesRead = true;
}

std::uint32_t GetLogicalDrives() {
    std::uint32_t mask = 0;
    for (const auto& d : Drives())
        mask |= 1u << (d.letter.unicode() - 'A');
    return mask;
}

std::optional<fs::path> ToHostPath(const QString& programPath) {
    QString rest = programPath;
    QChar letter('C');
    if (rest.size() >= 2 && rest[1] == ':' && rest[0].isLetter()) {
        letter = rest[0].toUpper();
        rest = rest.mid(2);
    }
    const Drive* drive = nullptr;
    for (const auto& d : Drives())
        if (d.letter == letter)
            drive = &d;
    if (!drive)
        return std::nullopt;

    fs::path result = drive->root;
    bool resolving = true;
    for (const QString& part : rest.split(QRegularExpression("[\\\\/]"), Qt::SkipEmptyParts)) {
        if (part == ".")
            continue;
        if (part == "..") {
            if (result != drive->root)
                result = result.parent_path();
            continue;
        }
        if (resolving) {
            if (auto match = MatchInFolder(result, part)) {
                result = *match;
                continue;
            }
            resolving = false;
        }
        result /= part.toStdString();
    }
    return result;
}

QString ToProgramPath(const fs::path& hostPath) {
    const fs::path p = hostPath.lexically_normal();
    const Drive* best = nullptr;
    size_t bestLen = 0;
    for (const auto& d : Drives()) {
        auto [rootEnd, pEnd] = std::mismatch(d.root.begin(), d.root.end(), p.begin(), p.end());
        if (rootEnd != d.root.end())
            continue;
        const size_t len = static_cast<size_t>(std::distance(d.root.begin(), d.root.end()));
        if (!best || len > bestLen) {
            best = &d;
            bestLen = len;
        }
    }
    if (!best)
        return FromHost(p);
    QString out = QString(best->letter) + ":";
    auto it = p.begin();
    std::advance(it, static_cast<long>(bestLen));
    bool any = false;
    for (; it != p.end(); ++it) {
        if (it->empty())
            continue;
        out += "\\" + FromHost(*it);
        any = true;
    }
    return any ? out : out + "\\";
}

bool IsHiddenName(const QString& name) { return name.startsWith('.'); }

QString GetTempPath() {
    const char* tmp = std::getenv("TMPDIR");
    fs::path base = (tmp && *tmp) ? fs::path(tmp) : fs::path("/tmp");
    fs::path dir = base / ("tessaly-" + std::to_string(::getuid()));
    ::mkdir(dir.c_str(), 0700);
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return {};
    if ((st.st_mode & 0777) != 0700 && ::chmod(dir.c_str(), 0700) != 0)
        return {};
    QString path = ToProgramPath(dir);
    if (!path.endsWith('\\'))
        path += '\\';
    return path;
}

fs::path ServerProfileRoot() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    fs::path base;
    if (cache && *cache) {
        base = cache;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home && *home ? home : "/tmp") / ".cache";
    }
    return base / "tessaly" / "office-profiles";
}

QString WordServerProcessMarker() {
    return QUrl::fromLocalFile(FromHost(ServerProfileRoot())).toString(QUrl::FullyEncoded) + "/";
}

}  // namespace platform
