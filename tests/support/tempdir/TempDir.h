#pragma once
// A fresh folder for one test, removed with everything in it afterwards,
// and the program-path view of it.
#include <QString>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace testing_support {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& host() const { return m_path; }
    // Program path of the folder (no trailing backslash) or of an entry in it.
    QString program(std::string_view relative = {}) const;
    std::filesystem::path Write(std::string_view relative, const std::vector<std::uint8_t>& bytes) const;
    std::filesystem::path Write(std::string_view relative, std::string_view text) const;

private:
    std::filesystem::path m_path;
};

std::vector<std::uint8_t> ReadAll(const std::filesystem::path& path);

}  // namespace testing_support
