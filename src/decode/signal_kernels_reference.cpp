// The scalar forms of the signal kernels: the arithmetic exactly as the decoder defines it.
#include <algorithm>
#include <cstdlib>

#include "decode/internal/signal_kernels.h"

namespace kivoly::kernels::reference {

void CombLine(const int16_t* xs, const int16_t* ys, int n, bool useColor, uint8_t* luma,
              int32_t* z) {
    auto sum = [&](int i) { return xs[i] + ys[i]; };
    for (int k = 0; k < n; ++k) {
        const int s = sum(k);
        const int m = s / 2;
        z[k] = useColor ? xs[k] - m : 0;
        const int t = sum(k - 3) + 2 * sum(k - 2) + 3 * sum(k - 1) + 4 * s + 3 * sum(k + 1) +
                      2 * sum(k + 2) + sum(k + 3);
        const int value = (16 * s - t < 64 && t - 16 * s < 64) ? t / 32 : m;
        luma[k] = static_cast<uint8_t>(std::min(value, 255));
    }
}

void Demodulate(const int32_t* z, int n, int weightA, int weightB, int8_t* out) {
    int p = 0;  // last chroma sample of the even phases, signed by its phase
    int q = 0;  // last of the odd phases
    for (int k = 0; k < n; ++k) {
        int value;
        switch (k & 3) {
            case 0:
            case 2: {
                const int current = (k & 3) == 0 ? -z[k] : z[k];
                value = (q * weightB - ((current + p) * weightA) / 2) / 1024;
                p = current;
                break;
            }
            default: {
                const int current = (k & 3) == 1 ? -z[k] : z[k];
                value = (((q + current) * weightA) / 2 + p * weightB) / 1024;
                q = current;
                break;
            }
        }
        out[k] = static_cast<int8_t>(std::clamp(value, -128, 127));
    }
}

void MovingAverageExtremes(const uint8_t* window, int n, int& high, int& low) {
    int sum = 0;
    for (int i = 0; i < 7; ++i)
        sum += window[i];
    for (int i = 0; i < n; ++i) {
        sum += window[i + 7];
        const int mean = (sum + 4) / 8;
        high = std::max(high, mean);
        low = std::min(low, mean);
        sum -= window[i];
    }
}

void SeparatorEstimates(const int16_t* M, const int16_t* N, const int16_t* S, int n, int32_t* out) {
    for (int k = 0; k < n; ++k, ++M, ++N, ++S) {
        // Horizontal activity: the change of the chroma band-pass and of the luma along the line.
        const int h = 2 * (std::abs((2 * M[-2] - M[-4] - M[0]) - (2 * M[2] - M[0] - M[4])) +
                           std::abs(M[-3] + M[3] - M[-1] - M[1]));
        // Vertical activity: the band-passes of the lines above and below differ, or the luma
        // changes across the line.
        const int v = std::abs((2 * N[0] - N[-2] - N[2]) - (2 * S[0] - S[-2] - S[2])) +
                      std::abs(N[-1] + N[1] + S[-1] + S[1] - 2 * (M[-1] + M[1])) - 20;
        const int vertical = (4 * M[0] - 2 * (M[2] + M[-2]) - (2 * N[0] - N[2] - N[-2]) -
                              (2 * S[0] - S[2] - S[-2])) /
                             16;
        const int horizontal = (2 * M[0] - M[2] - M[-2]) / 4;
        if (v <= 0) {
            out[k] = vertical;
        } else if (h == v) {
            out[k] = (horizontal + vertical) / 2;
        } else if (h <= 0) {
            out[k] = horizontal;
        } else {
            out[k] = (horizontal * v + vertical * h) / (h + v);
        }
    }
}

void Smooth121(const uint8_t* left, const uint8_t* centre, const uint8_t* right, int n,
               uint8_t* out) {
    for (int j = 0; j < n; ++j) {
        const int t = left[j] + 2 * centre[j] + right[j];
        const int difference = 4 * centre[j] - t;
        out[j] = static_cast<uint8_t>((difference > -8 && difference < 8) ? t >> 2 : centre[j]);
    }
}

}  // namespace kivoly::kernels::reference
