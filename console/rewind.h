// Rewind: the console's recent history, to be played backwards frame by frame. A save state is kept
// every few frames with the buttons of each frame; the newest state whole, each older one as its
// difference from the next newer (compressed: most of a state does not change in a few frames). A
// step back loads the nearest state before the wanted frame and runs the frames from there again.
#pragma once

#include <cstddef>
#include <cstdint>

#include "console/console.h"

// Frames between two kept states.
constexpr uint32_t RewindStateEvery = 8;
// The history's memory: the oldest states go first when it is full.
constexpr size_t RewindBudgetBytes = 64 * 1024 * 1024;

// Starts an empty history of up to `frames` frames (0: none is kept).
void startRewindHistory(uint32_t frames);
// Forgets every frame kept (a reset, a loaded state, another game: the history no longer leads here).
void clearRewindHistory();

// Before each frame runs: keeps the state every RewindStateEvery frames and the frame's buttons.
void rememberFrame(const ControllerInput& input);

// One frame back: the machine as it was one frame before, with that frame's picture and samples
// (the frames since the state before it run again). False, and nothing changed, at the history's
// oldest frame.
bool rewindFrame(const FrameSettings& settings);

// The bytes the history holds now, and the frames it reaches back.
size_t rewindHistoryBytes();
uint32_t rewindHistoryFrames();
