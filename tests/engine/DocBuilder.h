#pragma once
// Builds small compound files byte by byte for the engine's tests: a
// header, FIBs, text, header/footer text, a directory and a picture
// stream, each placed where the case needs it. TempDoc writes the bytes to
// a private temporary file and EngineOn opens an engine on it.
#include "app/RecoveryApp.h"
#include "engine/DocRecover.h"
#include "platform/paths.h"

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace testdoc {

using Bytes = std::vector<std::uint8_t>;

inline void PutU16(Bytes& b, std::size_t at, std::uint16_t v) {
    if (b.size() < at + 2)
        b.resize(at + 2);
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutU32(Bytes& b, std::size_t at, std::uint32_t v) {
    PutU16(b, at, static_cast<std::uint16_t>(v));
    PutU16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}

struct Fib {
    std::uint16_t ident = 0xA5EC;
    std::uint16_t flags = 0;
    std::uint32_t fcMac = 0;
    std::uint32_t ccpText = 0;
    std::uint32_t ccpHdd = 0;
    bool magic = true;  // the "bjbj" words the scan looks for
};

class DocBuilder {
public:
    DocBuilder& Header(std::uint32_t sectDirStart, std::uint16_t sectorShift = 9) {
        static constexpr std::uint8_t kSig[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
        Put(0, std::string_view(reinterpret_cast<const char*>(kSig), 8));
        PutU16(m_bytes, 30, sectorShift);
        PutU32(m_bytes, 48, sectDirStart);
        Pad(512);
        return *this;
    }
    DocBuilder& FibAt(std::size_t at, const Fib& f) {
        Pad(at + 512);
        PutU16(m_bytes, at, f.ident);
        PutU16(m_bytes, at + 10, f.flags);
        PutU32(m_bytes, at + 28, f.fcMac);
        if (f.magic)
            Put(at + 34, "bjbj");
        PutU32(m_bytes, at + 76, f.ccpText);
        PutU32(m_bytes, at + 84, f.ccpHdd);
        return *this;
    }
    DocBuilder& Put(std::size_t at, std::string_view bytes) {
        Pad(at + bytes.size());
        std::copy(bytes.begin(), bytes.end(), m_bytes.begin() + static_cast<std::ptrdiff_t>(at));
        return *this;
    }
    DocBuilder& Utf16At(std::size_t at, std::u16string_view text) {
        for (std::size_t i = 0; i < text.size(); ++i)
            PutU16(m_bytes, at + 2 * i, text[i]);
        return *this;
    }
    // A directory entry of 128 bytes.
    DocBuilder& EntryAt(std::size_t at, std::u16string_view name, std::uint32_t start = 0, std::uint32_t size = 0) {
        Pad(at + 128);
        Utf16At(at, name);
        PutU16(m_bytes, at + 64, static_cast<std::uint16_t>(2 * name.size() + 2));
        m_bytes[at + 66] = 5;
        PutU32(m_bytes, at + 116, start);
        PutU32(m_bytes, at + 120, size);
        return *this;
    }
    DocBuilder& Pad(std::size_t size) {
        if (m_bytes.size() < size)
            m_bytes.resize(size);
        return *this;
    }
    DocBuilder& Fill(std::size_t at, std::size_t count, std::uint8_t value) {
        Pad(at + count);
        std::fill_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(at), count, value);
        return *this;
    }
    const Bytes& bytes() const { return m_bytes; }

private:
    Bytes m_bytes;
};

// The usual shape: header with the directory at sector 7 (offset 4096),
// FIB at 512, text at 1536, header/footer text right after it, and the
// picture stream (directory entry 1) at sector 9 (offset 5120).
struct SimpleDoc {
    std::string text{};
    std::string headerFooter{};
    std::uint16_t flags = 0;
    std::string pictures{};
    std::u16string rootName = u"Root Entry";
};

constexpr std::size_t kTextAt = 1536;
constexpr std::uint32_t kDirSector = 7;
constexpr std::uint32_t kPictureSector = 9;

inline DocBuilder Simple(const SimpleDoc& d) {
    DocBuilder b;
    b.Header(kDirSector);
    // As Word counts it: ccpHdd is one less than the header/footer bytes.
    const auto hddBytes = static_cast<std::uint32_t>(d.headerFooter.size());
    b.FibAt(512, {.flags = d.flags,
                  .fcMac = static_cast<std::uint32_t>(kTextAt - 512 + d.text.size() + hddBytes),
                  .ccpText = static_cast<std::uint32_t>(d.text.size()),
                  .ccpHdd = hddBytes ? hddBytes - 1 : 0});
    b.Put(kTextAt, d.text).Put(kTextAt + d.text.size(), d.headerFooter);
    b.EntryAt((kDirSector + 1) * 512, d.rootName);
    b.EntryAt((kDirSector + 1) * 512 + 128, u"Data", kPictureSector, static_cast<std::uint32_t>(d.pictures.size()));
    b.Put((kPictureSector + 1) * 512, d.pictures);
    return b;
}

class TempDoc {
public:
    explicit TempDoc(const Bytes& bytes) {
        static int counter = 0;
        m_dir = std::filesystem::temp_directory_path() /
                ("tessaly-engine-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(m_dir);
        m_path = m_dir / "doc.doc";
        std::ofstream out(m_path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    ~TempDoc() {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    TempDoc(const TempDoc&) = delete;
    TempDoc& operator=(const TempDoc&) = delete;
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_dir;
    std::filesystem::path m_path;
};

// An engine with the file open as its source; the file lives as long as it.
struct OpenDoc {
    std::unique_ptr<TempDoc> file;
    std::unique_ptr<CDocRecover> engine;
    CDocRecover* operator->() const { return engine.get(); }
};

inline OpenDoc EngineOn(const Bytes& bytes) {
    OpenDoc d;
    d.file = std::make_unique<TempDoc>(bytes);
    TheApp().m_strSourcePath = platform::ToProgramPath(d.file->path());
    d.engine = std::make_unique<CDocRecover>();
    if (!d.engine->OpenSource())
        d.engine.reset();
    return d;
}

// An engine that holds only a text, for the passes that work on the text.
inline std::unique_ptr<CDocRecover> EngineWithText(std::string_view text) {
    auto engine = std::make_unique<CDocRecover>();
    engine->m_pszText = std::string(text);
    engine->m_fib.ccpText = static_cast<std::uint32_t>(text.size());
    return engine;
}

inline std::string operator""_b(const char* s, std::size_t n) { return std::string(s, n); }

}  // namespace testdoc
