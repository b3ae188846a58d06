#pragma once
#include <cstdint>

// Codes of the element sequence, in document order.
enum ElementCode : std::int16_t {
    ELEM_NONE = 0,
    ELEM_TEXT = 1,
    ELEM_PICTURE = 2,
    ELEM_HYPERLINK = 15,
    ELEM_PICTURE_SLOT = 20,
    ELEM_TABLE = 70,
};

inline constexpr std::size_t kMaxElements = 20000;
