// Weak stand-ins for the engine's parsing steps, for a test build in which
// the parser is not linked. The engine's own definitions replace them when
// present. They follow the parser on the simple files these tests build: a
// File Information Block at 512 and 8-bit text ending with a paragraph mark.
#include "app/RecoveryApp.h"
#include "engine/DocRecover.h"

#include <array>

namespace {
std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t U32(const std::uint8_t* p) { return U16(p) | static_cast<std::uint32_t>(U16(p + 2)) << 16; }
}  // namespace

__attribute__((weak)) void CDocRecover::ReadFib(std::uint64_t offset) {
    if (!m_nSourceFile)
        return;
    std::array<std::uint8_t, 512> b{};
    ReadSourceAt(offset % 65536, b);
    m_fib = FibInfo{};
    m_fib.fibOffset = offset % 65536;
    m_fib.wIdent = U16(&b[0]);
    m_fib.flags = U16(&b[10]);
    m_fib.fcMac = U32(&b[28]);
    m_fib.ccpText = U32(&b[76]);
    m_fib.ccpHdd = U32(&b[84]);
}

__attribute__((weak)) std::int32_t CDocRecover::ValidateFib() {
    m_nStatus = m_fib.wIdent == FibInfo::kIdent && m_fib.ccpText != 0 && m_fib.fcMac != 0 ? 1 : 0;
    return m_nStatus;
}

__attribute__((weak)) std::int32_t CDocRecover::ExtractText() {
    if (!m_nSourceFile || m_fib.ccpText == 0 || !m_nSourceLength)
        return 0;
    const std::uint32_t start = static_cast<std::uint32_t>(m_fib.fcMac + m_fib.fibOffset - m_fib.ccpText - m_fib.ccpHdd);
    if (start == 0 || start >= *m_nSourceLength || start % 512 != 0)
        return 0;
    std::vector<std::uint8_t> text(m_fib.ccpText);
    if (ReadSourceAt(start, text) != text.size() || text.back() != 0x0D)
        return 0;
    m_pszText = ByteString(text.begin(), text.end());
    auto filtered = FilterText(std::string_view(*m_pszText));
    std::vector<std::uint8_t> raw = text;
    raw.push_back(0);
    std::vector<std::uint8_t> clean(filtered->begin(), filtered->end());
    clean.push_back(0);
    TheApp().SetTextBuffers(std::move(raw), std::move(clean));
    return 1;
}

__attribute__((weak)) std::optional<ByteString> CDocRecover::FilterText(std::optional<std::string_view> text) {
    if (!text)
        return std::nullopt;
    ByteString out;
    for (char c : *text) {
        if (c == 0)
            break;
        const auto b = static_cast<unsigned char>(c);
        if (b == 0x0D || (b >= 0x20 && b <= 0x7E))
            out.push_back(c);
    }
    return out;
}

// The driver tests hand in their own full pass; this one finds nothing.
__attribute__((weak)) std::int32_t CDocRecover::RunFullPass() { return 0; }
