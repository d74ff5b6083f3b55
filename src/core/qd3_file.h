#pragma once

#include "core/dataset.h"
#include "core/file_io.h"
#include "core/line_reader.h"

#include <string>

namespace tess {

// Replaces the content of the dataset with the dataset file at path, and notes the file's text
// encoding in the dataset. On failure throws
// FileError whose text is the whole message the user is shown, in UTF-8: the description, and
// when the file claimed people and events, the " npeople " / " nevents " tail that tells how far
// it got. Texts the message quotes from the file are bounded and their control characters
// escaped. A UTF-8 byte-order mark at the start is skipped and makes the file UTF-8.
// What was read before the failure stays in the dataset; the selection state, loaded and the
// current positions are then left as they were.
void readDataset(Dataset& ds, const std::string& path);
// The same over bytes already in memory, taken to be in ds.encoding. Failure descriptions are
// always UTF-8.
void readDatasetText(Dataset& ds, std::string_view text);

// The file text of the dataset: everything, or only the selected entries while
// saveSelectedOnly is set (with the entries' own positions in their separators).
std::string formatDataset(const Dataset& ds);
// A dataset to start from: no people, no events, and in each table one category, "General",
// in black; as if read from a file, with no file name and nothing to save yet.
Dataset newDataset();

// "Saving <path>" + CR LF + "<P> people, <E> events", the message shown before a write.
std::string savingMessage(const Dataset& ds, const std::string& path);

// Writes formatDataset to path atomically and clears saveSelectedOnly, whether or not the
// write succeeds. Throws FileError on failure, leaving any previous file untouched.
void writeDataset(Dataset& ds, const std::string& path, const WriteFunction& write = {});

// The text of a dataset file after any UTF-8 byte-order mark, and the encoding its texts are in.
std::string_view fileBody(std::string_view text, TextEncoding& encoding);

// A read failure's description followed, when the file claimed people and events, by the
// " npeople " / " nevents " tail naming the last person and event it claimed, as far as the
// read got with them.
std::string readFailureMessage(const std::string& description, const Dataset& ds, int claimedPeople,
                               int claimedEvents);

// The date range a read covers: the smallest first date and the largest second date.
struct DateRange {
    int earliest = 9999;
    int latest = -25000;
    void track(int16_t date1, int16_t date2) {
        if (date1 < earliest)
            earliest = date1;
        if (date2 > latest)
            latest = date2;
    }
};

// The blocks of the file, for the readers that share its layout (open and merge). They read
// the fields as stored and apply no repair. An entry's dates widen the range as soon as they
// are read, so a read that fails later in the entry still counts them.
void readPersonBlock(LineReader& in, PersonRecord& p, DateRange* range = nullptr);
void readEventBlock(LineReader& in, EventRecord& e, DateRange* range = nullptr);
// A category colour: an RGB value, or a number of the old palette (below 20), converted.
int32_t readColorField(LineReader& in);
// The same number as the file stores it, unconverted, refused on the same terms (below 0, or
// 16 to 19), so that whatever is taken in can be saved and read back.
int32_t readStoredColor(LineReader& in);
// The leading number of a count line, which must lie within 0..32767.
int readCountLine(LineReader& in, const char* what);

} // namespace tess
