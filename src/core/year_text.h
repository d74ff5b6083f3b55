#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tess {

// How windows write years for people to read. The charts, reports, statistics and messages
// keep their signed numbers; tooltips, Find and the like use this.
enum class YearStyle {
    readable,      // "44 BC", "1492", "c. 100 BC"
    signedNumbers, // "-44", "1492", "c. -100"
};

// A year: before the era with " BC" (44 BC), from year 0 on as a plain number ("0", "1492");
// in the signed style the number as stored.
std::string yearText(long long year, YearStyle style);
// A date of an entry: an approximate one after "c. " (c. 100 BC); known and reign dates plain.
std::string dateText(int year, int type, YearStyle style);
// An entry's dates: both, an en dash between ("100 BC – 44 BC"), or the one date when they are
// the same year of the same kind.
std::string spanText(int date1, int type1, int date2, int type2, YearStyle style);

// A year as typed: a signed whole number ("-44", "1492"), one with its era ("44 BC", "44bc",
// "44 B.C.", "44 BCE", "AD 44", "44 CE"), or approximate as the tooltips write it ("c. 100
// BC"); nothing for anything else.
std::optional<long long> parseYear(std::string_view text);

} // namespace tess
