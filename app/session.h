// A play session in the window: the state slot, pause, fast-forward, the console's reset button,
// the names of state and screenshot files, and the short messages shown over the picture.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <iosfwd>
#include <string>
#include <string_view>

constexpr int32_t StateSlots = 10;
// While fast-forwarding, one frame in this many is presented.
constexpr int32_t FastForwardPresentEvery = 4;
// How long a message stays on screen.
constexpr int64_t MessageMilliseconds = 2000;
// The longest message drawn; longer ones are cut (the console still gets all of it).
constexpr size_t MessageMaxCharacters = 30;

struct PlaySession {
    std::string romPath;
    int32_t slot;      // 0-9, chosen with the number keys
    bool paused;       // no frames run, no sound
    bool fastForward;  // held: unpaced, one frame in four presented, no sound
    bool rewinding;    // held: the game runs backwards, a frame a frame, no sound
    std::string message;
    int64_t messageUntil;  // shell milliseconds at which the message goes
};

inline PlaySession session{};

// What one pass of the window's frame loop does.
struct LoopPass {
    bool runsFrame;  // emulates (and counts) a frame
    bool presents;   // shows the FrameBuffer
    bool paces;      // waits for the 1/60 s period
};
LoopPass planLoopPass();

// Pause on and off, fast-forward or rewind held or released; each sets the sound's mute flag.
void setPaused(bool paused);
void setFastForward(bool held);
void setRewinding(bool held);

// Shows `text` until `now` + MessageMilliseconds and prints it as a line on `console`.
void showMessage(std::string_view text, int64_t now, std::ostream& console);
// The message to draw at `now`; empty when none.
std::string_view shownMessage(int64_t now);

// The message as a picture: a black box with the text in white, 2 pixels of margin around the
// 8x8 glyphs. Each byte is 0 (box) or 1 (ink).
struct MessagePicture {
    uint32_t width;
    uint32_t height;
    std::array<uint8_t, (MessageMaxCharacters * 8 + 4) * 12> pixels;
};
MessagePicture drawMessage(std::string_view text);

// The file of a state slot: NAME.ssN beside the ROM (NAME: the ROM file's name without extension).
std::string stateFilePath(const std::string& romPath, int32_t slot);
// The same file in the working folder, for a ROM folder that cannot be written.
std::string fallbackStateFilePath(const std::string& romPath, int32_t slot);
// A screenshot's or a movie's name in the working folder: NAME-YYYYMMDD-HHMMSS and `extension`
// at local time `when`.
std::string stampedFileName(const std::string& romPath, const std::tm& when, const std::string& extension);
