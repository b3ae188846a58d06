#pragma once
// Where the document starts inside a file that may carry leading bytes
// (carved from a disk image, or prefixed by some transfer).
#include <cstddef>
#include <cstdint>
#include <span>

namespace doctext {

enum class StartEvidence { AtZero, Signature, HeaderShape, Fib, None };

struct DocumentStart {
    std::size_t offset = 0;
    StartEvidence evidence = StartEvidence::None;
};

// Offset 0 when the file starts with a compound-file header (signature or,
// when the signature is damaged, the header's byte-order mark and sector
// shifts). Otherwise the first later offset with a signature or with that
// header shape; failing both, 512 bytes before the first Word FIB that does
// not lie on a 512-byte boundary of the file. None: read from 0.
DocumentStart FindDocumentStart(std::span<const std::uint8_t> file);

}  // namespace doctext
