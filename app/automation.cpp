#include "app/automation.h"

#include <sstream>
#include <vector>

#include "console/console.h"

namespace {

constexpr std::array<const char*, ButtonCount> ScriptButtonNames = {"a",  "b",    "select", "start",
                                                                    "up", "down", "left",   "right"};

std::optional<ButtonState> parseButtons(const std::string& list)
{
    ButtonState buttons{};
    if (list == "-")
        return buttons;
    std::istringstream names(list);
    std::string name;
    while (std::getline(names, name, '+')) {
        bool known = false;
        for (uint32_t i = 0; i < ButtonCount; ++i)
            if (name == ScriptButtonNames[i]) {
                buttons[i] = 1;
                known = true;
            }
        if (!known)
            return std::nullopt;
    }
    return buttons;
}

}  // namespace

std::string buttonsText(const ButtonState& buttons)
{
    std::string text;
    for (uint32_t i = 0; i < ButtonCount; ++i)
        if (buttons[i])
            text += (text.empty() ? "" : "+") + std::string(ScriptButtonNames[i]);
    return text.empty() ? "-" : text;
}

std::optional<InputScript> parseInputScript(const std::string& text, std::string& error)
{
    InputScript script;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::istringstream fields(line);
        std::string frameText, firstText;
        std::vector<std::string> rest;
        if (line.starts_with(RomChecksumComment)) {
            const std::string digits = line.substr(RomChecksumComment.size());
            if (digits.size() >= 8 && digits.substr(0, 8).find_first_not_of("0123456789abcdefABCDEF") == std::string::npos)
                script.romChecksum = static_cast<uint32_t>(std::stoul(digits.substr(0, 8), nullptr, 16));
        }
        if (!(fields >> frameText) || frameText[0] == '#')
            continue;
        fields >> firstText;
        for (std::string word; fields >> word;)
            rest.push_back(word);
        const auto fail = [&](const std::string& why) {
            error = "line " + std::to_string(number) + ": " + why + ": \"" + line + "\"";
            return std::nullopt;
        };
        char* end = nullptr;
        const long frame = std::strtol(frameText.c_str(), &end, 10);
        if (*end != '\0' || frame < 0 || frame > 2147483647L)
            return fail("the frame must be a whole number from 0 on");
        if (!script.steps.empty() && frame < script.steps.back().frame)
            return fail("the frames must not go back");
        const bool reset = !rest.empty() && rest.back() == "reset";
        if (reset)
            rest.pop_back();
        if (firstText.empty() || firstText == "reset" || rest.size() > 1)
            return fail("expected a frame, a list of buttons, controller 2's and reset if need be");
        const auto buttons = parseButtons(firstText);
        const auto second = rest.empty() ? std::optional<ButtonState>(ButtonState{}) : parseButtons(rest.front());
        if (!buttons || !second)
            return fail("buttons are a+b+select+start+up+down+left+right, or - for none");
        script.steps.push_back({static_cast<int32_t>(frame), *buttons, *second, reset});
        script.secondController = script.secondController || !rest.empty();
    }
    return script;
}

bool applyInputScript(InputScript& script, int64_t frame)
{
    bool reset = false;
    while (script.next < script.steps.size() && script.steps[script.next].frame <= frame) {
        const ScriptStep& step = script.steps[script.next++];
        scriptedButtons = step.buttons;
        scriptedSecondButtons = step.second;
        if (step.reset && step.frame == frame) {
            pressResetButton();
            reset = true;
        }
    }
    return reset;
}

std::optional<TestRomResult> readTestRomResult()
{
    if (peekMemory(0x6001) != 0xDE || peekMemory(0x6002) != 0xB0 || peekMemory(0x6003) != 0x61)
        return std::nullopt;
    const uint8_t status = peekMemory(0x6000);
    if (status == TestRomRunning)
        return std::nullopt;
    TestRomResult result{status, {}};
    for (uint32_t address = 0x6004; address < 0x8000 && peekMemory(address) != 0; ++address)
        result.text += static_cast<char>(peekMemory(address));
    return result;
}
