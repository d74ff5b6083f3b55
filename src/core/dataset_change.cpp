#include "core/dataset_change.h"

#include "core/text_encoding.h"

#include <utility>

namespace tess {

void WholeDatasetChange::trade(Dataset& ds) {
    std::swap(ds, other_);
    std::swap(ds.fileName, other_.fileName);
    std::swap(ds.loaded, other_.loaded);
    std::swap(ds.modified, other_.modified);
}

std::string captionName(const std::string& bytes, TextEncoding encoding) {
    // A menu entry is one line: long or strange names are cut and escaped as messages are.
    return displayText(bytes, encoding, 40);
}

} // namespace tess
