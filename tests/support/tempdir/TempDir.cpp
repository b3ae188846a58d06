#include "tempdir/TempDir.h"

#include "platform/paths.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <stdlib.h>

namespace fs = std::filesystem;

namespace testing_support {

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "tessaly-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Read-only entries left by a test must not keep the folder alive.
    for (auto it = fs::recursive_directory_iterator(m_path, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

QString TempDir::program(std::string_view relative) const {
    const fs::path p = relative.empty() ? m_path : m_path / relative;
    QString s = platform::ToProgramPath(p);
    if (s.endsWith('\\') && s.size() > 3)
        s.chop(1);
    return s;
}

fs::path TempDir::Write(std::string_view relative, const std::vector<std::uint8_t>& bytes) const {
    const fs::path p = m_path / relative;
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return p;
}

fs::path TempDir::Write(std::string_view relative, std::string_view text) const {
    return Write(relative, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::vector<std::uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace testing_support
