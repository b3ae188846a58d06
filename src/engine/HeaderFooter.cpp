// The header and footer strings, read from the header/footer text that
// lies just before the end of the document text.
#include "engine/DocRecover.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The area the header/footer text is read into; a longer text is read whole.
constexpr std::uint64_t kMinReadArea = 500;

}  // namespace

void CDocRecover::ExtractHeaderFooter() {
    if (!m_nSourceFile)
        return;
    const std::uint32_t n = m_fib.ccpHdd;
    if (n == 0)
        return;
    if (n == 1) {
        m_fib.fcMac -= 1;
        return;
    }
    m_fib.fcMac -= n + 1;
    const std::uint64_t position = m_fib.fibOffset + m_fib.fcMac;
    const std::uint64_t wanted = static_cast<std::uint64_t>(n) + 1;
    // Never larger than what the file can hold from there: a garbled count
    // must not make a huge buffer.
    const std::uint64_t length = SourceLength();
    const std::uint64_t available = position < length ? length - position : 0;
    const std::uint64_t readCount = std::min(wanted, available);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::max(kMinReadArea, readCount)));
    ReadSourceAt(position, std::span(buffer).first(static_cast<std::size_t>(readCount)));

    m_pHeaderFooter = std::make_unique<HeaderFooterText>();
    HeaderFooterText& record = *m_pHeaderFooter;
    const std::size_t size = buffer.size();
    auto at = [&](std::uint64_t i) -> std::uint8_t { return i < size ? buffer[static_cast<std::size_t>(i)] : 0; };
    auto segment = [&](std::uint64_t from, std::uint64_t through) {
        return ByteString(reinterpret_cast<const char*>(buffer.data() + from), static_cast<std::size_t>(through - from + 1));
    };

    std::uint64_t i = 0;
    bool headerTaken = false;
    for (;;) {
        while (at(i) == 0x0D)
            ++i;
        if (i >= n || i >= size)
            return;
        const void* mark = std::memchr(buffer.data() + i, 0x0D, size - static_cast<std::size_t>(i));
        if (!mark)
            return;  // no closing paragraph mark in what was read
        const std::uint64_t r = static_cast<std::uint64_t>(static_cast<const std::uint8_t*>(mark) - buffer.data());
        if (at(r + 1) == 0x0D && !headerTaken) {
            record.header = segment(i, r);
            record.headerLength = static_cast<std::uint32_t>(record.header.size());
            headerTaken = true;
            i = r + 1;
            if (i > n)
                return;
            continue;
        }
        record.footer = segment(i, r);
        record.footerLength = static_cast<std::uint32_t>(record.footer.size());
        return;
    }
}
