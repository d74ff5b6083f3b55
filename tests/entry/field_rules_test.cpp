#include "entry/field_rules.h"

#include <gtest/gtest.h>

using namespace tess;

TEST(FieldRules, ClampToRange) {
    EXPECT_EQ(clampToRange(5, 7, 3), 3); // the lower bound first, then the upper
    EXPECT_EQ(clampToRange(5, 1, 9), 5);
    EXPECT_EQ(clampToRange(0, 1, 9), 1);
    EXPECT_EQ(clampToRange(12, 1, 9), 9);
    EXPECT_EQ(clampToRange(1, 2.5, 9), 2); // a real bound that wins is rounded half-even
    EXPECT_EQ(clampToRange(10, 1, 3.5), 4);
    EXPECT_EQ(clampToRange(2.7, 2.5, 9), 2.7); // a value inside stays as it is
}

TEST(FieldRules, DatesOfTheSelectAndEventWindows) {
    EXPECT_EQ(firstDateRule("1066.5"), 1066);
    EXPECT_EQ(firstDateRule("1067.5"), 1068);
    EXPECT_EQ(firstDateRule("-25000"), -20000);
    EXPECT_EQ(firstDateRule("12000"), 10000);
    EXPECT_EQ(firstDateRule("1e12"), 10000);
    EXPECT_EQ(firstDateRule("abc"), 0);
    EXPECT_EQ(firstDateRule(" 1 0 6 6 AD"), 1066);
    EXPECT_EQ(secondDateRule("1000", "1200"), 1200);
    EXPECT_EQ(secondDateRule("20000", "1200"), 10000);
    EXPECT_EQ(secondDateRule("1300", "1200"), 1300);
    EXPECT_EQ(secondDateRule("1200", "1200.4"), 1200); // the first date unrounded: 1200.4 wins,
    EXPECT_EQ(secondDateRule("1100", "1200.6"), 1201); // and is rounded when it does
    EXPECT_EQ(secondDateRule("-1e9", "-1e9"), -20000); // never below the typed-year limit
    EXPECT_EQ(secondDateRule("5", "99999"), 10000);
}

TEST(FieldRules, SelectPriorityBox) {
    EXPECT_EQ(selectPriorityRule("0"), 1);
    EXPECT_EQ(selectPriorityRule("12"), 9);
    EXPECT_EQ(selectPriorityRule("3"), 3);
    EXPECT_EQ(selectPriorityRule("2.5"), 2);
    EXPECT_EQ(selectPriorityRule("x"), 1);
    EXPECT_EQ(selectPriorityRule("-4"), 1);
    EXPECT_EQ(selectPriorityRule(""), std::nullopt);
    EXPECT_EQ(selectPriorityRule("  "), std::nullopt);
}
