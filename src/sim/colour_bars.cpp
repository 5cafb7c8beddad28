#include "sim/colour_bars.h"

#include <array>

namespace kivoly::sim {

namespace {

using Rgb = std::array<uint8_t, 3>;

constexpr Rgb kGrey75{191, 191, 191};
constexpr Rgb kYellow75{191, 191, 0};
constexpr Rgb kCyan75{0, 191, 191};
constexpr Rgb kGreen75{0, 191, 0};
constexpr Rgb kMagenta75{191, 0, 191};
constexpr Rgb kRed75{191, 0, 0};
constexpr Rgb kBlue75{0, 0, 191};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kMinusI{0, 33, 76};
constexpr Rgb kPlusQ{50, 0, 106};
constexpr Rgb kGrey4{10, 10, 10};

constexpr std::array<Rgb, 7> kBars{kGrey75,    kYellow75, kCyan75, kGreen75,
                                   kMagenta75, kRed75,    kBlue75};
constexpr std::array<Rgb, 7> kReversed{kBlue75, kBlack, kMagenta75, kBlack,
                                       kCyan75, kBlack, kGrey75};

// The bottom strip in sixths of the bars' width: -I, white, +Q take the first four bars'
// width (in thirds of it), then black, the black-level step and black.
Rgb BottomColour(int x, int width) {
    const int fourBars = width * 4 / 7;
    if (x < fourBars) {
        const int third = x * 3 / fourBars;
        return third == 0 ? kMinusI : third == 1 ? kWhite : kPlusQ;
    }
    const int rest = (x - fourBars) * 6 / (width - fourBars);  // six parts in three bars
    return rest == 3 ? kGrey4 : kBlack;
}

}  // namespace

Picture ColourBars(int width, int height) {
    Picture picture(width, height);
    const int barsEnd = height * 2 / 3;
    const int stripEnd = height * 3 / 4;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int bar = x * 7 / width;
            const Rgb colour = y < barsEnd    ? kBars[static_cast<size_t>(bar)]
                               : y < stripEnd ? kReversed[static_cast<size_t>(bar)]
                                              : BottomColour(x, width);
            uint8_t* p = picture.Pixel(x, y);
            p[0] = colour[0];
            p[1] = colour[1];
            p[2] = colour[2];
        }
    }
    return picture;
}

}  // namespace kivoly::sim
