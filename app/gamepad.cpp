#include "app/gamepad.h"

#include <algorithm>
#include <charconv>
#include <ostream>
#include <vector>

#include "app/config_screen.h"
#include "app/file_io.h"
#include "console/console.h"

namespace {

// The names of gamepad.cfg's lines, in GamepadMap order.
constexpr std::array<std::string_view, PadMapEntries> PadMapNames = {"A",    "B",    "select", "start",  "up",
                                                                     "down", "left", "right",  "turbo_a", "turbo_b"};

struct HatName {
    uint8_t bit;
    std::string_view name;
};
constexpr std::array<HatName, 4> HatNames = {{{HatUp, "up"}, {HatRight, "right"}, {HatDown, "down"}, {HatLeft, "left"}}};

constexpr PadInput padButton(uint8_t index) { return {PadInputKind::Button, index, 0}; }
constexpr PadInput hat0(uint8_t bit) { return {PadInputKind::Hat, 0, static_cast<int8_t>(bit)}; }
constexpr PadInput axis(uint8_t index, int8_t direction) { return {PadInputKind::Axis, index, direction}; }

void updateController(uint32_t pad)
{
    ButtonState& held = padButtons[pad];
    const GamepadState& state = gamepads[pad];
    const auto holds = [&](uint32_t entry) {
        return std::ranges::any_of(state.map[entry], [&](const PadInput& input) { return padInputHeld(state, input); });
    };
    for (uint32_t button = 0; button < ButtonCount; ++button)
        held[button] = holds(button);
    padTurbo[pad] = {holds(TurboA), holds(TurboB)};
}

void clearInputs(GamepadState& state)
{
    state.buttons.fill(0);
    state.hats.fill(0);
    state.axes.fill(0);
}

std::vector<std::string_view> words(std::string_view line)
{
    std::vector<std::string_view> result;
    size_t at = 0;
    while (at < line.size()) {
        const size_t start = line.find_first_not_of(" \t\r", at);
        if (start == std::string_view::npos)
            break;
        const size_t end = std::min(line.find_first_of(" \t\r", start), line.size());
        result.push_back(line.substr(start, end - start));
        at = end;
    }
    return result;
}

constexpr char lowerLetter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowerCase(std::string_view name)
{
    std::string text(name);
    std::ranges::transform(text, text.begin(), lowerLetter);
    return text;
}

// Equal but for the case of ASCII letters.
bool sameLetters(std::string_view a, std::string_view b) { return std::ranges::equal(a, b, {}, lowerLetter, lowerLetter); }

std::optional<uint8_t> number(std::string_view text, uint32_t limit)
{
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value >= limit)
        return std::nullopt;
    return static_cast<uint8_t>(value);
}

// The input named by the words after the button's name, or nothing when they name none.
std::optional<PadInput> parseInput(const std::vector<std::string_view>& w)
{
    if (w.size() == 3 && w[1] == "button") {
        if (const auto index = number(w[2], PadButtonCount))
            return padButton(*index);
    } else if (w.size() == 4 && w[1] == "hat") {
        const auto index = number(w[2], PadHatCount);
        const auto hat = std::ranges::find(HatNames, w[3], &HatName::name);
        if (index && hat != HatNames.end())
            return PadInput{PadInputKind::Hat, *index, static_cast<int8_t>(hat->bit)};
    } else if (w.size() == 4 && w[1] == "axis" && (w[3] == "-" || w[3] == "+")) {
        if (const auto index = number(w[2], PadAxisCount))
            return axis(*index, w[3] == "-" ? -1 : 1);
    }
    return std::nullopt;
}

std::string formatInput(const PadInput& input)
{
    switch (input.kind) {
    case PadInputKind::Button:
        return "button " + std::to_string(input.index);
    case PadInputKind::Hat: {
        const auto hat = std::ranges::find(HatNames, static_cast<uint8_t>(input.direction), &HatName::bit);
        return "hat " + std::to_string(input.index) + " " + std::string(hat != HatNames.end() ? hat->name : "up");
    }
    case PadInputKind::Axis:
        return "axis " + std::to_string(input.index) + (input.direction < 0 ? " -" : " +");
    case PadInputKind::None:
        break;
    }
    return {};
}

}  // namespace

PadBinding defaultBinding(uint32_t button, uint32_t padButtons)
{
    const bool manyButtons = padButtons >= 8;
    switch (button) {
    case ButtonA:
        return {padButton(1)};
    case ButtonB:
        return {padButton(0)};
    case ButtonSelect:
        return {padButton(manyButtons ? 6 : 2)};
    case ButtonStart:
        return {padButton(manyButtons ? 7 : 3)};
    case ButtonUp:
        return {hat0(HatUp), axis(1, -1)};
    case ButtonDown:
        return {hat0(HatDown), axis(1, 1)};
    case ButtonLeft:
        return {hat0(HatLeft), axis(0, -1)};
    default:
        return {hat0(HatRight), axis(0, 1)};
    }
}

GamepadMap resolveGamepadMap(const GamepadMap& configured, uint32_t padButtons)
{
    GamepadMap map = configured;
    for (uint32_t button = 0; button < ButtonCount; ++button)
        if (map[button][0].kind == PadInputKind::None)
            map[button] = defaultBinding(button, padButtons);
    return map;
}

