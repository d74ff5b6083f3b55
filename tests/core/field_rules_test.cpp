#include "core/field_rules.h"
#include "core/legacy_file.h"
#include "core/numbers.h"
#include "core/text_encoding.h"
#include "core/year_text.h"
#include "reports/report_text.h"
#include "timeline/chart_printing.h"

#include "support/test.h"

namespace {

using Args = std::vector<std::string>;
using Rule = std::function<std::string(const Args&)>;

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

const char* const linkKinds[] = {"empty", "web address", "local document", "refused"};

} // namespace

// A rule's name, and what it makes of the row's words.
#define RULE(name, result)                                                                         \
    std::pair<const std::string, Rule>(#name, [](const Args& a) { return std::string(result); })

// Every rule the windows keep typed fields by, the number texts and the text measures, row by
// row from a table.
TEST(FieldRules, AsTheTableSays) {
    const std::map<std::string, Rule> rules = {
        RULE(clampToRange, text(clampToRange(number(a[0]), number(a[1]), number(a[2])))),
        RULE(firstDateRule, text(firstDateRule(a[0]))),
        RULE(secondDateRule, text(secondDateRule(a[0], a[1]))),
        RULE(selectPriorityRule,
             selectPriorityRule(a[0]) ? text(*selectPriorityRule(a[0])) : "none"),
        RULE(storedYear, text(storedYear(a[0]))),
        RULE(storedNumber, text(storedNumber(a[0]))),
        RULE(personFirstDateText, personFirstDateText(a[0])),
        RULE(personSecondDateText, personSecondDateText(a[0], a[1])),
        RULE(entryPriorityRule, text(entryPriorityRule(a[0]))),
        RULE(reportStartRule, text(reportStartRule(a[0], std::stoi(a[1]), std::stoi(a[2])))),
        RULE(reportEndRule, text(reportEndRule(a[0], a[1], std::stoi(a[2])))),
        RULE(yearsPerStripRule, yearsPerStripRule(a[0])),
        RULE(classifyLink, linkKinds[static_cast<int>(classifyLink(a[0]))]),
        RULE(plainNumber, plainNumber(std::stoll(a[0]))),
        RULE(signedNumber, signedNumber(std::stoll(a[0]))),
        RULE(plainDecimal, plainDecimal(number(a[0]))),
        RULE(readLeadingNumber, text(readLeadingNumber(a[0]))),
        RULE(roundHalfEven, text(roundHalfEven(number(a[0])))),
        RULE(toInt16Rounded, text(toInt16Rounded(number(a[0])))),
        RULE(windows1252ToUtf8, windows1252ToUtf8(a[0])),
        RULE(utf8ToWindows1252, utf8ToWindows1252(a[0])),
        RULE(detectEncoding, detectEncoding(a[0]) == TextEncoding::utf8 ? "utf8" : "cp"),
        RULE(isValidUtf8, isValidUtf8(a[0]) ? "yes" : "no"),
        RULE(toUtf8, toUtf8(a[0], encoding(a[1]))),
        RULE(fromUtf8, fromUtf8(a[0], encoding(a[1]))),
        RULE(textWidth, text(textWidth(a[0], encoding(a[1])))),
        RULE(textSlice, textSlice(a[0], encoding(a[1]), std::stoul(a[2]), std::stoul(a[3]))),
        RULE(byteOffsetOfChar, text(byteOffsetOfChar(a[0], encoding(a[1]), std::stoul(a[2])))),
        RULE(displayText, displayText(a[0], encoding(a[1]), std::stoul(a[2]))),
        RULE(terminalText, terminalText(a[0], encoding(a[1]))),
        RULE(padRight, padRight(a[0], std::stoul(a[1]), encoding(a[2]))),
        RULE(convertedFileName, convertedFileName(a[0])),
        RULE(padLeft, padLeft(a[0], std::stoul(a[1]), encoding(a[2]))),
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

// Years as people read them, or signed once chosen: an approximate date after "c.", a reign
// plain, a span with an en dash, one date when both ends are alike.
TEST(YearText, ReadableOrSigned) {
    struct Row {
        int date1, type1, date2, type2;
        const char* readable;
        const char* signedNumbers;
    };
    for (const Row& r : {Row{-44, 0, -44, 0, "44 BC", "-44"},
                         {0, 0, 0, 0, "0", "0"},
                         {-1, 2, 1, 2, "1 BC \u2013 1", "-1 \u2013 1"},
                         {-100, 1, -44, 0, "c. 100 BC \u2013 44 BC", "c. -100 \u2013 -44"},
                         {1492, 0, 1492, 1, "1492 \u2013 c. 1492", "1492 \u2013 c. 1492"}}) {
        EXPECT_EQ(spanText(r.date1, r.type1, r.date2, r.type2, YearStyle::readable), r.readable);
        EXPECT_EQ(spanText(r.date1, r.type1, r.date2, r.type2, YearStyle::signedNumbers),
                  r.signedNumbers);
    }
    // Typed back (Go to year): either style, BC in any case and with full stops; nothing else.
    for (const auto& [typed, year] :
         std::initializer_list<std::pair<const char*, long long>>{{" 44 BC ", -44},
                                                                  {"44bc", -44},
                                                                  {"44 B.C.", -44},
                                                                  {"44 BCE", -44},
                                                                  {"-44", -44},
                                                                  {"1492", 1492},
                                                                  {"AD 44", 44},
                                                                  {"44 ce", 44},
                                                                  {"c. 100 BC", -100}}) {
        EXPECT_EQ(parseYear(typed), year) << typed;
    }
    for (const char* typed : {"", "BC", "-44 BC", "AD 44 BC", "44 XY", "12a", "4 4", "99999999"})
        EXPECT_EQ(parseYear(typed), std::nullopt) << typed;
}
