#pragma once
// The plain-text report of tessaly-inspect: what the full pass read from a
// file, in a stable form meant for people and for diffs.
#include "engine/DocRecover.h"

#include <QStringList>
#include <string>

// Bytes of the document (ANSI code page) as UTF-8, with every control byte
// shown as <XX>; a paragraph mark is also followed by a line break.
std::string VisibleText(std::string_view bytes);

// The filtered text as UTF-8, paragraph marks as line breaks.
std::string FilteredTextUtf8(std::string_view filtered);

std::string InspectReport(const CDocRecover& engine, std::int32_t passResult, const QStringList& messages);
