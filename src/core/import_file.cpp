#include "core/import_file.h"

#include "core/csv_file.h"
#include "core/file_io.h"
#include "core/gedcom_file.h"

#include <algorithm>
#include <cctype>

namespace tess {

namespace {

bool endsWithIgnoringCase(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() &&
           std::equal(tail.begin(), tail.end(), s.end() - static_cast<ptrdiff_t>(tail.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

} // namespace

ImportKind importKindOf(std::string_view path, std::string_view bytes) {
    if (endsWithIgnoringCase(path, ".ged") || endsWithIgnoringCase(path, ".gedcom"))
        return ImportKind::gedcom;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    const size_t start = bytes.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos && bytes.substr(start, 6) == "0 HEAD"
               ? ImportKind::gedcom
               : ImportKind::csv;
}

ImportResult importFile(const std::string& path) {
    const std::string bytes = readWholeFile(path, maxImportBytes);
    return importKindOf(path, bytes) == ImportKind::gedcom ? importGedcomText(bytes)
                                                           : importCsvText(bytes);
}

} // namespace tess
