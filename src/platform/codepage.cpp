#include "platform/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace platform {
namespace {

// iconv descriptors are opened per call: conversions are short and this
// keeps the functions thread-safe without locks.
class Iconv {
public:
    Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok())
            iconv_close(m_cd);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

}  // namespace

QString AnsiCodePageName() {
    const char* env = std::getenv("TESSALY_ANSI_CODEPAGE");
    return QString::fromLatin1(env && *env ? env : "WINDOWS-1252");
}

QString AnsiToUtf16(std::string_view bytes) {
    const QByteArray cp = AnsiCodePageName().toLatin1();
    Iconv cd("UTF-16LE", cp.constData());
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    if (!cd.ok()) {
        for (unsigned char c : bytes)
            out += QChar(c);
        return out;
    }
    // One byte at a time keeps undefined bytes apart; single-byte code pages
    // are the ones the engine's text uses.
    for (unsigned char c : bytes) {
        char in = static_cast<char>(c);
        char* inPtr = &in;
        size_t inLeft = 1;
        char16_t buf[4];
        char* outPtr = reinterpret_cast<char*>(buf);
        size_t outLeft = sizeof buf;
        if (iconv(cd.get(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
            iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
            out += QChar(c);
            continue;
        }
        const size_t units = (sizeof buf - outLeft) / 2;
        for (size_t i = 0; i < units; ++i)
            out += QChar(buf[i]);
    }
    return out;
}

std::string Utf16ToAnsi(const QString& text) {
    const QByteArray cp = AnsiCodePageName().toLatin1();
    Iconv cd(cp.constData(), "UTF-16LE");
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t units[2] = {text[i].unicode(), 0};
        size_t count = 1;
        if (QChar::isHighSurrogate(units[0]) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            units[1] = text[++i].unicode();
            count = 2;
        } else if (QChar::isSurrogate(units[0])) {
            out += '?';
            continue;
        }
        if (!cd.ok()) {
            out += units[0] < 0x100 && count == 1 ? static_cast<char>(units[0]) : '?';
            continue;
        }
        char* inPtr = reinterpret_cast<char*>(units);
        size_t inLeft = count * 2;
        char buf[8];
        char* outPtr = buf;
        size_t outLeft = sizeof buf;
        if (iconv(cd.get(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
            iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
            // The undefined Windows-1252 bytes round-trip as themselves.
            out += (count == 1 && (units[0] == 0x81 || units[0] == 0x8D || units[0] == 0x8F || units[0] == 0x90 ||
                                   units[0] == 0x9D))
                       ? static_cast<char>(units[0])
                       : '?';
            continue;
        }
        out.append(buf, sizeof buf - outLeft);
    }
    return out;
}

}  // namespace platform
