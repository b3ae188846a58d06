// Feeds arbitrary bytes to the document-start search, the compound-file
// reader and every text strategy, with the FIB taken at 512 and at the
// first marked FIB.
#include "engine/text/DocumentStart.h"
#include "engine/text/TextStrategies.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    const auto start = doctext::FindDocumentStart(file);
    const auto document = file.subspan(std::min(start.offset, size));
    doctext::TextFinder finder(document, {});
    (void)finder.FromPieceTable(512);
    (void)finder.FromStreamStart(512);
    (void)finder.FromPieceTable(std::nullopt);
    (void)finder.ByCarving();
    (void)finder.FibOutsideDocumentStream(512);
    return 0;
}
