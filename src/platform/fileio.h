#pragma once
// Low-level, handle-based reading of a file given by its program path:
// open read-only in binary mode, absolute seek, fixed-size read, close.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace platform {

class LowLevelFile {
public:
    LowLevelFile() = default;
    ~LowLevelFile();
    LowLevelFile(LowLevelFile&& other) noexcept;
    LowLevelFile& operator=(LowLevelFile&& other) noexcept;
    LowLevelFile(const LowLevelFile&) = delete;
    LowLevelFile& operator=(const LowLevelFile&) = delete;

    // Opens for reading; false (and closed) when the file cannot be opened
    // or is not a regular file.
    bool OpenReadOnly(const QString& programPath);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    explicit operator bool() const { return IsOpen(); }

    // Moves to an absolute offset; false when the file is closed or the
    // seek fails.
    bool Seek(std::uint64_t offset);
    // Reads up to buffer.size() bytes at the current position; returns the
    // count read (0 at end of file, on error, or when closed).
    std::size_t Read(std::span<std::uint8_t> buffer);
    // Length of the open file, nullopt when it cannot be told.
    std::optional<std::uint64_t> Length() const;

private:
    int m_fd = -1;
};

}  // namespace platform
