#pragma once

#include "core/chart_line.h"
#include "core/dataset.h"

#include <string>
#include <string_view>
#include <vector>

namespace tess {

// The text followed by width blanks, cut to its first width characters.
std::string padRight(std::string_view text, size_t width, TextEncoding encoding);
// width blanks followed by the text, cut to its last width characters.
std::string padLeft(std::string_view text, size_t width, TextEncoding encoding);

// The optional columns of the listing.
struct ListingColumns {
    bool dates = false;
    bool groupings = false;
    bool descriptions = false;
    bool image = false;
    bool url = false;
    // Lists only entries with a web link, and shows the link.
    bool urlOnly = false;
};

// The report writer's date fields, run when they lose the focus: the typed number, rounded
// half-even (text without a number counts as 0), held within the chart range; the end at least
// the number in the start field. Returns the year to write back.
int reportStartRule(std::string_view startText, int earliestDate, int latestDate);
int reportEndRule(std::string_view endText, std::string_view startText, int latestDate);

// The report writer's listing: one line per person or event whose whole span lies within
// [start, end], in array order, in fixed-width columns. Lines end in CR LF, except the line of
// the array's last entry.
std::string buildListing(const Dataset& ds, Side side, int start, int end,
                         const ListingColumns& columns);

// The age report for event eventIndex: every person alive in its year, with age or reign year.
std::string ageReport(const Dataset& ds, int eventIndex);
// "In my life..." for person personIndex: every event within the person's span.
std::string inMyLifeReport(const Dataset& ds, int personIndex);

// A report's lines (split at its line breaks) for the view that shows long texts: the chart
// view, which paints only the rows in sight. A text ending in a line break has an empty last
// line, as a text area shows it.
std::vector<ChartLine> reportLines(std::string_view text, TextEncoding encoding);

// The entries the age report (events) or "In my life..." (people) offers: the selected ones,
// in array order, each as its first date in plain form, a blank and its name. indexes[k] is the
// position in the array of the entry that texts[k] names.
struct ChoiceList {
    std::vector<std::string> texts;
    std::vector<int> indexes;
};
ChoiceList reportChoices(const Dataset& ds, Side side);

} // namespace tess
