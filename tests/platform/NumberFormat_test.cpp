#include "platform/NumberFormat.h"

#include <clocale>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

namespace {

// Switches the process to a locale whose decimal separator is a comma, as Qt
// does from the environment; restores "C" afterwards.
class CommaLocale : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"es_ES.UTF-8", "es_ES.utf8", "de_DE.UTF-8", "de_DE.utf8"}) {
            if (std::setlocale(LC_ALL, name)) {
                char probe[16];
                std::snprintf(probe, sizeof probe, "%.1f", 1.5);
                if (std::string(probe) == "1,5")
                    return;
            }
        }
        std::setlocale(LC_ALL, "C");
        GTEST_SKIP() << "no comma locale installed (scripts/setup creates es_ES.UTF-8)";
    }
    void TearDown() override
    {
        std::setlocale(LC_ALL, "C");
    }
};

}  // namespace

TEST_F(CommaLocale, PrintfPatternsKeepTheFullStop)
{
    const struct { std::string got; const char* want; } cases[] = {
        {platform::format("%.2f", 1234.5), "1234.50"},
        {platform::format("%.3f m", 0.1234), "0.123 m"},
        {platform::format("%+.4f", 2.0), "+2.0000"},
        {platform::format("%+.4f", -0.5), "-0.5000"},
        {platform::format("%lld", 1234567890123LL), "1234567890123"},
        {platform::format("%.1f%%", 45.25), "45.2%"},
        {platform::format("%g", 0.5), "0.5"},
        {platform::format("%e", 1500.0), "1.500000e+03"},
        {platform::format("X=%.3f Y=%.3f", 1.0, -2.25), "X=1.000 Y=-2.250"},
        {platform::qformat("%.2f m²", 3.5).toStdString(), "3.50 m²"},
        {platform::fixedText(3.14159, 2), "3.14"},
        {platform::fixedText(-0.5, 0), "-0"},
        {platform::shortestText(0.1), "0.1"},
        {platform::shortestText(12.0), "12"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.want);
}

TEST_F(CommaLocale, LeavesTheProcessLocaleAsItWas)
{
    platform::format("%.2f", 1.0);
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    EXPECT_STREQ(probe, "1,5");
    platform::pinNumericLocale();
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    EXPECT_STREQ(probe, "1.5");
}

TEST(NumberFormat, LongResultsAreNotCut)
{
    const std::string s = platform::format("%0300.2f", 1.0);
    EXPECT_EQ(s.size(), 300u);
    EXPECT_EQ(s.substr(296), "1.00");
}
