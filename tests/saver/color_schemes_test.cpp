// tests/saver/color_schemes_test.cpp -- every scheme's colours, the custom colour and the cycling rates.
#include "saver/color_schemes.h"

#include "tests/saver/saver_test_support.h"

namespace {

class ColorSchemeTest : public SaverTest {
protected:
    ClockScene scene;

    void apply(int schemeIndex)
    {
        Settings.colorScheme = static_cast<int16_t>(schemeIndex);
        Settings.useCustomColor = 0;
        applyColorScheme(scene);
    }
};

void expectRgb(const float* color, double red, double green, double blue, const char* what, int index)
{
    EXPECT_EQ(static_cast<float>(red), color[0]) << what << " " << index << " red";
    EXPECT_EQ(static_cast<float>(green), color[1]) << what << " " << index << " green";
    EXPECT_EQ(static_cast<float>(blue), color[2]) << what << " " << index << " blue";
    EXPECT_EQ(1.0f, color[3]) << what << " " << index << " alpha";
}

TEST_F(ColorSchemeTest, FixedSchemesGivePartsAndAlternatingMarkers)
{
    struct Fixed {
        int index;
        double parts[4][3], even[3], odd[3];
    } schemes[] = {
        {2, {{0, 0, 0.7}, {0, 0, 0.8}, {0, 0, 1.0}, {0, 0, 0.6}}, {0, 0, 0.4}, {0, 0, 0.6}},
        {3, {{0, 0.7, 0}, {0, 0.8, 0}, {0, 1.0, 0}, {0, 0.6, 0}}, {0, 0.4, 0}, {0, 0.6, 0}},
        {4, {{0.7, 0.7, 0.7}, {0.8, 0.8, 0.8}, {1.0, 0, 0}, {0.7, 0.7, 0.7}}, {0.5, 0.5, 0.5}, {0.7, 0.7, 0.7}},
        {5, {{0.8, 0, 0}, {1.0, 0.95, 0.95}, {1.0, 1.0, 1.0}, {0.7, 0, 0}}, {1.0, 0, 0}, {1.0, 1.0, 1.0}},
        {6, {{0, 0.5, 1.0}, {0, 0.2, 1.0}, {0, 0.7, 1.0}, {0, 0, 1.0}}, {0, 0.4, 1.0}, {0, 0.1, 1.0}},
        {7, {{1.0, 0.2, 0}, {1.0, 0.6, 0}, {1.0, 0.9, 0}, {1.0, 0, 0}}, {0.6, 0.1, 0}, {1.0, 0, 0}},
        {8, {{0.8, 1.0, 0}, {0.6, 1.0, 0}, {0.35, 1.0, 0}, {0, 1.0, 0}}, {0, 1.0, 0.7}, {0.3, 1.0, 0}},
        {13, {{0.8, 0.8, 0}, {0.8, 0.6, 0.05}, {1.0, 1.0, 0}, {0.5, 0.5, 0}}, {0.35, 0.35, 0}, {0.6, 0.6, 0}},
    };
    for (const Fixed& f : schemes) {
        SCOPED_TRACE(f.index);
        apply(f.index);
        for (int p = 0; p < 4; ++p) expectRgb(scene.partColors[p], f.parts[p][0], f.parts[p][1], f.parts[p][2], "part", p);
        for (int m = 0; m < 12; ++m) {
            const double* c = m % 2 == 0 ? f.even : f.odd;
            expectRgb(scene.markerColors[m], c[0], c[1], c[2], "marker", m);
        }
    }
}

// The fade levels as repeated single-precision sums, which is not the same as 0.4f, 0.5f, ...
std::vector<float> fadeLevels()
{
    std::vector<float> levels;
    float v = 1.0f, step = -0.1f;
    for (int i = 0; i < 12; ++i) {
        levels.push_back(v);
        v += step;
        if (i == 5) step = 0.1f;
    }
    return levels;
}

TEST_F(ColorSchemeTest, FadesRunDownToFourTenthsAndBackBySinglePrecisionSums)
{
    std::vector<float> v = fadeLevels();
    EXPECT_NE(0.4f, v[6]) << "the sum carries its rounding";
    EXPECT_NEAR(0.4f, v[6], 1e-6);
    EXPECT_NEAR(0.9f, v[11], 1e-6);
    struct Fade {
        int index;
        double hub[3];
    } fades[] = {{9, {0.6, 0.6, 0}}, {10, {0, 0.6, 0.6}}, {11, {0.2, 0.7, 0.2}}};
    for (const Fade& f : fades) {
        SCOPED_TRACE(f.index);
        apply(f.index);
        expectRgb(scene.partColors[3], f.hub[0], f.hub[1], f.hub[2], "hub", 3);
        for (int m = 0; m < 12; ++m) {
            float half = static_cast<float>(1.0 - v[m] * 0.5);
            if (f.index == 9) expectRgb(scene.markerColors[m], v[m], half, 0, "marker", m);
            if (f.index == 10) expectRgb(scene.markerColors[m], 0, half, v[m], "marker", m);
            if (f.index == 11) expectRgb(scene.markerColors[m], half, v[m], half, "marker", m);
        }
    }
}

TEST_F(ColorSchemeTest, RampRunsRedGreenBlueAndBackTowardsRed)
{
    const double ramp[12][3] = {{1, 0, 0},       {0.75, 0.25, 0}, {0.5, 0.5, 0}, {0.25, 0.75, 0},
                                {0, 1, 0},       {0, 0.75, 0.25}, {0, 0.5, 0.5}, {0, 0.25, 0.75},
                                {0, 0, 1},       {0.25, 0, 0.75}, {0.5, 0, 0.5}, {0.75, 0, 0.25}};
    apply(12);
    expectRgb(scene.partColors[0], 0, 0.9, 0, "part", 0);
    expectRgb(scene.partColors[3], 0, 0.7, 0.8, "part", 3);
    for (int m = 0; m < 12; ++m) expectRgb(scene.markerColors[m], ramp[m][0], ramp[m][1], ramp[m][2], "marker", m);
}

TEST_F(ColorSchemeTest, UnknownIndexTakesTheRampColoursAndKeepsTheIndex)
{
    ClockScene ramp;
    Settings.colorScheme = 12;
    platform::srand(5);
    applyColorScheme(ramp);
    for (int index : {14, -3, 200}) {
        platform::srand(5);
        apply(index);
        EXPECT_EQ(index, Settings.colorScheme);
        for (int m = 0; m < 12; ++m) expectRgb(scene.markerColors[m], ramp.markerColors[m][0], ramp.markerColors[m][1],
                                               ramp.markerColors[m][2], "marker", m);
    }
}

TEST_F(ColorSchemeTest, RandomColoursAreHundredthsDrawnAfterTheRates)
{
    Settings.keepLikeColors = 1;   // six rate draws, then 48 colour draws
    std::vector<int> d = drawsAfterSeed(99, 6 + 48 + 1);
    apply(1);
    EXPECT_EQ(d[54], platform::rand());
    int k = 6;
    for (int p = 0; p < 4; ++p)
        for (int c = 0; c < 3; ++c) EXPECT_FLOAT_BITS((d[k++] % 100 + 1) * 0.01, scene.partColors[p][c]);
    for (int m = 0; m < 12; ++m)
        for (int c = 0; c < 3; ++c) EXPECT_FLOAT_BITS((d[k++] % 100 + 1) * 0.01, scene.markerColors[m][c]);
}

TEST_F(ColorSchemeTest, RandomSchemeRedrawsZeroAndStoresThePick)
{
    Settings.keepLikeColors = 1;
    for (uint32_t seed = 0; seed < 300; ++seed) {
        platform::srand(seed);
        apply(0);
        ASSERT_GE(Settings.colorScheme, 1) << "seed " << seed;
        ASSERT_LE(Settings.colorScheme, 13) << "seed " << seed;
    }
    // A seed whose first pick (after the six rate draws) is 0 must draw again.
    uint32_t seed = 0;
    while (drawsAfterSeed(seed, 7)[6] % 14 != 0) ++seed;
    std::vector<int> d = drawsAfterSeed(seed, 20);
    int expected = 0;
    for (int k = 6; expected == 0; ++k) expected = d[k] % 14;
    apply(0);
    EXPECT_EQ(expected, Settings.colorScheme);
}

TEST_F(ColorSchemeTest, CustomColourPaintsEverythingWhateverTheScheme)
{
    Settings.useCustomColor = 1;
    Settings.customRed = 0.25f;
    Settings.customGreen = 0.5f;
    Settings.customBlue = 0.75f;
    Settings.colorScheme = 0;
    applyColorScheme(scene);
    EXPECT_EQ(0, Settings.colorScheme) << "the scheme is not used, so not drawn";
    for (int p = 0; p < 4; ++p) expectRgb(scene.partColors[p], 0.25, 0.5, 0.75, "part", p);
    for (int m = 0; m < 12; ++m) expectRgb(scene.markerColors[m], 0.25, 0.5, 0.75, "marker", m);
}

float rateFrom(int sign, int size)
{
    float rate = static_cast<float>((size % 11) * 0.01);
    return sign % 2 == 0 ? -rate : rate;
}

TEST_F(ColorSchemeTest, KeepLikeColoursSharesOneDrawnRateTriple)
{
    Settings.keepLikeColors = 1;
    std::vector<int> d = drawsAfterSeed(7, 7);
    apply(2);
    EXPECT_EQ(d[6], platform::rand()) << "six draws: sign and size for red, green, blue";
    for (int c = 0; c < 3; ++c) {
        float rate = rateFrom(d[2 * c], d[2 * c + 1]);
        for (int p = 0; p < 4; ++p) EXPECT_EQ(rate, scene.partRates[p][c]);
        for (int m = 0; m < 12; ++m) EXPECT_EQ(rate, scene.markerRates[m][c]);
    }
}

TEST_F(ColorSchemeTest, IndependentRatesAreDrawnPartsFirstThenMarkers)
{
    Settings.keepLikeColors = 0;
    std::vector<int> d = drawsAfterSeed(11, 97);
    apply(2);
    EXPECT_EQ(d[96], platform::rand()) << "16 slots x 3 components x (sign, size)";
    int k = 0;
    for (int p = 0; p < 4; ++p)
        for (int c = 0; c < 3; ++c, k += 2) EXPECT_EQ(rateFrom(d[k], d[k + 1]), scene.partRates[p][c]);
    for (int m = 0; m < 12; ++m)
        for (int c = 0; c < 3; ++c, k += 2) EXPECT_EQ(rateFrom(d[k], d[k + 1]), scene.markerRates[m][c]);
}

TEST_F(ColorSchemeTest, RatesAreHundredthsWithinATenth)
{
    Settings.keepLikeColors = 0;
    bool negative = false, positive = false;
    for (uint32_t seed = 0; seed < 50; ++seed) {
        platform::srand(seed);
        apply(3);
        for (auto& rates : scene.markerRates)
            for (float r : rates) {
                ASSERT_LE(r, 0.1f + 1e-7f);
                ASSERT_GE(r, -0.1f - 1e-7f);
                negative |= r < 0;
                positive |= r > 0;
            }
    }
    EXPECT_TRUE(negative && positive);
}

}  // namespace
