#pragma once
// Whether the file Word saved holds the text the engine read from the
// damaged source. Word can open a document whose FAT or directory is
// damaged and read other bytes as its text; such a save is no repair.
#include <QString>

#include <cstdint>
#include <string_view>

namespace savedcheck {

enum class SavedAs { WordDocument, Text };

// True unless the saved file can be read and holds fewer than half of the
// words of `expected` (8-bit text in the ANSI code page, field codes and
// control bytes as the document stores them).
bool SavedFileHoldsText(std::string_view expected, const QString& savedPath, SavedAs kind);

}  // namespace savedcheck
