#include "support/process.h"

#include "ppu/palette.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

using SteadyClock = std::chrono::steady_clock;

ChildProcess::ChildProcess(const std::vector<std::string>& args, const std::vector<std::string>& environment,
                           const std::filesystem::path& workingFolder)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(open("/dev/null", O_RDONLY), STDIN_FILENO);
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        for (const std::string& entry : environment)
            putenv(const_cast<char*>(entry.c_str()));
        std::vector<char*> argv;
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        if (workingFolder.empty() || chdir(workingFolder.c_str()) == 0)
            execvp(argv[0], argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    output_ = pipeFds[0];
}

ChildProcess::~ChildProcess()
{
    if (pid_ > 0 && !finished_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    close(output_);
}

bool ChildProcess::readSome(std::chrono::milliseconds timeout)
{
    pollfd entry{output_, POLLIN, 0};
    if (poll(&entry, 1, static_cast<int>(timeout.count())) <= 0)
        return true;  // nothing yet
    char chunk[4096];
    const ssize_t got = read(output_, chunk, sizeof chunk);
    if (got <= 0)
        return false;  // end of output
    buffer_.append(chunk, static_cast<size_t>(got));
    return true;
}

bool ChildProcess::waitForOutput(const std::string& text, std::chrono::milliseconds timeout)
{
    const auto deadline = SteadyClock::now() + timeout;
    while (buffer_.find(text) == std::string::npos && SteadyClock::now() < deadline && readSome(20ms)) {
    }
    return buffer_.find(text) != std::string::npos;
}

void ChildProcess::sendSignal(int signal) const
{
    if (pid_ > 0 && !finished_)
        kill(pid_, signal);
}

ProcessResult ChildProcess::wait(std::chrono::milliseconds timeout)
{
    const auto deadline = SteadyClock::now() + timeout;
    while (SteadyClock::now() < deadline && readSome(20ms)) {
    }  // to the end of its output
    int status = 0;
    pid_t ended;
    while ((ended = waitpid(pid_, &status, WNOHANG)) == 0 && SteadyClock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    if (ended == 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
    finished_ = true;
    return {ended > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1, buffer_};
}

ProcessResult runProcess(const std::vector<std::string>& args, const std::vector<std::string>& environment,
                         std::chrono::milliseconds timeout, const std::filesystem::path& workingFolder)
{
    return ChildProcess(args, environment, workingFolder).wait(timeout);
}

std::vector<uint8_t> captureWindow(const std::string& window, const std::vector<std::string>& environment)
{
    const TempFile raw({}, "window.rgb");
    EXPECT_EQ(runProcess({"import", "-window", window, "-depth", "8", "rgb:" + raw.path()}, environment).exitCode, 0);
    return fileBytes(raw.path());
}

int wrongPixels(const std::vector<uint8_t>& shown, const ScreenGeometry& geometry)
{
    if (shown.size() != static_cast<size_t>(geometry.width) * geometry.height * 3)
        return -1;
    int wrong = 0;
    for (int32_t y = 0; y < geometry.height; ++y)
        for (int32_t x = 0; x < geometry.width; ++x) {
            const int32_t column = (x - geometry.left) / geometry.scale, row = (y - geometry.top) / geometry.scale;
            const bool inside = x >= geometry.left && y >= geometry.top && column < 256 && row < 240;
            const uint32_t rgb = inside ? colourOf(frameBuffer[row * 256 + column]) : 0;
            const uint8_t* got = &shown[(static_cast<size_t>(y) * geometry.width + x) * 3];
            wrong += got[0] != (rgb >> 16 & 0xFF) || got[1] != (rgb >> 8 & 0xFF) || got[2] != (rgb & 0xFF);
        }
    return wrong;
}

VirtualDisplay::VirtualDisplay(const std::string& screen)
    : server_({"Xvfb", "-displayfd", "1", "-screen", "0", screen, "-nolisten", "tcp"}, {}, {})
{
    // Xvfb writes the number of the display it chose, and a line end, to the descriptor given.
    if (server_.waitForOutput("\n", 10s))
        name_ = ":" + server_.output().substr(0, server_.output().find('\n'));
}

VirtualDisplay::~VirtualDisplay() { shutDown(); }

void VirtualDisplay::shutDown()
{
    if (server_.finished())
        return;
    server_.sendSignal(SIGTERM);
    server_.wait(5s);
}

void WindowTest::start(const std::vector<std::string>& args, const std::filesystem::path& folder,
                       const std::string& line, std::chrono::seconds timeout)
{
    program_ = std::make_unique<ChildProcess>(args, environment_, folder);
    EXPECT_TRUE(line.empty() || program_->waitForOutput(line, timeout)) << program_->output();
    window_ = runProcess({"xdotool", "search", "--sync", "--name", "Tallowby"}, environment_, 10s).output;
    window_ = window_.substr(0, window_.find('\n'));
    std::this_thread::sleep_for(300ms);
}

void WindowTest::xdotool(std::vector<std::string> action) const
{
    action.insert(action.begin(), "xdotool");
    action.insert(action.begin() + 2, {"--window", window_});
    EXPECT_EQ(runProcess(action, environment_).exitCode, 0) << action[1] << " " << action.back();
}

ProcessResult WindowTest::stop()
{
    program_->sendSignal(SIGINT);
    return program_->wait(10s);
}
