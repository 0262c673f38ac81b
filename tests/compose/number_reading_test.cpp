#include "compose/number_reading.h"

#include <gtest/gtest.h>

#include <QString>
#include <climits>
#include <vector>

namespace koma {
namespace {

TEST(NumberReadingTest, LeadingNumberRoundedHalfToEven) {
    const std::vector<std::pair<QString, int>> table{
        {"0", 0},    {"7", 7},     {"-7", -7},   {"+3", 3},        {"2.5", 2},
        {"3.5", 4},  {"-2.5", -2}, {"-3.5", -4}, {"0.5", 0},       {"-0.5", 0},
        {"1.5", 2},  {"2.51", 3},  {"2.500", 2}, {"2.5000001", 3}, {"2.49999", 2},
        {".6", 1},   {"-.5", 0},   {"12", 12},   {"007", 7},       {"1e9", 1},
        {"4abc", 4}, {"2.5.9", 2}, {"3.", 3},    {"9.9", 10},      {"-10.4", -10},
    };
    for (const auto& [text, expected] : table) {
        EXPECT_EQ(read_rounded_number(text), expected) << text.toStdString();
    }
}

TEST(NumberReadingTest, TextThatDoesNotBeginWithANumberReadsZero) {
    for (const char* text : {"", "abc", "-", "+", ".", "-.", " 5", "e5", "--3", "x1"}) {
        EXPECT_EQ(read_rounded_number(QString::fromUtf8(text)), 0) << text;
    }
}

TEST(NumberReadingTest, HugeNumbersSaturateInsteadOfOverflowing) {
    const QString thousand(1000, QLatin1Char('9'));
    EXPECT_EQ(read_rounded_number(thousand), INT_MAX);
    EXPECT_EQ(read_rounded_number(QLatin1Char('-') + thousand), INT_MIN);
    EXPECT_EQ(read_rounded_number(QStringLiteral("2147483647")), INT_MAX);
    EXPECT_EQ(read_rounded_number(QStringLiteral("2147483647.6")), INT_MAX);
    EXPECT_EQ(read_rounded_number(QStringLiteral("-2147483646.9")), -2147483647);
    // Zeros in front are no magnitude, and a thousand fraction digits are read too.
    EXPECT_EQ(read_rounded_number(QString(1000, QLatin1Char('0')) + QStringLiteral("6")), 6);
    EXPECT_EQ(read_rounded_number(QStringLiteral("0.5") + QString(1000, QLatin1Char('0')) +
                                  QStringLiteral("1")),
              1);
}

}  // namespace
}  // namespace koma
