// Colour components as the colour boxes show them, and the text read back on Apply.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "config/color_text.h"

namespace {

std::string shown(float value)
{
    char text[kColorTextCapacity];
    return formatColorComponent(value, text, sizeof text);
}

float roundedToFivePlaces(float value) { return static_cast<float>(std::round(value * 1e5) / 1e5); }

}  // namespace

TEST(FormatColorComponent, ShowsTheShortestTextWithoutALeadingZero)
{
    EXPECT_EQ(shown(1.0f), "1");
    EXPECT_EQ(shown(0.5f), ".5");
    EXPECT_EQ(shown(0.25f), ".25");
    EXPECT_EQ(shown(1.5f), "1.5");
    EXPECT_EQ(shown(-0.5f), "-.5");
    EXPECT_EQ(shown(0.05f), ".05");
    EXPECT_EQ(shown(0.123456f), ".12346");
    EXPECT_EQ(shown(12.0f), "12");
    EXPECT_EQ(shown(-3.0f), "-3");
}

TEST(FormatColorComponent, ZeroOfEitherSignIsZero)
{
    EXPECT_EQ(shown(0.0f), "0");
    EXPECT_EQ(shown(-0.0f), "0");
}

// A value that rounds to a whole number or to nothing shows no bare point ("2." or ".").
TEST(FormatColorComponent, ValuesThatRoundAwayShowNoBarePoint)
{
    EXPECT_EQ(shown(0.000001f), "0");
    EXPECT_EQ(shown(-0.000001f), "0");
    EXPECT_EQ(shown(1.999999f), "2");
    EXPECT_EQ(shown(0.999999f), "1");
}

TEST(FormatColorComponent, ExtremeValuesStayInsideTheBuffer)
{
    EXPECT_EQ(shown(INFINITY), "0");
    EXPECT_EQ(shown(NAN), "0");
    EXPECT_EQ(shown(3.4e38f).size(), 39u);
    char small[4];
    EXPECT_STREQ(formatColorComponent(0.123456f, small, sizeof small), ".12");
}

TEST(ParseColorComponent, ReadsDecimalNumbersAsTheRuntimeDoes)
{
    EXPECT_FLOAT_EQ(parseColorComponent(".5"), 0.5f);
    EXPECT_FLOAT_EQ(parseColorComponent("-.5"), -0.5f);
    EXPECT_FLOAT_EQ(parseColorComponent("1"), 1.0f);
    EXPECT_FLOAT_EQ(parseColorComponent("0.75abc"), 0.75f);   // trailing text is ignored
    EXPECT_FLOAT_EQ(parseColorComponent("  2.5"), 2.5f);
}

TEST(ParseColorComponent, TextThatIsNotANumberGivesZero)
{
    EXPECT_EQ(parseColorComponent(""), 0.0f);
    EXPECT_EQ(parseColorComponent("red"), 0.0f);
    EXPECT_EQ(parseColorComponent("."), 0.0f);
    EXPECT_EQ(parseColorComponent("-"), 0.0f);
    EXPECT_EQ(parseColorComponent("nan"), 0.0f);
    EXPECT_EQ(parseColorComponent("inf"), 0.0f);
    EXPECT_EQ(parseColorComponent("1e99"), 0.0f);   // beyond what the stored float can hold
    EXPECT_EQ(parseColorComponent(nullptr), 0.0f);
}

TEST(ColorComponentRoundTrip, KeepsFiveDecimalPlaces)
{
    const float values[] = {0.0f, 1.0f, 0.5f, 0.123456f, 0.987654f, -0.333333f, 0.00001f, 0.000004f, 0.7f, 0.1f};
    for (float value : values)
        EXPECT_FLOAT_EQ(parseColorComponent(shown(value).c_str()), roundedToFivePlaces(value)) << value;
}
