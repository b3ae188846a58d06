#include "engine/SavedTextCheck.h"

#include "engine/text/TextStrategies.h"
#include "platform/fileio.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace savedcheck {
namespace {

constexpr std::uint64_t kMaxSavedSize = 512u << 20;
constexpr char kFieldBegin = 0x13;
constexpr char kFieldSeparator = 0x14;
constexpr char kFieldEnd = 0x15;

bool IsWordByte(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}

unsigned char Lower(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<unsigned char>(c + 0x20);
    return c;
}

// Words of two or more letters or digits, lower-cased, with how often each
// comes; field codes (between a field's begin and its separator) are left
// out, as Word shows only a field's result.
std::unordered_map<std::string, int> Words(std::string_view text) {
    std::unordered_map<std::string, int> words;
    std::string word;
    int codeDepth = 0;
    auto flush = [&] {
        if (word.size() >= 2)
            ++words[word];
        word.clear();
    };
    for (const char ch : text) {
        if (ch == kFieldBegin) {
            ++codeDepth;
            flush();
            continue;
        }
        if ((ch == kFieldSeparator || ch == kFieldEnd) && codeDepth > 0) {
            --codeDepth;
            flush();
            continue;
        }
        const auto c = static_cast<unsigned char>(ch);
        if (codeDepth == 0 && IsWordByte(c))
            word.push_back(static_cast<char>(Lower(c)));
        else
            flush();
    }
    flush();
    return words;
}

std::optional<std::vector<std::uint8_t>> ReadWhole(const QString& path) {
    platform::LowLevelFile file;
    if (!file.OpenReadOnly(path))
        return std::nullopt;
    const auto length = file.Length();
    if (!length || *length > kMaxSavedSize)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(*length));
    bytes.resize(file.Read(bytes));
    return bytes;
}

std::optional<std::string> SavedText(const QString& path, SavedAs kind) {
    const auto bytes = ReadWhole(path);
    if (!bytes)
        return std::nullopt;
    if (kind == SavedAs::Text)
        return std::string(bytes->begin(), bytes->end());
    doctext::TextFinder finder(*bytes, {});
    if (auto found = finder.FromPieceTable(std::nullopt))
        return std::move(found->text);
    if (auto found = finder.FromStreamStart(std::nullopt))
        return std::move(found->text);
    return std::nullopt;
}

}  // namespace

bool SavedFileHoldsText(std::string_view expected, const QString& savedPath, SavedAs kind) {
    const auto want = Words(expected);
    if (want.empty())
        return true;
    const auto text = SavedText(savedPath, kind);
    if (!text)
        return true;  // nothing to judge by
    const auto have = Words(*text);
    long total = 0;
    long found = 0;
    for (const auto& [word, count] : want) {
        total += count;
        if (const auto it = have.find(word); it != have.end())
            found += std::min(count, it->second);
    }
    return 2 * found >= total;
}

}  // namespace savedcheck
