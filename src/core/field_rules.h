#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tess {

// Typed dates are limited to these years in the entry and select windows.
inline constexpr int minTypedYear = -20000;
inline constexpr int maxTypedYear = 10000;

// Raises value to lower if below it, then lowers it to upper if above it (so a lower bound
// above the upper one gives upper). A real bound that wins is rounded half-even.
double clampToRange(double value, double lower, double upper);

// The date rule of the event and select windows, run when a date field loses the focus:
// the typed number rounded half-even and limited to -20000..10000; the second date at least
// the number in the first date field. Returns the year to write back.
int16_t firstDateRule(std::string_view date1Text);
int16_t secondDateRule(std::string_view date2Text, std::string_view date1Text);

// The select windows' priority box: the typed number, whole, limited to 1..9. Nothing for a
// box with no number in it yet (while the user is still typing), which is left as it is.
std::optional<int16_t> selectPriorityRule(std::string_view text);

// The person date fields, run when they lose the focus: the text becomes the number read from
// it in plain form (a fraction stays: 12.50 becomes 12.5), limited to -20000..10000; the
// second date first becomes a copy of the first date's text when the first is the larger.
std::string personFirstDateText(std::string_view date1Text);
std::string personSecondDateText(std::string_view date2Text, std::string_view date1Text);

// A typed year as it is stored: rounded to a whole year (halves to even) and held within the
// typed-year limits, so that a number beyond 16 bits never wraps around.
int16_t storedYear(std::string_view text);
// A typed number stored in a 16-bit field: rounded, held within the 16-bit range.
int16_t storedNumber(std::string_view text);

// The priority rule of the entry windows, applied each time an entry is stored: an empty or
// blank text gives 1; a text that sorts at or after "9" (a letter, say) gives 9; otherwise the
// number, rounded, limited to 1..9.
int16_t entryPriorityRule(std::string_view text);

// What a web link may be handed to the system as. Only web addresses and documents that a
// viewer opens are; anything else (a program, a script, a launcher, another scheme) is never
// handed over, since the system would run it.
enum class LinkKind { empty, webAddress, localDocument, refused };
LinkKind classifyLink(std::string_view link);

} // namespace tess
