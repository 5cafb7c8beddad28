#include "sim/encoded_signal.h"

#include "sim/colour_bars.h"
#include "sim/picture_file.h"

namespace kivoly::sim {

std::unique_ptr<EncodedSignal> EncodedSignal::ColourBarSignal() {
    return std::make_unique<EncodedSignal>(ColourBars());
}

std::unique_ptr<EncodedSignal> EncodedSignal::FromFile(const std::string& path,
                                                       std::string& error) {
    Picture picture;
    if (!ReadPicture(path, picture, error)) return nullptr;
    return std::make_unique<EncodedSignal>(picture);
}

}  // namespace kivoly::sim
