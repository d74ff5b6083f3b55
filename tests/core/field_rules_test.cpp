#include "core/field_rules.h"
#include "core/numbers.h"
#include "reports/report_text.h"
#include "timeline/chart_printing.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>

using namespace tess;
using namespace testing_support;

namespace {

using Args = std::vector<std::string>;

std::string text(double x) {
    std::ostringstream s;
    s.precision(15);
    s << x;
    return s.str();
}

double number(const std::string& s) {
    return std::stod(s);
}

} // namespace

// Every rule the windows keep typed fields by, and the number texts, row by row from a table.
TEST(FieldRules, AsTheTableSays) {
    const std::map<std::string, std::function<std::string(const Args&)>> rules = {
        {"clampToRange",
         [](const Args& a) {
             return text(clampToRange(number(a[0]), number(a[1]), number(a[2])));
         }},
        {"firstDateRule", [](const Args& a) { return text(firstDateRule(a[0])); }},
        {"secondDateRule", [](const Args& a) { return text(secondDateRule(a[0], a[1])); }},
        {"selectPriorityRule",
         [](const Args& a) {
             const auto p = selectPriorityRule(a[0]);
             return p ? text(*p) : "none";
         }},
        {"storedYear", [](const Args& a) { return text(storedYear(a[0])); }},
        {"storedNumber", [](const Args& a) { return text(storedNumber(a[0])); }},
        {"personFirstDateText", [](const Args& a) { return personFirstDateText(a[0]); }},
        {"personSecondDateText", [](const Args& a) { return personSecondDateText(a[0], a[1]); }},
        {"entryPriorityRule", [](const Args& a) { return text(entryPriorityRule(a[0])); }},
        {"reportStartRule",
         [](const Args& a) {
             return text(reportStartRule(a[0], std::stoi(a[1]), std::stoi(a[2])));
         }},
        {"reportEndRule",
         [](const Args& a) { return text(reportEndRule(a[0], a[1], std::stoi(a[2]))); }},
        {"yearsPerStripRule", [](const Args& a) { return yearsPerStripRule(a[0]); }},
        {"classifyLink",
         [](const Args& a) {
             const char* kinds[] = {"empty", "web address", "local document", "refused"};
             return std::string(kinds[static_cast<int>(classifyLink(a[0]))]);
         }},
        {"plainNumber", [](const Args& a) { return plainNumber(std::stoll(a[0])); }},
        {"signedNumber", [](const Args& a) { return signedNumber(std::stoll(a[0])); }},
        {"plainDecimal", [](const Args& a) { return plainDecimal(number(a[0])); }},
        {"readLeadingNumber", [](const Args& a) { return text(readLeadingNumber(a[0])); }},
        {"roundHalfEven", [](const Args& a) { return text(roundHalfEven(number(a[0]))); }},
        {"toInt16Rounded", [](const Args& a) { return text(toInt16Rounded(number(a[0]))); }},
    };
    std::istringstream rows(readBytes(dataFile("expected/field_rules.txt")));
    std::string got;
    for (std::string row; std::getline(rows, row);) {
        if (row.starts_with("#"))
            got += row + "\n";
        if (!row.starts_with("> "))
            continue;
        Args args = splitWords(row.substr(2));
        const std::string rule = args[0];
        args.erase(args.begin());
        args.resize(3);
        got += row + "\n= '" + rules.at(rule)(args) + "'\n";
    }
    expectGolden(got, "expected/field_rules.txt");
}
