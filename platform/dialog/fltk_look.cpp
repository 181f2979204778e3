// platform/dialog/fltk_look.cpp -- the dialogs' scale factor from the environment, and icons from character pictures.
#include "platform/dialog/fltk_look.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

constexpr double kReferenceDpi = 96.0;   // the dots per inch at which "Helv" 8 pt is 11 pixels
constexpr int kMaxIconSidePx = 256;

// A positive number filling the whole text (blanks around it allowed), or 0.
double positiveNumber(const char* text)
{
    if (!text) return 0.0;
    char* end = nullptr;
    double value = std::strtod(text, &end);
    if (end == text) return 0.0;
    while (*end == ' ' || *end == '\t' || *end == '\r' || *end == '\n') ++end;
    return *end == '\0' && value > 0.0 ? value : 0.0;
}

double wholeNumber(const char* text)
{
    double value = positiveNumber(text);
    return std::floor(value) == value ? value : 0.0;
}

}  // namespace

double xftDpiFrom(const char* xResources)
{
    static const char kName[] = "Xft.dpi";
    if (!xResources) return 0.0;
    for (const char* line = xResources; *line;) {
        const char* next = std::strchr(line, '\n');
        size_t length = next ? static_cast<size_t>(next - line) : std::strlen(line);
        std::string text(line, length);
        size_t start = text.find_first_not_of(" \t");
        if (start != std::string::npos && text.compare(start, sizeof kName - 1, kName) == 0) {
            size_t colon = text.find_first_not_of(" \t", start + sizeof kName - 1);
            if (colon != std::string::npos && text[colon] == ':') return positiveNumber(text.c_str() + colon + 1);
        }
        if (!next) break;
        line = next + 1;
    }
    return 0.0;
}

double uiScaleFrom(const ScaleSources& sources)
{
    double scale = positiveNumber(sources.override);
    if (scale <= 0.0) scale = wholeNumber(sources.gdkScale);
    if (scale <= 0.0) scale = positiveNumber(sources.qtScale);
    if (scale <= 0.0) scale = xftDpiFrom(sources.xResources) / kReferenceDpi;
    if (scale <= 0.0) return 1.0;
    return std::clamp(scale, kMinUiScale, kMaxUiScale);
}

bool iconPixels(const IconImage& icon, std::vector<unsigned char>* rgba)
{
    if (icon.width < 1 || icon.height < 1 || icon.width > kMaxIconSidePx || icon.height > kMaxIconSidePx ||
        !icon.rows || (icon.colourCount > 0 && !icon.colours))
        return false;
    for (int y = 0; y < icon.height; ++y)
        if (!icon.rows[y] || std::strlen(icon.rows[y]) < static_cast<size_t>(icon.width)) return false;
    rgba->assign(static_cast<size_t>(icon.width) * icon.height * 4, 0);
    unsigned char* out = rgba->data();
    for (int y = 0; y < icon.height; ++y) {
        for (int x = 0; x < icon.width; ++x, out += 4) {
            char key = icon.rows[y][x];
            for (int i = 0; i < icon.colourCount; ++i) {
                if (icon.colours[i].key != key) continue;
                out[0] = static_cast<unsigned char>(icon.colours[i].rgb >> 16);
                out[1] = static_cast<unsigned char>(icon.colours[i].rgb >> 8);
                out[2] = static_cast<unsigned char>(icon.colours[i].rgb);
                out[3] = 0xFF;
                break;
            }
        }
    }
    return true;
}

}  // namespace platform
