// Input movies: what the player pressed, written as an input script (one line at each change of
// either controller, and at each press of the reset button), headed by comment lines that name the
// ROM's CRC32, Tallowby's version and the state the movie starts from. -input plays one back.
#pragma once

#include <cstdint>
#include <fstream>
#include <iosfwd>
#include <string>

#include "console/console.h"

class MovieRecorder {
public:
    // Starts writing to `path` (the run's state file when it starts from one); false when the file
    // cannot be written.
    bool start(const std::string& path, const std::string& stateFile);
    bool recording() const { return file_.is_open(); }
    // Before frame `frame` runs with `input`. A frame before the last one written (the game was
    // rewound) ends the recording: a movie only goes forwards.
    void frame(int64_t frame, const ControllerInput& input);
    // The reset button, pressed before the next frame.
    void reset() { resetPending_ = true; }
    void stop();

private:
    std::ofstream file_;
    ControllerInput last_{};
    int64_t lastFrame_ = 0;
    bool first_ = true;
    bool resetPending_ = false;
};

// The movie being recorded (-record, or F9 in the window).
inline MovieRecorder movie{};
