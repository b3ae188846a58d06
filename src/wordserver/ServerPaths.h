#pragma once
// File names as the routines pass them (program paths such as
// "C:\WORK\~$temp.doc", or host paths) and the file URLs the office takes.
#include <QString>
#include <filesystem>
#include <optional>

namespace wordserver {

std::optional<std::filesystem::path> HostPath(const QString& fileName);
QString FileUrl(const std::filesystem::path& hostPath);

}  // namespace wordserver
