#include "wordserver/ServerPaths.h"

#include "platform/paths.h"

#include <QUrl>

namespace wordserver {

std::optional<std::filesystem::path> HostPath(const QString& fileName) {
    if (fileName.isEmpty())
        return std::nullopt;
    if (fileName.startsWith('/'))
        return std::filesystem::path(fileName.toStdString());
    return platform::ToHostPath(fileName);
}

QString FileUrl(const std::filesystem::path& hostPath) {
    return QUrl::fromLocalFile(QString::fromStdString(std::filesystem::absolute(hostPath).lexically_normal().string()))
        .toString(QUrl::FullyEncoded);
}

}  // namespace wordserver
