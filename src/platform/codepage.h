#pragma once
// Conversion between UTF-16 and the system's ANSI code page (Windows-1252
// unless TESSALY_ANSI_CODEPAGE names another iconv encoding).
#include <QString>
#include <string>
#include <string_view>

namespace platform {

QString AnsiCodePageName();
// Every byte becomes a character; a byte the code page leaves undefined
// becomes the character with the same number (as Windows does for 0x81,
// 0x8D, 0x8F, 0x90 and 0x9D of Windows-1252).
QString AnsiToUtf16(std::string_view bytes);
// Characters the code page cannot hold become '?'; lone surrogates too.
std::string Utf16ToAnsi(const QString& text);

}  // namespace platform
