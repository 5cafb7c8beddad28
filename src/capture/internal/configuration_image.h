// The device's logic: a serial configuration stream of 1,537 bytes that Power(true) clocks into
// the device at every power-up, most significant bit first. It opens with eight 1 bits, the
// preamble 0010, the 24-bit length count 12,281 and four 1 bits (FF 20 02 FF 9F); the logic
// frames follow, and the stream ends in 1 bits that start the device up.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kivoly {

inline constexpr std::size_t kConfigurationImageSize = 1537;

using ConfigurationImage = std::array<uint8_t, kConfigurationImageSize>;

constexpr ConfigurationImage MakeConfigurationImage() {
    ConfigurationImage image{};
    constexpr uint8_t kHeader[] = {0xFF, 0x20, 0x02, 0xFF, 0x9F};
    constexpr std::size_t kStartUpBytes = 8;
    for (std::size_t i = 0; i < sizeof kHeader; ++i)
        image[i] = kHeader[i];
    // The logic frames: a fixed pseudo-random sequence (xorshift32) stands for the device's
    // routing and lookup-table bits.
    uint32_t state = 0x4B49564Fu;
    for (std::size_t i = sizeof kHeader; i < kConfigurationImageSize - kStartUpBytes; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        image[i] = static_cast<uint8_t>(state >> 24);
    }
    for (std::size_t i = kConfigurationImageSize - kStartUpBytes; i < kConfigurationImageSize;
         ++i) {
        image[i] = 0xFF;
    }
    return image;
}

inline constexpr ConfigurationImage kConfigurationImage = MakeConfigurationImage();

}  // namespace kivoly
