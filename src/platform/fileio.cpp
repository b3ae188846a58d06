#include "platform/fileio.h"

#include "platform/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace platform {

LowLevelFile::~LowLevelFile() { Close(); }

LowLevelFile::LowLevelFile(LowLevelFile&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

LowLevelFile& LowLevelFile::operator=(LowLevelFile&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

bool LowLevelFile::OpenReadOnly(const QString& programPath) {
    Close();
    const auto host = ToHostPath(programPath);
    if (!host)
        return false;
    const int fd = ::open(host->c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void LowLevelFile::Close() {
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
}

bool LowLevelFile::Seek(std::uint64_t offset) {
    if (m_fd < 0 || offset > static_cast<std::uint64_t>(INT64_MAX))
        return false;
    return ::lseek(m_fd, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

std::size_t LowLevelFile::Read(std::span<std::uint8_t> buffer) {
    if (m_fd < 0)
        return 0;
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t n = ::read(m_fd, buffer.data() + done, buffer.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

std::optional<std::uint64_t> LowLevelFile::Length() const {
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

}  // namespace platform
