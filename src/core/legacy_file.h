#pragma once

#include "core/dataset.h"
#include "core/file_io.h"

#include <string>
#include <string_view>

namespace tess {

// The name of the converted copy of an older file: ".qd2" (any case) becomes ".qd3", and any
// other name gets ".qd3" added.
std::string convertedFileName(const std::string& legacyPath);

// Reads a file of the older layout into a new dataset: every entry selected, every category
// included, the priority 5 of an entry without one, the date range and the selection range
// taken from the entries, loaded set. The
// three text lines of an older entry are kept and also joined into its description; a category
// section runs to the next header line ("=" first) or the end of the file. Throws FileError
// with the failure's description and, as the dataset reader does, how far it got.
Dataset readLegacyText(std::string_view fileText);

// Converts the older file at legacyPath and writes the result to outPath in the current
// layout, atomically, so that Files > Open reads it; returns the converted dataset, whose file
// is outPath. On failure nothing is written and FileError says why.
Dataset convertLegacyFile(const std::string& legacyPath, const std::string& outPath,
                          const WriteFunction& write = {});

} // namespace tess
