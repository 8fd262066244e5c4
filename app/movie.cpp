#include "app/movie.h"

#include <iomanip>
#include <sstream>

#include "app/automation.h"
#include "app/options.h"

bool MovieRecorder::start(const std::string& path, const std::string& stateFile)
{
    file_.open(path, std::ios::trunc);
    if (!file_)
        return false;
    first_ = true;
    resetPending_ = false;
    std::ostringstream crc;
    crc << std::uppercase << std::hex << std::setw(8) << std::setfill('0') << romChecksum();
    file_ << "# " << ProgramTitle << " input movie: FRAME BUTTONS [CONTROLLER-2 BUTTONS] [reset]\n"
          << RomChecksumComment << crc.str() << "\n";
    if (!stateFile.empty())
        file_ << "# From the state: " << stateFile << "\n";
    return static_cast<bool>(file_);
}

void MovieRecorder::frame(int64_t frame, const ControllerInput& input)
{
    if (recording() && !first_ && frame <= lastFrame_) {
        stop();
        return;
    }
    lastFrame_ = frame;
    if (!recording() || (!first_ && !resetPending_ && input.first == last_.first && input.second == last_.second))
        return;
    file_ << frame << " " << buttonsText(input.first);
    if (secondControllerPlugged())
        file_ << " " << buttonsText(input.second);
    file_ << (resetPending_ ? " reset" : "") << "\n";
    last_ = input;
    first_ = false;
    resetPending_ = false;
}

void MovieRecorder::stop()
{
    if (recording())
        file_.close();
}
