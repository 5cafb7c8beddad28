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

}  // namespace

std::vector<float> ScalePicture(const Picture& picture, int width, int height) {
    const AxisWeights across = BuildWeights(picture.width, width);
    const AxisWeights down = BuildWeights(picture.height, height);

    // Horizontal pass into rows of the source height.
    std::vector<float> rows(static_cast<size_t>(picture.height) * width * 3);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < width; ++x) {
            float sum[3] = {0, 0, 0};
            const float* w = &across.weights[across.offset[static_cast<size_t>(x)]];
            for (int k = 0; k < across.count[static_cast<size_t>(x)]; ++k) {
                const uint8_t* p = picture.Pixel(across.first[static_cast<size_t>(x)] + k, y);
                for (int c = 0; c < 3; ++c)
                    sum[c] += w[k] * p[c];
            }
            float* out = &rows[(static_cast<size_t>(y) * width + x) * 3];
            for (int c = 0; c < 3; ++c)
                out[c] = sum[c];
        }
    }
    // Vertical pass.
    std::vector<float> result(static_cast<size_t>(height) * width * 3);
    for (int y = 0; y < height; ++y) {
        const float* w = &down.weights[down.offset[static_cast<size_t>(y)]];
        float* out = &result[static_cast<size_t>(y) * width * 3];
        for (int k = 0; k < down.count[static_cast<size_t>(y)]; ++k) {
            const float* in =
                &rows[static_cast<size_t>(down.first[static_cast<size_t>(y)] + k) * width * 3];
            for (int i = 0; i < width * 3; ++i)
                out[i] += w[k] * in[i];
        }
    }
    return result;
}

}  // namespace kivoly::sim
