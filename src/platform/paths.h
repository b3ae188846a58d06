#pragma once
// Program paths are Windows paths ("D:\DOCS\REPORT.DOC"); this maps them to
// host paths and back. C: is "/", further block-device file systems get D:,
// E:, ... in mount order; TESSALY_DRIVES ("C:=/,D:=/srv/data") overrides.
#include <QString>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace platform {

struct Drive {
    QChar letter;          // 'C', 'D', ...
    std::filesystem::path root;
};

// The drive table in use (read once from the environment and /proc/self/mounts).
const std::vector<Drive>& Drives();
// Re-reads the table; tests call this after changing TESSALY_DRIVES.
void ReloadDrives();
// Bit 0 is A:, bit 2 is C:, as the Windows logical-drive mask.
std::uint32_t GetLogicalDrives();

// "D:\Docs\a.doc" -> "/srv/data/docs/A.doc": each existing component is
// matched case-insensitively (first match in directory order wins); a
// component that does not exist keeps the case it was given. A path without
// a drive letter is taken relative to C:. nullopt for an unknown drive.
std::optional<std::filesystem::path> ToHostPath(const QString& programPath);
// Host path -> program path, on the drive with the longest matching root.
QString ToProgramPath(const std::filesystem::path& hostPath);

// A name that starts with a dot is hidden.
bool IsHiddenName(const QString& name);

// The per-user private temporary path, as a program path ending in '\':
// ($TMPDIR or /tmp)/tessaly-<uid>/, created with mode 0700. Empty when the
// folder cannot be made private (it exists and belongs to someone else, or
// is a link).
QString GetTempPath();

// Root folder of the Word server's office profiles (host path); its
// processes carry it in their command line.
std::filesystem::path ServerProfileRoot();
// The text every command line of a Word-server process contains.
QString WordServerProcessMarker();

}  // namespace platform
