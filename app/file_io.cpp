#include "app/file_io.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and tells whether the close itself succeeded (a late write error shows here).
    bool close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, std::span<const uint8_t> bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes = bytes.subspan(static_cast<size_t>(written));
    }
    return true;
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

FileRead readRegularFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? FileRead::Missing : FileRead::Unreadable;
    if (!S_ISREG(info.st_mode))
        return FileRead::NotRegular;

    // O_NONBLOCK: should the path have become a FIFO since the look above, opening it does not wait.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0)
        return FileRead::Unreadable;
    if (::fstat(file.get(), &info) != 0)
        return FileRead::Unreadable;
    if (!S_ISREG(info.st_mode))
        return FileRead::NotRegular;
    if (static_cast<uint64_t>(info.st_size) > maxBytes)
        return FileRead::TooLarge;

    // Read until the end, in case the file grows: never more than the limit.
    bytes.resize(static_cast<size_t>(info.st_size));
    size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (bytes.size() >= maxBytes) {
                uint8_t extra = 0;
                ssize_t more = 0;
                do
                    more = ::read(file.get(), &extra, 1);
                while (more < 0 && errno == EINTR);
                if (more > 0)
                    return bytes.clear(), FileRead::TooLarge;
                break;
            }
            bytes.resize(std::min(maxBytes, bytes.size() + 4096));
        }
        const ssize_t got = ::read(file.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return bytes.clear(), FileRead::Unreadable;
        if (got == 0)
            break;
        filled += static_cast<size_t>(got);
    }
    bytes.resize(filled);
    return FileRead::Ok;
}

FileWrite checkWritableFile(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return FileWrite::NotRegular;
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return FileWrite::NoFolder;
    return ::access(folder.c_str(), W_OK | X_OK) == 0 ? FileWrite::Ok : FileWrite::NotWritable;
}

bool writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes)
{
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return false;

    std::string temporary = path + ".XXXXXX";
    Descriptor file(::mkstemp(temporary.data()));
    if (file.get() < 0)
        return false;
    const mode_t mode = exists ? (existing.st_mode & 07777) : newFileMode();
    const bool written = ::fchmod(file.get(), mode) == 0 && writeAll(file.get(), bytes) && ::fsync(file.get()) == 0;
    if (!file.close() || !written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}
