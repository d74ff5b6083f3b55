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

} // namespace tess
