#include "core/csv_file.h"

#include "core/file_error.h"

namespace tess {

std::string formatEntriesCsv(const Dataset&) {
    return {};
}
void writeEntriesCsv(const Dataset&, const std::string&) {
    throw FileError("not yet");
}
ImportResult importCsvText(std::string_view) {
    throw FileError("not yet");
}

} // namespace tess
