#include "platform/wait.h"

#include <QCoreApplication>
#include <QThread>

#include <ctime>

namespace platform {
namespace {
std::function<void(int)> g_wait;
std::function<void()> g_processHook;
long long g_lastThrottledRunNs = 0;

long long monotonicNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}
} // namespace

void waitMs(int ms)
{
    if (g_wait)
        g_wait(ms);
    else if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

void processMessages()
{
    if (g_processHook) {
        // Take a copy: the hook may replace itself.
        auto hook = g_processHook;
        hook();
    }
    QCoreApplication::processEvents();
}

void processMessagesThrottled()
{
    if (g_processHook) {
        auto hook = g_processHook;
        hook();
    }
    const long long now = monotonicNs();
    if (now - g_lastThrottledRunNs < 1000000)
        return;
    QCoreApplication::processEvents();
    // Measured after the run, so that a slow run is not followed at once by another.
    g_lastThrottledRunNs = monotonicNs();
}

void setWaitFunction(std::function<void(int)> wait)
{
    g_wait = std::move(wait);
}

void setProcessMessagesHook(std::function<void()> hook)
{
    g_processHook = std::move(hook);
}

} // namespace platform
