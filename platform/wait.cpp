#include "platform/wait.h"

#include <QCoreApplication>
#include <QThread>

namespace platform {
namespace {
std::function<void(int)> g_wait;
std::function<void()> g_processHook;
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

void setWaitFunction(std::function<void(int)> wait)
{
    g_wait = std::move(wait);
}

void setProcessMessagesHook(std::function<void()> hook)
{
    g_processHook = std::move(hook);
}

} // namespace platform
