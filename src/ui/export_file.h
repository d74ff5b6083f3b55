#pragma once

#include "core/dataset.h"

#include <QString>

#include <string_view>

namespace ui {

class Dialogs;

// Writes an exported file with the atomic writer; a failure is told as a failed save is, and
// leaves any file of that name as it was. True when written.
bool writeExport(Dialogs& dialogs, const QString& path, std::string_view bytes);

// A name for an export beside the dataset: "/data/rome.qd3" and "-people.svg" give
// "/data/rome-people.svg"; without a dataset file, just the ending's name.
QString exportName(const tess::Dataset& ds, const QString& ending);

// The lower-case ending of a file name without its dot ("svg"), or nothing.
QString fileEnding(const QString& path);

} // namespace ui
