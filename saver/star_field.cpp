// saver/star_field.cpp -- the four star layers: seeding, drift and plotting.
#include "saver/star_field.h"

#include "display/display.h"
#include "platform/random.h"

StarLayer starLayers[kStarLayerCount];

namespace {

constexpr int32_t kCruiseSteps = 42000;   // steps at full speed before a layer slows to reverse

// A zero or negative extent would have no pixel to start on; such a coordinate starts at 0.
float randomCoordinate(int32_t extent)
{
    int value = platform::rand();
    return extent > 0 ? static_cast<float>(value % extent) : 0.0f;
}

// One add and one compare per star; the wrap is written as a select so the loop vectorises.
void moveTowardsSmaller(float* coords, int count, float step, float extent)
{
    for (int i = 0; i < count; ++i) {
        float c = coords[i] - step;
        coords[i] = c < 0.0f ? c + extent : c;
    }
}

void moveTowardsLarger(float* coords, int count, float step, float extent)
{
    for (int i = 0; i < count; ++i) {
        float c = coords[i] + step;
        coords[i] = c > extent ? c - extent : c;
    }
}

// Slows the layer to a halt after its cruise, reverses it, and brings it back to speed.
int32_t stepSize(StarLayer& layer, int32_t speed)
{
    ++layer.tick;
    if (layer.tick >= kCruiseSteps && layer.tick < speed + kCruiseSteps)
        ++layer.drift;
    else if (layer.tick >= speed + kCruiseSteps)
        --layer.drift;
    if (layer.drift >= speed) layer.direction = layer.direction == 1 ? -1 : 1;
    if (layer.tick >= 2 * speed + kCruiseSteps) {
        layer.tick = 0;
        layer.drift = 0;
    }
    return speed - layer.drift;
}

}  // namespace

void initStarLayer(StarLayer& layer, int width, int height, int count)
{
    if (count < 0) count = 0;
    if (count > kStarLayerCapacity) count = kStarLayerCapacity;
    layer.count = static_cast<int16_t>(count);
    layer.width = width;
    layer.height = height;
    for (int i = 0; i < count; ++i) {
        layer.xs[i] = randomCoordinate(width);
        layer.ys[i] = randomCoordinate(height);
    }
    layer.drift = 0;
    layer.tick = 0;
    layer.direction = 1;
}

void rescaleStarLayer(StarLayer& layer, int width, int height)
{
    if (layer.width <= 0 || layer.height <= 0 || width <= 0 || height <= 0) return;
    const float sx = static_cast<float>(width) / static_cast<float>(layer.width);
    const float sy = static_cast<float>(height) / static_cast<float>(layer.height);
    for (int i = 0; i < layer.count; ++i) {
        layer.xs[i] *= sx;
        layer.ys[i] *= sy;
    }
    layer.width = width;
    layer.height = height;
}

void advanceStarLayer(StarLayer& layer, int orientation, int speed)
{
    int32_t step = stepSize(layer, speed);
    float* coords;
    float extent;
    if (orientation == kStarsHorizontal) {
        coords = layer.xs;
        extent = static_cast<float>(layer.width);
    } else if (orientation == kStarsVertical) {
        coords = layer.ys;
        extent = static_cast<float>(layer.height);
    } else {
        return;
    }
    if (layer.direction == 1)
        moveTowardsSmaller(coords, layer.count, static_cast<float>(step), extent);
    else
        moveTowardsLarger(coords, layer.count, static_cast<float>(step), extent);
}

void drawStarLayer(const StarLayer& layer, uint8_t red, uint8_t green, uint8_t blue)
{
    display::setColorRGB(red, green, blue);
    display::beginPixels();
    for (int i = 0; i < layer.count; ++i)
        display::plotPixel(static_cast<int>(layer.xs[i]), static_cast<int>(layer.ys[i]));
    display::endPixels();
}
