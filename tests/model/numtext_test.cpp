#include "model/numtext.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <clocale>
#include <cmath>
#include <limits>

namespace {

TEST(Whole, TruncatesAndClamps) {
    struct Case {
        double in;
        int32_t out;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {0.0, 0},
        {2.9, 2},
        {-2.9, -2},
        {60.5, 60},
        {std::nan(""), 0},
        {1e300, INT32_MAX},
        {-1e300, INT32_MIN},
        {inf, INT32_MAX},
        {-inf, INT32_MIN},
        {2147483647.5, INT32_MAX},
        {-2147483648.0, INT32_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(model::whole(c.in), c.out) << c.in;
}

TEST(NumberText, FormatGivesShortestExactText) {
    struct Case {
        double in;
        const char* out;
    };
    const Case cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {3, "3"},
        {-42, "-42"},
        {0.25, "0.25"},
        {1.5, "1.5"},
        {0.1, "0.1"},
        {123456789, "123456789"},
        {1e21, "1000000000000000000000"},
        {std::nan(""), "0"},
    };
    for (const auto& c : cases) EXPECT_EQ(model::formatNumber(c.in), QString(c.out)) << c.in;
}

// The head follows a clip through its number text; the tick gets the same number without text.
TEST(NumberText, ThroughNumberTextIsTheNumberReadBackFromItsText) {
    const double inf = std::numeric_limits<double>::infinity();
    for (double v : {0.0, -0.0, 1.0 / 3, -2.5, 0.1 + 0.2, 5e-324, 1e300, -1.7976931348623157e308,
                     123456.789012345, inf, -inf, std::nan("")}) {
        const double expected = *model::parseNumber(model::formatNumber(v)),
                     got = model::throughNumberText(v);
        EXPECT_EQ(std::signbit(got), std::signbit(expected)) << v;
        EXPECT_TRUE(got == expected) << v << " gave " << got << ", the text " << expected;
    }
}

TEST(NumberText, RoundTripsUnderAGermanLocale) {
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (double v : {0.1, 1.0 / 3.0, 181.25, 12345.678901234567, -7.5e-7, 1e-300, 3e300}) {
        const QString text = model::formatNumber(v);
        EXPECT_FALSE(text.contains(',')) << text.toStdString();
        EXPECT_FALSE(text.contains('e')) << text.toStdString();
        EXPECT_EQ(model::parseNumber(text), v) << text.toStdString();
    }
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_ALL, "C");
}

TEST(NumberText, ParseNeedsOneWholeFiniteNumber) {
    const std::pair<const char*, double> read[] = {
        {"12.5", 12.5}, {" -2 ", -2}, {"+4", 4}, {".5", 0.5}, {"1e3", 1000}};
    for (const auto& [text, number] : read) EXPECT_EQ(model::parseNumber(text), number) << text;
    for (const char* bad :
         {"", "abc", "12x", "1e", "-", "nan", "inf", "1e400", "1,5", "--1", ".", "&hFF"}) {
        EXPECT_EQ(model::parseNumber(bad), std::nullopt) << bad;
    }
}

}  // namespace
