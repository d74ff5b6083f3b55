// Any bytes at all merged into a small dataset: the merge must never crash, hang or read out of
// bounds; a refused or failed merge leaves the dataset exactly as it was, and a merged one still
// writes a file that reads back.
#include "core/file_error.h"
#include "core/merge.h"
#include "core/qd3_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

tess::Dataset base() {
    tess::Dataset ds;
    tess::readDatasetText(ds, "1\r\n1\r\n==== PEOPLE\r\n** 0\r\nAnn\r\n1850,0,1870,0\r\n\r\n"
                              "1,1,\"\",0,0,\"\",\"\",5,0,0,0,\"\",\"\"\r\n+++ EVENTS\r\n++0\r\n"
                              "War\r\n1860,0,1865,0\r\n\r\n1,1,0,\"\",0,0,\"\",\"\",5,0,0,0,\"\","
                              "\"\"\r\n=== FACTIONS\r\n 1 \r\n-1\r\nF\r\n 255 \r\n"
                              "=== OCCUPATIONS\r\n 1 \r\n-1\r\nO\r\n 255 \r\n=== GROUPS\r\n 1 \r\n"
                              "-1\r\nG\r\n 255 \r\n=== NATIONS\r\n 1 \r\n-1\r\nN\r\n 255 \r\n");
    return ds;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const tess::Dataset original = base();
    static const std::string originalText = tess::formatDataset(original);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tess::Dataset ds = original;
    try {
        tess::mergeDatasetText(ds, text);
    } catch (const tess::FileError&) {
        if (tess::formatDataset(ds) != originalText || ds.modified)
            std::abort(); // a failed merge changed the dataset
        return 0;
    }
    const std::string written = tess::formatDataset(ds);
    tess::Dataset again;
    again.encoding = ds.encoding;
    tess::readDatasetText(again, written);
    return 0;
}
