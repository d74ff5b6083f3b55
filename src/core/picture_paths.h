#pragma once

#include "core/dataset.h"

#include <string>
#include <string_view>
#include <vector>

namespace tess {

// How entries name their pictures (paths in UTF-8 here). A full path names the file itself; a
// path with a folder is relative to the dataset's folder; a bare name, as every older file has
// it, is looked for in the dataset's folder, then in the program folder.

// The files a picture name may stand for, in the order they are tried.
std::vector<std::string> pictureCandidates(std::string_view name, const std::string& datasetPath,
                                           const std::string& programFolder);

// What a picture chosen by its full path is stored as: its path relative to the dataset's
// folder when it lies inside it, otherwise the full path.
std::string pictureNameFor(const std::string& chosenPath, const std::string& datasetPath);

// For a dataset about to be saved at toPath after fromPath: every picture named relative to
// the old folder (and every bare name found there) is renamed so that it names the same file
// from the new one. Names that no longer fit Windows-1252 make the dataset UTF-8. True when
// any name changed.
bool rebasePicturePaths(Dataset& ds, const std::string& fromPath, const std::string& toPath);

} // namespace tess
