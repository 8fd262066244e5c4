#include "console/rewind.h"

#include <cstring>
#include <deque>
#include <utility>
#include <vector>

#include "console/save_state.h"

namespace {

struct Kept {
    int64_t frame;               // the frame count when it was taken (before that frame ran)
    std::vector<uint8_t> bytes;  // the newest: its state; older ones: difference(state, next newer state)
};

struct History {
    uint32_t capacityFrames = 0;
    std::deque<Kept> kept;          // oldest first
    std::deque<uint16_t> buttons;   // each frame's, from kept.front().frame on
    size_t bytes = 0;
};

History history;

uint16_t pack(const ControllerInput& input)
{
    uint16_t packed = 0;
    for (uint32_t k = 0; k < ButtonCount; ++k)
        packed = static_cast<uint16_t>(packed | (input.first[k] != 0) << k | (input.second[k] != 0) << (8 + k));
    return packed;
}

ControllerInput unpack(uint16_t packed)
{
    ControllerInput input;
    for (uint32_t k = 0; k < ButtonCount; ++k) {
        input.first[k] = (packed >> k) & 1;
        input.second[k] = (packed >> (8 + k)) & 1;
    }
    return input;
}

void putCount(std::vector<uint8_t>& out, size_t count)
{
    for (; count >= 0x80; count >>= 7)
        out.push_back(static_cast<uint8_t>(count | 0x80));
    out.push_back(static_cast<uint8_t>(count));
}

size_t takeCount(const std::vector<uint8_t>& in, size_t& at)
{
    size_t count = 0;
    for (uint32_t shift = 0; at < in.size(); shift += 7) {
        const uint8_t byte = in[at++];
        count |= static_cast<size_t>(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            break;
    }
    return count;
}

// `older` as its difference from `newer` (of the same size): their bytes XORed, as runs of zeros
// (a count) each followed by a count of other bytes and those bytes.
std::vector<uint8_t> difference(const std::vector<uint8_t>& older, const std::vector<uint8_t>& newer)
{
    std::vector<uint8_t> out;
    for (size_t at = 0; at < older.size();) {
        const size_t zerosFrom = at;
        // Equal stretches, eight bytes at a time: most of the state.
        while (at + 8 <= older.size() && std::memcmp(&older[at], &newer[at], 8) == 0)
            at += 8;
        while (at < older.size() && older[at] == newer[at])
            ++at;
        const size_t othersFrom = at;
        while (at < older.size() && older[at] != newer[at])
            ++at;
        putCount(out, othersFrom - zerosFrom);
        putCount(out, at - othersFrom);
        for (size_t k = othersFrom; k < at; ++k)
            out.push_back(older[k] ^ newer[k]);
    }
    return out;
}

std::vector<uint8_t> undo(const std::vector<uint8_t>& newer, const std::vector<uint8_t>& change)
{
    std::vector<uint8_t> older = newer;
    for (size_t in = 0, at = 0; in < change.size();) {
        at += takeCount(change, in);
        for (size_t others = takeCount(change, in); others > 0 && in < change.size() && at < older.size(); --others)
            older[at++] ^= change[in++];
    }
    return older;
}

// The newest kept state goes; the one before it becomes the newest, whole again.
void dropNewest()
{
    Kept newest = std::move(history.kept.back());
    history.kept.pop_back();
    history.bytes -= newest.bytes.size();
    if (history.kept.empty())
        return;
    Kept& before = history.kept.back();
    history.bytes -= before.bytes.size();
    before.bytes = undo(newest.bytes, before.bytes);
    history.bytes += before.bytes.size();
}

}  // namespace

void startRewindHistory(uint32_t frames)
{
    clearRewindHistory();
    history.capacityFrames = frames;
}

void clearRewindHistory()
{
    history.kept.clear();
    history.buttons.clear();
    history.bytes = 0;
}

void rememberFrame(const ControllerInput& input)
{
    if (history.capacityFrames == 0)
        return;
    const int64_t frame = framesRun();
    // The history must lead up to this frame; anything else (a frame run without it) starts it afresh.
    if (!history.kept.empty() && history.kept.front().frame + static_cast<int64_t>(history.buttons.size()) != frame)
        clearRewindHistory();
    if (history.kept.empty() || frame % RewindStateEvery == 0) {
        std::vector<uint8_t> state = saveState(StateChecksum::Skipped);
        if (!history.kept.empty()) {
            Kept& newest = history.kept.back();
            if (newest.bytes.size() != state.size()) {
                clearRewindHistory();
            } else {
                history.bytes -= newest.bytes.size();
                newest.bytes = difference(newest.bytes, state);
                history.bytes += newest.bytes.size();
            }
        }
        history.bytes += state.size();
        history.kept.push_back({frame, std::move(state)});
    }
    history.buttons.push_back(pack(input));
    while (history.kept.size() > 1 &&
           (frame - history.kept[1].frame >= history.capacityFrames || history.bytes > RewindBudgetBytes)) {
        const int64_t dropped = history.kept[1].frame - history.kept[0].frame;
        history.bytes -= history.kept.front().bytes.size();
        history.kept.pop_front();
        history.buttons.erase(history.buttons.begin(), history.buttons.begin() + dropped);
    }
}

bool rewindFrame(const FrameSettings& settings)
{
    // The state from which the frame before the last shown one runs again: taken before it.
    const int64_t goal = framesRun() - 1;
    if (history.kept.empty() || history.kept.front().frame > goal - 1)
        return false;
    while (history.kept.back().frame > goal - 1)
        dropNewest();
    const Kept& from = history.kept.back();
    if (loadState(from.bytes, StateChecksum::Skipped) != StateLoad::Loaded) {
        clearRewindHistory();
        return false;
    }
    const int64_t first = history.kept.front().frame;
    for (int64_t frame = from.frame; frame < goal; ++frame) {
        runConsoleFrame(unpack(history.buttons[static_cast<size_t>(frame - first)]), settings);
        countFrame();
    }
    history.buttons.resize(static_cast<size_t>(goal - first));
    return true;
}

size_t rewindHistoryBytes() { return history.bytes; }

uint32_t rewindHistoryFrames()
{
    return history.kept.empty() ? 0 : static_cast<uint32_t>(framesRun() - history.kept.front().frame);
}
