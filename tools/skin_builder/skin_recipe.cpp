#include "skin_recipe.h"

#include <array>
#include <cstdio>

namespace skin {
namespace {

constexpr int kPanelWidth = 540;
constexpr int kPanelHeight = 211;
constexpr int kMainHeight = 247;
constexpr int kStripTop = 211;
constexpr int kCellWidth = 88;
constexpr int kCellHeight = 36;
constexpr int kValueFrames = 101;
constexpr int kSliderFrames = 51;

// Where a slider window's top edge sits for each frame, below the track's top (the panel moves
// the window by this table, so each frame shows the track behind it at that height).
constexpr std::array<int, kSliderFrames> kSliderTrack = {
    0,  0,  1,  1,  3,  4,  6,  8,  9,  10, 11, 13, 15, 18, 19, 21, 23,
    25, 27, 29, 31, 33, 35, 35, 37, 39, 41, 41, 43, 43, 45, 45, 45, 47,
    47, 47, 49, 51, 53, 55, 57, 59, 59, 59, 59, 59, 59, 59, 59, 59, 59};

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// A button cell of the main panel's bottom strip.
Rect Cell(int x) {
    return {x, kStripTop, kCellWidth, kCellHeight};
}

MemberRecipe Cut(const char* purpose, const char* source, Variables variables, Rect cut) {
    MemberRecipe recipe;
    recipe.purpose = purpose;
    recipe.source = source;
    recipe.variables = std::move(variables);
    recipe.cut = cut;
    return recipe;
}

MemberRecipe Strip(const char* purpose, const char* source, int width, int height, int frames,
                   std::function<Variables(int frame)> frameVariables) {
    MemberRecipe recipe = Cut(purpose, source, {}, {0, 0, width, height});
    recipe.frames = frames;
    recipe.frameVariables = std::move(frameVariables);
    return recipe;
}

}  // namespace

Variables SourceDefaults(const std::string& source) {
    if (source == "main_panel.svg") {
        return {{"kivo", "up"},  {"preview", "up"}, {"adjust", "up"},
                {"save", "off"}, {"setup", "up"},   {"help", "up"}};
    }
    if (source == "preview_panel.svg")
        return {{"battery", "off"}, {"bright", "off"}, {"hint", "none"}};
    if (source == "adjust_panel.svg") return {{"reset", "up"}, {"go", "off"}};
    if (source == "setup_panel.svg") return {{"save", "up"}};
    return {};
}

std::vector<MemberRecipe> SkinRecipe() {
    const Rect capture{6, kStripTop, 95, kCellHeight};
    const Rect resetCell{348, 167, 92, 40};
    const Rect goCell{440, 167, 92, 40};
    return {
        Cut("main panel", "main_panel.svg", {}, {0, 0, kPanelWidth, kMainHeight}),
        Cut("Preview pressed", "main_panel.svg", {{"preview", "down"}}, Cell(101)),
        Cut("Adjust pressed", "main_panel.svg", {{"adjust", "down"}}, Cell(189)),
        Cut("Save pressed", "main_panel.svg", {{"save", "down"}}, Cell(277)),
        Cut("Save released", "main_panel.svg", {{"save", "up"}}, Cell(277)),
        Cut("Setup pressed", "main_panel.svg", {{"setup", "down"}}, Cell(365)),
        Cut("Help pressed", "main_panel.svg", {{"help", "down"}}, Cell(454)),
        Cut("preview panel", "preview_panel.svg", {}, {0, 0, kPanelWidth, kPanelHeight}),
        Cut("low battery", "preview_panel.svg", {{"battery", "on"}}, {162, 161, 24, 16}),
        Cut("too bright", "preview_panel.svg", {{"bright", "on"}}, {163, 181, 24, 16}),
        Cut("preview hint", "preview_panel.svg", {{"hint", "shown"}}, {375, 62, 74, 80}),
        Cut("capture waiting", "main_panel.svg", {{"kivo", "waiting"}}, capture),
        Cut("capture ready", "main_panel.svg", {{"kivo", "ready"}}, capture),
        Strip("value displays", "value_display.svg", 25, 14, kValueFrames,
              [](int frame) {
                  return Variables{{"text", std::to_string(frame - 50)}};
              }),
        Strip("knobs", "knob.svg", 36, 39, kValueFrames,
              [](int frame) {
                  // The pointer sweeps three quarters of a turn, straight up at 0.
                  return Variables{{"angle", Number((frame - 50) * 2.7)}};
              }),
        Strip("sliders", "slider.svg", 56, 30, kSliderFrames,
              [](int frame) {
                  return Variables{{"offset", std::to_string(-kSliderTrack[std::size_t(frame)])},
                                   {"value", std::to_string(50 - 2 * frame)}};
              }),
        Cut("Reset pressed", "adjust_panel.svg", {{"reset", "down"}}, resetCell),
        Cut("Go pressed", "adjust_panel.svg", {{"go", "down"}}, goCell),
        Cut("Go released", "adjust_panel.svg", {{"go", "up"}}, goCell),
        Cut("adjustment panel", "adjust_panel.svg", {}, {0, 0, kPanelWidth, kPanelHeight}),
        Cut("setup panel", "setup_panel.svg", {}, {0, 0, kPanelWidth, kPanelHeight}),
        Cut("selection mark", "mark.svg", {}, {0, 0, 16, 16}),
        Cut("Save Settings pressed", "setup_panel.svg", {{"save", "down"}}, {401, 179, 116, 28}),
    };
}

}  // namespace skin
