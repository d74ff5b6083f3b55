// Any bytes go through the GEDCOM import: it must never crash, hang or read out of bounds; a
// refusal names the line (or the limit passed), and a dataset it makes saves to a file that
// reads back the same.
#include "core/file_error.h"
#include "core/gedcom_file.h"
#include "core/qd3_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    tess::ImportResult result;
    try {
        result = tess::importGedcomText(bytes);
    } catch (const tess::FileError& e) {
        const std::string message = e.what();
        if (!message.starts_with("line ") && !message.starts_with("The file "))
            std::abort();
        return 0;
    }
    const std::string written = tess::formatDataset(result.dataset);
    tess::Dataset again;
    tess::readDatasetText(again, written);
    if (tess::formatDataset(again) != written)
        std::abort();
    return 0;
}
