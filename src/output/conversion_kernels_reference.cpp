// The scalar forms of the conversion kernels: the arithmetic exactly as the conversion defines
// it, with the tables as they are built.
#include <algorithm>
#include <cstdint>

#include "output/conversion_kernels.h"

namespace kivoly::kernels::reference {

namespace {

constexpr int kFieldBits = 21;

void Emit(uint8_t* out, int y, int u, int v, const PixelTables& tables) {
    const int luma = tables.yTerm[y];
    const int32_t vt = tables.vTerms[v];
    const int32_t ut = tables.uTerms[u];
    auto low = [](int32_t pair) { return static_cast<int16_t>(pair & 0xFFFF); };
    auto high = [](int32_t pair) { return pair >> 16; };
    auto channel = [&](int c, int sum) { return tables.gamma[c][std::clamp(sum >> 4, 0, 1023)]; };
    out[0] = static_cast<uint8_t>(channel(0, high(ut) + luma));
    out[1] = static_cast<uint8_t>(channel(1, low(ut) + high(vt) + luma));
    out[2] = static_cast<uint8_t>(channel(2, low(vt) + luma));
}

}  // namespace

void ResolvePixels(const uint64_t* sums, int n, int divisor, const PixelTables& tables,
                   uint8_t* dst) {
    constexpr uint64_t kMask = (uint64_t{1} << kFieldBits) - 1;
    const int offset = 128 * divisor;
    for (int x = 0; x < n; ++x) {
        const uint64_t sum = sums[x];
        const int y = static_cast<int>(sum & kMask);
        const int u = static_cast<int>((sum >> kFieldBits) & kMask);
        const int v = static_cast<int>(sum >> (2 * kFieldBits));
        Emit(dst + 3 * x, y / divisor, (u - offset) / divisor + 128, (v - offset) / divisor + 128,
             tables);
    }
}

void PackRow(const uint8_t* y, const int8_t* k, int n, uint64_t* out) {
    for (int m = 0; m < n; ++m) {
        const int mean = (k[m - 2] + k[m]) / 2;
        const int other = k[m - 1];
        const int u = (m & 1) == 0 ? mean : other;
        const int v = (m & 1) == 0 ? other : mean;
        out[m] = y[m] + (static_cast<uint64_t>(u + 128) << kFieldBits) +
                 (static_cast<uint64_t>(v + 128) << (2 * kFieldBits));
    }
}

void RunningSums(const uint64_t* samples, int n, uint64_t* running) {
    uint64_t total = 0;
    running[0] = 0;
    for (int i = 0; i < n; ++i) {
        total += samples[i];
        running[i + 1] = total;
    }
}

void WeighSamples(const uint64_t* samples, int /*count*/, const int32_t* firsts,
                  const int32_t* weights, int taps, int n, uint64_t* sums) {
    const int32_t* w = weights;
    for (int x = 0; x < n; ++x, w += taps) {
        const uint64_t* p = samples + firsts[x];
        uint64_t sum = static_cast<uint64_t>(w[0]) * p[0];
        if (taps == 2) sum += static_cast<uint64_t>(w[1]) * p[1];
        sums[x] = sum;
    }
}

void SharpenPixels(const uint8_t* above, const uint8_t* current, const uint8_t* below, int n,
                   const SharpenTables& tables, uint8_t* out, int begin, int end) {
    // The start-up windows, then windows centred on their output.
    static constexpr int kStartWindows[4][5] = {
        {1, 1, 1, 0, 2}, {1, 1, 0, 2, 3}, {1, 0, 2, 3, 4}, {0, 2, 3, 4, 5}};
    static constexpr int kStartCentres[4] = {1, 0, 2, 3};
    for (int x = begin; x < end; ++x) {
        int sum = 0;
        for (int i = 0; i < 5; ++i) {
            const int at = std::min(x < 4 ? kStartWindows[x][i] : x - 2 + i, n - 1);
            sum += above[at] + current[at] + below[at];
        }
        const int centre = current[x < 4 ? kStartCentres[x] : x];
        sum += centre;
        const int v = tables.centre[centre] + tables.blur[sum / 16] +
                      tables.gain[std::clamp((16 * centre - sum) / 8, -128, 127) + 128];
        out[x] = static_cast<uint8_t>(tables.out[std::clamp(v >> 4, 64, 255)]);
    }
}

void SharpenRow(const uint8_t* above, const uint8_t* current, const uint8_t* below, int n,
                const SharpenTables& tables, uint8_t* out) {
    SharpenPixels(above, current, below, n, tables, out, 0, n);
}

void ChromaSamples(const int8_t* in, int n, const ChromaTables& tables, int8_t* out, int begin,
                   int end) {
    for (int t = begin; t < end; ++t) {
        const int own = t == 0 ? 0 : in[t];
        const int before = t == 0 ? in[0] : t == 1 ? 0 : in[t - 1];
        const int after = in[std::min(t + 1, n - 1)];
        const int rotated = tables.sine[(before + after) / 2 + 128];
        const int v = tables.cosine[own + 128] + ((t & 1) == 0 ? -rotated : rotated);
        out[t] = static_cast<int8_t>(std::clamp(v / 16, -127, 127));
    }
}

void ChromaRow(const int8_t* in, int n, const ChromaTables& tables, int8_t* out) {
    ChromaSamples(in, n, tables, out, 0, n);
}

void LumaCurveRow(const uint8_t* in, int n, const std::array<int32_t, 256>& curve, uint8_t* out) {
    for (int x = 0; x < n; ++x)
        out[x] = static_cast<uint8_t>(curve[in[x]]);
}

}  // namespace kivoly::kernels::reference

namespace kivoly::kernels {

void SharpenTables::FillBytes() {
    bool fit = true;
    for (int i = 0; i < 256; ++i) {
        const int32_t words[3] = {centre[i], blur[i], std::clamp(gain[i], INT16_MIN, INT16_MAX)};
        for (int t = 0; t < 3; ++t) {
            bytes[2 * t][i] = static_cast<uint8_t>(words[t] & 0xFF);
            bytes[2 * t + 1][i] = static_cast<uint8_t>((words[t] >> 8) & 0xFF);
        }
        bytes[6][i] = static_cast<uint8_t>(out[i]);
        fit = fit && centre[i] >= 0 && centre[i] <= 16383 && blur[i] >= 0 && blur[i] <= 16383;
    }
    wordsFit = fit;
}

void ChromaTables::FillBytes() {
    bool fit = true;
    for (int i = 0; i < 256; ++i) {
        const int32_t words[2] = {cosine[i], sine[i]};
        for (int t = 0; t < 2; ++t) {
            bytes[2 * t][i] = static_cast<uint8_t>(words[t] & 0xFF);
            bytes[2 * t + 1][i] = static_cast<uint8_t>((words[t] >> 8) & 0xFF);
            fit = fit && words[t] >= -16384 && words[t] <= 16383;
        }
    }
    wordsFit = fit;
}

}  // namespace kivoly::kernels
