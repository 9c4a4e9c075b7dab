#pragma once
// Everything the receiver needs from the operating system, behind one seam so
// that the whole library runs against a fake in the tests.
#include <cstdint>
#include <string>
#include <vector>

namespace linuxdvb {

enum class LogLevel {
    Info,  // outcome of start-up: which frontend, or why none
    Debug, // every tune, lock and failed call
};

class Io
{
public:
    virtual ~Io() = default;
    // A file descriptor, or -errno.
    virtual int openDevice(const std::string &path, int flags) = 0;
    virtual void closeDevice(int fd) = 0;
    // 0 (or the call's non-negative result), or -errno. Requests without a
    // structure (tone, voltage, burst) carry their value in the pointer.
    virtual int ioctl(int fd, unsigned long request, void *argument) = 0;
    virtual void sleepMs(int ms) = 0;
    virtual std::int64_t monotonicMs() = 0;
    // Entry names of a directory, "." and ".." excluded; empty when unreadable.
    virtual std::vector<std::string> listDirectory(const std::string &path) = 0;
    virtual void log(LogLevel level, const std::string &text) = 0;
};

} // namespace linuxdvb
