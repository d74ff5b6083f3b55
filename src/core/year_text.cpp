#include "core/year_text.h"

#include "core/dataset.h"

namespace tess {

std::string yearText(long long year, YearStyle style) {
    if (year < 0 && style == YearStyle::readable)
        return std::to_string(-year) + " BC";
    return std::to_string(year);
}

std::string dateText(int year, int type, YearStyle style) {
    return (type == dateApprox ? "c. " : "") + yearText(year, style);
}

std::string spanText(int date1, int type1, int date2, int type2, YearStyle style) {
    const std::string first = dateText(date1, type1, style);
    if (date1 == date2 && type1 == type2)
        return first;
    return first + " \u2013 " + dateText(date2, type2, style);
}

} // namespace tess
