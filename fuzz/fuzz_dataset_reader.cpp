// Any bytes at all go through the dataset reader: it must never crash, hang or read out of
// bounds, and whatever it accepts must survive a write and a second read unchanged.
#include "core/file_error.h"
#include "core/qd3_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tess::Dataset ds;
    try {
        tess::readDatasetText(ds, text);
    } catch (const tess::FileError&) {
        return 0;
    }
    const std::string written = tess::formatDataset(ds);
    tess::Dataset again;
    tess::readDatasetText(again, written); // what the writer writes always reads
    if (tess::formatDataset(again) != written)
        std::abort();
    return 0;
}
