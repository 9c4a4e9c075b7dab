#pragma once
// The real operating system behind the receiver's I/O seam.
#include "devices/linuxdvb/io.h"

namespace linuxdvb {

class SystemIo : public Io
{
public:
    int openDevice(const std::string &path, int flags) override;
    void closeDevice(int fd) override;
    int ioctl(int fd, unsigned long request, void *argument) override;
    void sleepMs(int ms) override;
    std::int64_t monotonicMs() override;
    std::vector<std::string> listDirectory(const std::string &path) override;
    // Start-up lines always go to standard error; the rest only when
    // ORVANTA_DVB_DEBUG is set to something other than 0.
    void log(LogLevel level, const std::string &text) override;
};

} // namespace linuxdvb
