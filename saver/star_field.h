// saver/star_field.h -- the four layers of single-pixel stars behind the clock.
#pragma once

#include "resources/control_ids.h"

#include <cstdint>

constexpr int kStarLayerCapacity = 9999;   // stars per layer
constexpr int kStarLayerCount = 4;         // layer 0 brightest and fastest, 3 dimmest and slowest
// Star direction, held as the id of the dialog's checked radio button.
constexpr int kStarsHorizontal = resources::config_ids::kHorizontalId;
constexpr int kStarsVertical = resources::config_ids::kVerticalId;

// One layer. Positions are kept one float per coordinate in two flat arrays, so a step walks memory
// in order.
struct StarLayer {
    float xs[kStarLayerCapacity];   // pixels from the left, 0 .. width
    float ys[kStarLayerCapacity];   // pixels from the top, 0 .. height
    int16_t count;                  // stars in use, 0 .. kStarLayerCapacity
    int32_t width;                  // field size in pixels
    int32_t height;
    int32_t drift;                  // current reduction of the layer's speed, pixels per step
    int32_t tick;                   // steps since the start of the current reversal cycle
    int16_t direction;              // 1: towards smaller coordinates (left, up); -1: towards larger
};

extern StarLayer starLayers[kStarLayerCount];

// A new layer of count stars on whole pixels of a width x height field; a negative count gives an
// empty layer, and more than the room holds is cut to it.
void initStarLayer(StarLayer& layer, int width, int height, int count);
// The field stretched to a width x height page, each star keeping its place relative to the edges; a
// layer or size of no pixels is left as it is.
void rescaleStarLayer(StarLayer& layer, int width, int height);
// One step of speed pixels (less while the layer slows down to reverse) along orientation 501 (x) or
// 502 (y), wrapping at the field's edges; any other orientation moves nothing.
void advanceStarLayer(StarLayer& layer, int orientation, int speed);
// Plots every star of the layer as one pixel in the given 8-bit colour.
void drawStarLayer(const StarLayer& layer, uint8_t red, uint8_t green, uint8_t blue);
