#pragma once

#include "core/import_builder.h"

#include <string>
#include <string_view>

namespace tess {

enum class ImportKind { csv, gedcom };

// GEDCOM when the name ends in .ged or .gedcom, or the bytes begin with a GEDCOM header
// (after any byte-order mark); CSV otherwise.
ImportKind importKindOf(std::string_view path, std::string_view bytes);

// Reads the file at path and imports it as its kind. Throws FileError with the whole message
// the user is shown; nothing is made then.
ImportResult importFile(const std::string& path);

// The largest file an import reads.
inline constexpr size_t maxImportBytes = size_t{1} << 30;

} // namespace tess
