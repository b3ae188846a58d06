#pragma once
// The Windows flag type the program's records keep: 32-bit, holding 0 or 1.
#include <cstdint>

using BOOL = std::int32_t;
constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
