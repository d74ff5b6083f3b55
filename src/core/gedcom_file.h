#pragma once

#include "core/import_builder.h"

#include <string_view>

namespace tess {

// Reads a GEDCOM 5.5.1 or 7.0 file's bytes into a new dataset: individuals with a year as
// people, family and individual events with a year as events. A file that is not GEDCOM, or
// breaks off, throws FileError naming the line.
ImportResult importGedcomText(std::string_view bytes);

} // namespace tess
