#pragma once

#include "core/dataset.h"

#include <functional>
#include <string>
#include <string_view>

namespace tess {

// Every text of the dataset in UTF-8 from here on, none lost: what a merge does when the
// incoming texts do not fit Windows-1252, and a store of a typed text that does not.
void convertToUtf8(Dataset& ds);

// Called once the file's people and events counts are read, before its entries.
using MergeAnnouncement = std::function<void(int people, int events)>;

// The notice that names what a merged file holds: path + " contains " + P + " people and " + E +
// " events ", with its trailing blank.
std::string mergeAnnouncementText(const std::string& path, int people, int events);

// Appends the dataset file at path: its people after the people, its events after the events,
// each category table after the matching one, category numbers moved up by the size of the
// table they now follow (0, "none", stays 0). Merged entries are selected and keep their stored
// priority and colours; the counts are raised at the end, every entry counts as selected, the
// date range widens to take in the new entries, and the dataset is marked modified. Texts are
// brought to one encoding: the file's into the dataset's when every one of them fits, otherwise
// the whole dataset becomes UTF-8.
// Nothing changes when the read fails or when the result would hold more than 32767 people,
// events or categories of one table: FileError then carries the reason.
void mergeDataset(Dataset& ds, const std::string& path, const MergeAnnouncement& announce = {});
// The same over a file's bytes in memory.
void mergeDatasetText(Dataset& ds, std::string_view fileText,
                      const MergeAnnouncement& announce = {});

} // namespace tess
