// saver/color_schemes.cpp -- the fourteen colour schemes, the custom colour and the cycling rates.
#include "saver/color_schemes.h"

#include "config/settings.h"
#include "platform/random.h"

namespace {

struct Rgb {
    double red, green, blue;   // written as the decimals of the table, stored as single precision
};

// The fixed colours of one scheme; schemes 9 to 12 build their markers from a progression instead.
struct SchemeColors {
    Rgb parts[kClockPartCount];   // hour, minute, second hand, hub
    Rgb evenMarkers;              // 12, 2, 4, ...
    Rgb oddMarkers;               // 1, 3, 5, ...
};

enum class MarkerPattern { Fixed, Random, RedFade, BlueFade, GreenFade, Ramp };

struct Scheme {
    MarkerPattern pattern;
    SchemeColors colors;
};

const Scheme kSchemes[kColorSchemeCount] = {
    {MarkerPattern::Fixed, {}},    // 0 "Random Scheme": replaced by a drawn scheme before use
    {MarkerPattern::Random, {}},   // 1 "Random Colors"
    {MarkerPattern::Fixed, {{{0, 0, 0.7}, {0, 0, 0.8}, {0, 0, 1.0}, {0, 0, 0.6}}, {0, 0, 0.4}, {0, 0, 0.6}}},
    {MarkerPattern::Fixed, {{{0, 0.7, 0}, {0, 0.8, 0}, {0, 1.0, 0}, {0, 0.6, 0}}, {0, 0.4, 0}, {0, 0.6, 0}}},
    {MarkerPattern::Fixed,
     {{{0.7, 0.7, 0.7}, {0.8, 0.8, 0.8}, {1.0, 0, 0}, {0.7, 0.7, 0.7}}, {0.5, 0.5, 0.5}, {0.7, 0.7, 0.7}}},
    {MarkerPattern::Fixed,
     {{{0.8, 0, 0}, {1.0, 0.95, 0.95}, {1.0, 1.0, 1.0}, {0.7, 0, 0}}, {1.0, 0, 0}, {1.0, 1.0, 1.0}}},
    {MarkerPattern::Fixed,
     {{{0, 0.5, 1.0}, {0, 0.2, 1.0}, {0, 0.7, 1.0}, {0, 0, 1.0}}, {0, 0.4, 1.0}, {0, 0.1, 1.0}}},
    {MarkerPattern::Fixed, {{{1.0, 0.2, 0}, {1.0, 0.6, 0}, {1.0, 0.9, 0}, {1.0, 0, 0}}, {0.6, 0.1, 0}, {1.0, 0, 0}}},
    {MarkerPattern::Fixed,
     {{{0.8, 1.0, 0}, {0.6, 1.0, 0}, {0.35, 1.0, 0}, {0, 1.0, 0}}, {0, 1.0, 0.7}, {0.3, 1.0, 0}}},
    {MarkerPattern::RedFade, {{{0.8, 0, 0}, {0.8, 0.2, 0}, {1.0, 0.5, 0}, {0.6, 0.6, 0}}, {}, {}}},
    {MarkerPattern::BlueFade, {{{0, 0, 0.8}, {0, 0.2, 0.8}, {0, 0.5, 1.0}, {0, 0.6, 0.6}}, {}, {}}},
    {MarkerPattern::GreenFade, {{{0, 0.8, 0}, {0.1, 0.8, 0.1}, {0.25, 1.0, 0.25}, {0.2, 0.7, 0.2}}, {}, {}}},
    {MarkerPattern::Ramp, {{{0, 0.9, 0}, {0, 0, 0.9}, {0.9, 0, 0}, {0, 0.7, 0.8}}, {}, {}}},
    {MarkerPattern::Fixed,
     {{{0.8, 0.8, 0}, {0.8, 0.6, 0.05}, {1.0, 1.0, 0}, {0.5, 0.5, 0}}, {0.35, 0.35, 0}, {0.6, 0.6, 0}}},
};

// A settings file edited by hand may hold any index; such a clock gets the colours of the ramp scheme.
constexpr int kFallbackScheme = 12;

void setRgb(float* color, float red, float green, float blue)
{
    color[0] = red;
    color[1] = green;
    color[2] = blue;
}

void setRgb(float* color, const Rgb& rgb)
{
    setRgb(color, static_cast<float>(rgb.red), static_cast<float>(rgb.green), static_cast<float>(rgb.blue));
}

// A rate is a whole number of hundredths from -0.10 to +0.10: a sign draw, then a size draw.
float randomRate()
{
    int sign = platform::rand() % 2;
    float rate = static_cast<float>((platform::rand() % 11) * 0.01);
    return sign == 0 ? -rate : rate;
}

void drawRates(float* rates)
{
    for (int c = 0; c < 3; ++c) rates[c] = randomRate();
}

void copyRates(float* to, const float* from)
{
    for (int c = 0; c < 3; ++c) to[c] = from[c];
}

void applyRates(ClockScene& scene)
{
    if (Settings.keepLikeColors == 1) {
        // One triple for every part and marker, so colours that start alike stay alike.
        float shared[3];
        drawRates(shared);
        for (auto& rates : scene.partRates) copyRates(rates, shared);
        for (auto& rates : scene.markerRates) copyRates(rates, shared);
        return;
    }
    for (auto& rates : scene.partRates) drawRates(rates);
    for (auto& rates : scene.markerRates) drawRates(rates);
}

void setAllColors(ClockScene& scene, float red, float green, float blue, float alpha)
{
    for (auto& color : scene.partColors) {
        setRgb(color, red, green, blue);
        color[3] = alpha;
    }
    for (auto& color : scene.markerColors) {
        setRgb(color, red, green, blue);
        color[3] = alpha;
    }
}

float randomLevel() { return static_cast<float>((platform::rand() % 100 + 1) * 0.01); }

// Red, green and blue drawn in that order (argument evaluation order would not fix it).
void randomRgb(float* color)
{
    for (int c = 0; c < 3; ++c) color[c] = randomLevel();
}

void randomColors(ClockScene& scene)
{
    for (auto& color : scene.partColors) randomRgb(color);
    for (auto& color : scene.markerColors) randomRgb(color);
}

// The fades run 1.0 down to 0.4 and back up to 0.9, summed in single precision as the levels are shown.
void fadeMarkers(ClockScene& scene, MarkerPattern pattern)
{
    constexpr int kTurnAfterMarker = 5;
    float level = 1.0f;
    float step = -0.1f;
    for (int i = 0; i < kMarkerCount; ++i) {
        float half = static_cast<float>(1.0 - level * 0.5);
        float* color = scene.markerColors[i];
        if (pattern == MarkerPattern::RedFade) setRgb(color, level, half, 0.0f);
        if (pattern == MarkerPattern::BlueFade) setRgb(color, 0.0f, half, level);
        if (pattern == MarkerPattern::GreenFade) setRgb(color, half, level, half);
        level += step;
        if (i == kTurnAfterMarker) step = 0.1f;
    }
}

// Red to green over markers 0..4, green to blue over 4..8, blue back towards red over 8..11.
void rampMarkers(ClockScene& scene)
{
    float levels[3] = {1.0f, 0.0f, 0.0f};
    float steps[3] = {-0.25f, 0.25f, 0.0f};
    for (int i = 0; i < kMarkerCount; ++i) {
        setRgb(scene.markerColors[i], levels[0], levels[1], levels[2]);
        for (int c = 0; c < 3; ++c) levels[c] += steps[c];
        if (i == 3) setRgb(steps, 0.0f, -0.25f, 0.25f);
        if (i == 7) setRgb(steps, 0.25f, 0.0f, -0.25f);
    }
}

void fixedColors(ClockScene& scene, const SchemeColors& colors)
{
    for (int p = 0; p < kClockPartCount; ++p) setRgb(scene.partColors[p], colors.parts[p]);
}

void applyScheme(ClockScene& scene, int index)
{
    if (index == kSchemeRandomColors) {
        randomColors(scene);
        return;
    }
    const Scheme& scheme = kSchemes[(index >= 0 && index < kColorSchemeCount) ? index : kFallbackScheme];
    fixedColors(scene, scheme.colors);
    switch (scheme.pattern) {
    case MarkerPattern::Fixed:
        for (int i = 0; i < kMarkerCount; ++i)
            setRgb(scene.markerColors[i], (i % 2 == 0) ? scheme.colors.evenMarkers : scheme.colors.oddMarkers);
        break;
    case MarkerPattern::RedFade:
    case MarkerPattern::BlueFade:
    case MarkerPattern::GreenFade:
        fadeMarkers(scene, scheme.pattern);
        break;
    case MarkerPattern::Ramp:
        rampMarkers(scene);
        break;
    case MarkerPattern::Random:
        break;
    }
}

}  // namespace

void applyColorScheme(ClockScene& scene)
{
    applyRates(scene);
    if (Settings.useCustomColor == 1) {
        setAllColors(scene, Settings.customRed, Settings.customGreen, Settings.customBlue, 1.0f);
        return;
    }
    for (auto& color : scene.partColors) color[3] = 1.0f;
    for (auto& color : scene.markerColors) color[3] = 1.0f;
    if (Settings.colorScheme == kSchemeRandomScheme) {
        // The drawn scheme stays in memory for the rest of the run; the file is never written here.
        do {
            Settings.colorScheme = static_cast<int16_t>(platform::rand() % kColorSchemeCount);
        } while (Settings.colorScheme == kSchemeRandomScheme);
    }
    applyScheme(scene, Settings.colorScheme);
}
