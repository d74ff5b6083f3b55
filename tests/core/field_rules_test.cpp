#include "core/field_rules.h"
#include "core/legacy_file.h"
#include "core/numbers.h"
#include "core/text_encoding.h"
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

TextEncoding encoding(const std::string& name) {
    return name == "utf8" ? TextEncoding::utf8 : TextEncoding::windows1252;
}

} // namespace

// Every rule the windows keep typed fields by, the number texts and the text measures, row by
// row from a table.
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
        {"windows1252ToUtf8", [](const Args& a) { return windows1252ToUtf8(a[0]); }},
        {"utf8ToWindows1252", [](const Args& a) { return utf8ToWindows1252(a[0]); }},
        {"detectEncoding",
         [](const Args& a) {
             return std::string(detectEncoding(a[0]) == TextEncoding::utf8 ? "utf8" : "cp");
         }},
        {"isValidUtf8",
         [](const Args& a) { return std::string(isValidUtf8(a[0]) ? "yes" : "no"); }},
        {"toUtf8", [](const Args& a) { return toUtf8(a[0], encoding(a[1])); }},
        {"fromUtf8", [](const Args& a) { return fromUtf8(a[0], encoding(a[1])); }},
        {"textWidth", [](const Args& a) { return text(textWidth(a[0], encoding(a[1]))); }},
        {"textSlice",
         [](const Args& a) {
             return std::string(
                 textSlice(a[0], encoding(a[1]), std::stoul(a[2]), std::stoul(a[3])));
         }},
        {"byteOffsetOfChar",
         [](const Args& a) {
             return text(byteOffsetOfChar(a[0], encoding(a[1]), std::stoul(a[2])));
         }},
        {"displayText",
         [](const Args& a) { return displayText(a[0], encoding(a[1]), std::stoul(a[2])); }},
        {"terminalText", [](const Args& a) { return terminalText(a[0], encoding(a[1])); }},
        {"padRight",
         [](const Args& a) { return padRight(a[0], std::stoul(a[1]), encoding(a[2])); }},
        {"convertedFileName", [](const Args& a) { return convertedFileName(a[0]); }},
        {"padLeft", [](const Args& a) { return padLeft(a[0], std::stoul(a[1]), encoding(a[2])); }},
    };
    expectGolden(replay("expected/field_rules.txt", "> ",
                        [&](const std::string& row, const std::string&) {
                            Args args;
                            for (const std::string& word : splitWords(row))
                                args.push_back(unescaped(word));
                            const std::string rule = args[0];
                            args.erase(args.begin());
                            args.resize(4);
                            return "= '" + escaped(rules.at(rule)(args)) + "'\n";
                        }),
                 "expected/field_rules.txt");
    // Every byte survives the trip through UTF-8, the five undefined ones included.
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(utf8ToWindows1252(windows1252ToUtf8(all)), all);
}
