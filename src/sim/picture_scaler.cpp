#include <algorithm>
#include <cmath>

#include "sim/picture.h"

namespace kivoly::sim {

namespace {

// Contribution of every source index to every output index along one axis.
struct AxisWeights {
    std::vector<int> first;      // first source index of each output
    std::vector<int> count;      // number of source indices
    std::vector<float> weights;  // count weights per output, packed at offset[i]
    std::vector<size_t> offset;
};

AxisWeights BuildWeights(int source, int target) {
    AxisWeights axis;
    const double scale = static_cast<double>(source) / target;
    const double radius = std::max(1.0, scale);
    for (int i = 0; i < target; ++i) {
        const double centre = (i + 0.5) * scale - 0.5;
        const int lo = std::max(0, static_cast<int>(std::ceil(centre - radius)));
        const int hi = std::min(source - 1, static_cast<int>(std::floor(centre + radius)));
        axis.first.push_back(lo);
        axis.offset.push_back(axis.weights.size());
        double sum = 0;
        std::vector<double> w;
        for (int j = lo; j <= hi; ++j) {
            const double v = std::max(0.0, 1.0 - std::abs(j - centre) / radius);
            w.push_back(v);
            sum += v;
        }
        if (sum <= 0) {  // the tent missed every sample: take the nearest
            const int nearest = std::clamp(static_cast<int>(std::lround(centre)), 0, source - 1);
            axis.first.back() = nearest;
            w.assign(1, 1.0);
            sum = 1;
        }
        axis.count.push_back(static_cast<int>(w.size()));
        for (double v : w)
            axis.weights.push_back(static_cast<float>(v / sum));
    }
    return axis;
}

// Scales each of `rows` rows of `sourceWidth` RGB pixels to `width` pixels.
template <typename Sample>
std::vector<float> ScaleRows(const Sample* source, int sourceWidth, int rows,
                             const AxisWeights& across, int width) {
    std::vector<float> out(static_cast<size_t>(rows) * static_cast<size_t>(width) * 3);
    for (int y = 0; y < rows; ++y) {
        const Sample* row = source + static_cast<size_t>(y) * static_cast<size_t>(sourceWidth) * 3;
        for (int x = 0; x < width; ++x) {
            const size_t i = static_cast<size_t>(x);
            const float* w = &across.weights[across.offset[i]];
            float* pixel = &out[(static_cast<size_t>(y) * static_cast<size_t>(width) + i) * 3];
            for (int k = 0; k < across.count[i]; ++k) {
                const Sample* p = row + static_cast<size_t>(across.first[i] + k) * 3;
                for (int c = 0; c < 3; ++c)
                    pixel[c] += w[k] * static_cast<float>(p[c]);
            }
        }
    }
    return out;
}

// Scales the columns of a picture `width` RGB pixels wide to `height` rows.
template <typename Sample>
std::vector<float> ScaleColumns(const Sample* source, int width, const AxisWeights& down,
                                int height) {
    const size_t rowSize = static_cast<size_t>(width) * 3;
    std::vector<float> out(static_cast<size_t>(height) * rowSize);
    for (int y = 0; y < height; ++y) {
        const size_t i = static_cast<size_t>(y);
        const float* w = &down.weights[down.offset[i]];
        float* row = &out[i * rowSize];
        for (int k = 0; k < down.count[i]; ++k) {
            const Sample* in = source + static_cast<size_t>(down.first[i] + k) * rowSize;
            for (size_t j = 0; j < rowSize; ++j)
                row[j] += w[k] * static_cast<float>(in[j]);
        }
    }
    return out;
}

}  // namespace

std::vector<float> ScalePicture(const Picture& picture, int width, int height) {
    const AxisWeights across = BuildWeights(picture.width, width);
    const AxisWeights down = BuildWeights(picture.height, height);
    // Scale along the axis first that leaves the smaller intermediate picture.
    const size_t acrossFirst = static_cast<size_t>(picture.height) * static_cast<size_t>(width);
    const size_t downFirst = static_cast<size_t>(height) * static_cast<size_t>(picture.width);
    if (acrossFirst <= downFirst) {
        const std::vector<float> rows =
            ScaleRows(picture.rgb.data(), picture.width, picture.height, across, width);
        return ScaleColumns(rows.data(), width, down, height);
    }
    const std::vector<float> columns =
        ScaleColumns(picture.rgb.data(), picture.width, down, height);
    return ScaleRows(columns.data(), picture.width, height, across, width);
}

}  // namespace kivoly::sim
