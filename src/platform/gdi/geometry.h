// Points, rectangles and regions in device or client co-ordinates.
//
// A rectangle includes its left and top edges and excludes its right and bottom edges, so
// (0, 0, 10, 5) covers 10 x 5 pixels. A region is a set of pixels kept as disjoint rectangles in
// bands: rectangles of one band share their top and bottom, bands are sorted from the top and
// the rectangles of a band from the left, and no two touching bands hold the same spans. That
// form is unique, so two regions covering the same pixels compare equal.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kivoly::platform {

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int32_t cx = 0;
    int32_t cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    // Empty when it covers no pixel, including rectangles with right < left or bottom < top.
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    Rect Offset(int32_t dx, int32_t dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The common part of two rectangles; an empty result is returned as (0, 0, 0, 0).
Rect IntersectRect(const Rect& a, const Rect& b);
// The smallest rectangle holding both; an empty rectangle adds nothing.
Rect UnionRect(const Rect& a, const Rect& b);

class Region {
  public:
    Region() = default;
    explicit Region(const Rect& rect);

    bool IsEmpty() const { return rects_.empty(); }
    // The bounding rectangle, (0, 0, 0, 0) when empty.
    Rect Bounds() const;
    // The disjoint rectangles in band order.
    std::span<const Rect> Rects() const { return rects_; }

    // Set operations; each returns *this.
    Region& Union(const Region& other);
    Region& Union(const Rect& rect) { return Union(Region(rect)); }
    Region& Subtract(const Region& other);
    Region& Subtract(const Rect& rect) { return Subtract(Region(rect)); }
    Region& Intersect(const Region& other);
    Region& Intersect(const Rect& rect) { return Intersect(Region(rect)); }
    Region& Offset(int32_t dx, int32_t dy);

    friend bool operator==(const Region&, const Region&) = default;

  private:
    enum class Operation { Union, Subtract, Intersect };
    void Combine(const Region& other, Operation op);

    std::vector<Rect> rects_;
};

}  // namespace kivoly::platform
