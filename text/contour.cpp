// text/contour.cpp -- building a flattened contour and testing points and boxes against it.
#include "text/contour.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kInitialCapacity = 8;            // points
constexpr double kSamePointPixels = 1e-8;      // closer than this repeats the last point
constexpr double kEmptyBoxLimit = 1e20;        // pixels; any real point narrows the box
}  // namespace

Contour::Contour() : capacity_(kInitialCapacity)
{
    points_.reserve(static_cast<size_t>(capacity_));
    clear();
}

void Contour::clear()
{
    points_.clear();
    area_ = 0.0;
    clockwise_ = false;
    xMin_ = yMin_ = kEmptyBoxLimit;
    xMax_ = yMax_ = -kEmptyBoxLimit;
}

void Contour::addPoint(double x, double y)
{
    if (!points_.empty()) {
        const ContourPoint& last = points_.back();
        // A repeated point would give the tessellator a zero-length edge.
        if (std::fabs(x - last.x) < kSamePointPixels && std::fabs(y - last.y) < kSamePointPixels)
            return;
        area_ += last.x * y - x * last.y;
    }
    if (pointCount() == capacity_) {
        capacity_ += capacity_ / 2;
        points_.reserve(static_cast<size_t>(capacity_));
    }
    points_.push_back({x, y, nullptr});
    xMin_ = std::min(xMin_, x);
    xMax_ = std::max(xMax_, x);
    yMin_ = std::min(yMin_, y);
    yMax_ = std::max(yMax_, y);
}

void Contour::close()
{
    if (pointCount() > 1) {
        const ContourPoint& first = points_.front();
        const ContourPoint& last = points_.back();
        area_ += last.x * first.y - first.x * last.y;
        area_ /= 2.0;
    }
    clockwise_ = area_ < 0.0;
}

bool Contour::boxLiesWithin(const Contour& outer) const
{
    return xMin_ >= outer.xMin_ && xMax_ <= outer.xMax_ && yMin_ >= outer.yMin_ && yMax_ <= outer.yMax_;
}

// An edge counts when it crosses the point's height with one end strictly above and the other at or
// below it, and crosses at or left of the point. Ends on the point's height thus belong to one edge
// only: counting both edges that meet at a vertex level with the point would turn a point inside into
// one outside, and hinting puts many points on the same pixel rows.
bool Contour::encloses(double x, double y) const
{
    int crossings = 0;
    int count = pointCount();
    for (int i = 0; i < count; ++i) {
        const ContourPoint& a = points_[i];
        const ContourPoint& b = points_[(i + 1) % count];   // the last edge closes the contour
        if ((a.y > y) == (b.y > y))
            continue;
        double edgeX = a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y);
        if (x >= edgeX)
            ++crossings;
    }
    return crossings % 2 == 1;
}
