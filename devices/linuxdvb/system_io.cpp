#include "devices/linuxdvb/system_io.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace linuxdvb {

int SystemIo::openDevice(const std::string &path, int flags)
{
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    return fd < 0 ? -errno : fd;
}

void SystemIo::closeDevice(int fd)
{
    ::close(fd);
}

int SystemIo::ioctl(int fd, unsigned long request, void *argument)
{
    int rc;
    do {
        rc = ::ioctl(fd, request, argument);
    } while (rc < 0 && errno == EINTR);
    return rc < 0 ? -errno : rc;
}

void SystemIo::sleepMs(int ms)
{
    if (ms <= 0)
        return;
    timespec remaining{ms / 1000, (ms % 1000) * 1'000'000L};
    while (nanosleep(&remaining, &remaining) < 0 && errno == EINTR) {
    }
}

std::int64_t SystemIo::monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

std::vector<std::string> SystemIo::listDirectory(const std::string &path)
{
    std::vector<std::string> names;
    DIR *dir = opendir(path.c_str());
    if (!dir)
        return names;
    while (const dirent *entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    }
    closedir(dir);
    return names;
}

void SystemIo::log(LogLevel level, const std::string &text)
{
    if (level == LogLevel::Debug) {
        const char *debug = std::getenv("ORVANTA_DVB_DEBUG");
        if (!debug || !*debug || std::strcmp(debug, "0") == 0)
            return;
    }
    std::fprintf(stderr, "linuxdvb: %s\n", text.c_str());
}

} // namespace linuxdvb
