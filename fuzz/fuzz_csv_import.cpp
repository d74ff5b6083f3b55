// Any bytes at all go through the CSV import: it must never crash, hang or read out of bounds,
// and what it imports must export to a file that imports and exports again to the same bytes.
#include "core/csv_file.h"
#include "core/file_error.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string csv;
    try {
        csv = tess::formatEntriesCsv(
            tess::importCsvText({reinterpret_cast<const char*>(data), size}).dataset);
    } catch (const tess::FileError&) {
        return 0;
    }
    // What the export writes always imports; after one import the entries are settled.
    const std::string again = tess::formatEntriesCsv(tess::importCsvText(csv).dataset);
    if (tess::formatEntriesCsv(tess::importCsvText(again).dataset) != again)
        std::abort();
    return 0;
}
