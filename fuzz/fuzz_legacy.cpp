// Any bytes at all through the converter of older files: it must never crash, hang or read out
// of bounds, and what it converts writes a file that the dataset reader reads back unchanged.
#include "core/file_error.h"
#include "core/legacy_file.h"
#include "core/qd3_file.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tess::Dataset ds;
    try {
        ds = tess::readLegacyText(text);
    } catch (const tess::FileError&) {
        return 0;
    }
    const std::string written = tess::formatDataset(ds);
    tess::Dataset again;
    again.encoding = ds.encoding;
    tess::readDatasetText(again, written); // throws, and so fails, if it cannot
    if (tess::formatDataset(again) != written)
        std::abort();
    return 0;
}
