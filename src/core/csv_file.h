#pragma once

#include "core/dataset.h"
#include "core/import_builder.h"

#include <string>
#include <string_view>

namespace tess {

// The entries as a spreadsheet reads them: a header line, then one row per entry, all people
// then all events in array order, selected or not. UTF-8 with a byte-order mark, CR LF line
// ends, every field quoted.
std::string formatEntriesCsv(const Dataset& ds);
// Writes it as a new file renamed into place; throws FileError on failure.
void writeEntriesCsv(const Dataset& ds, const std::string& path);

// Reads a CSV file's bytes into a new dataset by its header line. A row that cannot be read
// throws FileError "line N: ..." naming the file line the row starts on and the column.
ImportResult importCsvText(std::string_view bytes);

} // namespace tess
