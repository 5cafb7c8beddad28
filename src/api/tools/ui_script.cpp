// The scripted person of `kivoly ui --script` (kivoly/tools.h), on the library's window system.
#include "kivoly/tools.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <sstream>

#include "platform/key_state.h"
#include "platform/window/display.h"
#include "platform/window/input.h"
#include "platform/window/input_injection.h"
#include "platform/window/message_queue.h"
#include "platform/window/screen_picture.h"
#include "platform/window/timers.h"
#include "platform/window/window.h"
#include "platform/window/window_class.h"

namespace kivoly::tools {

namespace {

using namespace platform;

constexpr const char* kRunnerClass = "KivolyUiScript";
constexpr uintptr_t kStepTimer = 1;

const std::map<std::string, int>& KeyNames() {
    static const std::map<std::string, int> names = {
        {"space", VkSpace},   {"escape", VkEscape}, {"esc", VkEscape}, {"tab", VkTab},
        {"return", VkReturn}, {"enter", VkReturn},  {"up", VkUp},      {"down", VkDown},
        {"left", VkLeft},     {"right", VkRight},   {"f1", VkF1},      {"backspace", VkBack},
    };
    return names;
}

struct Key {
    int virtualKey = 0;
    std::vector<int> modifiers;
};

bool ParseKey(const std::string& step, Key& key) {
    std::stringstream parts(step);
    std::string part;
    std::vector<std::string> names;
    while (std::getline(parts, part, '+'))
        names.push_back(part);
    if (names.empty()) return false;
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
        if (names[i] == "ctrl") {
            key.modifiers.push_back(VkControl);
        } else if (names[i] == "alt") {
            key.modifiers.push_back(VkMenu);
        } else if (names[i] == "shift") {
            key.modifiers.push_back(VkShift);
        } else {
            return false;
        }
    }
    const std::string& last = names.back();
    if (last.size() == 1 && std::isalnum(static_cast<unsigned char>(last[0]))) {
        key.virtualKey = std::toupper(static_cast<unsigned char>(last[0]));
        return true;
    }
    auto found = KeyNames().find(last);
    if (found == KeyNames().end()) return false;
    key.virtualKey = found->second;
    return true;
}

bool ParseNumbers(const std::string& text, std::vector<int>& numbers, std::size_t count) {
    std::stringstream parts(text);
    std::string part;
    numbers.clear();
    while (std::getline(parts, part, ',')) {
        char* end = nullptr;
        const long value = std::strtol(part.c_str(), &end, 10);
        if (part.empty() || *end) return false;
        numbers.push_back(static_cast<int>(value));
    }
    return numbers.size() == count;
}

bool CheckStep(const std::string& step) {
    std::vector<int> numbers;
    if (step == "wait") return true;
    if (step.rfind("shot:", 0) == 0) return step.size() > 5;
    if (step.rfind("click:", 0) == 0) return ParseNumbers(step.substr(6), numbers, 2);
    if (step.rfind("drag:", 0) == 0) return ParseNumbers(step.substr(5), numbers, 4);
    Key key;
    return ParseKey(step, key);
}

struct Runner {
    KivoHWnd mainWindow = nullptr;
    std::vector<std::string> steps;
    std::size_t next = 0;
    std::vector<int> held;  // modifiers still down from the last key step
    std::function<bool()> busy;
    bool* failed = nullptr;
    int dragMoves = 0;  // moves of a drag still to come; the button is released after them
    Point dragStep;
};
Runner gRunner;

// A point of the main window, brought to the front first as a person would before clicking.
Point ClientPoint(int x, int y) {
    BringWindowToTop(gRunner.mainWindow);
    Point point{x, y};
    ClientToScreen(gRunner.mainWindow, point);
    return point;
}

void RunStep(const std::string& step) {
    std::vector<int> numbers;
    if (step == "wait") return;
    if (step.rfind("shot:", 0) == 0) {
        const std::string path = step.substr(5);
        if (!SaveWindowPng(gRunner.mainWindow, path.c_str())) {
            std::fprintf(stderr, "kivoly ui: cannot write %s\n", path.c_str());
            *gRunner.failed = true;
        }
        return;
    }
    if (step.rfind("click:", 0) == 0 && ParseNumbers(step.substr(6), numbers, 2)) {
        InjectClick(ClientPoint(numbers[0], numbers[1]));
        return;
    }
    if (step.rfind("drag:", 0) == 0 && ParseNumbers(step.substr(5), numbers, 4)) {
        // One 3-pixel move a step, from wherever the pointer is then: a control that puts the
        // pointer back after every move sees each of them, as it sees a person's hand.
        InjectMouseButton(VkLButton, true, ClientPoint(numbers[0], numbers[1]));
        const int moves = std::max(std::abs(numbers[2]), std::abs(numbers[3])) / 3;
        gRunner.dragMoves = std::max(moves, 1);
        gRunner.dragStep = {numbers[2] / gRunner.dragMoves, numbers[3] / gRunner.dragMoves};
        return;
    }
    Key key;
    if (!ParseKey(step, key)) return;
    BringWindowToTop(gRunner.mainWindow);  // the window in front, as a person has it to type
    for (int modifier : key.modifiers)
        InjectKey(modifier, true);
    InjectKey(key.virtualKey, true);
    InjectKey(key.virtualKey, false);
    gRunner.held = key.modifiers;
}

LResult RunnerProcedure(KivoHWnd window, uint32_t message, WParam first, LParam second) {
    if (message != WmTimer || first != kStepTimer) {
        return DefWindowProc(window, message, first, second);
    }
    // Modifiers are held while the key of the last step is handled, as a person holds them.
    for (int modifier : gRunner.held)
        InjectKey(modifier, false);
    gRunner.held.clear();
    if (gRunner.busy && gRunner.busy()) return 0;
    if (gRunner.dragMoves > 0) {
        Point at;
        GetCursorPos(at);
        at = {at.x + gRunner.dragStep.x, at.y + gRunner.dragStep.y};
        if (--gRunner.dragMoves > 0) {
            InjectMouseMove(at);
        } else {
            InjectMouseButton(VkLButton, false, at);
        }
        return 0;
    }
    if (gRunner.next >= gRunner.steps.size()) {
        KillTimer(window, kStepTimer);
        PostQuitMessage(0);
        return 0;
    }
    RunStep(gRunner.steps[gRunner.next++]);
    return 0;
}

}  // namespace

bool ParseUiScript(const std::string& text, std::vector<std::string>& steps, std::string& error) {
    std::istringstream words(text);
    std::string step;
    steps.clear();
    while (words >> step) {
        std::string lowered = step;
        if (lowered.rfind("shot:", 0) != 0) {
            std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        }
        if (!CheckStep(lowered)) {
            error = "unknown script step '" + step + "'";
            return false;
        }
        steps.push_back(lowered);
    }
    return true;
}

void StartUiScript(KivoHWnd mainWindow, std::vector<std::string> steps, int periodMs,
                   std::function<bool()> busy, bool* failed) {
    WindowClass runner;
    runner.name = kRunnerClass;
    runner.procedure = &RunnerProcedure;
    RegisterClass(runner);
    gRunner = {mainWindow, std::move(steps), 0, {}, std::move(busy), failed, 0, {}};
    KivoHWnd window = CreateWindow(0, kRunnerClass, "", WsPopup, 0, 0, 1, 1, nullptr, 0, nullptr);
    SetTimer(window, kStepTimer, static_cast<unsigned>(periodMs));
}

}  // namespace kivoly::tools
