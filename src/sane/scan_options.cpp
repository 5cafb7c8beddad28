#include "sane/scan_options.h"

#include <sane/saneopts.h>
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "resources/string_table.h"

namespace kivoly::sane {

namespace {

struct PictureSize {
    const char* name;
    int width;
    int height;
    // The picture taken as 4 x 3 inches, so that each size is also a resolution.
    SANE_Word dpi;
};
constexpr std::array<PictureSize, 3> kSizes = {
    {{"320x240", 320, 240, 80}, {"640x480", 640, 480, 160}, {"1500x1125", 1500, 1125, 375}}};
constexpr int kDefaultSize = 1;
constexpr int kPreviewSize = 0;
constexpr int kPreviewQuality = 0;

constexpr SANE_String_Const kModes[] = {SANE_VALUE_SCAN_MODE_COLOR, SANE_VALUE_SCAN_MODE_GRAY,
                                        nullptr};
constexpr int kModeColor = 0;
constexpr SANE_String_Const kSizeNames[] = {kSizes[0].name, kSizes[1].name, kSizes[2].name,
                                            nullptr};
constexpr SANE_Word kResolutions[] = {3, kSizes[0].dpi, kSizes[1].dpi, kSizes[2].dpi};
constexpr SANE_String_Const kSources[] = {"Camera", "Tape", nullptr};
constexpr int kSourceCamera = 0;
constexpr SANE_Range kAdjustmentRange = {-50, 50, 1};

// The quality modes by the names the library's setup window gives them.
constexpr int kStringQualityFirst = 102;
const SANE_String_Const* QualityNames() {
    static char names[4][48];
    static SANE_String_Const list[5] = {};
    if (!list[0]) {
        for (int q = 0; q < 4; ++q) {
            LoadResourceString(kStringQualityFirst + q, names[q], sizeof names[q]);
            list[q] = names[q];
        }
    }
    return list;
}

struct Adjustment {
    Option option;
    bool colourOnly;  // without effect on a grey picture, so inactive in Gray mode
    SANE_String_Const name;
    SANE_String_Const title;
    SANE_String_Const desc;
    int32_t KivoProcessInfo::*field;
};
constexpr std::array<Adjustment, 9> kAdjustments = {{
    {kOptionHue, true, SANE_NAME_HUE, SANE_TITLE_HUE, "Turns the colours around the colour circle.",
     &KivoProcessInfo::Hue},
    {kOptionSaturation, true, SANE_NAME_SATURATION, SANE_TITLE_SATURATION,
     "How strong the colours are.", &KivoProcessInfo::Color},
    {kOptionBrightness, false, SANE_NAME_BRIGHTNESS, SANE_TITLE_BRIGHTNESS, SANE_DESC_BRIGHTNESS,
     &KivoProcessInfo::Brightness},
    {kOptionContrast, false, SANE_NAME_CONTRAST, SANE_TITLE_CONTRAST, SANE_DESC_CONTRAST,
     &KivoProcessInfo::Contrast},
    {kOptionSharpness, false, "sharpness", "Sharpness", "Sharpness of the picture.",
     &KivoProcessInfo::Sharpness},
    {kOptionGamma, false, "gamma", "Gamma", "Gamma of the picture: how light its middle tones are.",
     &KivoProcessInfo::Gamma},
    {kOptionRed, true, "red-balance", "Red", "Red balance of the picture.", &KivoProcessInfo::Red},
    {kOptionGreen, true, "green-balance", "Green", "Green balance of the picture.",
     &KivoProcessInfo::Green},
    {kOptionBlue, true, "blue-balance", "Blue", "Blue balance of the picture.",
     &KivoProcessInfo::Blue},
}};

constexpr SANE_Int kSettable = SANE_CAP_SOFT_SELECT | SANE_CAP_SOFT_DETECT;

SANE_Int LongestName(const SANE_String_Const* list) {
    std::size_t longest = 0;
    for (; *list; ++list)
        longest = std::max(longest, std::strlen(*list));
    return static_cast<SANE_Int>(longest + 1);
}

SANE_Option_Descriptor Group(SANE_String_Const name, SANE_String_Const title) {
    SANE_Option_Descriptor d{};
    d.name = name;
    d.title = title;
    d.desc = "";
    d.type = SANE_TYPE_GROUP;
    return d;
}

SANE_Option_Descriptor Word(SANE_String_Const name, SANE_String_Const title, SANE_String_Const desc,
                            SANE_Value_Type type) {
    SANE_Option_Descriptor d{};
    d.name = name;
    d.title = title;
    d.desc = desc;
    d.type = type;
    d.unit = SANE_UNIT_NONE;
    d.size = sizeof(SANE_Word);
    d.cap = kSettable;
    return d;
}

SANE_Option_Descriptor List(SANE_String_Const name, SANE_String_Const title, SANE_String_Const desc,
                            const SANE_String_Const* list) {
    SANE_Option_Descriptor d = Word(name, title, desc, SANE_TYPE_STRING);
    d.size = LongestName(list);
    d.constraint_type = SANE_CONSTRAINT_STRING_LIST;
    d.constraint.string_list = list;
    return d;
}

int IndexOf(const SANE_String_Const* list, const char* value) {
    for (int i = 0; list[i]; ++i) {
        if (strcasecmp(list[i], value) == 0) return i;
    }
    return -1;
}

}  // namespace

ScanOptions::ScanOptions(const KivoGrabInfo& grabInfo, const KivoProcessInfo& processInfo) {
    auto& d = descriptors_;
    d[kOptionCount] =
        Word(SANE_NAME_NUM_OPTIONS, SANE_TITLE_NUM_OPTIONS, SANE_DESC_NUM_OPTIONS, SANE_TYPE_INT);
    d[kOptionCount].cap = SANE_CAP_SOFT_DETECT;
    d[kGroupCapture] = Group(SANE_NAME_STANDARD, SANE_TITLE_STANDARD);
    d[kOptionMode] = List(SANE_NAME_SCAN_MODE, SANE_TITLE_SCAN_MODE, SANE_DESC_SCAN_MODE, kModes);
    d[kOptionQuality] = List("quality", "Quality",
                             "How the picture is captured: Moving takes one field; the still "
                             "modes take whole frames, the finest a second set sampled half a "
                             "sample later, and take longer.",
                             QualityNames());
    d[kOptionSize] = List("picture-size", "Picture size",
                          "Width and height of the picture in pixels (the same choice as the "
                          "resolution).",
                          kSizeNames);
    d[kOptionResolution] = Word(SANE_NAME_SCAN_RESOLUTION, SANE_TITLE_SCAN_RESOLUTION,
                                "The picture size as a resolution of a 4 x 3 inch picture: "
                                "80, 160 or 375 dpi give 320x240, 640x480 or 1500x1125 pixels.",
                                SANE_TYPE_INT);
    d[kOptionResolution].unit = SANE_UNIT_DPI;
    d[kOptionResolution].constraint_type = SANE_CONSTRAINT_WORD_LIST;
    d[kOptionResolution].constraint.word_list = kResolutions;
    d[kOptionSource] =
        List(SANE_NAME_SCAN_SOURCE, SANE_TITLE_SCAN_SOURCE,
             "What feeds the video input: a live camera or a tape player.", kSources);
    d[kOptionNegative] =
        Word(SANE_NAME_NEGATIVE, SANE_TITLE_NEGATIVE, SANE_DESC_NEGATIVE, SANE_TYPE_BOOL);
    d[kOptionTermination] = Word("termination", "75-ohm termination",
                                 "Terminates the video input with 75 ohms; turn it off when "
                                 "another device terminates the cable.",
                                 SANE_TYPE_BOOL);
    d[kOptionPreview] =
        Word(SANE_NAME_PREVIEW, SANE_TITLE_PREVIEW, SANE_DESC_PREVIEW, SANE_TYPE_BOOL);
    d[kGroupEnhancement] = Group(SANE_NAME_ENHANCEMENT, SANE_TITLE_ENHANCEMENT);
    for (const Adjustment& a : kAdjustments) {
        d[a.option] = Word(a.name, a.title, a.desc, SANE_TYPE_INT);
        d[a.option].constraint_type = SANE_CONSTRAINT_RANGE;
        d[a.option].constraint.range = &kAdjustmentRange;
        values_[a.option] =
            std::clamp(processInfo.*a.field, kAdjustmentRange.min, kAdjustmentRange.max);
    }

    values_[kOptionCount] = kOptions;
    values_[kOptionMode] = grabInfo.UseColor ? kModeColor : 1;
    values_[kOptionQuality] = std::clamp(grabInfo.Quality, 0, 3);
    values_[kOptionSize] = kDefaultSize;
    for (std::size_t i = 0; i < kSizes.size(); ++i) {
        if (processInfo.Width == kSizes[i].width) values_[kOptionSize] = static_cast<SANE_Word>(i);
    }
    values_[kOptionResolution] = kSizes[values_[kOptionSize]].dpi;
    values_[kOptionSource] = grabInfo.CameraInput ? kSourceCamera : 1;
    values_[kOptionNegative] = grabInfo.Negative ? SANE_TRUE : SANE_FALSE;
    values_[kOptionTermination] = grabInfo.TerminateVideo ? SANE_TRUE : SANE_FALSE;
    values_[kOptionPreview] = SANE_FALSE;
    FollowMode();
}

void ScanOptions::FollowMode() {
    for (const Adjustment& a : kAdjustments) {
        if (!a.colourOnly) continue;
        if (Grey()) {
            descriptors_[a.option].cap |= SANE_CAP_INACTIVE;
        } else {
            descriptors_[a.option].cap &= ~SANE_CAP_INACTIVE;
        }
    }
}

const SANE_Option_Descriptor* ScanOptions::Descriptor(SANE_Int option) const {
    if (option < 0 || option >= kOptions) return nullptr;
    return &descriptors_[option];
}

SANE_Status ScanOptions::Control(SANE_Int option, SANE_Action action, void* value, SANE_Int* info) {
    if (info) *info = 0;
    const SANE_Option_Descriptor* d = Descriptor(option);
    if (!d || !value || d->type == SANE_TYPE_GROUP) return SANE_STATUS_INVAL;
    switch (action) {
        case SANE_ACTION_GET_VALUE:
            if (d->type == SANE_TYPE_STRING) {
                std::strcpy(static_cast<char*>(value), d->constraint.string_list[values_[option]]);
            } else {
                *static_cast<SANE_Word*>(value) = values_[option];
            }
            return SANE_STATUS_GOOD;
        case SANE_ACTION_SET_VALUE:
            if (!SANE_OPTION_IS_SETTABLE(d->cap) || !SANE_OPTION_IS_ACTIVE(d->cap)) {
                return SANE_STATUS_INVAL;
            }
            return SetValue(option, value, info);
        default:
            return SANE_STATUS_INVAL;  // no option chooses its own value
    }
}

SANE_Status ScanOptions::SetValue(SANE_Int option, void* value, SANE_Int* info) {
    const SANE_Option_Descriptor& d = descriptors_[option];
    SANE_Word word = 0;
    switch (d.type) {
        case SANE_TYPE_BOOL:
            word = *static_cast<SANE_Word*>(value);
            if (word != SANE_TRUE && word != SANE_FALSE) return SANE_STATUS_INVAL;
            break;
        case SANE_TYPE_INT:
            word = *static_cast<SANE_Word*>(value);
            if (d.constraint_type == SANE_CONSTRAINT_RANGE &&
                (word < d.constraint.range->min || word > d.constraint.range->max)) {
                return SANE_STATUS_INVAL;
            }
            if (d.constraint_type == SANE_CONSTRAINT_WORD_LIST &&
                std::find(d.constraint.word_list + 1,
                          d.constraint.word_list + 1 + d.constraint.word_list[0],
                          word) == d.constraint.word_list + 1 + d.constraint.word_list[0]) {
                return SANE_STATUS_INVAL;
            }
            break;
        case SANE_TYPE_STRING: {
            // The value is bounded by the option's size; a longer one matches nothing.
            char* text = static_cast<char*>(value);
            if (!std::memchr(text, '\0', static_cast<std::size_t>(d.size)))
                return SANE_STATUS_INVAL;
            word = IndexOf(d.constraint.string_list, text);
            if (word < 0) return SANE_STATUS_INVAL;
            if (std::strcmp(text, d.constraint.string_list[word]) != 0) {
                std::strcpy(text, d.constraint.string_list[word]);
                if (info) *info |= SANE_INFO_INEXACT;
            }
            break;
        }
        default:
            return SANE_STATUS_INVAL;
    }
    values_[option] = word;

    SANE_Int changed = 0;
    if (option == kOptionSize || option == kOptionResolution) {
        // The two name one choice: setting either moves the other.
        if (option == kOptionResolution) {
            for (std::size_t i = 0; i < kSizes.size(); ++i) {
                if (kSizes[i].dpi == word) values_[kOptionSize] = static_cast<SANE_Word>(i);
            }
        }
        values_[kOptionResolution] = kSizes[values_[kOptionSize]].dpi;
        changed = SANE_INFO_RELOAD_OPTIONS | SANE_INFO_RELOAD_PARAMS;
    } else if (option == kOptionMode) {
        FollowMode();
        changed = SANE_INFO_RELOAD_OPTIONS | SANE_INFO_RELOAD_PARAMS;
    } else if (option == kOptionPreview) {
        changed = SANE_INFO_RELOAD_PARAMS;
    }
    if (info) *info |= changed;
    return SANE_STATUS_GOOD;
}

int ScanOptions::SizeIndex() const {
    return values_[kOptionPreview] ? kPreviewSize : values_[kOptionSize];
}

bool ScanOptions::Grey() const {
    return values_[kOptionMode] != kModeColor;
}

void ScanOptions::Apply(KivoGrabInfo& grabInfo, KivoProcessInfo& processInfo) const {
    grabInfo.Quality = values_[kOptionPreview] ? kPreviewQuality : values_[kOptionQuality];
    grabInfo.UseColor = Grey() ? 0 : 1;
    grabInfo.CameraInput = values_[kOptionSource] == kSourceCamera ? 1 : 0;
    grabInfo.Negative = values_[kOptionNegative] ? 1 : 0;
    grabInfo.TerminateVideo = values_[kOptionTermination] ? 1 : 0;
    const PictureSize& size = kSizes[SizeIndex()];
    processInfo.Width = size.width;
    processInfo.Height = size.height;
    for (const Adjustment& a : kAdjustments)
        processInfo.*a.field = a.colourOnly && Grey() ? 0 : values_[a.option];
}

SANE_Parameters ScanOptions::Parameters() const {
    const PictureSize& size = kSizes[SizeIndex()];
    SANE_Parameters p{};
    p.format = Grey() ? SANE_FRAME_GRAY : SANE_FRAME_RGB;
    p.last_frame = SANE_TRUE;
    p.pixels_per_line = size.width;
    p.lines = size.height;
    p.depth = 8;
    p.bytes_per_line = size.width * (Grey() ? 1 : 3);
    return p;
}

}  // namespace kivoly::sane
