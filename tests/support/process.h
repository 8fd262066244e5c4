// Runs the real program (or a helper such as Xvfb) as a child process for end-to-end tests.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/screen_geometry.h"
#include "support/harness.h"

using namespace std::chrono_literals;

struct ProcessResult {
    int exitCode = -1;     // the exit status, or -1 when the process did not end by itself
    std::string output;    // everything it wrote to standard output
};

class ChildProcess {
public:
    // Starts `args[0]` with the given arguments; `environment` entries ("NAME=value") are added
    // to this process's environment. Standard input is /dev/null; standard error is kept apart.
    ChildProcess(const std::vector<std::string>& args, const std::vector<std::string>& environment = {},
                 const std::filesystem::path& workingFolder = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Waits until the standard output contains `text`; false on timeout or when the process ended first.
    bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout);
    void sendSignal(int signal) const;
    // What the process has written to its standard output so far.
    const std::string& output() const { return buffer_; }
    bool finished() const { return finished_; }
    // Waits for the end; a process still running after `timeout` is killed and reported with exit code -1.
    ProcessResult wait(std::chrono::milliseconds timeout);

private:
    bool readSome(std::chrono::milliseconds timeout);

    pid_t pid_ = -1;
    int output_ = -1;
    std::string buffer_;
    bool finished_ = false;
};

ProcessResult runProcess(const std::vector<std::string>& args, const std::vector<std::string>& environment = {},
                         std::chrono::milliseconds timeout = 20s, const std::filesystem::path& workingFolder = {});

// A window (or "root", the whole screen) as RGB bytes, captured with ImageMagick's import.
std::vector<uint8_t> captureWindow(const std::string& window, const std::vector<std::string>& environment);
// The pixels of a capture that differ from the frame buffer shown at `geometry`, black around it;
// -1 when the capture is not of the geometry's size.
int wrongPixels(const std::vector<uint8_t>& shown, const ScreenGeometry& geometry);

// An Xvfb server on a free display for the lifetime of the object.
class VirtualDisplay {
public:
    // `screen` is the screen's size and depth, WIDTHxHEIGHTxDEPTH.
    explicit VirtualDisplay(const std::string& screen = "800x600x24");
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;
    bool running() const { return !name_.empty(); }
    // The environment of a program that opens its window here: this display, no sound device, and
    // no leak report at exit (SDL, X11 and the GL drivers keep allocations until the process ends).
    std::vector<std::string> environment() const
    {
        return {"DISPLAY=" + name_, "SDL_AUDIODRIVER=dummy", "ASAN_OPTIONS=detect_leaks=0"};
    }

    // Ends the server, as a logout or a dropped remote display does to the programs on it.
    void shutDown();

private:
    ChildProcess server_;
    std::string name_;
};

// A test of the program in a window on its own X server (1280x1024), skipped when Xvfb cannot start.
class WindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!display_.running())
            GTEST_SKIP() << "Xvfb could not be started";
    }

    // Starts `args` in `folder`, waits for `line` on its output (when given) and up to 10 s for its window.
    void start(const std::vector<std::string>& args, const std::filesystem::path& folder, const std::string& line = "",
               std::chrono::seconds timeout = 10s);
    // Runs "xdotool COMMAND --window WINDOW ARGUMENTS...".
    void xdotool(std::vector<std::string> action) const;
    // Ctrl+C in the terminal: the program's end.
    ProcessResult stop();

    VirtualDisplay display_{"1280x1024x24"};
    std::vector<std::string> environment_ = display_.environment();
    std::unique_ptr<ChildProcess> program_;
    std::string window_;
};

// A working folder holding a keymap.cfg (Z, X, right shift, Return and the arrow keys), so that
// the program goes straight to the game without the configuration screen.
struct Workspace : TempFile {
    Workspace()
        : TempFile({0x7A, 0, 0x78, 0, 0x2F, 0x01, 0x0D, 0, 0x11, 0x01, 0x12, 0x01, 0x14, 0x01, 0x13, 0x01}, "keymap.cfg")
    {
    }
};
