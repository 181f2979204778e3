// text/contour.h -- one flattened closed contour: its points, signed area, turn and bounding box.
#pragma once

#include <vector>

struct ContourPoint {
    double x;      // pixels
    double y;      // pixels, y up
    void* data;    // the caller's slot; null when added
};

class Contour {
public:
    Contour();

    void clear();
    // Appends a point unless it repeats the last one within 1e-8 in both axes.
    void addPoint(double x, double y);
    // Adds the closing edge to the area, halves it and decides the turn.
    void close();

    int pointCount() const { return static_cast<int>(points_.size()); }
    int capacity() const { return capacity_; }
    const ContourPoint& point(int i) const { return points_[i]; }
    ContourPoint& point(int i) { return points_[i]; }
    double area() const { return area_; }
    bool isClockwise() const { return clockwise_; }
    double xMin() const { return xMin_; }
    double xMax() const { return xMax_; }
    double yMin() const { return yMin_; }
    double yMax() const { return yMax_; }

    bool boxLiesWithin(const Contour& outer) const;
    // Even-odd test with a ray cast from the point toward -x.
    bool encloses(double x, double y) const;

private:
    std::vector<ContourPoint> points_;
    int capacity_;            // points before the array grows by half
    double area_ = 0.0;       // square pixels; negative for a clockwise turn
    bool clockwise_ = false;
    double xMin_, xMax_, yMin_, yMax_;
};