void connectGamepad(uint32_t pad, uint32_t padButtons)
{
    if (pad >= MaxGamepads)
        return;
    GamepadState& state = gamepads[pad];
    state.present = true;
    state.map = resolveGamepadMap(gamepadConfig, padButtons);
    clearInputs(state);
    updateController(pad);
    if (pad == 1)
        plugSecondController(true);
}

void applyPadEvent(uint32_t pad, const PadEvent& event)
{
    if (pad >= MaxGamepads || !gamepads[pad].present)
        return;
    GamepadState& state = gamepads[pad];
    switch (event.kind) {
    case PadInputKind::Button:
        if (event.index < PadButtonCount)
            state.buttons[event.index] = event.value != 0 ? 1 : 0;
        break;
    case PadInputKind::Hat:
        if (event.index < PadHatCount)
            state.hats[event.index] = static_cast<uint8_t>(event.value & 0x0F);
        break;
    case PadInputKind::Axis:
        if (event.index < PadAxisCount)
            state.axes[event.index] = event.value;
        break;
    case PadInputKind::None:
        return;
    }
    updateController(pad);
}

bool padInputHeld(const GamepadState& pad, const PadInput& input)
{
    switch (input.kind) {
    case PadInputKind::Button:
        return input.index < PadButtonCount && pad.buttons[input.index] != 0;
    case PadInputKind::Hat:
        return input.index < PadHatCount && (pad.hats[input.index] & input.direction) != 0;
    case PadInputKind::Axis:
        return input.index < PadAxisCount &&
               (input.direction < 0 ? pad.axes[input.index] < -AxisThreshold : pad.axes[input.index] > AxisThreshold);
    case PadInputKind::None:
        break;
    }
    return false;
}

std::optional<PadInput> newlyPressedInput(const PadEvent& event, const GamepadState& before, const GamepadState& after)
{
    std::array<PadInput, HatNames.size()> candidates{};
    switch (event.kind) {
    case PadInputKind::Button:
        candidates[0] = padButton(event.index);
        break;
    case PadInputKind::Hat:
        std::ranges::transform(HatNames, candidates.begin(), [&](const HatName& hat) {
            return PadInput{PadInputKind::Hat, event.index, static_cast<int8_t>(hat.bit)};
        });
        break;
    case PadInputKind::Axis:
        candidates[0] = axis(event.index, -1);
        candidates[1] = axis(event.index, 1);
        break;
    case PadInputKind::None:
        return std::nullopt;
    }
    for (const PadInput& input : candidates)
        if (input.kind != PadInputKind::None && padInputHeld(after, input) && !padInputHeld(before, input))
            return input;
    return std::nullopt;
}

void resetGamepads()
{
    gamepads = {};
    gamepadConfig = {};
    padButtons = {};
    padTurbo = {};
}

GamepadMap parseGamepadConfig(std::string_view text, std::string_view fileName, std::ostream& report)
{
    GamepadMap map{};
    std::array<bool, PadMapEntries> faulty{};
    uint32_t lineNumber = 0;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        ++lineNumber;
        const std::vector<std::string_view> w = words(line);
        if (w.empty() || w[0].starts_with('#'))
            continue;
        const auto name = std::ranges::find_if(PadMapNames, [&](std::string_view n) { return sameLetters(n, w[0]); });
        if (name == PadMapNames.end()) {
            report << fileName << ", line " << lineNumber << ": \"" << line.substr(0, 80)
                   << "\" is not understood (a line begins with a, b, select, start, up, down, left, right, turbo_a or turbo_b).\n";
            continue;
        }
        const auto button = static_cast<uint32_t>(name - PadMapNames.begin());
        const std::optional<PadInput> input = parseInput(w);
        const auto slot = std::ranges::find(map[button], PadInputKind::None, &PadInput::kind);
        if (input && slot != map[button].end()) {
            *slot = *input;
            continue;
        }
        faulty[button] = true;
        report << fileName << ", line " << lineNumber << ": \"" << line.substr(0, 80) << "\" is not understood ("
               << (input ? "a button takes at most two lines"
                         : "BUTTON button N, BUTTON hat N up|down|left|right or BUTTON axis N -|+")
               << "): " << lowerCase(*name) << " keeps the default mapping.\n";
    }
    for (uint32_t button = 0; button < PadMapEntries; ++button)
        if (faulty[button])
            map[button] = PadBinding{};
    return map;
}

std::string formatGamepadConfig(const GamepadMap& map)
{
    std::string text = "# Gamepad buttons: BUTTON button N, BUTTON hat N up|down|left|right or BUTTON axis N -|+\n";
    for (uint32_t button = 0; button < PadMapEntries; ++button)
        for (const PadInput& input : map[button])
            if (input.kind != PadInputKind::None)
                text += lowerCase(PadMapNames[button]) + " " + formatInput(input) + "\n";
    return text;
}

void loadGamepadConfig(const std::string& path, std::ostream& report)
{
    std::vector<uint8_t> bytes;
    switch (readRegularFile(path, GamepadConfigMaxBytes, bytes)) {
    case FileRead::Ok:
        gamepadConfig = parseGamepadConfig(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                                           path, report);
        return;
    case FileRead::Missing:
        break;
    case FileRead::NotRegular:
    case FileRead::TooLarge:
    case FileRead::Unreadable:
        report << path << " cannot be read (not a readable file of at most 64 KB): the default gamepad mapping is used.\n";
        break;
    }
    gamepadConfig = {};
}

bool saveGamepadConfig(const std::string& path, const GamepadMap& map)
{
    const std::string text = formatGamepadConfig(map);
    return writeFileAtomically(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}
