#pragma once
// Bounded little-endian reads over a byte buffer. A read that does not fit
// yields nullopt (or the fallback), never touches memory outside the span,
// and checks offset + width for overflow first.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::size_t size() const { return m_bytes.size(); }
    bool Fits(std::size_t offset, std::size_t width) const {
        return offset <= m_bytes.size() && width <= m_bytes.size() - offset;
    }
    std::optional<std::uint8_t> U8(std::size_t offset) const {
        if (!Fits(offset, 1))
            return std::nullopt;
        return m_bytes[offset];
    }
    std::optional<std::uint16_t> U16(std::size_t offset) const {
        if (!Fits(offset, 2))
            return std::nullopt;
        return static_cast<std::uint16_t>(m_bytes[offset] | (m_bytes[offset + 1] << 8));
    }
    std::optional<std::uint32_t> U32(std::size_t offset) const {
        if (!Fits(offset, 4))
            return std::nullopt;
        return static_cast<std::uint32_t>(m_bytes[offset]) | (static_cast<std::uint32_t>(m_bytes[offset + 1]) << 8) |
               (static_cast<std::uint32_t>(m_bytes[offset + 2]) << 16) |
               (static_cast<std::uint32_t>(m_bytes[offset + 3]) << 24);
    }
    std::uint8_t U8Or(std::size_t offset, std::uint8_t fallback = 0) const { return U8(offset).value_or(fallback); }
    std::uint16_t U16Or(std::size_t offset, std::uint16_t fallback = 0) const { return U16(offset).value_or(fallback); }
    std::uint32_t U32Or(std::size_t offset, std::uint32_t fallback = 0) const { return U32(offset).value_or(fallback); }
    std::span<const std::uint8_t> Slice(std::size_t offset, std::size_t width) const {
        if (!Fits(offset, width))
            return {};
        return m_bytes.subspan(offset, width);
    }

private:
    std::span<const std::uint8_t> m_bytes;
};
