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

// Reads a CSV file's bytes into a new dataset by its header line, whose column names are
// matched ignoring case, blanks, underscores and order; name and start are needed, unknown
// columns are passed over. Fields are parted by commas, or by semicolons when the header line
// holds more of them outside quotes; the bytes are UTF-8 (a byte-order mark skipped) or else
// Windows-1252. Without a kind column every row is a person. An empty end is the start (its
// type too, unless end_type says otherwise), empty types are known, an empty priority is 1.
// Years are whole, within -20000..10000, written -44, 44 BC, 44 B.C.E. (or 1066 AD, 1066 CE),
// after "c.", "ca", "ca.", "circa", "about" or "~" for an approximate date. Rows of empty
// fields are skipped. A row that cannot be read throws FileError "line N: ..." naming the file
// line the row starts on (quoted line breaks counted) and the column; the builder's limits
// stop the reading as soon as they are passed.
ImportResult importCsvText(std::string_view bytes);

} // namespace tess
