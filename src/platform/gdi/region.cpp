// Rectangles and regions.
//
// Set operations on regions run band by band: the top and bottom edges of both operands cut
// the plane into horizontal bands, within each band each operand covers a sorted list of
// disjoint spans, and the spans are combined like intervals. Touching bands with equal spans
// are then merged, which keeps the banded form unique. Regions here are small (update areas,
// a few windows), so the simple quadratic walk is plenty.
#include <algorithm>

#include "platform/gdi/geometry.h"

namespace kivoly::platform {

namespace {

struct Span {
    int32_t left;
    int32_t right;
    friend bool operator==(const Span&, const Span&) = default;
};

// The spans that `rects` (banded) covers in the band [top, bottom).
std::vector<Span> SpansIn(std::span<const Rect> rects, int32_t top, int32_t bottom) {
    std::vector<Span> spans;
    for (const Rect& r : rects) {
        if (r.top <= top && r.bottom >= bottom) spans.push_back({r.left, r.right});
    }
    return spans;  // a band's rectangles are sorted and disjoint already
}

template <typename Keep>
std::vector<Span> CombineSpans(const std::vector<Span>& a, const std::vector<Span>& b, Keep keep) {
    std::vector<int32_t> edges;
    for (const Span& s : a)
        edges.insert(edges.end(), {s.left, s.right});
    for (const Span& s : b)
        edges.insert(edges.end(), {s.left, s.right});
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    auto covers = [](const std::vector<Span>& spans, int32_t x) {
        return std::any_of(spans.begin(), spans.end(),
                           [x](const Span& s) { return x >= s.left && x < s.right; });
    };
    std::vector<Span> out;
    for (size_t i = 0; i + 1 < edges.size(); ++i) {
        const int32_t x = edges[i];
        if (!keep(covers(a, x), covers(b, x))) continue;
        if (!out.empty() && out.back().right == x) {
            out.back().right = edges[i + 1];
        } else {
            out.push_back({x, edges[i + 1]});
        }
    }
    return out;
}

}  // namespace

Rect IntersectRect(const Rect& a, const Rect& b) {
    const Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    return r.IsEmpty() ? Rect{} : r;
}

Rect UnionRect(const Rect& a, const Rect& b) {
    if (a.IsEmpty()) return b.IsEmpty() ? Rect{} : b;
    if (b.IsEmpty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

Region::Region(const Rect& rect) {
    if (!rect.IsEmpty()) rects_.push_back(rect);
}

Rect Region::Bounds() const {
    Rect bounds;
    for (const Rect& r : rects_)
        bounds = UnionRect(bounds, r);
    return bounds;
}

Region& Region::Union(const Region& other) {
    Combine(other, Operation::Union);
    return *this;
}

Region& Region::Subtract(const Region& other) {
    Combine(other, Operation::Subtract);
    return *this;
}

Region& Region::Intersect(const Region& other) {
    Combine(other, Operation::Intersect);
    return *this;
}

Region& Region::Offset(int32_t dx, int32_t dy) {
    for (Rect& r : rects_)
        r = r.Offset(dx, dy);
    return *this;
}

void Region::Combine(const Region& other, Operation op) {
    std::vector<int32_t> edges;
    for (const Rect& r : rects_)
        edges.insert(edges.end(), {r.top, r.bottom});
    for (const Rect& r : other.rects_)
        edges.insert(edges.end(), {r.top, r.bottom});
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    std::vector<Rect> out;
    std::vector<Span> previous;
    size_t previousStart = 0;
    int32_t previousBottom = 0;
    for (size_t i = 0; i + 1 < edges.size(); ++i) {
        const int32_t top = edges[i];
        const int32_t bottom = edges[i + 1];
        const auto a = SpansIn(rects_, top, bottom);
        const auto b = SpansIn(other.rects_, top, bottom);
        std::vector<Span> spans;
        switch (op) {
            case Operation::Union:
                spans = CombineSpans(a, b, [](bool x, bool y) { return x || y; });
                break;
            case Operation::Subtract:
                spans = CombineSpans(a, b, [](bool x, bool y) { return x && !y; });
                break;
            case Operation::Intersect:
                spans = CombineSpans(a, b, [](bool x, bool y) { return x && y; });
                break;
        }
        if (spans.empty()) continue;
        if (!previous.empty() && previousBottom == top && spans == previous) {
            // Same spans as the band just above: stretch those rectangles down.
            for (size_t k = previousStart; k < out.size(); ++k)
                out[k].bottom = bottom;
        } else {
            previousStart = out.size();
            for (const Span& s : spans)
                out.push_back({s.left, top, s.right, bottom});
        }
        previous = std::move(spans);
        previousBottom = bottom;
    }
    rects_ = std::move(out);
}

}  // namespace kivoly::platform
