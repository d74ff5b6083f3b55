#include "core/gedcom_file.h"

#include "core/file_error.h"

namespace tess {

ImportResult importGedcomText(std::string_view) {
    throw FileError("not yet");
}

} // namespace tess
